#include "swf/io/font_parser.h"

#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

namespace {

// Reads glyph i from the table that starts at `table`, its offsets relative to it.
Glyph ReadGlyphAt(std::span<const std::uint8_t> table, std::size_t offset, std::size_t end, EdgeBudget& budget) {
    if (offset > end || end > table.size()) throw ParseError("glyph offset outside the font");
    BitReader glyphIn(table.subspan(offset, end - offset));
    return ReadGlyphShape(glyphIn, budget);
}

}  // namespace

std::shared_ptr<FontDefinition> ParseDefineFont(std::span<const std::uint8_t> body, EdgeBudget& budget) {
    BitReader in(body);
    auto font = std::make_shared<FontDefinition>();
    font->id = in.ReadU16();
    const auto table = in.Rest();
    if (table.empty()) return font;
    BitReader offsets(table);
    const std::uint16_t first = offsets.ReadU16();
    const std::size_t count = first / 2;
    std::vector<std::size_t> starts{first};
    for (std::size_t i = 1; i < count; ++i) starts.push_back(offsets.ReadU16());
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? starts[i + 1] : table.size();
        font->glyphs.push_back(ReadGlyphAt(table, starts[i], end, budget));
    }
    return font;
}

std::shared_ptr<FontDefinition> ParseDefineFont2(std::span<const std::uint8_t> body, int version,
                                                 EdgeBudget& budget) {
    BitReader in(body);
    auto font = std::make_shared<FontDefinition>();
    font->id = in.ReadU16();
    font->emSquare = version >= 3 ? 20480 : 1024;
    font->hasLayout = in.ReadFlag();
    in.ReadFlag();  // Shift-JIS
    in.ReadFlag();  // small text
    in.ReadFlag();  // ANSI
    const bool wideOffsets = in.ReadFlag();
    const bool wideCodes = in.ReadFlag();
    font->italic = in.ReadFlag();
    font->bold = in.ReadFlag();
    in.ReadU8();  // language
    const std::uint8_t nameLength = in.ReadU8();
    const auto name = in.ReadBytes(nameLength);
    font->name.assign(name.begin(), name.end());
    while (!font->name.empty() && font->name.back() == '\0') font->name.pop_back();
    const std::size_t count = in.ReadU16();
    if (count == 0) return font;  // a device font: no outlines to read

    // Offsets count from the start of the offset table, which ends with the
    // code table's offset.
    const auto table = in.Rest();
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i <= count; ++i) starts.push_back(wideOffsets ? in.ReadU32() : in.ReadU16());
    const std::size_t codeTableOffset = starts.back();
    if (codeTableOffset > table.size()) throw ParseError("font code table outside the tag");
    for (std::size_t i = 0; i < count; ++i) {
        font->glyphs.push_back(ReadGlyphAt(table, starts[i], starts[i + 1], budget));
    }
    BitReader rest(table.subspan(codeTableOffset));
    for (std::size_t i = 0; i < count; ++i) {
        font->codes.push_back(wideCodes ? rest.ReadU16() : rest.ReadU8());
    }
    if (font->hasLayout) {
        font->ascent = rest.ReadS16();
        font->descent = rest.ReadS16();
        font->leading = rest.ReadS16();
        for (std::size_t i = 0; i < count; ++i) font->advances.push_back(rest.ReadS16());
        // Glyph bounds and kerning are not needed for drawing static text.
    }
    return font;
}

}  // namespace swf
