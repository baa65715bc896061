#include "control/module.h"

namespace control {

namespace {
HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;
}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }
void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }
bool ModuleInUse() { return g_objects > 0 || g_locks > 0; }

}  // namespace control
