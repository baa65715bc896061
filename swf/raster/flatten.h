#pragma once

#include <vector>

#include "swf/raster/geometry.h"
#include "swf/raster/path.h"

namespace swf::raster {

// Largest distance (pixels) between a curve and the lines that replace it.
inline constexpr double kFlatteningTolerance = 0.1;

// Receives a path as straight lines in pixel space.
class PolylineSink {
public:
    virtual ~PolylineSink() = default;
    virtual void BeginSubpath(Point start) = 0;
    virtual void LineTo(Point end) = 0;
    // An explicit close(): the current subpath ends at its start.
    virtual void CloseSubpath() = 0;
};

// Transforms the path's points into pixel space. Returns false (with `out` half
// filled) when the matrix or any point is not finite: such a path is not drawn.
// Coordinates are limited to +-1e9 pixels so later arithmetic stays finite.
bool TransformPoints(const Path& path, const Matrix& matrix, std::vector<Point>& out);

// A rectangle of interest: curves whose control points all lie on one side of
// it are replaced by their chord, which changes nothing visible inside it.
struct CullBox {
    double left, top, right, bottom;
};

// Feeds the path (with points already in pixel space) to the sink, replacing
// quadratic curves by enough lines to stay within kFlatteningTolerance.
void FlattenPath(const std::vector<PathVerb>& verbs, const std::vector<Point>& points, const CullBox* cull,
                 PolylineSink& sink);

}  // namespace swf::raster
