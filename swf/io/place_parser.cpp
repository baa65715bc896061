#include "swf/io/place_parser.h"

#include "swf/io/bit_reader.h"
#include "swf/io/filter_list.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

namespace {

std::uint32_t ReadEventFlags(BitReader& in, int swfVersion) { return swfVersion >= 6 ? in.ReadU32() : in.ReadU16(); }

// CLIPACTIONS: a reserved field, the union of all events, then records up to
// a zero event field. Each record's size covers its key code and actions.
ClipActions ReadClipActions(BitReader& in, int swfVersion) {
    in.ReadU16();
    ReadEventFlags(in, swfVersion);
    auto actions = std::make_shared<std::vector<ClipAction>>();
    while (true) {
        ClipAction action;
        action.events = ReadEventFlags(in, swfVersion);
        if (action.events == 0) break;
        std::uint32_t size = in.ReadU32();
        if ((action.events & kClipKeyPress) != 0) {
            if (size == 0) throw ParseError("clip action too short for its key code");
            action.keyCode = in.ReadU8();
            --size;
        }
        const auto code = in.ReadBytes(size);
        action.code = std::make_shared<const std::vector<std::uint8_t>>(code.begin(), code.end());
        actions->push_back(std::move(action));
    }
    return actions;
}

}  // namespace

PlaceCommand ParsePlaceObject(std::span<const std::uint8_t> body, int version, int swfVersion) {
    BitReader in(body);
    PlaceCommand place;
    if (version == 1) {
        place.characterId = in.ReadU16();
        place.depth = in.ReadU16();
        place.matrix = ReadMatrix(in);
        if (!in.AtEnd()) place.colorTransform = ReadColorTransform(in, false);
        return place;
    }
    const std::uint8_t flags = in.ReadU8();
    std::uint8_t flags3 = 0;
    if (version >= 3) flags3 = in.ReadU8();
    place.depth = in.ReadU16();
    place.move = (flags & 0x01) != 0;
    const bool hasCharacter = (flags & 0x02) != 0;
    const bool hasImage = (flags3 & 0x10) != 0;
    const bool hasClassName = (flags3 & 0x08) != 0;
    if (hasClassName || (hasImage && hasCharacter)) in.ReadString();
    if (hasCharacter) place.characterId = in.ReadU16();
    if (flags & 0x04) place.matrix = ReadMatrix(in);
    if (flags & 0x08) place.colorTransform = ReadColorTransform(in, true);
    if (flags & 0x10) place.ratio = in.ReadU16();
    if (flags & 0x20) place.name = in.ReadString();
    if (flags & 0x40) place.clipDepth = in.ReadU16();
    if (flags3 & 0x01) {
        auto filters = ReadFilterList(in);
        place.filters =
            filters.empty() ? nullptr : std::make_shared<const std::vector<raster::Filter>>(std::move(filters));
    }
    if (flags3 & 0x02) place.blendMode = raster::BlendModeFromNumber(in.ReadU8());
    if (flags3 & 0x04) place.cacheAsBitmap = in.ReadU8() != 0;
    if (flags & 0x80) {
        // Broken clip actions cost the handlers, not the placement.
        try {
            place.clipActions = ReadClipActions(in, swfVersion);
        } catch (const ParseError&) {
            place.clipActions = nullptr;
        }
    }
    return place;
}

RemoveCommand ParseRemoveObject(std::span<const std::uint8_t> body, int version) {
    BitReader in(body);
    RemoveCommand remove;
    if (version == 1) in.ReadU16();  // character id
    remove.depth = in.ReadU16();
    return remove;
}

}  // namespace swf
