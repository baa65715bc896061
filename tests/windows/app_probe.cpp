// A small program on the application object that fails on request, so the
// start-up's failure paths can be watched from outside.
//   app_probe normal | construct-throws | create-throws | foreign-throw | box-after-loop
//   app_probe installer STUB CODE    runs the stub installer as the real one is run, ending with CODE
//   app_probe installer-no-wait STUB   waits for a running stub through a handle that cannot be waited on
//   app_probe installer-no-query STUB  waits for a stub through a handle that cannot read its exit code

#include <windows.h>

#include <cstring>
#include <string>

#include "app/installer_run.h"
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

std::wstring WideOf(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Starts the stub as the real runner would and waits through a copy of its
// process handle that has only `access`.
void WaitWithAccess(const std::string& stub, const char* argument, DWORD access) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "stub " + std::string(argument);
    if (!CreateProcessA(stub.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;
    }
    HANDLE limited = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), process.hProcess, GetCurrentProcess(), &limited, access, FALSE, 0)) {
        app::WaitForInstaller(limited);
        CloseHandle(limited);
    }
    TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The installer modes run before the application window, as provisioning does.
void RunInstallerMode(const std::string& mode, const std::string& stub, const std::string& code) {
    if (mode == "installer") app::RunInstaller(WideOf(stub), WideOf("stub " + code));
    if (mode == "installer-no-wait") WaitWithAccess(stub, "wait", PROCESS_QUERY_LIMITED_INFORMATION);
    if (mode == "installer-no-query") WaitWithAccess(stub, "0", SYNCHRONIZE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::string words[3];
    for (int i = 0, at = 0; commandLine && commandLine[at] && i < 3; ++i) {
        while (commandLine[at] == ' ') ++at;
        while (commandLine[at] && commandLine[at] != ' ') words[i] += commandLine[at++];
    }
    if (!words[0].empty()) g_mode = words[0].c_str();
    toolkit::TApplication application;
    RunInstallerMode(words[0], words[1], words[2]);
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
