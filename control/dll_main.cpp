// The DLL's exported entry points.

#include <windows.h>
#include <olectl.h>

#include "control/class_factory.h"
#include "control/module.h"
#include "control/player_window.h"
#include "control/registration.h"
#include "win32/module_path.h"
#include "flash/ShockwaveFlashObjects_TLB.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        control::SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: no window of ours is left by then.
        control::UnregisterPlayerWindowClass();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != ShockwaveFlashObjects_TLB::CLSID_ShockwaveFlash) return CLASS_E_CLASSNOTAVAILABLE;
    return control::TheClassFactory().QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return control::ModuleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::wstring path = win32::ModulePath(control::ModuleInstance());
    if (path.empty()) return SELFREG_E_CLASS;
    return control::RegisterControl(path.c_str());
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const std::wstring path = win32::ModulePath(control::ModuleInstance());
    if (path.empty()) return SELFREG_E_CLASS;
    return control::UnregisterControl(path.c_str());
}
