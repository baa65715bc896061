// The drawing methods of clips: beginFill, beginGradientFill,
// beginBitmapFill, lineStyle, lineGradientStyle, moveTo, lineTo, curveTo,
// endFill and clear. Scripts give pixels, colours as
// 0xRRGGBB and alphas in percent; the shape keeps twips and 0..255.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/actions/bitmap_objects.h"
#include "swf/actions/conversions.h"
#include "swf/actions/shape_drawing.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

constexpr double kTwips = 20;
constexpr double kMaxCoordinate = 1e7;  // pixels; keeps twips inside float range
constexpr std::size_t kMaxGradientStops = 15;
// The gradient square is 32768 twips wide: 1638.4 pixels.
constexpr double kGradientSquarePixels = 1638.4;

ShapeDrawing* DrawingOf(CallContext& c) {
    Object* o = c.self.AsObject();
    if (!o || o->kind != ObjectKind::Clip || !o->target) return nullptr;
    return o->target->ScriptDrawing();
}

std::uint8_t AlphaByte(double percent) {
    if (std::isnan(percent)) return 255;
    return static_cast<std::uint8_t>(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55));
}

Rgba ColorOf(double rgb, double alphaPercent) {
    const auto v = static_cast<std::uint32_t>(static_cast<std::int64_t>(std::isfinite(rgb) ? rgb : 0));
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v),
            AlphaByte(alphaPercent)};
}

// Two pixel coordinates from the arguments at `first`; false when one is not a number.
bool PointArg(CallContext& c, std::size_t first, Point* p) {
    const double x = ArgNumber(c, first), y = ArgNumber(c, first + 1);
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    *p = {std::clamp(x, -kMaxCoordinate, kMaxCoordinate) * kTwips,
          std::clamp(y, -kMaxCoordinate, kMaxCoordinate) * kTwips};
    return true;
}

double Member(CallContext& c, const Value& object, const char* name) {
    return c.interpreter.Number(c.interpreter.GetMember(object, name));
}

double Finite(double v) { return std::isfinite(v) ? std::clamp(v, -1e9, 1e9) : 0; }

// The gradient matrix from a script's object: either {a, b, c, d, tx, ty}
// mapping the gradient square (pixels) to the clip, or
// {matrixType: "box", x, y, w, h, r} naming the box the square fills.
Matrix GradientMatrix(CallContext& c, const Value& m) {
    if (!m.IsObject()) return {};
    if (c.interpreter.Text(c.interpreter.GetMember(m, "matrixType")) == "box") {
        const double x = Finite(Member(c, m, "x")), y = Finite(Member(c, m, "y"));
        const double w = Finite(Member(c, m, "w")), h = Finite(Member(c, m, "h"));
        const double r = Finite(Member(c, m, "r"));
        const double sx = w / kGradientSquarePixels, sy = h / kGradientSquarePixels;
        return {std::cos(r) * sx, std::sin(r) * sx,     -std::sin(r) * sy,
                std::cos(r) * sy, (x + w / 2) * kTwips, (y + h / 2) * kTwips};
    }
    return {Finite(Member(c, m, "a")), Finite(Member(c, m, "b")),           Finite(Member(c, m, "c")),
            Finite(Member(c, m, "d")), Finite(Member(c, m, "tx")) * kTwips, Finite(Member(c, m, "ty")) * kTwips};
}

const std::vector<Value>* ArrayArg(CallContext& c, std::size_t i) {
    Object* o = c.Arg(i).AsObject();
    return o && o->kind == ObjectKind::Array ? &o->elements : nullptr;
}

Value BeginFill(CallContext& c) {
    ShapeDrawing* drawing = DrawingOf(c);
    if (!drawing) return Value();
    if (c.Arg(0).IsUndefined()) {
        drawing->EndFill();
        return Value();
    }
    FillStyle fill;
    fill.color = ColorOf(ArgNumber(c, 0), c.Arg(1).IsUndefined() ? 100 : ArgNumber(c, 1));
    drawing->BeginFill(fill);
    return Value();
}

// The gradient of beginGradientFill and lineGradientStyle (type, colors,
// alphas, ratios, matrix, spreadMethod, interpolationMethod, focalPointRatio);
// false for mismatched or empty arrays and unknown types.
bool GradientArgs(CallContext& c, FillStyle* fill) {
    const std::string type = ArgText(c, 0);
    const auto* colors = ArrayArg(c, 1);
    const auto* alphas = ArrayArg(c, 2);
    const auto* ratios = ArrayArg(c, 3);
    if ((type != "linear" && type != "radial") || !colors || !alphas || !ratios || colors->empty() ||
        colors->size() != alphas->size() || colors->size() != ratios->size())
        return false;
    fill->kind = type == "linear" ? FillKind::LinearGradient : FillKind::RadialGradient;
    const std::size_t count = std::min(colors->size(), kMaxGradientStops);
    for (std::size_t i = 0; i < count; ++i) {
        const double ratio = c.interpreter.Number((*ratios)[i]);
        GradientStop stop;
        stop.ratio = static_cast<std::uint8_t>(std::isfinite(ratio) ? std::clamp(std::lround(ratio), 0L, 255L) : 0);
        stop.color = ColorOf(c.interpreter.Number((*colors)[i]), c.interpreter.Number((*alphas)[i]));
        fill->gradient.stops.push_back(stop);
    }
    fill->matrix = GradientMatrix(c, c.Arg(4));
    const std::string spread = ArgText(c, 5);
    fill->gradient.spread = spread == "reflect"  ? SpreadMode::Reflect
                            : spread == "repeat" ? SpreadMode::Repeat
                                                 : SpreadMode::Pad;
    fill->gradient.linearRgb = ArgText(c, 6) == "linearRGB";
    const double focal = c.Arg(7).IsUndefined() ? 0 : ArgNumber(c, 7);
    if (fill->kind == FillKind::RadialGradient && std::isfinite(focal) && focal != 0) {
        fill->kind = FillKind::FocalGradient;
        fill->gradient.focalPoint = std::clamp(focal, -1.0, 1.0);
    }
    return true;
}

