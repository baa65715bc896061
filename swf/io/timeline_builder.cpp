#include "swf/io/timeline_builder.h"

#include <variant>
#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/io/place_parser.h"
#include "swf/io/sound_parser.h"

namespace swf {

bool TimelineBuilder::Add(const TagRecord& tag) {
    lastWasPlacement_ = false;
    switch (tag.code) {
    case tag::ShowFrame:
        timeline_.frames.push_back(std::move(current_));
        current_ = Frame{};
        currentUsed_ = false;
        return true;
    case tag::PlaceObject:
    case tag::PlaceObject2:
    case tag::PlaceObject3: {
        const int version = tag.code == tag::PlaceObject ? 1 : tag.code == tag::PlaceObject2 ? 2 : 3;
        current_.commands.emplace_back(ParsePlaceObject(tag.body, version, swfVersion_));
        lastWasPlacement_ = true;
        break;
    }
    case tag::RemoveObject:
    case tag::RemoveObject2:
        current_.commands.emplace_back(ParseRemoveObject(tag.body, tag.code == tag::RemoveObject ? 1 : 2));
        break;
    case tag::FrameLabel: {
        BitReader in(tag.body);
        const std::string label = in.ReadString();
        // The first frame to carry a label keeps it.
        timeline_.labels.emplace(label, static_cast<std::uint32_t>(timeline_.frames.size()));
        break;
    }
    case tag::DoAction:
        current_.actions.push_back(std::make_shared<const std::vector<std::uint8_t>>(tag.body.begin(), tag.body.end()));
        break;
    case tag::DoInitAction: {
        BitReader in(tag.body);
        InitAction init;
        init.spriteId = in.ReadU16();
        const auto code = in.Rest();
        init.code = std::make_shared<const std::vector<std::uint8_t>>(code.begin(), code.end());
        current_.initActions.push_back(std::move(init));
        break;
    }
    case tag::StartSound:
    case tag::StartSound2: current_.sounds.push_back(ParseStartSound(tag.body, tag.code == tag::StartSound2)); break;
    case tag::SoundStreamHead:
    case tag::SoundStreamHead2:
        // The first head stands: a timeline has one stream sound.
        if (!timeline_.streamHead) timeline_.streamHead = ParseSoundStreamHead(tag.body);
        break;
    case tag::SoundStreamBlock:
        current_.streamBlock = ParseSoundStreamBlock(tag.body, timeline_.streamHead ? &*timeline_.streamHead : nullptr);
        break;
    default: return false;
    }
    currentUsed_ = true;
    return true;
}

PlaceCommand* TimelineBuilder::LastPlacement() {
    if (!lastWasPlacement_ || current_.commands.empty()) return nullptr;
    return std::get_if<PlaceCommand>(&current_.commands.back());
}

Timeline TimelineBuilder::Finish() {
    if (currentUsed_ || timeline_.frames.empty()) timeline_.frames.push_back(std::move(current_));
    current_ = Frame{};
    currentUsed_ = false;
    return std::move(timeline_);
}

}  // namespace swf
