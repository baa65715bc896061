#include <numbers>
#include "swf/writer/shape.h"

#include <algorithm>
#include <cmath>

namespace swf::writer {

namespace {

constexpr double kGradientSquare = 32768.0;  // twips across the gradient's own square

Matrix GradientMatrix(const Rect& box, double radians) {
    double w = box.xMax - box.xMin, h = box.yMax - box.yMin;
    return Matrix::Transform(w / kGradientSquare, h / kGradientSquare, radians, (box.xMin + box.xMax) / 2,
                             (box.yMin + box.yMax) / 2);
}

void WriteFillStyle(BitWriter& w, const FillStyle& f, int version) {
    w.U8(static_cast<std::uint8_t>(f.type));
    auto color = [&](Rgba c) {
        if (version >= 3)
            WriteRgba(w, c);
        else
            WriteRgb(w, Rgb{c.r, c.g, c.b});
    };
    if (f.type == FillStyle::Type::Solid) {
        color(f.color);
        return;
    }
    if (f.type >= FillStyle::Type::RepeatingBitmap) {
        w.U16(f.bitmapId);
        WriteMatrix(w, f.matrix);
        return;
    }
    WriteMatrix(w, f.matrix);
    std::size_t count = std::min<std::size_t>(f.stops.size(), version >= 4 ? 15 : 8);
    w.U8(static_cast<std::uint8_t>(count));  // pad mode and interpolation 0
    for (std::size_t i = 0; i < count; ++i) {
        w.U8(f.stops[i].ratio);
        color(f.stops[i].color);
    }
    if (f.type == FillStyle::Type::Focal) w.Fixed8(f.focalPoint);
}

void WriteLineStyle(BitWriter& w, const LineStyle& l, int version) {
    w.U16(l.width);
    if (version >= 4) {
        // LINESTYLE2: round caps and joins, no fill, then the colour.
        w.U8(0);
        w.U8(0);
        WriteRgba(w, l.color);
    } else if (version == 3) {
        WriteRgba(w, l.color);
    } else {
        WriteRgb(w, Rgb{l.color.r, l.color.g, l.color.b});
    }
}

void WriteCount(BitWriter& w, std::size_t n, int version) {
    if (n < 0xFF || version < 2) {
        w.U8(static_cast<std::uint8_t>(std::min<std::size_t>(n, 0xFF)));
    } else {
        w.U8(0xFF);
        w.U16(static_cast<std::uint16_t>(n));
    }
}

}  // namespace

FillStyle FillStyle::Solid(Rgba color) {
    FillStyle f;
    f.color = color;
    return f;
}

FillStyle FillStyle::Linear(const Rect& box, double radians, std::vector<GradientStop> stops) {
    FillStyle f;
    f.type = Type::Linear;
    f.matrix = GradientMatrix(box, radians);
    f.stops = std::move(stops);
    return f;
}

FillStyle FillStyle::Radial(const Rect& box, std::vector<GradientStop> stops) {
    FillStyle f;
    f.type = Type::Radial;
    f.matrix = GradientMatrix(box, 0);
    f.stops = std::move(stops);
    return f;
}

FillStyle FillStyle::Bitmap(std::uint16_t bitmapId, const Matrix& matrix, bool repeat, bool smooth) {
    FillStyle f;
    f.type = repeat ? (smooth ? Type::RepeatingBitmap : Type::RepeatingHardBitmap)
                    : (smooth ? Type::ClippedBitmap : Type::ClippedHardBitmap);
    f.matrix = matrix;
    f.bitmapId = bitmapId;
    return f;
}

std::uint16_t ShapeBuilder::AddFill(const FillStyle& fill) {
    fills_.push_back(fill);
    return static_cast<std::uint16_t>(fills_.size());
}

std::uint16_t ShapeBuilder::AddLine(const LineStyle& line) {
    lines_.push_back(line);
    return static_cast<std::uint16_t>(lines_.size());
}

void ShapeBuilder::SetStyles(std::uint16_t fill0, std::uint16_t fill1, std::uint16_t line) {
    fill0_ = fill0;
    fill1_ = fill1;
    line_ = line;
    pending_ = true;
}

void ShapeBuilder::Include(std::int32_t x, std::int32_t y) {
    if (!hasBounds_) {
        bounds_ = Rect{x, x, y, y};
        hasBounds_ = true;
        return;
    }
    bounds_.xMin = std::min(bounds_.xMin, x);
    bounds_.xMax = std::max(bounds_.xMax, x);
    bounds_.yMin = std::min(bounds_.yMin, y);
    bounds_.yMax = std::max(bounds_.yMax, y);
}

void ShapeBuilder::FlushPendingStyles() {
    if (!pending_) return;
    Record r{Record::Kind::Style};
    r.setStyles = true;
    r.fill0 = fill0_;
    r.fill1 = fill1_;
    r.line = line_;
    records_.push_back(r);
    pending_ = false;
}

void ShapeBuilder::MoveTo(std::int32_t x, std::int32_t y) {
    Record r{Record::Kind::Style};
    r.move = true;
    r.x = x;
    r.y = y;
    if (pending_) {
        r.setStyles = true;
        r.fill0 = fill0_;
        r.fill1 = fill1_;
        r.line = line_;
        pending_ = false;
    }
    records_.push_back(r);
    penX_ = x;
    penY_ = y;
    Include(x, y);
}

void ShapeBuilder::LineTo(std::int32_t x, std::int32_t y) {
    FlushPendingStyles();
    Record r{Record::Kind::Line};
    r.x = x - penX_;
    r.y = y - penY_;
    records_.push_back(r);
    penX_ = x;
    penY_ = y;
    Include(x, y);
}

void ShapeBuilder::CurveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y) {
    FlushPendingStyles();
    Record r{Record::Kind::Curve};
    r.cx = controlX - penX_;
    r.cy = controlY - penY_;
    r.x = x - controlX;
    r.y = y - controlY;
    records_.push_back(r);
    penX_ = x;
    penY_ = y;
    Include(controlX, controlY);
    Include(x, y);
}

