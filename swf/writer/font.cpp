#include "swf/writer/font.h"

namespace swf::writer {

FontBuilder::FontBuilder(std::string name, std::int32_t emUnits, std::int16_t ascent, std::int16_t descent)
    : name_(std::move(name)), em_(emUnits), ascent_(ascent), descent_(descent) {}

void FontBuilder::AddGlyph(Glyph glyph) { glyphs_.push_back(std::move(glyph)); }

void FontBuilder::AddKerning(std::uint16_t left, std::uint16_t right, std::int16_t adjustment) {
    kerning_.push_back({left, right, adjustment});
}

int FontBuilder::GlyphIndex(std::uint16_t code) const {
    for (std::size_t i = 0; i < glyphs_.size(); ++i)
        if (glyphs_[i].code == code) return static_cast<int>(i);
    return -1;
}

std::vector<std::uint8_t> FontBuilder::DefineFontBody(std::uint16_t id) const {
    std::vector<std::vector<std::uint8_t>> shapes;
    std::size_t shapeBytes = 0;
    for (const auto& g : glyphs_) {
        shapes.push_back(g.outline.GlyphShape());
        shapeBytes += shapes.back().size();
    }
    const std::size_t n = glyphs_.size();
    // Offsets count from the start of the offset table, which holds n glyph
    // offsets and the code table offset.
    bool wide = (n + 1) * 2 + shapeBytes > 0xFFFF;
    std::size_t offsetSize = wide ? 4 : 2;

    BitWriter w;
    w.U16(id);
    std::uint8_t flags = 0x80 | 0x04;  // has layout, wide codes
    if (wide) flags |= 0x08;
    w.U8(flags);
    w.U8(1);  // language: Latin
    w.U8(static_cast<std::uint8_t>(std::min<std::size_t>(name_.size(), 255)));
    for (std::size_t i = 0; i < name_.size() && i < 255; ++i) w.U8(static_cast<std::uint8_t>(name_[i]));
    w.U16(static_cast<std::uint16_t>(n));
    std::size_t offset = (n + 1) * offsetSize;
    auto writeOffset = [&](std::size_t v) {
        if (wide)
            w.U32(static_cast<std::uint32_t>(v));
        else
            w.U16(static_cast<std::uint16_t>(v));
    };
    for (const auto& s : shapes) {
        writeOffset(offset);
        offset += s.size();
    }
    writeOffset(offset);  // code table
    for (const auto& s : shapes) w.Bytes(s);
    for (const auto& g : glyphs_) w.U16(g.code);
    w.S16(ascent_);
    w.S16(descent_);
    w.S16(0);  // leading
    for (const auto& g : glyphs_) w.S16(g.advance);
    for (const auto& g : glyphs_) WriteRect(w, g.outline.EdgeBounds());
    w.U16(static_cast<std::uint16_t>(kerning_.size()));
    for (const Kerning& k : kerning_) {
        w.U16(k.left);  // wide codes
        w.U16(k.right);
        w.S16(k.adjustment);
    }
    return w.Take();
}

}  // namespace swf::writer
