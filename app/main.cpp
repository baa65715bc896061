// Program entry: provisioning of the player control first, then the
// application object with the player window and its message loop.

#include <windows.h>

#include "app/flash_runtime.h"
#include "toolkit/win/application.h"
#include "ui/Playerform_unit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    toolkit::TApplication application;
    app::EnsureFlashRuntime();
    try {
        application.Initialize();
        application.SetTitle("User Guide     ");
        application.CreateForm(PlayerForm);
        application.Run();
    } catch (...) {
        application.HandleException();
    }
    return 0;
}
