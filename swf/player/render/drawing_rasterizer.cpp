#include "swf/player/render/drawing_rasterizer.h"

#include <algorithm>

#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

enum class CallKind : std::uint64_t { Fill = 1, Stroke, FillMask, StrokeMask };

raster::Fingerprint Describe(CallKind kind, const raster::StrokeStyle& style) {
    raster::Fingerprint f;
    f.Add(static_cast<std::uint64_t>(kind)).Add(style.width).Add(static_cast<std::uint64_t>(style.cap));
    f.Add(static_cast<std::uint64_t>(style.join)).Add(style.miterLimit);
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

void DrawingRasterizer::FillPath(raster::Surface& surface, const raster::Path& path, raster::FillRule rule,
                                 const raster::Paint& paint, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        raster::Fingerprint f;
        f.Add(static_cast<std::uint64_t>(CallKind::Fill))
            .Add(static_cast<std::uint64_t>(rule))
            .Add(paint.fingerprint());
        recorder_->AddCall(path, options, f.value(), 0);
        return;
    }
    rasterizer_.FillPath(surface, path, rule, paint, Limited(options));
}

void DrawingRasterizer::StrokePath(raster::Surface& surface, const raster::Path& path, const raster::StrokeStyle& style,
                                   const raster::Paint& paint, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        recorder_->AddCall(path, options, Describe(CallKind::Stroke, style).Add(paint.fingerprint()).value(),
                           StrokeReach(style));
        return;
    }
    rasterizer_.StrokePath(surface, path, style, paint, Limited(options));
}

void DrawingRasterizer::FillMask(raster::CoverageMask& mask, const raster::Path& path, raster::FillRule rule,
                                 const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        raster::Fingerprint f;
        f.Add(static_cast<std::uint64_t>(CallKind::FillMask)).Add(static_cast<std::uint64_t>(rule));
        recorder_->AddCall(path, options, f.value(), 0);
        return;
    }
    rasterizer_.FillMask(mask, path, rule, Limited(options));
}

void DrawingRasterizer::StrokeMask(raster::CoverageMask& mask, const raster::Path& path,
                                   const raster::StrokeStyle& style, const raster::DrawOptions& options) {
    if (recorder_ != nullptr) {
        recorder_->AddCall(path, options, Describe(CallKind::StrokeMask, style).value(), StrokeReach(style));
        return;
    }
    rasterizer_.StrokeMask(mask, path, style, Limited(options));
}

}  // namespace swf