void ShapeBuilder::Rectangle(const Rect& r, std::uint16_t fill, std::uint16_t line) {
    SetStyles(0, fill, line);
    MoveTo(r.xMin, r.yMin);
    LineTo(r.xMax, r.yMin);
    LineTo(r.xMax, r.yMax);
    LineTo(r.xMin, r.yMax);
    LineTo(r.xMin, r.yMin);
}

void ShapeBuilder::RoundedRectangle(const Rect& r, std::int32_t radius, std::uint16_t fill, std::uint16_t line) {
    radius = std::clamp(radius, 0, std::min(r.xMax - r.xMin, r.yMax - r.yMin) / 2);
    if (radius == 0) {
        Rectangle(r, fill, line);
        return;
    }
    // Each corner is two quadratic arcs meeting on the 45-degree point.
    const double k = 1 - std::sqrt(0.5);              // corner-to-arc-midpoint, per radius
    const double c = std::tan(std::numbers::pi / 8);  // control offset along the tangent, per radius
    auto R = [&](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    double rr = radius;
    SetStyles(0, fill, line);
    MoveTo(r.xMin + radius, r.yMin);
    LineTo(r.xMax - radius, r.yMin);
    CurveTo(R(r.xMax - rr + rr * c), r.yMin, R(r.xMax - rr * k), R(r.yMin + rr * k));
    CurveTo(r.xMax, R(r.yMin + rr - rr * c), r.xMax, r.yMin + radius);
    LineTo(r.xMax, r.yMax - radius);
    CurveTo(r.xMax, R(r.yMax - rr + rr * c), R(r.xMax - rr * k), R(r.yMax - rr * k));
    CurveTo(R(r.xMax - rr + rr * c), r.yMax, r.xMax - radius, r.yMax);
    LineTo(r.xMin + radius, r.yMax);
    CurveTo(R(r.xMin + rr - rr * c), r.yMax, R(r.xMin + rr * k), R(r.yMax - rr * k));
    CurveTo(r.xMin, R(r.yMax - rr + rr * c), r.xMin, r.yMax - radius);
    LineTo(r.xMin, r.yMin + radius);
    CurveTo(r.xMin, R(r.yMin + rr - rr * c), R(r.xMin + rr * k), R(r.yMin + rr * k));
    CurveTo(R(r.xMin + rr - rr * c), r.yMin, r.xMin + radius, r.yMin);
}

void ShapeBuilder::Ellipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry, std::uint16_t fill,
                           std::uint16_t line) {
    // Angles grow clockwise on screen; controls sit on the tangents' crossing.
    const double step = std::numbers::pi / 4;
    const double controlScale = 1 / std::cos(step / 2);
    auto R = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    SetStyles(0, fill, line);
    MoveTo(cx + rx, cy);
    for (int i = 1; i <= 8; ++i) {
        double a = i * step, mid = a - step / 2;
        std::int32_t x = i == 8 ? cx + rx : R(cx + rx * std::cos(a));
        std::int32_t y = i == 8 ? cy : R(cy + ry * std::sin(a));
        CurveTo(R(cx + rx * controlScale * std::cos(mid)), R(cy + ry * controlScale * std::sin(mid)), x, y);
    }
}

