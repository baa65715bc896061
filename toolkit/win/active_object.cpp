#include "toolkit/win/active_object.h"

#include "win32/com_ptr.h"

namespace toolkit {

namespace {

// One thread runs the user interface: plain statics are enough. The holder is
// never destroyed: at exit the object's module may already be gone, and its
// frame lets it go while the program runs.
win32::ComPtr<IOleInPlaceActiveObject>& Active() {
    static auto* active = new win32::ComPtr<IOleInPlaceActiveObject>();
    return *active;
}
const void* g_owner = nullptr;

}  // namespace

void SetActiveObject(const void* owner, IOleInPlaceActiveObject* object) {
    g_owner = object ? owner : nullptr;
    // The previous object goes last: its release may call back here.
    Active() = win32::ComPtr<IOleInPlaceActiveObject>::Share(object);
}

void ClearActiveObject(const void* owner) {
    if (Active() && g_owner == owner) SetActiveObject(nullptr, nullptr);
}

bool TranslateWithActiveObject(MSG* message) {
    if (!Active() || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return false;
    // The call may end the object's active life (and release it): a copy holds it meanwhile.
    const auto active = Active();
    return active->TranslateAccelerator(message) == S_OK;
}

}  // namespace toolkit
