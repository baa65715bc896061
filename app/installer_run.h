#pragma once
// Starts the installer on the package, waits for it to end and tells the user
// when its exit code says it did not.

#include <windows.h>

#include <string>

namespace app {

enum class InstallerOutcome {
    NotStarted,          // the system could not start it
    Ended,               // any exit code but 259, failures and cancels included
    StillActive,         // its exit code reads 259: "Process is still active\n" was shown
    ExitCodeUnreadable,  // "GetExitCodeProcess() failed\n" was shown
};

// Runs `installer` with the command line `arguments` and waits without time limit.
InstallerOutcome RunInstaller(const std::wstring& installer, const std::wstring& arguments);

// Waits for the process behind `process` and reads its exit code, showing the
// report it calls for. A handle that cannot be waited for is not waited for.
InstallerOutcome WaitForInstaller(HANDLE process);

}  // namespace app
