#pragma once
// An embedded font: glyph outlines, the code table and optional layout.

#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/shape.h"

namespace swf {

struct Glyph {
    std::vector<Segment> edges;  // the outline in em-square units, oriented as fill edges
};

struct FontDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Font;
    CharacterKind Kind() const override { return kKind; }
    std::string name;
    bool bold = false;
    bool italic = false;
    double emSquare = 1024;  // 20480 for the higher-resolution outlines
    std::vector<Glyph> glyphs;
    std::vector<std::uint16_t> codes;  // character code per glyph (when present)
    bool hasLayout = false;
    std::int16_t ascent = 0, descent = 0, leading = 0;
    std::vector<std::int16_t> advances;  // per glyph, when hasLayout
};

}  // namespace swf
