#include "program_folder.h"

#include <cstdio>

#include "gui_driver.h"

namespace driver {

namespace {

bool WriteFile(const std::string& path, const std::string& content) {
    FILE* file = std::fopen(path.c_str(), "wb");
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
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + name;
    exe_ = folder_ + "\\" + exeName;
    settingsFolder_ = folder_ + "\\" + BaseOf(exeName) + "_Page_img";
    CreateDirectoryA(folder_.c_str(), nullptr);
    ready_ = CopyFileA(program.c_str(), exe_.c_str(), FALSE) != 0;
    if (settings) {
        CreateDirectoryA(settingsFolder_.c_str(), nullptr);
        ready_ = ready_ && WriteFile(settingsFolder_ + "\\Page_var.txt", *settings);
    }
}

bool ProgramFolder::CopyIn(const std::string& source, const std::string& name) {
    const std::string target = folder_ + "\\" + name;
    CreateDirectoryA(settingsFolder_.c_str(), nullptr);
    copies_.push_back(target);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

ProgramFolder::~ProgramFolder() {
    for (const std::string& copy : copies_) DeleteFileA(copy.c_str());
    DeleteFileA((settingsFolder_ + "\\Page_var.txt").c_str());
    RemoveDirectoryA(settingsFolder_.c_str());
    DeleteFileA(exe_.c_str());
    RemoveDirectoryA(folder_.c_str());
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
