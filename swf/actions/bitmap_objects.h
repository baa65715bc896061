#pragma once
// flash.display.BitmapData objects: the pixels a script object holds, whose
// bytes count against the movie's script memory while it lives. A bitmap
// refused for its size or for lack of memory leaves an object without
// pixels, which answers like a disposed one.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "swf/actions/value.h"
#include "swf/raster/bitmap_data.h"

namespace swf::actions {

class Interpreter;
class Vm;

// The bitmap a value holds; null for values that are not BitmapData objects
// and for refused ones. Disposed bitmaps are returned (callers ask disposed()).
raster::BitmapData* BitmapOf(const Value& v);
std::shared_ptr<raster::BitmapData> SharedBitmapOf(const Value& v);
// The pixels of a live bitmap a value holds; null otherwise.
std::shared_ptr<const raster::Image> BitmapImageOf(const Value& v);
// Whether the value is a BitmapData object (usable or not).
bool IsBitmapObject(const Value& v);

// Whether a bitmap of `bytes` more fits in the movie's script memory; when
// it does not, the movie's log is told (once).
bool RoomForBitmap(Vm& vm, std::size_t bytes);
// Makes `o` a BitmapData object holding `bitmap` (null: unusable) and
// counts its bytes.
void HoldBitmap(Vm& vm, Object* o, std::unique_ptr<raster::BitmapData> bitmap);
// Frees the pixels of the bitmap `o` holds and gives its bytes back.
void DisposeBitmap(Vm& vm, Object* o);
// Straight 0xAARRGGBB of a premultiplied pixel, rounded so that storing it
// (premultiplying it again) gives the pixel back exactly.
std::uint32_t StraightPixel(std::uint32_t premultiplied);
// A bitmap holding a picture's pixels exactly; null for a picture of a size
// bitmaps cannot have. Without transparency the picture is taken as opaque.
std::unique_ptr<raster::BitmapData> BitmapFromImage(const raster::Image& image, bool transparent);

// A new BitmapData object (the class's current prototype) holding `bitmap`,
// whose bytes the caller made sure fit.
Value NewBitmapObject(Interpreter& in, std::unique_ptr<raster::BitmapData> bitmap);

}  // namespace swf::actions
