#pragma once
// Helpers shared by the files that implement BitmapData: colour conversion,
// clipping of copies, reading a source that may be the destination, and the
// pseudo-random sequence.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "swf/raster/color.h"
#include "swf/raster/geometry.h"
#include "swf/raster/image.h"

namespace swf::raster::bitmap_detail {

// round(c * 255 / a); a transparent pixel has no colour.
inline std::uint32_t Unpremultiply(std::uint32_t c, std::uint32_t a) {
    return a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a);
}

// Straight 0xAARRGGBB of a premultiplied pixel. Premultiplying the answer
// gives the pixel back exactly, so reading and rewriting loses nothing.
inline std::uint32_t ToStraight(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    return PackPixel(a, Unpremultiply(PixelRed(p), a), Unpremultiply(PixelGreen(p), a), Unpremultiply(PixelBlue(p), a));
}

inline std::uint32_t ToPremultiplied(std::uint32_t argb) {
    return Premultiply({PixelRed(argb), PixelGreen(argb), PixelBlue(argb), PixelAlpha(argb)});
}

// Where a copy reads and writes, in whole pixels; width or height 0 when nothing is copied.
struct CopyRegion {
    int sourceX = 0;
    int sourceY = 0;
    int destX = 0;
    int destY = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// The part of `sourceRect` inside the source whose destination (the rectangle
// moved to destX, destY) lies inside the destination.
CopyRegion ClipCopy(const PixelRect& sourceRect, int sourceWidth, int sourceHeight, int destX, int destY, int destWidth,
                    int destHeight);

// Pixels of a source rectangle, read in place, or copied aside first when the
// source is the picture being written (so writes cannot change what is still
// to be read).
class SourceRows {
public:
    SourceRows(const Image& source, int x, int y, int width, int height, bool copyAside);
    // Row i of the rectangle (0 = its top row), `width` pixels.
    const std::uint32_t* row(int i) const { return first_ + static_cast<std::ptrdiff_t>(i) * stride_; }

private:
    std::vector<std::uint32_t> copy_;
    const std::uint32_t* first_ = nullptr;
    std::ptrdiff_t stride_ = 0;
};

// Calls fn(destRow, sourceRow, count) for each row of a clipped copy from
// `source` to `dest` (which may be the same picture); false when the copy is empty.
template <class RowFn>
bool ForEachCopiedRow(const Image& source, const PixelRect& sourceRect, int destX, int destY, Image& dest, RowFn&& fn) {
    const CopyRegion r = ClipCopy(sourceRect, source.width, source.height, destX, destY, dest.width, dest.height);
    if (r.empty()) return false;
    const SourceRows rows(source, r.sourceX, r.sourceY, r.width, r.height, &source == &dest);
    for (int i = 0; i < r.height; ++i) {
        fn(dest.pixels.data() + static_cast<std::size_t>(r.destY + i) * dest.width + r.destX, rows.row(i), r.width);
    }
    return true;
}

// The one pseudo-random sequence of bitmap operations (noise, dissolve
// orders, noise lattices): a 32-bit counter advanced by the golden-ratio
// constant 0x9E3779B9 and hashed by two xor-shift / multiply rounds (the
// MurmurHash3 finaliser). Any seed, 0 included, starts a well-mixed sequence
// that is the same on every run and every machine.
class BitmapRandom {
public:
    explicit BitmapRandom(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        std::uint32_t z = (state_ += 0x9E3779B9u);
        z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
        z = (z ^ (z >> 13)) * 0xC2B2AE35u;
        return z ^ (z >> 16);
    }
    // Uniform in 0..bound-1 (bound >= 1), by the high bits of a 64-bit product.
    std::uint32_t Below(std::uint32_t bound) {
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(Next()) * bound) >> 32);
    }

private:
    std::uint32_t state_;
};

}  // namespace swf::raster::bitmap_detail
