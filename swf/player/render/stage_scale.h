#pragma once
// How the stage maps onto the view for each scale mode a movie may set
// (Stage.scaleMode) and where the stage sits in spare room (Stage.align).

#include <string>

#include "swf/model/geometry.h"

namespace swf {

enum class ScaleMode {
    ShowAll,   // all of the stage, aspect kept, margins where the view is wider or taller
    NoBorder,  // the view filled, aspect kept, the stage cropped
    ExactFit,  // the view filled, stretched
    NoScale,   // one twip is 1/20 pixel whatever the view's size
};

// "showAll", "noBorder", "exactFit" or "noScale", any case; anything else is ShowAll.
ScaleMode ParseScaleMode(const std::string& mode);

// Stage twips to view pixels. `align` holds any of the letters L, R, T, B
// (any case): the stage keeps to those edges; centred on the other axis.
Matrix StageMatrix(const Rect& stage, int width, int height, ScaleMode mode, const std::string& align);

}  // namespace swf
