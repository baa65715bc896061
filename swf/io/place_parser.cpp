#include "swf/io/place_parser.h"

#include "swf/io/bit_reader.h"
#include "swf/io/records.h"

namespace swf {

PlaceCommand ParsePlaceObject(std::span<const std::uint8_t> body, int version) {
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
    // Filters, blend mode, bitmap caching, visibility and clip event actions
    // follow; none of them affects how this engine draws.
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
