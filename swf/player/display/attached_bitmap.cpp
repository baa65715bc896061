#include "swf/player/display/attached_bitmap.h"

#include <cmath>
#include <utility>

namespace swf {

namespace {

constexpr double kTwipsPerPixel = 20;

// Close enough to 1 that a pixel stays a pixel.
bool Unscaled(double v) { return std::abs(v - 1) < 1e-6; }

}  // namespace

AttachedBitmap::AttachedBitmap(const Placement& placement, std::shared_ptr<const raster::BitmapData> bitmap,
                               PixelSnapping snapping, bool smoothing)
    : PictureObject(placement, nullptr), bitmap_(std::move(bitmap)), snapping_(snapping), smoothing_(smoothing) {}

Rect AttachedBitmap::Bounds() const {
    if (bitmap_->disposed()) return {};
    return {0, static_cast<std::int32_t>(bitmap_->width() * kTwipsPerPixel), 0,
            static_cast<std::int32_t>(bitmap_->height() * kTwipsPerPixel)};
}

Matrix AttachedBitmap::ImageToPixels(const Matrix& toPixels) const {
    Matrix m = toPixels * Matrix::Scale(kTwipsPerPixel, kTwipsPerPixel);
    const bool plain = m.b == 0 && m.c == 0 && Unscaled(m.a) && Unscaled(m.d);
    if (snapping_ == PixelSnapping::Always || (snapping_ == PixelSnapping::Auto && plain)) {
        m.tx = std::round(m.tx);
        m.ty = std::round(m.ty);
    }
    return m;
}

}  // namespace swf
