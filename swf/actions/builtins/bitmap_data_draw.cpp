// BitmapData.draw, applyFilter and generateFilterRect. What is drawn or
// filtered goes into a layer of its own first and only then onto the
// bitmap, so a bitmap drawn or filtered into itself reads its pixels as they
// were before the call.

#include <algorithm>
#include <cmath>

#include "swf/actions/bitmap_objects.h"
#include "swf/actions/builtins/bitmap_data_args.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/geom.h"
#include "swf/actions/filter_objects.h"
#include "swf/raster/blend_mode.h"
#include "swf/raster/filters.h"
#include "swf/raster/raster.h"

namespace swf::actions::bitmap_args {

namespace {

// Puts `layer`'s pixels onto the bitmap with the layer's (0, 0) at (x, y),
// changing only the pixels that differ.
void Store(raster::BitmapData& bitmap, const raster::Surface& layer, int x, int y) {
    const raster::PixelRect target =
        raster::PixelRect{x, y, x + layer.width(), y + layer.height()}.Intersected(bitmap.rect());
    const std::shared_ptr<const raster::Image> image = bitmap.image();
    for (int py = target.top; py < target.bottom; ++py) {
        for (int px = target.left; px < target.right; ++px) {
            const std::uint32_t p = layer.pixel(px - x, py - y);
            if (p != image->pixel(px, py)) bitmap.SetPixel32(px, py, StraightPixel(p));
        }
    }
}

// The bitmap's pixels in `area`, as a layer of that size.
raster::Surface Copy(const raster::BitmapData& bitmap, const raster::PixelRect& area) {
    raster::Surface out(area.width(), area.height());
    const std::shared_ptr<const raster::Image> image = bitmap.image();
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) out.row(y)[x] = image->pixel(area.left + x, area.top + y);
    return out;
}

// A blend mode's name or its number 1..14; anything else is normal.
raster::BlendMode BlendArg(CallContext& c, std::size_t i) {
    const Value v = c.Arg(i);
    raster::BlendMode mode = raster::BlendMode::Normal;
    if (v.IsNumber()) {
        const double n = v.AsNumber();
        if (n >= 1 && n <= 14 && n == std::trunc(n)) mode = raster::BlendModeFromNumber(static_cast<int>(n));
    } else if (!v.IsUndefined()) {
        raster::BlendModeFromName(c.interpreter.Text(v).c_str(), &mode);
    }
    return mode;
}

void DrawBitmap(raster::Surface& layer, const raster::BitmapData& source, const raster::Matrix& m,
                const raster::ColorTransform& colors, bool smooth) {
    raster::BitmapStyle style;
    style.image = source.image();
    style.matrix = m;
    style.repeat = false;
    style.smooth = smooth;
    style.colors = colors;
    raster::Path path;
    path.AddRect(0, 0, source.width(), source.height());
    raster::DrawOptions options;
    options.matrix = m;
    raster::FillPath(layer, path, raster::FillRule::NonZero, raster::Paint::BitmapFill(style), options);
}

DisplayTarget* DisplayOf(const Value& v) {
    Object* o = v.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->display : nullptr;
}

}  // namespace

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing): a
// clip's content or another bitmap, its pixels mapped by the matrix.
Value Draw(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Value();
    raster::Matrix m;
    if (!ReadMatrix(c.interpreter, c.Arg(1), &m)) m = {};
    raster::ColorTransform colors;
    ReadColorTransform(c.interpreter, c.Arg(2), &colors);
    const raster::BlendMode mode = BlendArg(c, 3);
    raster::PixelRect area = b->rect();
    if (raster::PixelRect clip; RectArg(c, 4, &clip)) area = area.Intersected(clip);
    if (area.empty()) return Value();
    // The layer covers only `area`: what is drawn moves by its corner.
    const raster::Matrix toLayer = raster::Matrix::Translate(-area.left, -area.top) * m;
    raster::Surface layer(area.width(), area.height());
    Charge(c, area.Area());
    if (const raster::BitmapData* source = LiveArg(c, 0)) {
        DrawBitmap(layer, *source, toLayer, colors, FlagArg(c, 5, false));
    } else if (DisplayTarget* target = DisplayOf(c.Arg(0))) {
        if (!target->DrawInto(layer, toLayer, colors)) return Value();
    } else {
        return Value();
    }
    raster::Surface below = Copy(*b, area);
    raster::CompositeLayer(layer, 0, 0, below, {0, 0, area.width(), area.height()}, mode, nullptr);
    Store(*b, below, area.left, area.top);
    return Value();
}

// applyFilter(source, sourceRect, destPoint, filter): the filter applied to
// the source rectangle (nothing around it is read), the result put at
// destPoint. 0 when applied, -1 when an argument is unusable.
Value ApplyFilter(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    const raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    raster::Filter filter;
    if (!source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y) || !FilterFromObject(c.Arg(3).AsObject(), &filter))
        return Value::Number(-1);
    const raster::PixelRect clipped = r.Intersected(source->rect());
    if (clipped.empty()) return Value::Number(0);
    Charge(c, clipped.Area() * 4);
    raster::Surface layer = Copy(*source, clipped);
    raster::FilterScratch scratch;
    raster::ApplyFilter(filter, layer, {0, 0, layer.width(), layer.height()}, scratch);
    Store(*b, layer, x + (clipped.left - r.left), y + (clipped.top - r.top));
    return Value::Number(0);
}

// generateFilterRect(sourceRect, filter): the rectangle a filter's result
// can reach from the source rectangle.
Value GenerateFilterRect(CallContext& c) {
    if (!LiveSelf(c)) return Unusable(c);
    raster::PixelRect r;
    raster::Filter filter;
    if (!RectArg(c, 0, &r)) return Value();
    if (!FilterFromObject(c.Arg(1).AsObject(), &filter)) return MakeRectangle(c.interpreter, {});
    const raster::FilterMargins m = raster::MarginsOf(filter);
    const double left = static_cast<double>(r.left) - m.left, top = static_cast<double>(r.top) - m.top;
    const double right = static_cast<double>(r.right) + m.right, bottom = static_cast<double>(r.bottom) + m.bottom;
    return MakeRectangle(c.interpreter, ScriptBox{left, right, top, bottom});
}

}  // namespace swf::actions::bitmap_args
