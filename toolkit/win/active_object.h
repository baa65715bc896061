#pragma once
// The in-place active object of the hosted control that has the user
// interface. Its container keeps it (the control hands it over with
// IOleInPlaceFrame::SetActiveObject) and the message loop gives it the first
// look at every key message, so that keys reach the control even when a
// dialog-style loop would otherwise take Tab and the arrows.

#include <windows.h>
#include <oleidl.h>

namespace toolkit {

// Keeps `object` (a reference is held) as the one active object, for `owner`
// (the frame that received it); nullptr lets the current one go.
void SetActiveObject(const void* owner, IOleInPlaceActiveObject* object);
// Lets the active object go if `owner` set it (the frame is going away).
void ClearActiveObject(const void* owner);
// The active object's turn at a key message: true when it handled the
// message, which must then not be translated or dispatched.
bool TranslateWithActiveObject(MSG* message);

}  // namespace toolkit
