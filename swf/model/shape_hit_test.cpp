#include "swf/model/shape_hit_test.h"

namespace swf {

namespace {

// Winding contribution of the line a-b for a ray from p towards +x.
int Crossing(double ax, double ay, double bx, double by, Point p) {
    if ((ay <= p.y) == (by <= p.y)) return 0;
    const double t = (p.y - ay) / (by - ay);
    const double x = ax + t * (bx - ax);
    if (x <= p.x) return 0;
    return by > ay ? 1 : -1;
}

int Winding(const Segment& s, Point p) {
    if (!s.curved) return Crossing(s.x0, s.y0, s.x1, s.y1, p);
    // Curves are flattened finely enough for pointer hit tests.
    constexpr int kSteps = 16;
    int w = 0;
    double px = s.x0, py = s.y0;
    for (int i = 1; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps, u = 1 - t;
        const double x = u * u * s.x0 + 2 * u * t * s.cx + t * t * s.x1;
        const double y = u * u * s.y0 + 2 * u * t * s.cy + t * t * s.y1;
        w += Crossing(px, py, x, y, p);
        px = x;
        py = y;
    }
    return w;
}

}  // namespace

bool EdgesContain(const std::vector<Segment>& edges, Point p, bool nonZero) {
    int winding = 0;
    for (const Segment& s : edges) winding += Winding(s, p);
    return nonZero ? winding != 0 : (winding & 1) != 0;
}

bool ShapeContains(const Shape& shape, Point p) {
    for (const ShapeLayer& layer : shape.layers) {
        for (const auto& edges : layer.fillEdges) {
            if (EdgesContain(edges, p, shape.nonZeroWinding)) return true;
        }
    }
    return false;
}

}  // namespace swf
