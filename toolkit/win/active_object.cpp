#include "toolkit/win/active_object.h"

namespace toolkit {

namespace {

// One thread runs the user interface: plain statics are enough.
IOleInPlaceActiveObject* g_active = nullptr;
const void* g_owner = nullptr;

}  // namespace

void SetActiveObject(const void* owner, IOleInPlaceActiveObject* object) {
    if (object) object->AddRef();
    IOleInPlaceActiveObject* previous = g_active;
    g_active = object;
    g_owner = object ? owner : nullptr;
    if (previous) previous->Release();
}

void ClearActiveObject(const void* owner) {
    if (g_active && g_owner == owner) SetActiveObject(nullptr, nullptr);
}

bool TranslateWithActiveObject(MSG* message) {
    if (!g_active || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return false;
    // The call may end the object's active life (and release it): hold it meanwhile.
    IOleInPlaceActiveObject* active = g_active;
    active->AddRef();
    const bool handled = active->TranslateAccelerator(message) == S_OK;
    active->Release();
    return handled;
}

}  // namespace toolkit
