#pragma once

namespace swf::raster {

enum class LineCap { Round, None, Square };
enum class LineJoin { Round, Bevel, Miter };

struct StrokeStyle {
    // Line width in pixels (after the drawing matrix; Matrix::MeanScale() helps
    // converting). Widths below one pixel, zero (a hairline) included, draw one pixel wide.
    double width = 1;
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    // Longest miter as a multiple of the width; longer ones become bevels.
    double miterLimit = 3;
};

}  // namespace swf::raster
