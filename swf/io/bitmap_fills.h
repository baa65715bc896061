#pragma once
// Links bitmap fill styles to the pixels of the bitmap characters they name.

#include "swf/model/character.h"
#include "swf/model/morph_shape.h"
#include "swf/model/shape.h"

namespace swf {

// Sets `fill.bitmap` to the image of the bitmap character `fill.bitmapId`
// names in `dictionary`; null when the fill is not a bitmap fill, the id is
// 0xFFFF (no bitmap) or names no bitmap defined so far.
void ResolveBitmapFill(FillStyle& fill, const Dictionary& dictionary);

// Every fill style of the shape, those of lines drawn with a fill included.
void ResolveBitmapFills(Shape& shape, const Dictionary& dictionary);
void ResolveBitmapFills(MorphShapeDefinition& morph, const Dictionary& dictionary);

}  // namespace swf
