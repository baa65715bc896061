#pragma once
// DefineShape 1-4 and the style-less glyph shapes of fonts.

#include <cstddef>
#include <memory>
#include <span>

#include "swf/io/bit_reader.h"
#include "swf/model/font.h"
#include "swf/model/shape.h"

namespace swf {

// Upper bound on the edges kept for one movie; a movie that declares more is
// refused rather than allowed to exhaust memory.
inline constexpr std::size_t kMaxEdgesPerMovie = 2'000'000;

struct EdgeBudget {
    std::size_t remaining = kMaxEdgesPerMovie;
    void Take(std::size_t count = 1);  // throws ParseError when spent
};

// `version` is 1..4 for DefineShape..DefineShape4.
std::shared_ptr<ShapeDefinition> ParseDefineShape(std::span<const std::uint8_t> body, int version, EdgeBudget& budget);

// A SHAPE without style arrays (a font glyph): every edge bounding any fill.
Glyph ReadGlyphShape(BitReader& in, EdgeBudget& budget);

}  // namespace swf