Value BeginGradientFill(CallContext& c) {
    ShapeDrawing* drawing = DrawingOf(c);
    if (!drawing) return Value();
    FillStyle fill;
    if (GradientArgs(c, &fill)) {
        drawing->BeginFill(fill);
    } else {
        drawing->EndFill();
    }
    return Value();
}

// beginBitmapFill(bitmap, matrix, repeat = true, smoothing = false): the
// matrix maps the bitmap's pixels to the clip's. The fill shows the
// bitmap's pixels as they are whenever it is drawn.
Value BeginBitmapFill(CallContext& c) {
    ShapeDrawing* drawing = DrawingOf(c);
    if (!drawing) return Value();
    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.bitmap = BitmapImageOf(c.Arg(0));
    if (!fill.bitmap) {
        drawing->EndFill();
        return Value();
    }
    const Value m = c.Arg(1);
    if (m.IsObject()) {
        fill.matrix = {Finite(Member(c, m, "a")) * kTwips,  Finite(Member(c, m, "b")) * kTwips,
                       Finite(Member(c, m, "c")) * kTwips,  Finite(Member(c, m, "d")) * kTwips,
                       Finite(Member(c, m, "tx")) * kTwips, Finite(Member(c, m, "ty")) * kTwips};
    } else {
        fill.matrix = Matrix::Scale(kTwips, kTwips);
    }
    const int version = c.interpreter.vm().swfVersion();
    fill.bitmapRepeat = c.Arg(2).IsUndefined() || ToBoolean(c.Arg(2), version);
    fill.bitmapSmooth = !c.Arg(3).IsUndefined() && ToBoolean(c.Arg(3), version);
    drawing->BeginFill(fill);
    return Value();
}

// lineGradientStyle: the current line (lineStyle sets its width) painted
// with a gradient from here on.
Value LineGradientStyle(CallContext& c) {
    ShapeDrawing* drawing = DrawingOf(c);
    FillStyle fill;
    if (drawing && GradientArgs(c, &fill)) drawing->SetLineFill(fill);
    return Value();
}

Value LineStyleMethod(CallContext& c) {
    ShapeDrawing* drawing = DrawingOf(c);
    if (!drawing) return Value();
    const double thickness = ArgNumber(c, 0);
    if (c.Arg(0).IsUndefined() || std::isnan(thickness)) {
        drawing->SetLine(std::nullopt);
        return Value();
    }
    LineStyle line;
    // 0 is a hairline: one pixel wide.
    const double pixels = std::clamp(thickness, 0.0, 255.0);
    line.width = static_cast<std::uint16_t>(std::lround((pixels == 0 ? 1 : pixels) * kTwips));
    line.color = ColorOf(ArgNumber(c, 1), c.Arg(2).IsUndefined() ? 100 : ArgNumber(c, 2));
    const std::string caps = ArgText(c, 5);
    line.startCap = line.endCap = caps == "none"     ? CapStyle::None
                                  : caps == "square" ? CapStyle::Square
                                                     : CapStyle::Round;
    const std::string joints = ArgText(c, 6);
    line.join = joints == "miter" ? JoinStyle::Miter : joints == "bevel" ? JoinStyle::Bevel : JoinStyle::Round;
    const double miter = ArgNumber(c, 7);
    line.miterLimit = std::isfinite(miter) ? std::clamp(miter, 1.0, 255.0) : 3;
    drawing->SetLine(line);
    return Value();
}

Value MoveTo(CallContext& c) {
    Point p;
    if (ShapeDrawing* drawing = DrawingOf(c); drawing && PointArg(c, 0, &p)) drawing->MoveTo(p);
    return Value();
}

Value LineTo(CallContext& c) {
    Point p;
    if (ShapeDrawing* drawing = DrawingOf(c); drawing && PointArg(c, 0, &p)) drawing->LineTo(p);
    return Value();
}

Value CurveTo(CallContext& c) {
    Point control, anchor;
    if (ShapeDrawing* drawing = DrawingOf(c); drawing && PointArg(c, 0, &control) && PointArg(c, 2, &anchor))
        drawing->CurveTo(control, anchor);
    return Value();
}

Value EndFill(CallContext& c) {
    if (ShapeDrawing* drawing = DrawingOf(c)) drawing->EndFill();
    return Value();
}

Value Clear(CallContext& c) {
    if (ShapeDrawing* drawing = DrawingOf(c)) drawing->Clear();
    return Value();
}

}  // namespace

void InstallDrawingBuiltins(Installer& in, Object* clipProto) {
    in.Method(clipProto, "beginFill", BeginFill);
    in.Method(clipProto, "beginGradientFill", BeginGradientFill);
    in.Method(clipProto, "beginBitmapFill", BeginBitmapFill);
    in.Method(clipProto, "lineGradientStyle", LineGradientStyle);
    in.Method(clipProto, "lineStyle", LineStyleMethod);
    in.Method(clipProto, "moveTo", MoveTo);
    in.Method(clipProto, "lineTo", LineTo);
    in.Method(clipProto, "curveTo", CurveTo);
    in.Method(clipProto, "endFill", EndFill);
    in.Method(clipProto, "clear", Clear);
}

}  // namespace swf::actions
