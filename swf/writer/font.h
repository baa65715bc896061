#pragma once
// An embedded font: glyph outlines with their character codes and advances,
// written as DefineFont2 (1024 units per em) or DefineFont3 (20480).

#include <cstdint>
#include <string>
#include <vector>

#include "swf/writer/shape.h"

namespace swf::writer {

struct Glyph {
    std::uint16_t code = 0;
    ShapeBuilder outline;  // em units, baseline at y = 0, y down
    std::int16_t advance = 0;
};

class FontBuilder {
public:
    FontBuilder(std::string name, std::int32_t emUnits, std::int16_t ascent, std::int16_t descent);

    void AddGlyph(Glyph glyph);
    // Extra advance between two character codes, em units.
    void AddKerning(std::uint16_t left, std::uint16_t right, std::int16_t adjustment);
    // Index of the glyph for `code`, or -1.
    int GlyphIndex(std::uint16_t code) const;
    const Glyph& glyph(std::size_t index) const { return glyphs_[index]; }
    std::size_t size() const { return glyphs_.size(); }
    std::int32_t emUnits() const { return em_; }
    std::int16_t ascent() const { return ascent_; }
    std::int16_t descent() const { return descent_; }

    // DefineFont2 when the em is 1024, DefineFont3 when it is 20480.
    std::vector<std::uint8_t> DefineFontBody(std::uint16_t id) const;

private:
    std::string name_;
    std::int32_t em_;
    std::int16_t ascent_, descent_;
    std::vector<Glyph> glyphs_;
    struct Kerning {
        std::uint16_t left, right;
        std::int16_t adjustment;
    };
    std::vector<Kerning> kerning_;
};

// A simple block font drawn on a 5 x 7 grid (plus 2 rows of descender) for
// A-Z, a-z, 0-9, space and . , : ; ! ? ' " - + = / ( ) & @ # % * _
// emUnits: 1024 for DefineFont2, 20480 for DefineFont3.
FontBuilder MakeBlockFont(const std::string& name, std::int32_t emUnits);

}  // namespace swf::writer
