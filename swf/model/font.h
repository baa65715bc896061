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

// Extra space between two characters, in em-square units.
struct KerningPair {
    std::uint16_t left = 0, right = 0;  // character codes
    std::int16_t adjustment = 0;
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
    std::vector<KerningPair> kerning;    // when hasLayout
    std::string copyright;               // DefineFontName

    // A font without outlines (no glyphs, or only empty ones) names a system
    // font that text set in it uses.
    bool IsDeviceFont() const {
        for (const Glyph& g : glyphs) {
            if (!g.edges.empty()) return false;
        }
        return true;
    }
    // The glyph index for a character code, or -1.
    int GlyphIndex(std::uint32_t code) const {
        for (std::size_t i = 0; i < codes.size() && i < glyphs.size(); ++i) {
            if (codes[i] == code) return static_cast<int>(i);
        }
        return -1;
    }
    // The layout advance of a glyph in em-square units, when the font has one.
    bool Advance(std::size_t glyph, double* advance) const {
        if (!hasLayout || glyph >= advances.size()) return false;
        *advance = advances[glyph];
        return true;
    }
    // The kerning adjustment between two characters (em-square units).
    std::int16_t Kerning(std::uint32_t left, std::uint32_t right) const {
        for (const KerningPair& k : kerning) {
            if (k.left == left && k.right == right) return k.adjustment;
        }
        return 0;
    }
};

}  // namespace swf
