#include "tests/windows/driver/gui_driver.h"

#include <cstdio>
#include <thread>

namespace driver {

std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

Process::Process(const std::string& exe, const std::string& arguments, std::optional<WORD> showWindow) {
    const std::wstring wideExe = Wide(exe);
    const std::wstring folder = wideExe.substr(0, wideExe.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + wideExe + L"\"" + (arguments.empty() ? L"" : L" " + Wide(arguments));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (showWindow) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showWindow;
    }
    if (!CreateProcessW(wideExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
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

std::chrono::milliseconds Process::CpuTime() const {
    FILETIME created, exited, kernel, user;
    if (!info_.hProcess || !GetProcessTimes(info_.hProcess, &created, &exited, &kernel, &user)) return {};
    const auto ticks = [](const FILETIME& t) { return ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart; };
    return std::chrono::milliseconds((ticks(kernel) + ticks(user)) / 10000);  // 100 ns units
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
    // A program just started may be busy for seconds on a cold machine: wait
    // long, and if it still does not answer read the text Windows keeps.
    if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000,
                            nullptr) == 0) {
        wchar_t wide[4096] = {};
        const int length = InternalGetWindowText(window, wide, 4096);
        std::string narrow;
        for (int i = 0; i < length; ++i) narrow.push_back(wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?');
        return narrow;
    }
    return text;
}

RECT BoundsOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Absolute input is in 1/65536 of the screen; aim at the pixel's centre.
LONG Normalised(int coordinate, int extent) {
    return static_cast<LONG>((2LL * coordinate + 1) * 65536 / (2LL * extent));
}

}  // namespace

void MoveMouse(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(x, GetSystemMetrics(SM_CXSCREEN)),
              Normalised(y, GetSystemMetrics(SM_CYSCREEN)));
    Pause(150ms);
}

void PressButton(DWORD downFlag) {
    SendMouse(downFlag);
    Pause(150ms);
}

void ReleaseButton(DWORD upFlag) {
    SendMouse(upFlag);
    Pause(150ms);
}

namespace {

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void PressKey(WORD key, bool shift, bool control) {
    if (shift) SendKey(VK_SHIFT, false);
    if (control) SendKey(VK_CONTROL, false);
    SendKey(key, false);
    SendKey(key, true);
    if (control) SendKey(VK_CONTROL, true);
    if (shift) SendKey(VK_SHIFT, true);
}

void TypeText(const std::wstring& text) {
    for (const wchar_t c : text) {
        const SHORT scan = VkKeyScanW(c);
        if (scan == -1) continue;
        PressKey(LOBYTE(scan), (HIBYTE(scan) & 1) != 0, (HIBYTE(scan) & 2) != 0);
    }
}

void Click(int x, int y) {
    MoveMouse(x, y);
    PressButton();
    ReleaseButton();
}

void Drag(POINT from, POINT to) {
    MoveMouse(from.x, from.y);
    PressButton();
    constexpr int kSteps = 5;
    for (int step = 1; step <= kSteps; ++step) {
        MoveMouse(from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps);
    }
    ReleaseButton();
    Pause(300ms);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

std::string ColourText(COLORREF colour) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

bool SaveScreen(const std::string& path) {
    return SaveScreenArea(path, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool SaveScreenArea(const std::string& path, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(rowBytes) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && ok;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND FindChildOf(HWND parent, const std::string& className) {
    struct Search {
        const std::string& name;
        HWND found;
    } search{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (ClassOf(window) != s->name) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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

void PressOk(const MessageBoxInfo& box) { PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

}  // namespace driver
