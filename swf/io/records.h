#pragma once
// The basic records shared by many tags: RECT, MATRIX, CXFORM(WITHALPHA), RGB(A).

#include "swf/io/bit_reader.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"

namespace swf {

Rect ReadRect(BitReader& in);
Matrix ReadMatrix(BitReader& in);
// CXFORM when withAlpha is false (alpha left unchanged), CXFORMWITHALPHA otherwise.
ColorTransform ReadColorTransform(BitReader& in, bool withAlpha);
Rgba ReadRgb(BitReader& in);
Rgba ReadRgba(BitReader& in);

}  // namespace swf
