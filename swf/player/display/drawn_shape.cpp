#include "swf/player/display/drawn_shape.h"

#include <algorithm>
#include <cmath>

#include "swf/player/display/quadratic_extent.h"

namespace swf {

ShapeLayer& DrawnShape::CurrentLayer() {
    if (shape_.layers.empty()) shape_.layers.emplace_back();
    return shape_.layers.back();
}

void DrawnShape::BeginFill(const FillStyle& fill) {
    EndFill();
    ShapeLayer layer;
    layer.fills.push_back(fill);
    layer.fillEdges.emplace_back();
    if (line_) {
        layer.lines.push_back(*line_);
        layer.lineContours.emplace_back();
    }
    lineIndex_ = line_ ? 1 : 0;
    shape_.layers.push_back(std::move(layer));
    filling_ = true;
    subpathStart_ = pen_;
    ++version_;
}

void DrawnShape::EndFill() {
    if (!filling_) return;
    CloseSubpath(true);
    filling_ = false;
    ++version_;
}

void DrawnShape::SetLine(const std::optional<LineStyle>& line) {
    line_ = line;
    if (!line_) {
        lineIndex_ = 0;
        return;
    }
    ShapeLayer& layer = CurrentLayer();
    layer.lines.push_back(*line_);
    layer.lineContours.emplace_back();
    lineIndex_ = static_cast<std::uint32_t>(layer.lines.size());
}

void DrawnShape::SetLineFill(const FillStyle& fill) {
    if (!line_) return;
    LineStyle line = *line_;
    line.hasFill = true;
    line.fill = fill;
    SetLine(line);
}

void DrawnShape::MoveTo(Point p) {
    // A fill's outline is closed before the pen leaves it.
    if (filling_) CloseSubpath(false);
    pen_ = subpathStart_ = p;
}

void DrawnShape::LineTo(Point p) {
    AddEdge({static_cast<float>(pen_.x), static_cast<float>(pen_.y), 0, 0, static_cast<float>(p.x),
             static_cast<float>(p.y), false},
            true);
    pen_ = p;
}

void DrawnShape::CurveTo(Point control, Point anchor) {
    AddEdge({static_cast<float>(pen_.x), static_cast<float>(pen_.y), static_cast<float>(control.x),
             static_cast<float>(control.y), static_cast<float>(anchor.x), static_cast<float>(anchor.y), true},
            true);
    pen_ = anchor;
}

void DrawnShape::Clear() {
    shape_ = {};
    line_.reset();
    lineIndex_ = 0;
    filling_ = false;
    pen_ = subpathStart_ = {0, 0};
    edges_ = 0;
    hasBounds_ = false;
    ++version_;
}

void DrawnShape::CloseSubpath(bool stroked) {
    if (pen_ == subpathStart_) return;
    AddEdge({static_cast<float>(pen_.x), static_cast<float>(pen_.y), 0, 0, static_cast<float>(subpathStart_.x),
             static_cast<float>(subpathStart_.y), false},
            stroked);
    pen_ = subpathStart_;
}

void DrawnShape::AddEdge(const Segment& segment, bool stroked) {
    const std::uint32_t fill = filling_ ? 1 : 0;
    const std::uint32_t line = stroked ? lineIndex_ : 0;
    if ((fill == 0 && line == 0) || edges_ >= kMaxEdges) return;
    if (segment.x0 == segment.x1 && segment.y0 == segment.y1 && !segment.curved && line == 0) return;
    ShapeLayer& layer = shape_.layers.back();  // a fill or a line style made it
    swf::AddEdge(layer, segment, 0, fill, line);
    ++edges_;
    const double margin = line != 0 ? layer.lines[line - 1].width / 2.0 : 0;
    Grow(segment.x0, segment.y0, margin);
    Grow(segment.x1, segment.y1, margin);
    if (segment.curved) {
        double t = 0;
        if (QuadExtreme(segment.x0, segment.cx, segment.x1, &t))
            Grow(QuadAt(segment.x0, segment.cx, segment.x1, t), QuadAt(segment.y0, segment.cy, segment.y1, t), margin);
        if (QuadExtreme(segment.y0, segment.cy, segment.y1, &t))
            Grow(QuadAt(segment.x0, segment.cx, segment.x1, t), QuadAt(segment.y0, segment.cy, segment.y1, t), margin);
    }
    ++version_;
}

void DrawnShape::Grow(double x, double y, double margin) {
    if (!hasBounds_) {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
        hasBounds_ = true;
    }
    minX_ = std::min(minX_, x - margin);
    minY_ = std::min(minY_, y - margin);
    maxX_ = std::max(maxX_, x + margin);
    maxY_ = std::max(maxY_, y + margin);
}

Rect DrawnShape::Bounds() const {
    if (!hasBounds_) return {};
    static constexpr double kLimit = 2e9;
    const auto twips = [](double v) { return static_cast<std::int32_t>(std::clamp(std::round(v), -kLimit, kLimit)); };
    return {twips(minX_), twips(maxX_), twips(minY_), twips(maxY_)};
}

}  // namespace swf
