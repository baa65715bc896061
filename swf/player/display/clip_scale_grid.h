#pragma once
// The scaling grid in force on a clip or button: the one a script set
// (scale9Grid), else the one its definition came with.

#include <optional>

#include "swf/model/geometry.h"
#include "swf/player/display/display_object.h"
#include "swf/player/render/scale_grid.h"

namespace swf {

// Twips of the object's own space; none for objects without a grid.
std::optional<Rect> ScaleGridRect(const DisplayObject& object);

// How the grid maps the object's shapes as it is placed now; none when it
// moves nothing. Only shapes directly inside it (and a clip's drawing) are
// mapped: text, pictures and nested clips and buttons scale as a whole.
std::optional<ScaleGrid> ActiveScaleGrid(const DisplayObject& object);

// Whether the grid of the object holding `child` maps it.
inline bool SlicedByGrid(const DisplayObject& child) {
    return child.Kind() == DisplayKind::Shape || child.Kind() == DisplayKind::Morph;
}

}  // namespace swf
