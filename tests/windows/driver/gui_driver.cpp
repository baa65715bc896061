#include "gui_driver.h"

#include <thread>

namespace driver {

Process::Process(const std::string& exe, const std::string& arguments) {
    std::string folder = exe.substr(0, exe.find_last_of("\\/"));
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info_)) {
        info_ = {};
    }
}

Process::~Process() {
    Kill();
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds timeout) {
    if (!info_.hProcess) return std::nullopt;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::Kill() {
    if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

std::vector<HWND> WindowsOf(DWORD processId, bool visibleOnly) {
    struct Search {
        DWORD processId;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{processId, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && (!s->visibleOnly || IsWindowVisible(window))) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[4096] = {};
    // WM_GETTEXT answers across processes too, unlike GetWindowText for controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

RECT BoundsOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void Pause(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        std::this_thread::sleep_for(20ms);
    }
}

HWND WaitFor(const std::function<HWND()>& find, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        if (HWND window = find()) return window;
        Pause(50ms);
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

HWND FindWindowOf(DWORD processId, const std::string& className, bool visibleOnly) {
    for (HWND window : WindowsOf(processId, visibleOnly)) {
        if (ClassOf(window) == className) return window;
    }
    return nullptr;
}

std::optional<MessageBoxInfo> ReadMessageBox(HWND window) {
    if (ClassOf(window) != "#32770") return std::nullopt;
    MessageBoxInfo info{window, TextOf(window), {}, false, {}};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = ClassOf(child);
        if (_stricmp(cls.c_str(), "Static") == 0) {
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                if (SendMessageA(child, STM_GETICON, 0, 0) != 0 && IsWindowVisible(child)) info.hasIcon = true;
            } else if (info.text.empty()) {
                info.text = TextOf(child);
            }
        } else if (_stricmp(cls.c_str(), "Button") == 0 && IsWindowVisible(child)) {
            info.buttons.push_back(TextOf(child));
        }
    }
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    HWND box = WaitFor([&] { return FindWindowOf(processId, "#32770"); }, timeout);
    if (!box) return std::nullopt;
    Pause(200ms);  // let the box finish laying itself out
    return ReadMessageBox(box);
}

void PressOk(const MessageBoxInfo& box) {
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace driver
