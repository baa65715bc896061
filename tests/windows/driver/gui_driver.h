#pragma once
// Drives a program under test from outside: starts it, finds its windows,
// reads and answers its message boxes, and collects its exit code.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace driver {

using namespace std::chrono_literals;

class Process {
public:
    // Starts `exe` (UTF-8) with its own folder as the current folder, and
    // with `showWindow` as its start-up show command when one is given.
    explicit Process(const std::string& exe, const std::string& arguments = "",
                     std::optional<WORD> showWindow = std::nullopt);
    ~Process();  // ends the process if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    // The exit code, or nothing if the process has not ended within the time.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    void Kill();
    // User and kernel time the process has used so far.
    std::chrono::milliseconds CpuTime() const;

private:
    PROCESS_INFORMATION info_{};
};

// UTF-16 text of UTF-8 text.
std::wstring Wide(const std::string& utf8);

// Top-level windows of a process (visible ones only, unless asked otherwise).
std::vector<HWND> WindowsOf(DWORD processId, bool visibleOnly = true);
std::string ClassOf(HWND window);
std::string TextOf(HWND window);
RECT BoundsOf(HWND window);
// The first descendant window of `parent` with this class name.
HWND FindChildOf(HWND parent, const std::string& className);

// Polls until `find` returns a window or the time runs out.
HWND WaitFor(const std::function<HWND()>& find, std::chrono::milliseconds timeout);
// A visible top-level window of the process with this class name.
HWND FindWindowOf(DWORD processId, const std::string& className, bool visibleOnly = true);

struct MessageBoxInfo {
    HWND window;
    std::string caption;
    std::string text;
    bool hasIcon;
    std::vector<std::string> buttons;
};

std::optional<MessageBoxInfo> ReadMessageBox(HWND window);
// The first message box of the process that appears within the time.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout);
// Presses the box's OK button.
void PressOk(const MessageBoxInfo& box);

// Real mouse input, in screen coordinates, through the system's input queue.
void MoveMouse(int x, int y);
void PressButton(DWORD downFlag = MOUSEEVENTF_LEFTDOWN);
void ReleaseButton(DWORD upFlag = MOUSEEVENTF_LEFTUP);
void Click(int x, int y);
// Presses the left button at `from`, moves to `to` in a few steps and releases.
void Drag(POINT from, POINT to);

// Real key presses through the system's input queue: one key (virtual-key
// code) with Shift and Ctrl held as asked, and text typed key by key as the
// keyboard layout produces each character.
void PressKey(WORD key, bool shift = false, bool control = false);
void TypeText(const std::wstring& text);

// The colour on screen at a point, and a colour as text (#RRGGBB).
COLORREF ScreenPixel(int x, int y);
std::string ColourText(COLORREF colour);
// Writes the whole screen to a 24-bit BMP file (for looking into a failure).
bool SaveScreen(const std::string& path);
// Writes the part of the screen inside `area` (screen coordinates) the same way.
bool SaveScreenArea(const std::string& path, const RECT& area);
// The window that has the keyboard focus in the thread owning `window`.
HWND FocusOf(HWND window);

// Sleeps briefly while letting this thread's own messages through.
void Pause(std::chrono::milliseconds duration);

}  // namespace driver
