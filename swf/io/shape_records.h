#pragma once
// The SHAPERECORD stream shared by shapes, glyphs and morph shapes: style
// changes and edges up to the end-of-shape record, with the pen position and
// styles in force tracked as the records go.

#include <cstdint>

#include "swf/io/bit_reader.h"
#include "swf/io/parse_error.h"
#include "swf/model/shape.h"

namespace swf {

// Walks the shape records, handing every edge with the styles in force to `onEdge`
// (segment, fill0, fill1, line) and each new-styles record to `onNewStyles`,
// which reads the style arrays and updates the two index widths.
// Returns normally at the end-of-shape record.
template <typename OnNewStyles, typename OnEdge>
void WalkShapeRecords(BitReader& in, unsigned fillBits, unsigned lineBits, bool allowNewStyles,
                      OnNewStyles&& onNewStyles, OnEdge&& onEdge) {
    double x = 0, y = 0;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    while (true) {
        if (in.ReadFlag()) {  // edge record
            const bool straight = in.ReadFlag();
            const unsigned bits = in.ReadUB(4) + 2;
            Segment s;
            s.x0 = static_cast<float>(x);
            s.y0 = static_cast<float>(y);
            if (straight) {
                double dx = 0, dy = 0;
                if (in.ReadFlag()) {
                    dx = in.ReadSB(bits);
                    dy = in.ReadSB(bits);
                } else if (in.ReadFlag()) {
                    dy = in.ReadSB(bits);
                } else {
                    dx = in.ReadSB(bits);
                }
                x += dx;
                y += dy;
            } else {
                const double cx = x + in.ReadSB(bits);
                const double cy = y + in.ReadSB(bits);
                x = cx + in.ReadSB(bits);
                y = cy + in.ReadSB(bits);
                s.cx = static_cast<float>(cx);
                s.cy = static_cast<float>(cy);
                s.curved = true;
            }
            s.x1 = static_cast<float>(x);
            s.y1 = static_cast<float>(y);
            onEdge(s, fill0, fill1, line);
            continue;
        }
        const bool newStyles = in.ReadFlag();
        const bool hasLine = in.ReadFlag();
        const bool hasFill1 = in.ReadFlag();
        const bool hasFill0 = in.ReadFlag();
        const bool moveTo = in.ReadFlag();
        if (!newStyles && !hasLine && !hasFill1 && !hasFill0 && !moveTo) return;
        if (moveTo) {
            const unsigned bits = in.ReadUB(5);
            x = in.ReadSB(bits);
            y = in.ReadSB(bits);
        }
        if (hasFill0) fill0 = in.ReadUB(fillBits);
        if (hasFill1) fill1 = in.ReadUB(fillBits);
        if (hasLine) line = in.ReadUB(lineBits);
        if (newStyles) {
            if (!allowNewStyles) throw ParseError("new styles where the shape allows none");
            onNewStyles(fillBits, lineBits);
            fill0 = fill1 = line = 0;
        }
    }
}

}  // namespace swf