Rect ShapeBuilder::EdgeBounds() const { return hasBounds_ ? bounds_ : Rect{}; }

Rect ShapeBuilder::ShapeBounds() const {
    Rect r = EdgeBounds();
    std::int32_t half = 0;
    for (const auto& l : lines_) half = std::max<std::int32_t>(half, l.width / 2);
    return Rect{r.xMin - half, r.xMax + half, r.yMin - half, r.yMax + half};
}

void ShapeBuilder::WriteRecords(BitWriter& w, unsigned fillBits, unsigned lineBits) const {
    for (const Record& r : records_) {
        if (r.kind == Record::Kind::Style) {
            w.UB(1, 0);
            w.UB(1, 0);                        // no new styles
            w.UB(1, r.setStyles && lineBits);  // line style
            w.UB(1, r.setStyles && fillBits);  // fill style 1
            w.UB(1, r.setStyles && fillBits);  // fill style 0
            w.UB(1, r.move);
            if (r.move) {
                unsigned bits = BitsForSigned({r.x, r.y});
                w.UB(5, bits);
                w.SB(bits, r.x);
                w.SB(bits, r.y);
            }
            if (r.setStyles && fillBits) {
                w.UB(fillBits, r.fill0);
                w.UB(fillBits, r.fill1);
            }
            if (r.setStyles && lineBits) w.UB(lineBits, r.line);
        } else if (r.kind == Record::Kind::Line) {
            unsigned bits = std::max(2u, BitsForSigned({r.x, r.y}));
            w.UB(1, 1);
            w.UB(1, 1);
            w.UB(4, bits - 2);
            if (r.x != 0 && r.y != 0) {
                w.UB(1, 1);
                w.SB(bits, r.x);
                w.SB(bits, r.y);
            } else {
                w.UB(1, 0);
                w.UB(1, r.x == 0);  // vertical
                w.SB(bits, r.x == 0 ? r.y : r.x);
            }
        } else {
            unsigned bits = std::max(2u, BitsForSigned({r.cx, r.cy, r.x, r.y}));
            w.UB(1, 1);
            w.UB(1, 0);
            w.UB(4, bits - 2);
            w.SB(bits, r.cx);
            w.SB(bits, r.cy);
            w.SB(bits, r.x);
            w.SB(bits, r.y);
        }
    }
    w.UB(6, 0);  // end of shape
    w.Align();
}

std::vector<std::uint8_t> ShapeBuilder::DefineShapeBody(std::uint16_t id, int version) const {
    BitWriter w;
    w.U16(id);
    WriteRect(w, ShapeBounds());
    if (version >= 4) {
        WriteRect(w, EdgeBounds());
        w.U8(0x01);  // uses scaling strokes only
    }
    WriteCount(w, fills_.size(), version);
    for (const auto& f : fills_) WriteFillStyle(w, f, version);
    WriteCount(w, lines_.size(), version);
    for (const auto& l : lines_) WriteLineStyle(w, l, version);
    unsigned fillBits = BitsForUnsigned(static_cast<std::uint32_t>(fills_.size()));
    unsigned lineBits = BitsForUnsigned(static_cast<std::uint32_t>(lines_.size()));
    w.UB(4, fillBits);
    w.UB(4, lineBits);
    WriteRecords(w, fillBits, lineBits);
    return w.Take();
}

std::vector<std::uint8_t> ShapeBuilder::GlyphShape() const { return Outline(1, 0); }

std::vector<std::uint8_t> ShapeBuilder::Outline(unsigned fillBits, unsigned lineBits) const {
    BitWriter w;
    w.UB(4, fillBits);
    w.UB(4, lineBits);
    WriteRecords(w, fillBits, lineBits);
    return w.Take();
}

}  // namespace swf::writer
