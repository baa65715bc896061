#include "app/flash_runtime.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/installer_command.h"
#include "app/payload_tail.h"
#include "toolkit/win/application.h"

namespace app {

const char kControlServerKey[] = "\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

namespace {

constexpr std::size_t kPathBuffer = 1024;
constexpr DWORD kStillActive = 259;

class RegistryKey {
public:
    RegistryKey(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Empty when the system cannot say (or its answer does not fit the buffer).
std::string SystemFolder() {
    char buffer[kPathBuffer] = {};
    UINT length = GetSystemDirectoryA(buffer, kPathBuffer);
    return length > 0 && length < kPathBuffer ? std::string(buffer, length) : std::string();
}

std::optional<InstallerCommand> Command() { return InstallerCommandFor(SystemFolder()); }

std::string PackagePath() {
    char folder[kPathBuffer] = {};
    MakeTempFolder(folder);
    return std::string(folder) + "\\flash8.msi";
}

void Report(const char* text) {
    if (toolkit::Application) toolkit::Application->MessageDialog(text);
}

// Runs the installer on the package and waits for it without time limit.
void RunInstaller(const InstallerCommand& command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};

    std::string commandLine = command.commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(command.installer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;  // nothing started: nothing to wait for, no exit code to read
    }
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);

    WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(processHandle.get(), &exitCode)) {
        Report("GetExitCodeProcess() failed\n");
    } else if (exitCode == kStillActive) {
        Report("Process is still active\n");
    }
}

}  // namespace

std::string ReadRegisteredControlPath() {
    RegistryKey key(HKEY_CLASSES_ROOT, kControlServerKey + 1);  // sub-key names have no leading backslash
    if (!key.get()) return std::string();

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) {
        return std::string();
    }
    // A value that is not text names no control: the registration is broken,
    // and reinstalling repairs it.
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();

    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return std::string();
    }
    data.resize(data.find('\0'));  // up to the first NUL; no environment expansion
    return data;
}

PathKind ExaminePath(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return PathKind::Missing;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return PathKind::Missing;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

void MakeTempFolder(char* buffer) {
    const auto command = Command();
    const std::string folder = command ? command->tempFolder : std::string();
    if (!folder.empty()) CreateDirectoryA(folder.c_str(), nullptr);
    std::snprintf(buffer, kPathBuffer, "%s", folder.c_str());
}

bool ExtractInstallerPayload() {
    const std::string packagePath = PackagePath();
    const std::string exePath = toolkit::Application ? toolkit::Application->ExeName() : std::string();
    if (exePath.empty()) return false;
    return ExtractPayload(exePath, packagePath) == ExtractResult::Ok;
}

void EnsureFlashRuntime() {
    const std::string controlPath = ReadRegisteredControlPath();
    if (!NeedsFlashInstall(controlPath, ExaminePath(controlPath))) return;
    // Without the system folder both the package's folder and the installer's
    // path would be relative ("\temp", "\msiexec.exe"): skip provisioning.
    const auto command = Command();
    if (!command) return;

    // Without a sound package there is nothing to install; the window's own
    // report then says that the control is missing.
    if (!ExtractInstallerPayload()) return;
    RunInstaller(*command);
    DeleteFileA(command->packagePath.c_str());
}

}  // namespace app
