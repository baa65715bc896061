#pragma once
// Putting a finished layer onto what is below it, in one of the blend modes.

#include <cstdint>

#include "swf/raster/coverage_mask.h"
#include "swf/raster/geometry.h"
#include "swf/raster/surface.h"

namespace swf::raster {

// The modes in the order the movie format numbers them (0 and 1 both mean normal).
enum class BlendMode : std::uint8_t {
    Normal = 1,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    Hardlight = 14,
};

// The mode a format number names; unknown numbers and 0 are Normal.
BlendMode BlendModeFromNumber(int number);
// The name scripts use ("normal", "multiply", ...) and back; nullptr / false for unknown.
const char* BlendModeName(BlendMode mode);
bool BlendModeFromName(const char* name, BlendMode* mode);

// Puts the pixels of `layer` onto `target`: the layer's pixel (x, y) lands on
// the target's (x + dx, y + dy). Only target pixels inside `area` (clipped
// to the target) change, each multiplied by `clip`'s coverage when one is
// given (a clip mask the size of the target). Both are premultiplied.
void CompositeLayer(const Surface& layer, int dx, int dy, Surface& target, const PixelRect& area, BlendMode mode,
                    const CoverageMask* clip);

}  // namespace swf::raster
