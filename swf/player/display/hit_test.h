#pragma once
// Finding what lies under a point of the stage (twips).

#include <functional>

#include "swf/model/geometry.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/display/display_object.h"

namespace swf {

// Whether the object's visible content, drawn with `toStage`, covers `p`.
// For a button, its hit-area records count.
bool ObjectContains(const DisplayObject& object, const Matrix& toStage, Point p);

// The topmost button in the list (and the clips inside it) whose hit area
// contains `p`; nullptr when none.
ButtonInstance* FindButtonAt(const DisplayList& list, const Matrix& toStage, Point p);

// Whether a clip acts as a button (it handles press, release or roll-over).
using ButtonClipTest = std::function<bool(MovieClip&)>;
// The topmost button, or clip acting as one, whose content contains `p`. A
// clip acting as a button takes the pointer for everything inside it.
DisplayObject* FindPointerTargetAt(const DisplayList& list, const Matrix& toStage, Point p,
                                   const ButtonClipTest& isButtonClip);
class EditTextInstance;

// The topmost text field in the list (and the clips inside it) whose box
// contains `p`; nullptr when none.
EditTextInstance* FindFieldAt(const DisplayList& list, const Matrix& toStage, Point p);

// The matrix from the object's space to the stage, through its parents.
Matrix ObjectToStage(const DisplayObject& object);

}  // namespace swf
