#pragma once
// Box blurs over planes of premultiplied pixels or of alpha bytes: the
// building block of the blur, shadow, glow and bevel filters. Internal to
// the raster library (filters.h is the public face).
//
// The window rule. A blur of width w (0..255 pixels) averages a window of
// exactly w pixels centred on the pixel: the window spans [x - w/2, x + w/2]
// and each pixel counts by how much of its own unit square lies inside it.
// So w = 3 averages three whole pixels, w = 4 three whole pixels plus half of
// each of the next two, w = 2 is (1/4, 1/2, 1/4). Widths of 1 or less leave
// the pixels as they are. The end weights are kept in 1/256ths of a pixel.
// A pass therefore spreads a pixel ceil((w - 1) / 2) pixels to each side (the
// `reach`), which is at most ceil(w / 2).
//
// Each one-dimensional pass rounds its results to 8 bits. Pixels outside the
// plane count as transparent (0).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/raster/filter.h"

namespace swf::raster::detail {

struct BoxKernel {
    int inner = 0;         // whole pixels on each side of the centre
    int endWeight = 0;     // weight (0..255, in 1/256ths) of the pixels at +-(inner + 1)
    float reciprocal = 0;  // 1 / divisor, divisor = (2 inner + 1) 256 + 2 endWeight

    bool active() const { return inner > 0 || endWeight > 0; }
    int reach() const { return inner + (endWeight > 0 ? 1 : 0); }
};

// The kernel of a blur width (clamped to 0..255; NaN counts as 0).
BoxKernel MakeBoxKernel(double width);
// The passes a blur asks for, clamped to 0..15.
int BlurPasses(const BlurSettings& blur);

// How far (per side) `passes` passes of the blur spread a pixel on each axis.
struct BlurReach {
    int x = 0;
    int y = 0;
};
BlurReach ReachOf(const BlurSettings& blur);

// Blurs a plane (width x height, rows `stride` elements apart, left as it
// was read): `passes` times horizontally with kx, then vertically with ky.
// Returns where the result lies: `plane` itself (same stride) or `spare`
// (rows `width` apart; *resultStride tells which). `spare` and `sums` are
// working memory, grown as needed and kept by the caller.
template <typename T>
const T* BlurPlane(T* plane, int width, int height, std::ptrdiff_t stride, const BoxKernel& kx, const BoxKernel& ky,
                   int passes, std::vector<T>& spare, std::vector<std::uint32_t>& sums, std::ptrdiff_t* resultStride);

extern template const std::uint32_t* BlurPlane(std::uint32_t*, int, int, std::ptrdiff_t, const BoxKernel&,
                                               const BoxKernel&, int, std::vector<std::uint32_t>&,
                                               std::vector<std::uint32_t>&, std::ptrdiff_t*);
extern template const std::uint8_t* BlurPlane(std::uint8_t*, int, int, std::ptrdiff_t, const BoxKernel&,
                                              const BoxKernel&, int, std::vector<std::uint8_t>&,
                                              std::vector<std::uint32_t>&, std::ptrdiff_t*);

}  // namespace swf::raster::detail
