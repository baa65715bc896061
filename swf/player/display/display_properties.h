#pragma once
// Display properties as scripts read and write them (_x, _xscale, _rotation,
// _alpha, _visible, _width, ...) on any display object, and the geometry
// they need: bounds and the transform to the stage.

#include "swf/actions/action_target.h"
#include "swf/model/geometry.h"
#include "swf/player/display/display_object.h"

namespace swf {

// The object's transform to the stage: its placement and its parents'.
Matrix ToStage(const DisplayObject& object);
// What the object draws, in its own coordinates (twips); an empty rectangle
// (all zero) when it draws nothing.
Rect LocalBounds(const DisplayObject& object);
// The same without the width of lines: the outlines' own box (getRect).
Rect LocalEdgeBounds(const DisplayObject& object);
// `bounds` as the axis-aligned box of its corners after `m`.
Rect TransformBounds(const Rect& bounds, const Matrix& m);

// A display property in script units; NaN for properties kept elsewhere
// (frames, names, player-wide settings). `pointer` is the pointer on the stage.
double GetDisplayNumber(const DisplayObject& object, DisplayProperty property, Point pointer);
// Sets a transform, colour or visibility property; the timeline stops
// placing the object once its transform was set.
void SetDisplayNumber(DisplayObject& object, DisplayProperty property, double value);

}  // namespace swf
