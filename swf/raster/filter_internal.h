#pragma once
// Pieces shared by the filter implementations (filters.cpp,
// shadow_filters.cpp, pixel_filters.cpp). Internal to the raster library.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "swf/raster/filter.h"
#include "swf/raster/filters.h"
#include "swf/raster/geometry.h"
#include "swf/raster/surface.h"

namespace swf::raster::detail {

using raster::kUnboundedMargin;

// Which FilterScratch buffers each step uses (indices below 16 never move).
enum ScratchSlot : std::size_t {
    kPlane = 0,      // Pixels: the colour plane of a blur / Bytes: the alpha plane
    kSpare = 1,      // Pixels / Bytes: the blur's second plane and lines
    kSums = 2,       // Pixels: the blur's column sums
    kOutput = 3,     // Pixels: results written back at the end / Bytes: a row of values
    kRamp = 4,       // Pixels: the gradient filters' ramp / Bytes: the stops it was built from
    kSecondRow = 5,  // Bytes: a second row of values
};

// A finite number, NaN as 0, clamped.
inline double Sane(double v, double lo, double hi) { return std::isnan(v) ? 0.0 : std::clamp(v, lo, hi); }

// `area` clipped to the surface.
inline PixelRect ClipToSurface(const PixelRect& area, const Surface& s) {
    return area.Intersected(PixelRect{0, 0, s.width(), s.height()});
}

inline PixelRect Grown(const PixelRect& r, int left, int top, int right, int bottom) {
    return {r.left - left, r.top - top, r.right + right, r.bottom + bottom};
}

inline PixelRect Shifted(const PixelRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// A shadow's or bevel's offset in whole pixels (rounded to nearest), at most
// 32768 pixels on each axis; NaN and infinite inputs give 0 there.
struct PixelOffset {
    int dx = 0;
    int dy = 0;
};
inline PixelOffset OffsetOf(double angle, double distance) {
    constexpr double kMax = 32768;
    const double d = Sane(distance, -kMax, kMax);
    const double a = std::isfinite(angle) ? angle : 0.0;
    return {static_cast<int>(std::lround(Sane(d * std::cos(a), -kMax, kMax))),
            static_cast<int>(std::lround(Sane(d * std::sin(a), -kMax, kMax)))};
}

// Strength (0..255) as a factor in 1/256ths, and an alpha multiplied by it.
inline std::uint32_t StrengthFactor(double strength) {
    return static_cast<std::uint32_t>(std::lround(Sane(strength, 0, 255) * 256));
}
inline std::uint32_t Strengthen(std::uint32_t alpha, std::uint32_t factor) {
    const std::uint32_t v = (alpha * factor + 128) >> 8;
    return v > 255u ? 255u : v;
}

void ApplyDropShadow(const DropShadowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyGlow(const GlowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyBevel(const BevelFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyGradientGlow(const GradientGlowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyGradientBevel(const GradientBevelFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyColorMatrix(const ColorMatrixFilter& f, Surface& layer, const PixelRect& area);
void ApplyConvolution(const ConvolutionFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch);
void ApplyDisplacementMap(const DisplacementMapFilter& f, Surface& layer, const PixelRect& area,
                          FilterScratch& scratch);

// Margins of the colour matrix and the convolution (see filters.cpp).
FilterMargins ColorMatrixMargins(const ColorMatrixFilter& f);
FilterMargins ConvolutionMargins(const ConvolutionFilter& f);

}  // namespace swf::raster::detail
