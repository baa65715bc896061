#include "swf/writer/text.h"

#include <algorithm>
#include <cmath>

namespace swf::writer {

namespace {

struct PlacedGlyph {
    std::uint32_t index;
    std::int32_t advance;
};

std::vector<PlacedGlyph> Layout(const FontBuilder& font, const std::string& text, std::uint16_t height) {
    std::vector<PlacedGlyph> out;
    for (char ch : text) {
        int i = font.GlyphIndex(static_cast<unsigned char>(ch));
        if (i < 0) continue;
        double advance = static_cast<double>(font.glyph(static_cast<std::size_t>(i)).advance) * height / font.emUnits();
        out.push_back({static_cast<std::uint32_t>(i), static_cast<std::int32_t>(std::lround(advance))});
    }
    return out;
}

}  // namespace

std::int32_t TextWidth(const FontBuilder& font, const std::string& text, std::uint16_t height) {
    std::int32_t width = 0;
    for (const auto& g : Layout(font, text, height)) width += g.advance;
    return width;
}

std::vector<std::uint8_t> DefineTextBody(std::uint16_t id, const FontBuilder& font, std::uint16_t fontId,
                                         const std::vector<TextLine>& lines) {
    std::vector<std::vector<PlacedGlyph>> laid;
    unsigned glyphBits = 1, advanceBits = 1;
    Rect bounds;
    bool first = true;
    for (const auto& line : lines) {
        laid.push_back(Layout(font, line.text, line.height));
        std::int32_t width = 0;
        for (const auto& g : laid.back()) {
            glyphBits = std::max(glyphBits, BitsForUnsigned(g.index));
            advanceBits = std::max(advanceBits, BitsForSigned(g.advance));
            width += g.advance;
        }
        std::int32_t top = line.y - font.ascent() * line.height / font.emUnits();
        std::int32_t bottom = line.y + font.descent() * line.height / font.emUnits();
        Rect r{line.x, line.x + width, top, bottom};
        if (first) bounds = r;
        bounds.xMin = std::min(bounds.xMin, r.xMin);
        bounds.xMax = std::max(bounds.xMax, r.xMax);
        bounds.yMin = std::min(bounds.yMin, r.yMin);
        bounds.yMax = std::max(bounds.yMax, r.yMax);
        first = false;
    }

    BitWriter w;
    w.U16(id);
    WriteRect(w, bounds);
    WriteMatrix(w, Matrix{});
    w.U8(static_cast<std::uint8_t>(glyphBits));
    w.U8(static_cast<std::uint8_t>(advanceBits));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        // Lines of more than 255 glyphs go out as several records.
        const auto& glyphs = laid[i];
        std::int32_t x = line.x;
        std::size_t at = 0;
        do {
            std::size_t count = std::min<std::size_t>(glyphs.size() - at, 255);
            w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);  // font, colour, x and y offsets
            w.U16(fontId);
            WriteRgb(w, line.color);
            w.S16(static_cast<std::int16_t>(x));
            w.S16(static_cast<std::int16_t>(line.y));
            w.U16(line.height);
            w.U8(static_cast<std::uint8_t>(count));
            for (std::size_t k = at; k < at + count; ++k) {
                w.UB(glyphBits, glyphs[k].index);
                w.SB(advanceBits, glyphs[k].advance);
                x += glyphs[k].advance;
            }
            w.Align();
            at += count;
        } while (at < glyphs.size());
    }
    w.U8(0);
    return w.Take();
}

}  // namespace swf::writer
