// An FLV file fed in two pieces, split where its last byte says, then every
// script data tag through the AMF0 reader and every tag through the key
// frame index.
#include <cstdint>
#include <span>

#include "swf/video/flv_index.h"
#include "swf/video/flv_reader.h"
#include "swf/video/flv_script.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void Take(const swf::video::FlvTag& tag, swf::video::FlvIndex& index, std::uint64_t& lastPosition) {
    Check(tag.body.size() <= swf::video::kMaxFlvTagBody);
    Check(tag.position >= 13 && tag.position > lastPosition);
    lastPosition = tag.position;
    if (tag.kind == swf::video::FlvTagKind::Script) {
        std::string problem;
        const auto script = swf::video::ReadFlvScriptData(tag.body, &problem);
        Check(script.has_value() == problem.empty());
        if (script && script->name == "onMetaData") index.UseMetadata(script->value);
    }
    index.Add(tag);
    const auto keyframes = index.keyframes();
    for (std::size_t i = 1; i < keyframes.size(); ++i) {
        Check(keyframes[i - 1].time <= keyframes[i].time && keyframes[i - 1].position < keyframes[i].position);
    }
    const auto found = index.KeyframeAtOrBefore(tag.timestamp);
    if (found) Check(found->time <= tag.timestamp);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::size_t split = size == 0 ? 0 : input[size - 1] * size / 256;
    swf::video::FlvReader reader;
    swf::video::FlvIndex index;
    std::uint64_t lastPosition = 0;
    reader.Append(input.first(split));
    while (auto tag = reader.Next()) Take(*tag, index, lastPosition);
    reader.Append(input.subspan(split));
    reader.End();
    while (auto tag = reader.Next()) Take(*tag, index, lastPosition);
    Check(reader.Done());
    Check(reader.warnings().size() <= 17);
    return 0;
}
