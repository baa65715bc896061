#include "swf/raster/flatten.h"

#include <algorithm>
#include <cmath>

namespace swf::raster {

namespace {

constexpr double kCoordinateLimit = 1e9;
constexpr int kMaxCurveSegments = 1024;

bool OutsideBox(const Point& a, const Point& b, const Point& c, const CullBox& box) {
    return (a.x >= box.right && b.x >= box.right && c.x >= box.right) ||
           (a.x <= box.left && b.x <= box.left && c.x <= box.left) ||
           (a.y >= box.bottom && b.y >= box.bottom && c.y >= box.bottom) ||
           (a.y <= box.top && b.y <= box.top && c.y <= box.top);
}

void FlattenQuad(Point p0, Point p1, Point p2, const CullBox* cull, PolylineSink& sink) {
    if (cull && OutsideBox(p0, p1, p2, *cull)) {
        sink.LineTo(p2);
        return;
    }
    // The chord of a parameter step h strays |p0 - 2 p1 + p2| * h^2 / 4 from the curve.
    const double ddx = p0.x - 2 * p1.x + p2.x, ddy = p0.y - 2 * p1.y + p2.y;
    const double bend = std::sqrt(ddx * ddx + ddy * ddy);
    int segments = static_cast<int>(std::ceil(std::sqrt(bend / (4 * kFlatteningTolerance))));
    segments = std::clamp(segments, 1, kMaxCurveSegments);
    if (segments == 1) {
        sink.LineTo(p2);
        return;
    }
    // Forward differences of B(t) = p0 + 2t (p1 - p0) + t^2 (p0 - 2 p1 + p2).
    const double h = 1.0 / segments;
    double x = p0.x, y = p0.y;
    double dx = 2 * h * (p1.x - p0.x) + h * h * ddx, dy = 2 * h * (p1.y - p0.y) + h * h * ddy;
    const double d2x = 2 * h * h * ddx, d2y = 2 * h * h * ddy;
    for (int i = 1; i < segments; ++i) {
        x += dx;
        y += dy;
        dx += d2x;
        dy += d2y;
        sink.LineTo({x, y});
    }
    sink.LineTo(p2);  // land exactly on the end point
}

}  // namespace

bool TransformPoints(const Path& path, const Matrix& matrix, std::vector<Point>& out) {
    if (!matrix.IsFinite()) return false;
    const std::vector<Point>& in = path.points();
    out.resize(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        Point p = matrix.Apply(in[i]);
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        out[i] = {std::clamp(p.x, -kCoordinateLimit, kCoordinateLimit),
                  std::clamp(p.y, -kCoordinateLimit, kCoordinateLimit)};
    }
    return true;
}

void FlattenPath(const std::vector<PathVerb>& verbs, const std::vector<Point>& points, const CullBox* cull,
                 PolylineSink& sink) {
    std::size_t next = 0;
    Point current{}, start{};
    for (PathVerb verb : verbs) {
        switch (verb) {
        case PathVerb::MoveTo:
            current = start = points[next++];
            sink.BeginSubpath(current);
            break;
        case PathVerb::LineTo:
            current = points[next++];
            sink.LineTo(current);
            break;
        case PathVerb::QuadTo: {
            Point control = points[next], end = points[next + 1];
            next += 2;
            FlattenQuad(current, control, end, cull, sink);
            current = end;
            break;
        }
        case PathVerb::Close:
            sink.CloseSubpath();
            current = start;
            break;
        }
    }
}

}  // namespace swf::raster
