#pragma once
// The rasterizer the renderer draws through. It either draws (only inside an
// area when one is set) or, while a DamageRecorder is attached, draws nothing
// and notes what each call was given, so that every drawing the renderer does
// is accounted for when changes between frames are looked for.

#include "swf/player/render/damage.h"
#include "swf/raster/raster.h"

namespace swf {

class DrawingRasterizer {
public:
    // Not owned; nullptr: the whole target.
    void SetArea(const raster::PixelRect* area) { area_ = area; }
    const raster::PixelRect* Area() const { return area_; }
    // Not owned; nullptr: draw.
    void SetRecorder(DamageRecorder* recorder) { recorder_ = recorder; }
    DamageRecorder* Recorder() const { return recorder_; }

    void FillPath(raster::Surface& surface, const raster::Path& path, raster::FillRule rule, const raster::Paint& paint,
                  const raster::DrawOptions& options);
    void StrokePath(raster::Surface& surface, const raster::Path& path, const raster::StrokeStyle& style,
                    const raster::Paint& paint, const raster::DrawOptions& options);
    void FillMask(raster::CoverageMask& mask, const raster::Path& path, raster::FillRule rule,
                  const raster::DrawOptions& options);
    void StrokeMask(raster::CoverageMask& mask, const raster::Path& path, const raster::StrokeStyle& style,
                    const raster::DrawOptions& options);

private:
    raster::DrawOptions Limited(const raster::DrawOptions& options) const;

    raster::Rasterizer rasterizer_;
    const raster::PixelRect* area_ = nullptr;
    DamageRecorder* recorder_ = nullptr;
};

}  // namespace swf
