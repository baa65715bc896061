#pragma once
// Nine-slice scaling: where the points of a clip's shapes go when the clip
// has a scaling grid and is scaled. Each axis of the clip's space is cut by
// the grid's sides into three bands across the content's box. The outer bands
// are scaled back by the clip's own scale, so that in its parent they keep
// their size; the centre band takes what is left, so the content's box still
// scales as the clip's matrix says. When the outer bands alone are wider than
// the scaled box, the centre vanishes and they shrink together.
//
// Points are mapped one by one, curves' control points included: an edge
// stays one edge between its mapped ends. That is exact for edges within one
// band (authoring tools cut edges at the grid's lines for this) and bends
// edges that cross a band's side less than a cut would.

#include <cstdint>
#include <optional>

#include "swf/model/geometry.h"
#include "swf/model/shape.h"

namespace swf {

// One axis: positions in the clip's space before and after.
class GridAxis {
public:
    GridAxis() = default;  // leaves positions as they are
    // The content spans b0..b1 and the grid g0..g1 (both ordered, the grid
    // inside the content); `scale` (above 0) is the clip's along the axis.
    GridAxis(double b0, double b1, double g0, double g1, double scale);

    // Past the content's ends positions go on as the outer bands do.
    double Map(double v) const;
    // The inverse; a position inside a vanished or zero-width centre gives g0.
    double Unmap(double v) const;
    // The factor the outer bands are scaled by in the clip's space.
    double outer() const { return outer_; }

private:
    friend class ScaleGrid;
    double b0_ = 0, b1_ = 0, g0_ = 0, g1_ = 0;
    double m0_ = 0, m1_ = 0;
    double outer_ = 1;
};

class ScaleGrid {
public:
    // The mapping of a clip whose own matrix is `clipMatrix` and whose
    // content's box is `content`, `grid` its grid (twips of its space). None
    // when nothing moves: a rotated or skewed clip (scaled as a whole), an
    // unscaled one, an empty content or a zero or non-finite scale. A grid
    // reaching past the content is cut to it.
    static std::optional<ScaleGrid> Make(const Rect& grid, const Rect& content, const Matrix& clipMatrix);

    Point Map(Point p) const { return {x_.Map(p.x), y_.Map(p.y)}; }
    Point Unmap(Point p) const { return {x_.Unmap(p.x), y_.Unmap(p.y)}; }
    const GridAxis& x() const { return x_; }
    const GridAxis& y() const { return y_; }

    // The shape, placed in the clip's space by `toClip`, with its points
    // mapped, in the clip's space. Gradient and bitmap fills stretch with the
    // shape's box; lines take the width the outer bands give them.
    Shape Slice(const Shape& shape, const Matrix& toClip) const;

    // Equal for grids that map alike.
    std::uint64_t Key() const;

private:
    ScaleGrid(const GridAxis& x, const GridAxis& y) : x_(x), y_(y) {}
    GridAxis x_;
    GridAxis y_;
};

}  // namespace swf
