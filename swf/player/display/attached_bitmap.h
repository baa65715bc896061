#pragma once
// A bitmap a script attached to a clip (attachBitmap): it shows the
// bitmap's pixels as they are whenever it is drawn, its top-left corner at
// the object's origin, and nothing once the bitmap is disposed.

#include <memory>

#include "swf/actions/action_target.h"
#include "swf/model/geometry.h"
#include "swf/player/display/picture_object.h"
#include "swf/raster/bitmap_data.h"

namespace swf {

class AttachedBitmap final : public PictureObject {
public:
    AttachedBitmap(const Placement& placement, std::shared_ptr<const raster::BitmapData> bitmap, PixelSnapping snapping,
                   bool smoothing);

    DisplayKind Kind() const override { return DisplayKind::Bitmap; }

    // Null once the bitmap is disposed.
    std::shared_ptr<const raster::Image> Pixels() const override { return bitmap_->image(); }
    bool Smoothing() const override { return smoothing_; }
    // Empty once disposed.
    Rect Bounds() const override;
    // Moved onto whole pixels as the snapping asks.
    Matrix ImageToPixels(const Matrix& toPixels) const override;

private:
    std::shared_ptr<const raster::BitmapData> bitmap_;
    PixelSnapping snapping_;
    bool smoothing_;
};

}  // namespace swf
