#pragma once
// Where a quadratic Bezier segment reaches its furthest point along one axis:
// bounding boxes of curves must include that point, not only the end points.

namespace swf {

// The parameter in (0, 1) at which the coordinate (p0, control c, p1) turns,
// when it turns inside the segment.
inline bool QuadExtreme(double p0, double c, double p1, double* t) {
    const double denominator = p0 - 2 * c + p1;
    if (denominator == 0) return false;
    *t = (p0 - c) / denominator;
    return *t > 0 && *t < 1;
}

// The coordinate at parameter t.
inline double QuadAt(double p0, double c, double p1, double t) {
    const double u = 1 - t;
    return u * u * p0 + 2 * u * t * c + t * t * p1;
}

}  // namespace swf
