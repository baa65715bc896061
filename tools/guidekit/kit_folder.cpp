#include "tools/guidekit/kit_folder.h"

#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace guidekit {

namespace fs = std::filesystem;

namespace {

fs::path RunningBinary(const std::string& argv0) {
#if defined(_WIN32)
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length > 0 && length < std::size(path)) return fs::path(std::wstring(path, length));
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self;
#endif
    return fs::absolute(argv0);
}

}  // namespace

fs::path DefaultKitFolder(const std::string& argv0) { return RunningBinary(argv0).parent_path() / "guidekit-files"; }

std::optional<std::string> CheckKitFolder(const fs::path& kit) {
    for (const char* name : {kKitProgram, kKitPackage}) {
        std::error_code ec;
        if (!fs::is_regular_file(kit / name, ec)) {
            return "the kit folder '" + kit.string() + "' has no " + name + " (give the kit's folder with --kit)";
        }
    }
    return std::nullopt;
}

}  // namespace guidekit
