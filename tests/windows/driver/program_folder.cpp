#include "tests/windows/driver/program_folder.h"

#include <cstdio>

#include "tests/windows/driver/gui_driver.h"

namespace driver {

namespace {

bool WriteFile(const std::string& path, const std::string& content) {
    FILE* file = _wfopen(Wide(path).c_str(), L"wb");
    if (!file) return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

std::string BaseOf(const std::string& exeName) {
    const std::size_t dot = exeName.rfind('.');
    return dot == std::string::npos ? exeName : exeName.substr(0, dot);
}

}  // namespace

ProgramFolder::ProgramFolder(const std::string& name, const std::string& program, const std::string& exeName,
                             const std::optional<std::string>& settings) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    char utf8[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, temp, -1, utf8, sizeof utf8, nullptr, nullptr);
    folder_ = std::string(utf8) + name;
    exe_ = folder_ + "\\" + exeName;
    settingsFolder_ = folder_ + "\\" + BaseOf(exeName) + "_Page_img";
    CreateDirectoryW(Wide(folder_).c_str(), nullptr);
    ready_ = CopyFileW(Wide(program).c_str(), Wide(exe_).c_str(), FALSE) != 0;
    if (settings) {
        CreateDirectoryW(Wide(settingsFolder_).c_str(), nullptr);
        ready_ = ready_ && WriteFile(settingsFolder_ + "\\Page_var.txt", *settings);
    }
}

bool ProgramFolder::CopyIn(const std::string& source, const std::string& name) {
    const std::string target = folder_ + "\\" + name;
    CreateDirectoryW(Wide(settingsFolder_).c_str(), nullptr);
    copies_.push_back(target);
    return CopyFileW(Wide(source).c_str(), Wide(target).c_str(), FALSE) != 0;
}

ProgramFolder::~ProgramFolder() {
    for (const std::string& copy : copies_) DeleteFileW(Wide(copy).c_str());
    DeleteFileW(Wide(settingsFolder_ + "\\Page_var.txt").c_str());
    RemoveDirectoryW(Wide(settingsFolder_).c_str());
    DeleteFileW(Wide(exe_).c_str());
    RemoveDirectoryW(Wide(folder_).c_str());
}

Backdrop::Backdrop(COLORREF color) {
    static const char kClass[] = "ProgramTestBackdrop";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kClass, "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, windowClass.hInstance, nullptr);
    brush_ = CreateSolidBrush(color);
    SetClassLongPtrA(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_));
    InvalidateRect(window_, nullptr, TRUE);
    Pause(std::chrono::milliseconds(300));
}

Backdrop::~Backdrop() {
    DestroyWindow(window_);
    DeleteObject(brush_);
}

}  // namespace driver
