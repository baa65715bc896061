#include "win32/module_path.h"

namespace win32 {

std::wstring ModulePath(HMODULE module) {
    constexpr std::size_t kLongestPath = 32768;  // the system's own limit, in characters
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return path.substr(0, length);
        if (path.size() >= kLongestPath) return std::wstring();
        path.resize(path.size() * 2);
    }
}

}  // namespace win32
