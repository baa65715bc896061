// BitmapData questions that change nothing: getColorBoundsRect, the hit
// tests and compare.

#include <algorithm>

#include "swf/raster/bitmap_data.h"
#include "swf/raster/bitmap_data_internal.h"
#include "swf/raster/color.h"

namespace swf::raster {

using bitmap_detail::ToStraight;

namespace {

// The difference pixel compare() gives for two straight colours.
std::uint32_t DifferencePixel(std::uint32_t a, std::uint32_t b) {
    if ((a & 0xFFFFFFu) != (b & 0xFFFFFFu)) {
        const std::uint32_t r = (PixelRed(a) - PixelRed(b)) & 0xFFu;
        const std::uint32_t g = (PixelGreen(a) - PixelGreen(b)) & 0xFFu;
        const std::uint32_t bl = (PixelBlue(a) - PixelBlue(b)) & 0xFFu;
        return PackPixel(0xFF, r, g, bl);
    }
    if (a != b) return (((PixelAlpha(a) - PixelAlpha(b)) & 0xFFu) << 24) | 0xFFFFFFu;
    return 0;
}

}  // namespace

PixelRect BitmapData::GetColorBoundsRect(std::uint32_t mask, std::uint32_t color, bool findColor) const {
    if (disposed()) return {};
    auto matches = [&](std::uint32_t pixel) { return ((ToStraight(pixel) & mask) == color) == findColor; };
    PixelRect bounds;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* row = Row(y);
        int first = 0;
        while (first < width_ && !matches(row[first])) ++first;
        if (first == width_) continue;
        int last = width_ - 1;
        while (!matches(row[last])) --last;
        bounds = bounds.United({first, y, last + 1, y + 1});
    }
    return bounds;
}

bool BitmapData::HitTestPoint(int x, int y, int alphaThreshold, int pointX, int pointY) const {
    if (disposed()) return false;
    const long long px = static_cast<long long>(pointX) - x, py = static_cast<long long>(pointY) - y;
    if (px < 0 || py < 0 || px >= width_ || py >= height_) return false;
    return !transparent_ || static_cast<int>(Row(static_cast<int>(py))[px] >> 24) >= alphaThreshold;
}

bool BitmapData::HitTestRect(int x, int y, int alphaThreshold, const PixelRect& rect) const {
    if (disposed()) return false;
    const long long left = std::max<long long>(0, static_cast<long long>(rect.left) - x);
    const long long top = std::max<long long>(0, static_cast<long long>(rect.top) - y);
    const long long right = std::min<long long>(width_, static_cast<long long>(rect.right) - x);
    const long long bottom = std::min<long long>(height_, static_cast<long long>(rect.bottom) - y);
    if (left >= right || top >= bottom) return false;
    if (!transparent_) return true;
    for (long long py = top; py < bottom; ++py) {
        const std::uint32_t* row = Row(static_cast<int>(py));
        for (long long px = left; px < right; ++px) {
            if (static_cast<int>(row[px] >> 24) >= alphaThreshold) return true;
        }
    }
    return false;
}

bool BitmapData::HitTestBitmap(int x, int y, int alphaThreshold, const BitmapData& other, int otherX, int otherY,
                               int otherAlphaThreshold) const {
    if (disposed() || other.disposed()) return false;
    // The overlap in this bitmap's pixels; the other's pixel is (px, py) + offset.
    const long long offsetX = static_cast<long long>(x) - otherX, offsetY = static_cast<long long>(y) - otherY;
    const long long left = std::max<long long>(0, -offsetX), top = std::max<long long>(0, -offsetY);
    const long long right = std::min<long long>(width_, other.width_ - offsetX);
    const long long bottom = std::min<long long>(height_, other.height_ - offsetY);
    if (left >= right || top >= bottom) return false;
    auto counts = [](const BitmapData& b, std::uint32_t pixel, int threshold) {
        return !b.transparent_ || static_cast<int>(pixel >> 24) >= threshold;
    };
    for (long long py = top; py < bottom; ++py) {
        const std::uint32_t* row = Row(static_cast<int>(py));
        const std::uint32_t* otherRow = other.Row(static_cast<int>(py + offsetY));
        for (long long px = left; px < right; ++px) {
            if (counts(*this, row[px], alphaThreshold) && counts(other, otherRow[px + offsetX], otherAlphaThreshold)) {
                return true;
            }
        }
    }
    return false;
}

BitmapComparison BitmapData::Compare(const BitmapData& other) const {
    if (disposed()) return {-1, nullptr};
    if (other.disposed()) return {-2, nullptr};
    if (other.width_ != width_) return {-3, nullptr};
    if (other.height_ != height_) return {-4, nullptr};
    if (image_->pixels == other.image_->pixels) return {0, nullptr};
    std::unique_ptr<BitmapData> difference = Create(width_, height_, true, 0);
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t *a = Row(y), *b = other.Row(y);
        std::uint32_t* out = difference->Row(y);
        for (int x = 0; x < width_; ++x) {
            if (a[x] != b[x]) out[x] = difference->Stored(DifferencePixel(ToStraight(a[x]), ToStraight(b[x])));
        }
    }
    return {0, std::move(difference)};
}

}  // namespace swf::raster
