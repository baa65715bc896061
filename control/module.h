#pragma once
// Process-wide state of the control's DLL: its module handle and the counts
// that decide whether it may be unloaded.

#include <windows.h>

namespace control {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// Live COM objects (controls) and class-factory locks.
void ObjectCreated();
void ObjectDestroyed();
void LockModule();
void UnlockModule();
bool ModuleInUse();

}  // namespace control
