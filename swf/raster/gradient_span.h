#pragma once

#include <cstdint>

#include "swf/raster/paint.h"

namespace swf::raster {

// Gradient colours along a row, several pixels at a time. Positions advance by
// repeated addition exactly as the per-pixel loop in Paint does, and the ramp
// index comes from the same double arithmetic, so both give the same pixels.

// Linear: pixel i sits at ramp position `position` plus `step` added i times.
void ShadeLinearGradientSpan(double position, double step, SpreadMode spread, const std::uint32_t* ramp, int length,
                             std::uint32_t* out);
// Radial: pixel i sits at (gx, gy) plus (stepX, stepY) added i times, in gradient units.
void ShadeRadialGradientSpan(double gx, double gy, double stepX, double stepY, SpreadMode spread,
                             const std::uint32_t* ramp, int length, std::uint32_t* out);

// Ramp index for a position measured in ramp entries (256 per gradient length).
int SpreadIndex(double position, SpreadMode spread);

}  // namespace swf::raster
