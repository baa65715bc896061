#pragma once
// Static text: runs of glyphs of one font, colour and height.

#include <cstdint>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"

namespace swf {

struct GlyphEntry {
    std::uint32_t index = 0;   // into the font's glyphs
    std::int32_t advance = 0;  // twips to the next glyph's origin
};

struct TextRun {
    std::uint16_t fontId = 0;
    Rgba color;
    double x = 0, y = 0;  // origin of the first glyph, text space (twips)
    double height = 0;    // em height in twips
    std::vector<GlyphEntry> glyphs;
};

struct TextDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Text;
    CharacterKind Kind() const override { return kKind; }
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;
};

}  // namespace swf
