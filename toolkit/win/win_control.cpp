#include "toolkit/win/win_control.h"

#include "toolkit/win/application.h"

namespace toolkit {

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& message) { WndProc(message); };
}

TWinControl::~TWinControl() { DestroyHandle(); }

void TWinControl::CreateHandle(const char* className, DWORD style, DWORD exStyle, HWND parent, int left, int top,
                               int width, int height) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &TWinControl::StdWndProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hIcon = LoadIconA(instance, "MAINICON");
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
    }
    handle_ = CreateWindowExA(exStyle, className, "", style, left, top, width, height, parent, nullptr, instance,
                              this);
}

void TWinControl::DestroyHandle() {
    if (handle_) {
        HWND window = handle_;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        handle_ = nullptr;
        DestroyWindow(window);
    }
}

void TWinControl::WndProc(TMessage& message) {
    message.Result = DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<TWinControl*>(create->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, msg, wParam, lParam);
    // No exception may cross the system's frames: report it and go on.
    try {
        return self->Perform(msg, wParam, lParam);
    } catch (...) {
        if (Application) Application->HandleException();
        return 0;
    }
}

namespace {
RECT WindowBounds(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    if (HWND parent = GetParent(window); parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}
}  // namespace

int TWinControl::Left() const { return WindowBounds(handle_).left; }
int TWinControl::Top() const { return WindowBounds(handle_).top; }
int TWinControl::Width() const {
    RECT r = WindowBounds(handle_);
    return r.right - r.left;
}
int TWinControl::Height() const {
    RECT r = WindowBounds(handle_);
    return r.bottom - r.top;
}
int TWinControl::ClientWidth() const {
    RECT r{};
    GetClientRect(handle_, &r);
    return r.right;
}
int TWinControl::ClientHeight() const {
    RECT r{};
    GetClientRect(handle_, &r);
    return r.bottom;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWinControl::Visible() const { return handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE); }
bool TWinControl::Enabled() const { return handle_ && IsWindowEnabled(handle_); }
void TWinControl::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }
void TWinControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }

std::string TWinControl::Caption() const {
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void TWinControl::SetCaption(const std::string& text) { SetWindowTextA(handle_, text.c_str()); }

}  // namespace toolkit
