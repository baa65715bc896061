#include "swf/player/render/drawing_rasterizer.h"

#include <algorithm>

#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

enum class CallKind : std::uint64_t { Fill = 1, Stroke, FillMask, StrokeMask };

raster::Fingerprint Describe(CallKind kind, const raster::StrokeStyle& style) {
    raster::Fingerprint f;
    f.add(static_cast<std::uint64_t>(kind)).add(style.width).add(static_cast<std::uint64_t>(style.cap));
    f.add(static_cast<std::uint64_t>(style.join)).add(style.miterLimit);
    return f;
}

// How far a stroke's outline may reach beyond its path's points, in pixels.
double StrokeReach(const raster::StrokeStyle& style) {
    return std::max(style.width, 1.0) * std::max(style.miterLimit, 2.0) + 2;
}

}  // namespace

raster::DrawOptions DrawingRasterizer::Limited(const raster::DrawOptions& options) const {
    raster::DrawOptions limited = options;
    if (area_ != nullptr) limited.area = area_;
    return limited;
}

void DrawingRasterizer::fillPath(raster::Surface& surface, const raster::Path& path, raster::FillRule rule,
                                 const raster::Paint& paint, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        raster::Fingerprint f;
        f.add(static_cast<std::uint64_t>(CallKind::Fill))
            .add(static_cast<std::uint64_t>(rule))
            .add(paint.fingerprint());
        recorder_->AddCall(path, options, f.value(), 0);
        return;
    }
    rasterizer_.fillPath(surface, path, rule, paint, Limited(options));
}

void DrawingRasterizer::strokePath(raster::Surface& surface, const raster::Path& path, const raster::StrokeStyle& style,
                                   const raster::Paint& paint, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        recorder_->AddCall(path, options, Describe(CallKind::Stroke, style).add(paint.fingerprint()).value(),
                           StrokeReach(style));
        return;
    }
    rasterizer_.strokePath(surface, path, style, paint, Limited(options));
}

void DrawingRasterizer::fillMask(raster::CoverageMask& mask, const raster::Path& path, raster::FillRule rule,
                                 const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        raster::Fingerprint f;
        f.add(static_cast<std::uint64_t>(CallKind::FillMask)).add(static_cast<std::uint64_t>(rule));
        recorder_->AddCall(path, options, f.value(), 0);
        return;
    }
    rasterizer_.fillMask(mask, path, rule, Limited(options));
}

void DrawingRasterizer::strokeMask(raster::CoverageMask& mask, const raster::Path& path,
                                   const raster::StrokeStyle& style, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        recorder_->AddCall(path, options, Describe(CallKind::StrokeMask, style).value(), StrokeReach(style));
        return;
    }
    rasterizer_.strokeMask(mask, path, style, Limited(options));
}

}  // namespace swf
