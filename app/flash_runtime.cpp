#include "app/flash_runtime.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/installer_command.h"
#include "app/installer_run.h"
#include "app/package_file.h"
#include "app/payload_tail.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/module_path.h"
#include "win32/registry_key.h"
#include "win32/wide_text.h"

namespace app {

namespace {

constexpr std::size_t kPathBuffer = 1024;

// In UTF-8; empty when the system cannot say (or its answer does not fit
// the buffer).
std::string SystemFolder() {
    wchar_t buffer[kPathBuffer] = {};
    const UINT length = GetSystemDirectoryW(buffer, kPathBuffer);
    if (length == 0 || length >= kPathBuffer) return std::string();
    return win32::Utf8FromWide(std::wstring_view(buffer, length)).value_or(std::string());
}

std::optional<InstallerCommand> Command() { return InstallerCommandFor(SystemFolder()); }

}  // namespace

std::string ReadRegisteredControlPath() {
    win32::RegistryKey key;
    const std::string serverKey = std::string("CLSID\\") + ShockwaveFlashObjects_TLB::kClassIdText + "\\InprocServer32";
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return {};

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), "", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) {
        return std::string();
    }
    // A value that is not text names no control: the registration is broken,
    // and reinstalling repairs it.
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();

    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key.Get(), "", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
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

void EnsureFlashRuntime() {
    const std::string controlPath = ReadRegisteredControlPath();
    if (!NeedsFlashInstall(controlPath, ExaminePath(controlPath))) return;
    // Without the system folder both the package's folder and the installer's
    // path would be relative ("\temp", "\msiexec.exe"): skip provisioning.
    const auto command = Command();
    if (!command) return;
    const auto tempFolder = win32::WideFromUtf8(command->tempFolder);
    const auto installer = win32::WideFromUtf8(command->installer);
    if (!tempFolder || !installer) return;

    // Without a sound package there is nothing to install; the window's own
    // report then says that the control is missing.
    std::vector<std::uint8_t> payload;
    if (ReadPayload(win32::ModulePath(), payload) != ExtractResult::Ok) return;
    const auto package = PackageFile::Write(*tempFolder, payload);
    if (!package) return;
    const auto packagePath = win32::Utf8FromWide(package->Path());
    const auto arguments = packagePath ? win32::WideFromUtf8(InstallerArguments(*packagePath)) : std::nullopt;
    if (!arguments) return;
    RunInstaller(*installer, *arguments);
    // The package is deleted as `package` goes.
}

}  // namespace app
