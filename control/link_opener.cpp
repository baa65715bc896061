#include "control/link_opener.h"

#include <windows.h>

namespace control {

namespace {

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

ShellExecuteFunction ShellExecuteEntry() {
    // Kept loaded once found: the module stays for the life of the process.
    static const ShellExecuteFunction entry = []() -> ShellExecuteFunction {
        HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!shell) return nullptr;
        return reinterpret_cast<ShellExecuteFunction>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
    }();
    return entry;
}

}  // namespace

void OpenLinkWithShell(const std::wstring& url) {
    if (url.empty()) return;
    if (const ShellExecuteFunction shellExecute = ShellExecuteEntry())
        shellExecute(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace control
