#include "swf/player/render/scale_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

// Below this, a matrix's rotation and skew terms count as none.
constexpr double kTurnTolerance = 1e-9;

struct Box {
    double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
    double x1 = -std::numeric_limits<double>::infinity(), y1 = x1;
    void Grow(Point p) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    bool empty() const { return x0 > x1; }
};

// The box of every point of the shape (curves' controls included) in the clip's space.
Box ShapeBox(const Shape& shape, const Matrix& toClip) {
    Box box;
    const auto grow = [&](const Segment& s) {
        box.Grow(toClip.Apply({s.x0, s.y0}));
        if (s.curved) box.Grow(toClip.Apply({s.cx, s.cy}));
        box.Grow(toClip.Apply({s.x1, s.y1}));
    };
    for (const ShapeLayer& layer : shape.layers) {
        for (const auto& edges : layer.fillEdges)
            for (const Segment& s : edges) grow(s);
        for (const auto& contours : layer.lineContours)
            for (const Contour& contour : contours)
                for (const Segment& s : contour) grow(s);
    }
    return box;
}

// The affine map taking the span v0..v1 to where the axis maps its ends.
void Stretch(const GridAxis& axis, double v0, double v1, double* scale, double* offset) {
    const double m0 = axis.Map(v0), m1 = axis.Map(v1);
    *scale = v1 > v0 ? (m1 - m0) / (v1 - v0) : axis.outer();
    *offset = m0 - v0 * *scale;
}

std::uint16_t ScaledWidth(std::uint16_t width, double scale) {
    if (width == 0) return 0;
    const double scaled = std::round(width * scale);
    return static_cast<std::uint16_t>(std::clamp(scaled, 1.0, 65535.0));
}

}  // namespace

GridAxis::GridAxis(double b0, double b1, double g0, double g1, double scale)
    : b0_(b0), b1_(b1), g0_(g0), g1_(g1), outer_(1 / scale) {
    const double outerBands = (g0 - b0) + (b1 - g1);
    // The outer bands at their own size would overlap: they share the box.
    if (outerBands * outer_ > b1 - b0) outer_ = (b1 - b0) / outerBands;
    m0_ = b0 + (g0 - b0) * outer_;
    m1_ = b1 - (b1 - g1) * outer_;
}

double GridAxis::Map(double v) const {
    // A grid side on the content's far end leaves that end where it is.
    if (v < g0_ || (v == g0_ && g0_ < b1_)) return b0_ + (v - b0_) * outer_;
    if (v >= g1_) return b1_ - (b1_ - v) * outer_;
    return m0_ + (v - g0_) * (m1_ - m0_) / (g1_ - g0_);
}

double GridAxis::Unmap(double v) const {
    if (v <= m0_) return b0_ + (v - b0_) / outer_;
    if (v >= m1_) return b1_ - (b1_ - v) / outer_;
    return g0_ + (v - m0_) * (g1_ - g0_) / (m1_ - m0_);
}

std::optional<ScaleGrid> ScaleGrid::Make(const Rect& grid, const Rect& content, const Matrix& clipMatrix) {
    const double sx = std::fabs(clipMatrix.a), sy = std::fabs(clipMatrix.d);
    if (!(std::isfinite(sx) && std::isfinite(sy) && sx > 0 && sy > 0)) return std::nullopt;
    // Players scale a turned clip as a whole.
    if (std::fabs(clipMatrix.b) > kTurnTolerance * sx || std::fabs(clipMatrix.c) > kTurnTolerance * sy)
        return std::nullopt;
    if (sx == 1 && sy == 1) return std::nullopt;
    if (content.Width() <= 0 && content.Height() <= 0) return std::nullopt;
    const auto axis = [](double b0, double b1, double g0, double g1, double scale) {
        const double lo = std::clamp(std::min(g0, g1), b0, b1), hi = std::clamp(std::max(g0, g1), b0, b1);
        return GridAxis(b0, b1, lo, hi, scale);
    };
    return ScaleGrid(axis(content.xMin, std::max(content.xMin, content.xMax), grid.xMin, grid.xMax, sx),
                     axis(content.yMin, std::max(content.yMin, content.yMax), grid.yMin, grid.yMax, sy));
}

Shape ScaleGrid::Slice(const Shape& shape, const Matrix& toClip) const {
    const Box box = ShapeBox(shape, toClip);
    Matrix stretch;
    if (!box.empty()) {
        Stretch(x_, box.x0, box.x1, &stretch.a, &stretch.tx);
        Stretch(y_, box.y0, box.y1, &stretch.d, &stretch.ty);
    }
    const Matrix fillToClip = stretch * toClip;
    const double lineScale = std::sqrt(std::fabs((Matrix::Scale(x_.outer(), y_.outer()) * toClip).Determinant()));
    const auto map = [&](const Segment& s) {
        const Point p0 = Map(toClip.Apply({s.x0, s.y0}));
        const Point c = Map(toClip.Apply({s.cx, s.cy}));
        const Point p1 = Map(toClip.Apply({s.x1, s.y1}));
        return Segment{static_cast<float>(p0.x),
                       static_cast<float>(p0.y),
                       static_cast<float>(c.x),
                       static_cast<float>(c.y),
                       static_cast<float>(p1.x),
                       static_cast<float>(p1.y),
                       s.curved};
    };
    Shape out;
    out.nonZeroWinding = shape.nonZeroWinding;
    out.layers.reserve(shape.layers.size());
    for (const ShapeLayer& layer : shape.layers) {
        ShapeLayer& sliced = out.layers.emplace_back();
        sliced.fills = layer.fills;
        for (FillStyle& fill : sliced.fills) fill.matrix = fillToClip * fill.matrix;
        sliced.lines = layer.lines;
        for (LineStyle& line : sliced.lines) {
            line.width = ScaledWidth(line.width, lineScale);
            line.fill.matrix = fillToClip * line.fill.matrix;
        }
        sliced.fillEdges.reserve(layer.fillEdges.size());
        for (const auto& edges : layer.fillEdges) {
            auto& mapped = sliced.fillEdges.emplace_back();
            mapped.reserve(edges.size());
            for (const Segment& s : edges) mapped.push_back(map(s));
        }
        sliced.lineContours.reserve(layer.lineContours.size());
        for (const auto& contours : layer.lineContours) {
            auto& mapped = sliced.lineContours.emplace_back();
            for (const Contour& contour : contours) {
                Contour& line = mapped.emplace_back();
                line.reserve(contour.size());
                for (const Segment& s : contour) line.push_back(map(s));
            }
        }
    }
    return out;
}

std::uint64_t ScaleGrid::Key() const {
    raster::Fingerprint key;
    for (const GridAxis* axis : {&x_, &y_})
        key.Add(axis->b0_).Add(axis->b1_).Add(axis->g0_).Add(axis->g1_).Add(axis->outer_);
    return key.value();
}

}  // namespace swf
