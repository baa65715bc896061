#include "swf/raster/path.h"

#include <cmath>
#include <numbers>

namespace swf::raster {

void Path::MoveTo(double x, double y) {
    verbs_.push_back(PathVerb::MoveTo);
    points_.push_back({x, y});
    started_ = true;
}

void Path::EnsureStarted() {
    if (!started_) MoveTo(0, 0);
}

void Path::LineTo(double x, double y) {
    EnsureStarted();
    verbs_.push_back(PathVerb::LineTo);
    points_.push_back({x, y});
}

void Path::QuadTo(double controlX, double controlY, double x, double y) {
    EnsureStarted();
    verbs_.push_back(PathVerb::QuadTo);
    points_.push_back({controlX, controlY});
    points_.push_back({x, y});
}

void Path::Close() {
    if (started_) verbs_.push_back(PathVerb::Close);
}

void Path::AddRect(double x, double y, double width, double height) {
    MoveTo(x, y);
    LineTo(x + width, y);
    LineTo(x + width, y + height);
    LineTo(x, y + height);
    Close();
}

void Path::AddEllipse(double cx, double cy, double rx, double ry) {
    // Sixteen quadratic arcs of 22.5 degrees each (within 0.02 % of the radius);
    // each control point lies where the end tangents meet, at radius / cos(half the arc).
    constexpr int kArcs = 16;
    const double step = 2 * std::numbers::pi / kArcs;
    const double controlScale = 1.0 / std::cos(step / 2);
    MoveTo(cx + rx, cy);
    for (int i = 0; i < kArcs; ++i) {
        double mid = (i + 0.5) * step, end = (i + 1) * step;
        bool last = i == kArcs - 1;  // end exactly where the ellipse started
        QuadTo(cx + rx * controlScale * std::cos(mid), cy + ry * controlScale * std::sin(mid),
               last ? cx + rx : cx + rx * std::cos(end), last ? cy : cy + ry * std::sin(end));
    }
    Close();
}

void Path::Clear() {
    verbs_.clear();
    points_.clear();
    started_ = false;
}

}  // namespace swf::raster
