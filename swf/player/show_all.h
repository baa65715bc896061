#pragma once
// The ShowAll mapping from stage twips to viewport pixels: the whole stage
// visible, aspect ratio kept, centred, the rest left as margins.

#include "swf/model/geometry.h"

namespace swf {

Matrix ShowAllMatrix(const Rect& stage, int width, int height);

}  // namespace swf
