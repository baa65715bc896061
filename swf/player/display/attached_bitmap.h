#pragma once
// A bitmap a script attached to a clip (attachBitmap): it shows the
// bitmap's pixels as they are whenever it is drawn, its top-left corner at
// the object's origin, and nothing once the bitmap is disposed.

#include <memory>

#include "swf/actions/action_target.h"
#include "swf/model/geometry.h"
#include "swf/player/display/display_object.h"
#include "swf/raster/bitmap_data.h"

namespace swf {

class AttachedBitmap final : public DisplayObject {
public:
    AttachedBitmap(const Placement& placement, std::shared_ptr<const raster::BitmapData> bitmap, PixelSnapping snapping,
                   bool smoothing);

    DisplayKind Kind() const override { return DisplayKind::Bitmap; }

    // The pixels to draw; null once the bitmap is disposed.
    std::shared_ptr<const raster::Image> Pixels() const { return bitmap_->image(); }
    bool Smoothing() const { return smoothing_; }
    // The bitmap's box in the object's coordinates (twips); empty once disposed.
    Rect Bounds() const;
    // Maps the bitmap's pixels where `toPixels` maps the object's twips,
    // moved onto whole pixels as the snapping asks.
    Matrix ImageToPixels(const Matrix& toPixels) const;

private:
    std::shared_ptr<const raster::BitmapData> bitmap_;
    PixelSnapping snapping_;
    bool smoothing_;
};

}  // namespace swf
