#include "swf/io/button_parser.h"

#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/io/filter_list.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

namespace {

ActionCode CopyCode(std::span<const std::uint8_t> bytes) {
    return std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
}

// Button records up to the zero end flag.
void ReadButtonRecords(BitReader& in, int version, ButtonDefinition& button) {
    while (true) {
        const std::uint8_t flags = in.ReadU8();
        if (flags == 0) return;
        ButtonRecord record;
        record.states = flags & 0x0f;
        const bool hasFilters = (flags & 0x10) != 0;
        const bool hasBlend = (flags & 0x20) != 0;
        record.characterId = in.ReadU16();
        record.depth = in.ReadU16();
        record.matrix = ReadMatrix(in);
        if (version >= 2) {
            record.colorTransform = ReadColorTransform(in, true);
            if (hasFilters) {
                auto filters = ReadFilterList(in);
                if (!filters.empty())
                    record.filters = std::make_shared<const std::vector<raster::Filter>>(std::move(filters));
            }
            if (hasBlend) record.blendMode = raster::BlendModeFromNumber(in.ReadU8());
        }
        button.records.push_back(record);
    }
}

}  // namespace

std::shared_ptr<ButtonDefinition> ParseDefineButton(std::span<const std::uint8_t> body, int version) {
    BitReader in(body);
    auto button = std::make_shared<ButtonDefinition>();
    button->id = in.ReadU16();
    if (version == 1) {
        ReadButtonRecords(in, version, *button);
        // The one action list runs on release inside the button.
        ButtonAction action;
        action.conditions = kCondOverDownToOverUp;
        action.code = CopyCode(in.Rest());
        button->actions.push_back(action);
        return button;
    }
    button->trackAsMenu = (in.ReadU8() & 0x01) != 0;
    const std::uint16_t actionOffset = in.ReadU16();
    const std::size_t offsetBase = in.Position() - 2;
    ReadButtonRecords(in, version, *button);
    if (actionOffset == 0) return button;

    // Each condition action starts with the size of itself (0 for the last).
    std::size_t pos = offsetBase + actionOffset;
    while (true) {
        if (pos > body.size()) throw ParseError("button action outside the tag");
        BitReader condIn(body.subspan(pos));
        const std::uint16_t size = condIn.ReadU16();
        const std::uint8_t low = condIn.ReadU8();
        const std::uint8_t high = condIn.ReadU8();
        ButtonAction action;
        action.conditions = static_cast<std::uint16_t>(low | ((high & 0x01) << 8));
        action.keyCode = static_cast<std::uint8_t>(high >> 1);
        const std::size_t codeStart = pos + 4;
        const std::size_t codeEnd = size == 0 ? body.size() : pos + size;
        if (size != 0 && size < 4) throw ParseError("malformed button action size");
        if (codeEnd > body.size()) throw ParseError("button action outside the tag");
        action.code = CopyCode(body.subspan(codeStart, codeEnd - codeStart));
        button->actions.push_back(action);
        if (size == 0) break;
        pos += size;
    }
    return button;
}

}  // namespace swf
