#pragma once
// An object that shows one picture in a box: a bitmap a script attached, or
// a video. Drawing, hit tests and bounds treat both alike.

#include <memory>

#include "swf/model/geometry.h"
#include "swf/player/display/display_object.h"
#include "swf/raster/image.h"

namespace swf {

class PictureObject : public DisplayObject {
public:
    using DisplayObject::DisplayObject;

    // The pixels to draw now; null when there are none.
    virtual std::shared_ptr<const raster::Image> Pixels() const = 0;
    virtual bool Smoothing() const = 0;
    // The box the picture fills, in the object's coordinates (twips).
    virtual Rect Bounds() const = 0;
    // Maps the picture's pixels where `toPixels` maps the object's twips.
    virtual Matrix ImageToPixels(const Matrix& toPixels) const = 0;
};

inline bool ShowsPicture(DisplayKind kind) { return kind == DisplayKind::Bitmap || kind == DisplayKind::Video; }

}  // namespace swf
