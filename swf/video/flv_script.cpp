#include "swf/video/flv_script.h"

namespace swf::video {

std::optional<FlvScriptData> ReadFlvScriptData(std::span<const std::uint8_t> body, std::string* problem,
                                               const AmfLimits& limits) {
    std::size_t offset = 0;
    auto name = ReadAmf0(body, offset, problem, limits);
    if (!name) return std::nullopt;
    const auto* text = name->As<std::string>();
    if (!text) {
        if (problem) *problem = "the script data does not start with a handler name";
        return std::nullopt;
    }
    FlvScriptData data;
    data.name = *text;
    if (offset == body.size()) return data;
    auto value = ReadAmf0(body, offset, problem, limits);
    if (!value) return std::nullopt;
    data.value = std::move(*value);
    return data;
}

}  // namespace swf::video
