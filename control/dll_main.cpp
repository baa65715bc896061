// The DLL's exported entry points.

#include <windows.h>
#include <olectl.h>

#include "control/class_factory.h"
#include "control/module.h"
#include "control/player_window.h"
#include "control/registration.h"
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
    wchar_t path[MAX_PATH * 2];
    if (!control::ModulePath(path, MAX_PATH * 2)) return SELFREG_E_CLASS;
    return control::RegisterControl(path);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    wchar_t path[MAX_PATH * 2];
    if (!control::ModulePath(path, MAX_PATH * 2)) return SELFREG_E_CLASS;
    return control::UnregisterControl(path);
}
