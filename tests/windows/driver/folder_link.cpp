#include "tests/windows/driver/folder_link.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace driver {

namespace {

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::string HostPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName) return {};
    std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    if (!name) return {};
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

namespace {

// Runs a host program through Wine's process creation, which starts host
// executables as they are.
bool RunHost(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool MakeFolderLink(const std::string& link, const std::string& target) {
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && IsLink(link)) return true;
    const std::string hostLink = HostPath(link), hostTarget = HostPath(target);
    if (hostLink.empty() || hostTarget.empty()) return false;
    if (!RunHost("Z:\\bin\\ln -s \"" + hostTarget + "\" \"" + hostLink + "\"")) return false;
    for (int i = 0; i < 100 && !IsLink(link); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return IsLink(link);
}

bool MakeHostLink(const std::string& link, const std::string& target) {
    const std::string hostLink = HostPath(link), hostTarget = HostPath(target);
    if (hostLink.empty() || hostTarget.empty()) return false;
    if (!RunHost("Z:\\bin\\ln -s \"" + hostTarget + "\" \"" + hostLink + "\"")) return false;
    for (int i = 0; i < 100; ++i) {
        if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool RunHostCommand(const std::string& commandLine) { return RunHost(commandLine); }

void RemoveFolderLink(const std::string& link) {
    if (!IsLink(link)) return;
    // Under Wine a host link is removed on the host: Wine's RemoveDirectory
    // would remove the folder it points to instead.
    const std::string hostLink = HostPath(link);
    if (hostLink.empty()) {
        RemoveDirectoryA(link.c_str());
        return;
    }
    RunHost("Z:\\bin\\rm -f \"" + hostLink + "\"");
    for (int i = 0; i < 100 && IsLink(link); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace driver
