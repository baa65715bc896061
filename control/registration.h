#pragma once
// The registry entries that make the control creatable by its class id: the
// same keys the installer package writes.

#include <windows.h>

namespace control {

inline constexpr wchar_t kControlName[] = L"Guide Player Control";
inline constexpr wchar_t kProgId[] = L"GuidePlayer.Control";

// Writes HKCR\CLSID\{class id} (name, InprocServer32 with the DLL's path and
// the apartment threading model, Control, ProgID) and HKCR\<ProgID>.
HRESULT RegisterControl(const wchar_t* modulePath);

// Removes those keys, but only when the class id is registered to this very
// file: a control installed elsewhere under the same class id is left alone.
HRESULT UnregisterControl(const wchar_t* modulePath);

}  // namespace control
