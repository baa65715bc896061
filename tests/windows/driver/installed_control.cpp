#include "tests/windows/driver/installed_control.h"

#include <windows.h>

namespace driver {

std::string RegisteredServerValue(const char* name) {
    char value[1024] = {};
    DWORD size = sizeof value;
    const std::string key = std::string(kControlClassKey) + "\\InprocServer32";
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return "";
    }
    return value;
}

bool ControlInstalled() {
    const std::string server = RegisteredServerValue();
    if (server.empty()) return false;
    const DWORD attributes = GetFileAttributesA(server.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExtractedPackagePath() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system, 2) + "\\temp\\flash8.msi";
}

}  // namespace driver
