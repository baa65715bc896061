#include "swf/model/morph_shape.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

double Lerp(double from, double to, double t) { return from + (to - from) * t; }

std::uint8_t LerpByte(std::uint8_t from, std::uint8_t to, double t) {
    return static_cast<std::uint8_t>(std::lround(Lerp(from, to, t)));
}

Rgba LerpColor(Rgba from, Rgba to, double t) {
    return {LerpByte(from.r, to.r, t), LerpByte(from.g, to.g, t), LerpByte(from.b, to.b, t), LerpByte(from.a, to.a, t)};
}

Matrix LerpMatrix(const Matrix& from, const Matrix& to, double t) {
    return {Lerp(from.a, to.a, t), Lerp(from.b, to.b, t),   Lerp(from.c, to.c, t),
            Lerp(from.d, to.d, t), Lerp(from.tx, to.tx, t), Lerp(from.ty, to.ty, t)};
}

FillStyle FillAt(const MorphFillStyle& morph, double t) {
    FillStyle fill;
    fill.kind = morph.kind;
    fill.color = LerpColor(morph.startColor, morph.endColor, t);
    fill.matrix = LerpMatrix(morph.startMatrix, morph.endMatrix, t);
    fill.gradient.spread = morph.spread;
    fill.gradient.linearRgb = morph.linearRgb;
    fill.gradient.focalPoint = Lerp(morph.startFocalPoint, morph.endFocalPoint, t);
    for (const MorphGradientStop& stop : morph.stops) {
        fill.gradient.stops.push_back(
            {LerpByte(stop.startRatio, stop.endRatio, t), LerpColor(stop.startColor, stop.endColor, t)});
    }
    fill.bitmapId = morph.bitmapId;
    fill.bitmap = morph.bitmap;
    fill.bitmapRepeat = morph.bitmapRepeat;
    fill.bitmapSmooth = morph.bitmapSmooth;
    return fill;
}

LineStyle LineAt(const MorphLineStyle& morph, double t) {
    LineStyle line;
    line.width = static_cast<std::uint16_t>(std::lround(Lerp(morph.startWidth, morph.endWidth, t)));
    line.color = LerpColor(morph.startColor, morph.endColor, t);
    line.startCap = morph.startCap;
    line.endCap = morph.endCap;
    line.join = morph.join;
    line.miterLimit = morph.miterLimit;
    line.hasFill = morph.hasFill;
    if (morph.hasFill) {
        line.fill = FillAt(morph.fill, t);
        line.color = line.fill.kind == FillKind::Solid ? line.fill.color : Rgba{};
    }
    line.noClose = morph.noClose;
    return line;
}

// A straight edge as the curve that draws it: control point at its midpoint.
Segment AsCurve(Segment s) {
    if (!s.curved) {
        s.cx = (s.x0 + s.x1) / 2;
        s.cy = (s.y0 + s.y1) / 2;
        s.curved = true;
    }
    return s;
}

Segment SegmentAt(const MorphEdge& edge, double t) {
    Segment from = edge.start, to = edge.end;
    if (from.curved != to.curved) {
        from = AsCurve(from);
        to = AsCurve(to);
    }
    auto at = [t](float a, float b) { return static_cast<float>(Lerp(a, b, t)); };
    Segment s;
    s.x0 = at(from.x0, to.x0);
    s.y0 = at(from.y0, to.y0);
    s.cx = at(from.cx, to.cx);
    s.cy = at(from.cy, to.cy);
    s.x1 = at(from.x1, to.x1);
    s.y1 = at(from.y1, to.y1);
    s.curved = from.curved;
    return s;
}

}  // namespace

Shape InterpolateMorph(const std::vector<MorphFillStyle>& fills, const std::vector<MorphLineStyle>& lines,
                       const std::vector<MorphEdge>& edges, std::uint16_t ratio) {
    const double t = ratio / 65535.0;
    Shape shape;
    ShapeLayer& layer = shape.layers.emplace_back();
    for (const MorphFillStyle& fill : fills) layer.fills.push_back(FillAt(fill, t));
    for (const MorphLineStyle& line : lines) layer.lines.push_back(LineAt(line, t));
    layer.fillEdges.resize(layer.fills.size());
    layer.lineContours.resize(layer.lines.size());
    for (const MorphEdge& edge : edges) AddEdge(layer, SegmentAt(edge, t), edge.fill0, edge.fill1, edge.line);
    return shape;
}

std::shared_ptr<const Shape> MorphShapeDefinition::ShapeAt(std::uint16_t ratio) const {
    const std::lock_guard lock(cacheMutex_);
    const auto hit =
        std::find_if(cache_.begin(), cache_.end(), [ratio](const CachedShape& entry) { return entry.ratio == ratio; });
    if (hit != cache_.end()) {
        std::rotate(hit, hit + 1, cache_.end());
        return cache_.back().shape;
    }
    if (cache_.size() >= kCachedRatios) cache_.erase(cache_.begin());
    cache_.push_back({ratio, std::make_shared<const Shape>(InterpolateMorph(fills, lines, edges, ratio))});
    return cache_.back().shape;
}

}  // namespace swf
