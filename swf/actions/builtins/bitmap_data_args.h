#pragma once
// What the files of flash.display.BitmapData share: its arguments as the
// pixel model takes them, and the methods that draw and filter
// (bitmap_data_draw.cpp).

#include <cstddef>
#include <cstdint>

#include "swf/actions/interpreter.h"
#include "swf/raster/bitmap_data.h"

namespace swf::actions::bitmap_args {

// The usable bitmap `this` holds; null when it holds none or was disposed.
raster::BitmapData* LiveSelf(CallContext& c);
// What a method answers when it cannot work: -1 on a BitmapData object
// without pixels, undefined on anything else.
Value Unusable(CallContext& c);
// The usable bitmap argument i holds, or null.
raster::BitmapData* LiveArg(CallContext& c, std::size_t i);

// A colour (0xAARRGGBB, wrapped modulo 2^32), or `fallback` when missing.
std::uint32_t ColorArg(CallContext& c, std::size_t i, std::uint32_t fallback);
// A whole number of pixels (see raster::BitmapCoordinate), or `fallback` when missing.
int IntArg(CallContext& c, std::size_t i, int fallback);
bool FlagArg(CallContext& c, std::size_t i, bool fallback);
// A flash.geom.Rectangle (any object with x, y, width and height); false
// when the argument is not an object.
bool RectArg(CallContext& c, std::size_t i, raster::PixelRect* out);
// A flash.geom.Point (any object with x and y); false when it is not an object.
bool PointArg(CallContext& c, std::size_t i, int* x, int* y);
// Charges pixel work to the script's step budget, so that a loop of large
// operations is stopped like any other long script.
void Charge(CallContext& c, long long pixels);

// draw, applyFilter and generateFilterRect.
Value Draw(CallContext& c);
Value ApplyFilter(CallContext& c);
Value GenerateFilterRect(CallContext& c);

}  // namespace swf::actions::bitmap_args
