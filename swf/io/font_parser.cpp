#include "swf/io/font_parser.h"

#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/swf_string.h"

namespace swf {

namespace {

// Reads glyph i from the table that starts at `table`, its offsets relative to it.
Glyph ReadGlyphAt(std::span<const std::uint8_t> table, std::size_t offset, std::size_t end, EdgeBudget& budget) {
    if (offset > end || end > table.size()) throw ParseError("glyph offset outside the font");
    BitReader glyphIn(table.subspan(offset, end - offset));
    return ReadGlyphShape(glyphIn, budget);
}

std::string TrimNul(std::span<const std::uint8_t> bytes) {
    std::string name(bytes.begin(), bytes.end());
    while (!name.empty() && name.back() == '\0') name.pop_back();
    return name;
}

// A copy of the font with that id, for a tag that amends it.
std::shared_ptr<FontDefinition> CopyOfFont(std::uint16_t id, const Dictionary& dictionary) {
    const FontDefinition* font = FindCharacter<FontDefinition>(dictionary, id);
    if (font == nullptr) throw ParseError("font information for a font not defined before it");
    return std::make_shared<FontDefinition>(*font);
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

std::shared_ptr<FontDefinition> ParseDefineFont2(std::span<const std::uint8_t> body, int version, EdgeBudget& budget,
                                                 int movieVersion) {
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
    font->name = DecodeMovieString(TrimNul(in.ReadBytes(nameLength)), movieVersion);
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
        // Some writers end the tag before the bounds or kerning tables: the
        // font stays usable without them.
        try {
            for (std::size_t i = 0; i < count; ++i) ReadRect(rest);  // glyph bounds: layout uses advances
            const std::size_t kerningCount = rest.ReadU16();
            if (kerningCount > rest.Remaining() / 4) throw ParseError("font kerning table runs past the tag");
            for (std::size_t i = 0; i < kerningCount; ++i) {
                KerningPair pair;
                pair.left = wideCodes ? rest.ReadU16() : rest.ReadU8();
                pair.right = wideCodes ? rest.ReadU16() : rest.ReadU8();
                pair.adjustment = rest.ReadS16();
                font->kerning.push_back(pair);
            }
        } catch (const ParseError&) {
            font->kerning.clear();
        }
    }
    return font;
}

std::shared_ptr<FontDefinition> ApplyDefineFontInfo(std::span<const std::uint8_t> body, int infoVersion,
                                                    int movieVersion, const Dictionary& dictionary) {
    BitReader in(body);
    auto font = CopyOfFont(in.ReadU16(), dictionary);
    const std::uint8_t nameLength = in.ReadU8();
    font->name = DecodeMovieString(TrimNul(in.ReadBytes(nameLength)), movieVersion);
    in.ReadUB(2);   // reserved
    in.ReadFlag();  // small text
    in.ReadFlag();  // Shift-JIS
    in.ReadFlag();  // ANSI
    font->italic = in.ReadFlag();
    font->bold = in.ReadFlag();
    const bool wideCodes = in.ReadFlag();
    if (infoVersion >= 2) in.ReadU8();  // language
    font->codes.clear();
    for (std::size_t i = 0; i < font->glyphs.size(); ++i) {
        font->codes.push_back(wideCodes ? in.ReadU16() : in.ReadU8());
    }
    return font;
}

std::shared_ptr<FontDefinition> ApplyDefineFontName(std::span<const std::uint8_t> body, int movieVersion,
                                                    const Dictionary& dictionary) {
    BitReader in(body);
    auto font = CopyOfFont(in.ReadU16(), dictionary);
    font->name = DecodeMovieString(in.ReadString(), movieVersion);
    font->copyright = DecodeMovieString(in.ReadString(), movieVersion);
    return font;
}

}  // namespace swf
