// BitmapData::PixelDissolve: replaces pixels of a rectangle a few at a time
// in a pseudo-random order that, over repeated calls, reaches each exactly once.
//
// The rectangle's n pixels are numbered row by row. A linear congruential
// generator modulo m, the power of two at or above n (s' = (s * 1664525 +
// 1013904223) mod m: the multiplier is 1 mod 4 and the increment odd, so by
// the Hull-Dobell theorem it passes through every value of 0..m-1 before
// repeating), gives the state; a bijection of 0..m-1 (multiplications by odd
// constants and xor-shifts, modulo m) scrambles the state into a pixel number,
// and numbers from n up are skipped. The seed is the state: the one returned
// continues the same cycle, so calls chained through it reach every pixel once
// per cycle, taking at most m < 2n steps for the n pixels.

#include <algorithm>
#include <bit>

#include "swf/raster/bitmap_data.h"
#include "swf/raster/bitmap_data_internal.h"

namespace swf::raster {

namespace {

class DissolveOrder {
public:
    DissolveOrder(std::uint32_t pixelCount, std::uint32_t seed)
        : mask_(std::max<std::uint32_t>(2, std::bit_ceil(pixelCount)) - 1),
          shift_((std::bit_width(mask_) + 1) / 2),
          state_(seed & mask_) {}

    // The next state's pixel number, in 0..m-1.
    std::uint32_t Next() {
        state_ = (state_ * 1664525u + 1013904223u) & mask_;
        std::uint32_t v = (state_ * 0x2C1B3C6Du) & mask_;
        v ^= v >> shift_;
        v = (v * 0x297A2D39u) & mask_;
        return v ^ (v >> shift_);
    }
    std::uint32_t state() const { return state_; }

private:
    std::uint32_t mask_;
    int shift_;
    std::uint32_t state_;
};

}  // namespace

long long BitmapData::DefaultDissolvePixels(const PixelRect& sourceRect) { return sourceRect.Area() / 30; }

int BitmapData::PixelDissolve(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                              int randomSeed, long long numPixels, std::uint32_t fillColor) {
    if (disposed() || source.disposed()) return randomSeed;
    const bitmap_detail::CopyRegion r =
        bitmap_detail::ClipCopy(sourceRect, source.width_, source.height_, destX, destY, width_, height_);
    if (r.empty()) return randomSeed;
    const auto pixelCount = static_cast<std::uint32_t>(r.width) * static_cast<std::uint32_t>(r.height);
    const auto count = static_cast<std::uint32_t>(std::clamp<long long>(numPixels, 0, pixelCount));
    const bool fill = &source == this;
    const std::uint32_t stored = Stored(fillColor);
    DissolveOrder order(pixelCount, static_cast<std::uint32_t>(randomSeed));
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t number = order.Next();
        if (number >= pixelCount) continue;
        const int x = static_cast<int>(number % static_cast<std::uint32_t>(r.width));
        const int y = static_cast<int>(number / static_cast<std::uint32_t>(r.width));
        Row(r.destY + y)[r.destX + x] = fill ? stored : KeepOpaque(source.Row(r.sourceY + y)[r.sourceX + x]);
        ++done;
    }
    if (count > 0) Changed();
    return static_cast<int>(order.state());
}

}  // namespace swf::raster
