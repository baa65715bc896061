#include "app/installer_run.h"

#include "toolkit/win/application.h"
#include "win32/owned_handle.h"

namespace app {

namespace {

constexpr DWORD kStillActive = 259;

void Report(const char* text) {
    if (toolkit::Application) toolkit::Application->MessageDialog(text);
}

}  // namespace

InstallerOutcome RunInstaller(const std::wstring& installer, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = arguments;  // CreateProcessW may write into it
    if (!CreateProcessW(installer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return InstallerOutcome::NotStarted;  // nothing to wait for, no exit code to read
    }
    const win32::OwnedHandle processHandle(process.hProcess);
    const win32::OwnedHandle threadHandle(process.hThread);
    return WaitForInstaller(processHandle.Get());
}

InstallerOutcome WaitForInstaller(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode)) {
        Report("GetExitCodeProcess() failed\n");
        return InstallerOutcome::ExitCodeUnreadable;
    }
    if (exitCode == kStillActive) {
        Report("Process is still active\n");
        return InstallerOutcome::StillActive;
    }
    return InstallerOutcome::Ended;
}

}  // namespace app
