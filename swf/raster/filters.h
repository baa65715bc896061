#pragma once
// Filters applied to a layer: a premultiplied surface holding what one
// display object drew, with room around it for what the filters add.

#include <cstdint>
#include <vector>

#include "swf/raster/filter.h"
#include "swf/raster/geometry.h"
#include "swf/raster/surface.h"

namespace swf::raster {

// How far, in whole pixels on each side, a filter's result can reach beyond
// the pixels the object drew (a blur's spread, a shadow's offset). A chain's
// margins add up: filter n works on what filter n - 1 produced.
struct FilterMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// What MarginsOf reports on a side a filter can change without bound (a colour
// matrix that makes transparent pixels visible, a convolution whose bias or
// edge colour does): far beyond any stage, yet safe to add to coordinates.
inline constexpr int kUnboundedMargin = 1 << 20;
FilterMargins MarginsOf(const Filter& filter);
FilterMargins MarginsOf(const std::vector<Filter>& filters);

// The filter with its lengths (blur sizes, distances, displacement scales)
// multiplied by sx horizontally and sy vertically: what a filter of the
// movie's scale becomes on a stage drawn larger or smaller. Angles stay.
Filter Scaled(const Filter& filter, double sx, double sy);

// Working memory for filters, kept between calls so that a steady animation
// allocates nothing. One per thread.
class FilterScratch {
public:
    std::vector<std::uint32_t>& Pixels(std::size_t index);
    std::vector<std::uint8_t>& Bytes(std::size_t index);

private:
    std::vector<std::vector<std::uint32_t>> pixels_;
    std::vector<std::vector<std::uint8_t>> bytes_;
};

// Replaces the pixels of `layer` inside `area` (clipped to the layer) by the
// filter's result. Pixels outside `area` are read (a blur looks `margins`
// beyond it) but not written, so that applying the filter to a smaller area
// gives exactly the pixels a whole application gives there. Parameters out of
// their range are clamped (blur 0..255, passes 0..15, strength 0..255,
// kernels up to 15 x 15); NaN counts as 0. Time is linear in the area and
// the passes, whatever the blur size.
void ApplyFilter(const Filter& filter, Surface& layer, const PixelRect& area, FilterScratch& scratch);

// One box blur pass chain on premultiplied pixels (all four channels), in
// place, over `area` of the surface; the building block of the filters above.
void BlurPixels(Surface& layer, const PixelRect& area, const BlurSettings& blur, FilterScratch& scratch);

}  // namespace swf::raster
