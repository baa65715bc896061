// A small program on the application object that fails on request, so the
// start-up's failure paths can be watched from outside.
//   app_probe normal | construct-throws | create-throws | foreign-throw | box-after-loop

#include <windows.h>

#include <cstring>

#include "toolkit/core/exception.h"
#include "toolkit/win/application.h"
#include "toolkit/win/form.h"

namespace {

const char* g_mode = "normal";

class TProbeForm : public toolkit::TForm {
public:
    explicit TProbeForm(toolkit::TComponent* owner) : TForm(owner, "TProbeForm") {
        if (std::strcmp(g_mode, "construct-throws") == 0) throw toolkit::Exception("Class not registered");
        if (std::strcmp(g_mode, "foreign-throw") == 0) throw 42;
        SetCaption("ProbeForm");
        SetBounds(100, 100, 400, 300);
        OnCreate = [this](toolkit::TComponent*) {
            if (std::strcmp(g_mode, "create-throws") == 0) throw toolkit::Exception("Range check error");
            SetCaption("ProbeForm created");
        };
    }
};

TProbeForm* ProbeForm = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (commandLine && *commandLine) g_mode = commandLine;
    toolkit::TApplication application;
    try {
        application.Initialize();
        application.SetTitle("User Guide     ");
        application.CreateForm(ProbeForm);
        application.Run();
        // A modal loop after the message loop: it must wait for its answer,
        // not end on a quit message the main loop left behind.
        if (std::strcmp(g_mode, "box-after-loop") == 0) application.MessageDialog("After the loop");
    } catch (...) {
        application.HandleException();
    }
    return 0;
}
