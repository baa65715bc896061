#include "swf/text/caret_geometry.h"

namespace swf::text {

std::size_t LineOfIndex(const TextLayout& layout, std::size_t index) {
    const auto& lines = layout.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (index < lines[i].end) return i;
        // At a line's end: here unless the next line starts at the same place.
        if (index == lines[i].end && (i + 1 == lines.size() || lines[i + 1].begin != index)) return i;
    }
    return lines.empty() ? 0 : lines.size() - 1;
}

double CaretX(const TextLayout& layout, std::size_t line, std::size_t index) {
    if (line >= layout.lines.size()) return layout.bounds.xMin + kGutter;
    const TextLine& l = layout.lines[line];
    double x = l.left;
    for (const PlacedGlyph& g : l.glyphs) {
        if (g.index == kNoIndex) continue;
        if (g.index >= index) return g.x;
        x = g.x + g.advance;
    }
    return x;
}

std::size_t IndexOnLine(const TextLayout& layout, std::size_t line, double x) {
    if (line >= layout.lines.size()) return 0;
    const TextLine& l = layout.lines[line];
    for (const PlacedGlyph& g : l.glyphs) {
        if (g.index == kNoIndex) continue;
        if (x < g.x + g.advance / 2) return g.index;
    }
    // Past the last glyph: before the spaces a wrapped line hangs at its end
    // would put the caret out of sight, so the end it is.
    return l.end;
}

namespace {

std::size_t LineAt(const TextLayout& layout, double y) {
    const auto& lines = layout.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (y < lines[i].top + lines[i].height) return i;
    }
    return lines.empty() ? 0 : lines.size() - 1;
}

}  // namespace

std::size_t IndexAt(const TextLayout& layout, Point p) {
    if (layout.lines.empty()) return 0;
    return IndexOnLine(layout, LineAt(layout, p.y), p.x);
}

std::size_t GlyphAt(const TextLayout& layout, Point p) {
    for (const TextLine& l : layout.lines) {
        if (p.y < l.top || p.y >= l.top + l.height) continue;
        for (const PlacedGlyph& g : l.glyphs) {
            if (p.x >= g.x && p.x < g.x + g.advance) return g.index;
        }
    }
    return kNoIndex;
}

}  // namespace swf::text
