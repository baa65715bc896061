#pragma once
// Where text positions lie in a laid-out field, for the caret, selections and
// clicks. An index is a position between characters of the text (0 before
// the first). Coordinates are the layout's own (unscrolled) twips.

#include <cstddef>

#include "swf/model/geometry.h"
#include "swf/text/text_layout.h"

namespace swf::text {

// The line a caret at `index` sits on: where a wrapped line ends, the next
// line's start. 0 for a layout without lines.
std::size_t LineOfIndex(const TextLayout& layout, std::size_t index);

// The caret's x at `index` on line `line` (the line's left edge when empty).
double CaretX(const TextLayout& layout, std::size_t line, std::size_t index);

// The text position nearest to a point: the line under it (the first or last
// one above or below the text), then the gap between glyphs nearest to x.
std::size_t IndexAt(const TextLayout& layout, Point p);

// The index on line `line` nearest to x (for moving the caret up and down).
std::size_t IndexOnLine(const TextLayout& layout, std::size_t line, double x);

// The index of the glyph drawn under a point, or kNoIndex between or beyond glyphs.
std::size_t GlyphAt(const TextLayout& layout, Point p);

}  // namespace swf::text
