#include "swf/raster/stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/raster/coverage_accumulator.h"
#include "swf/raster/flatten.h"

namespace swf::raster {

namespace {

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
Point operator-(Point a) { return {-a.x, -a.y}; }
double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
double DotProduct(Point a, Point b) { return a.x * b.x + a.y * b.y; }
// The normal on a direction's "positive" side.
Point normal(Point d) { return {-d.y, d.x}; }

constexpr double kSamePoint = 1e-9;

}  // namespace

void Stroker::Begin(Point p) {
    first_ = last_ = p;
    open_ = true;
}

void Stroker::To(Point p) {
    if (!open_) {
        Begin(p);
        return;
    }
    if (p.x == last_.x && p.y == last_.y) return;
    out_->AddLine(last_.x, last_.y, p.x, p.y);
    last_ = p;
}

void Stroker::CloseLoop() {
    if (open_) To(first_);
    open_ = false;
}

void Stroker::Arc(Point center, Point from, double sweep) {
    // Steps so that each chord stays within the flattening tolerance of the circle.
    double r = halfWidth_;
    double step = r > kFlatteningTolerance ? 2 * std::acos(1 - kFlatteningTolerance / r) : std::numbers::pi / 2;
    int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
    double c = std::cos(sweep / steps), s = std::sin(sweep / steps);
    Point v = from;
    for (int i = 1; i < steps; ++i) {
        v = {v.x * c - v.y * s, v.x * s + v.y * c};
        To(center + v);
    }
}

void Stroker::Cap(Point p, Point direction) {
    Point n = normal(direction) * halfWidth_;
    switch (style_.cap) {
    case LineCap::None: break;
    case LineCap::Square: {
        Point ahead = direction * halfWidth_;
        To(p + n + ahead);
        To(p - n + ahead);
        break;
    }
    case LineCap::Round:
        // From the positive normal through the direction to the negative normal.
        Arc(p, n, -std::numbers::pi);
        break;
    }
    To(p - n);
}

void Stroker::Dot(Point p) {
    const double r = halfWidth_;
    switch (style_.cap) {
    case LineCap::None: return;
    // Wound the same way as every other outline, so that overlaps add up.
    case LineCap::Square:
        To({p.x - r, p.y - r});
        To({p.x - r, p.y + r});
        To({p.x + r, p.y + r});
        To({p.x + r, p.y - r});
        break;
    case LineCap::Round:
        To({p.x + r, p.y});
        Arc(p, {r, 0}, -2 * std::numbers::pi);
        break;
    }
    CloseLoop();
}

void Stroker::Join(Point p, int incoming, int outgoing, bool reversed) {
    auto direction = [&](int segment) { return reversed ? -directions_[segment] : directions_[segment]; };
    const Point in = direction(incoming), out = direction(outgoing);
    const Point nIn = normal(in) * halfWidth_, nOut = normal(out) * halfWidth_;
    const double turn = cross(in, out), along = DotProduct(in, out);

    if (turn > 0) {
        // This side is the inside of the turn. Where both offset lines stay within
        // their segments they meet in one corner; otherwise go round the vertex
        // itself, which keeps the outline's winding positive.
        double reach = along > -1 + 1e-9 ? halfWidth_ * std::sqrt((1 - along) / (1 + along)) : 1e300;
        if (reach <= std::min(lengths_[incoming], lengths_[outgoing])) {
            To(p + (nIn + nOut) * (1 / (1 + along)));
        } else {
            To(p + nIn);
            To(p);
            To(p + nOut);
        }
        return;
    }
    To(p + nIn);
    if (turn == 0 && along > 0) return;  // straight on
    switch (style_.join) {
    case LineJoin::Round: {
        double sweep = std::atan2(cross(nIn, nOut), DotProduct(nIn, nOut));
        if (sweep > 0) sweep -= 2 * std::numbers::pi;  // turn the outer way round
        Arc(p, nIn, sweep);
        break;
    }
    case LineJoin::Miter: {
        // The miter is 1 / cos(turn / 2) half-widths long.
        double halfCos = std::sqrt(std::max(0.0, (1 + along) / 2));
        double limit = std::max(1.0, style_.miterLimit);
        if (halfCos > 1e-9 && 1 / halfCos <= limit) To(p + (nIn + nOut) * (1 / (1 + along)));
        break;
    }
    case LineJoin::Bevel: break;
    }
    To(p + nOut);
}

void Stroker::EmitSide(bool reversed, bool closed) {
    const int n = static_cast<int>(points_.size());
    if (closed) {
        // Segment k runs from point k to point k + 1 (mod n).
        auto point = [&](int k) { return points_[reversed ? (n - k) % n : k]; };
        auto segment = [&](int k) { return reversed ? (2 * n - k - 1) % n : k; };
        for (int k = 0; k < n; ++k) Join(point(k), segment((k + n - 1) % n), segment(k), reversed);
        CloseLoop();
        return;
    }
    auto point = [&](int k) { return points_[reversed ? n - 1 - k : k]; };
    auto segment = [&](int k) { return reversed ? n - 2 - k : k; };
    auto direction = [&](int k) { return reversed ? -directions_[segment(k)] : directions_[segment(k)]; };
    To(point(0) + normal(direction(0)) * halfWidth_);
    for (int k = 1; k < n - 1; ++k) Join(point(k), segment(k - 1), segment(k), reversed);
    To(point(n - 1) + normal(direction(n - 2)) * halfWidth_);
    Cap(point(n - 1), direction(n - 2));
}

void Stroker::StrokePolyline(const Point* points, int count, bool closed, const StrokeStyle& style,
                             CoverageAccumulator& out) {
    style_ = style;
    out_ = &out;
    open_ = false;
    const double width = std::isfinite(style.width) ? style.width : 1.0;
    halfWidth_ = std::max(width, 1.0) / 2;

    points_.clear();
    for (int i = 0; i < count; ++i) {
        const Point& p = points[i];
        if (points_.empty() || std::fabs(p.x - points_.back().x) > kSamePoint ||
            std::fabs(p.y - points_.back().y) > kSamePoint) {
            points_.push_back(p);
        }
    }
    if (closed && points_.size() > 1 && std::fabs(points_.front().x - points_.back().x) <= kSamePoint &&
        std::fabs(points_.front().y - points_.back().y) <= kSamePoint) {
        points_.pop_back();
    }
    if (points_.empty()) return;
    if (points_.size() == 1) {
        Dot(points_[0]);
        return;
    }
    if (closed && points_.size() == 2) {
        // Closing two points goes there and back: an open line with a turn at its far end.
        closed = false;
        points_.push_back(points_.front());
    }

    const int n = static_cast<int>(points_.size());
    const int segments = closed ? n : n - 1;
    directions_.resize(segments);
    lengths_.resize(segments);
    for (int k = 0; k < segments; ++k) {
        Point d = points_[(k + 1) % n] - points_[k];
        double length = std::sqrt(DotProduct(d, d));
        lengths_[k] = length;
        directions_[k] = d * (1 / length);
    }
    if (closed) {
        EmitSide(false, true);
        EmitSide(true, true);
    } else {
        EmitSide(false, false);
        EmitSide(true, false);
        CloseLoop();
    }
}

}  // namespace swf::raster
