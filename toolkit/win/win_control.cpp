#include "toolkit/win/win_control.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/core/hit_test.h"
#include "toolkit/win/application.h"
#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"
#include "win32/object_count.h"

namespace toolkit {

namespace {

RECT ToRect(const Bounds& b) { return {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height}; }

TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

void RegisterWindowClass(const char* className) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, className, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;  // replaced per window in CreateHandle
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconA(instance, "MAINICON");
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    WindowProc = [this](TMessage& message) { WndProc(message); };
}

TWinControl::~TWinControl() {
    DestroyHandle();
    // Children still placed here forget their parent.
    while (!controls_.empty()) controls_.back()->SetParent(nullptr);
}

void TWinControl::CreateHandle(const char* className, DWORD style, DWORD exStyle, HWND parent, const Bounds& b) {
    RegisterWindowClass(className);
    HWND window = CreateWindowExA(exStyle, className, "", style, b.Left, b.Top, b.Width, b.Height, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) throw Exception("Cannot create a window of class " + std::string(className));
    win32::CountCreated(win32::CountedObject::User);
    handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc));
}

void TWinControl::CreateWnd() {
    if (!Parent() || !Parent()->Handle()) return;
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (TControl::Visible()) style |= WS_VISIBLE;
    CreateHandle(WindowClassName(), style, 0, Parent()->Handle(), bounds_);
}

void TWinControl::DetachHandles() {
    if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    for (TControl* child : controls_) {
        if (auto* window = dynamic_cast<TWinControl*>(child)) window->DetachHandles();
    }
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    HWND window = handle_;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    handle_ = nullptr;
    DestroyWindow(window);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == win32::LiveObjectsMessage()) return win32::LiveObjectsAnswer();
    if (msg == WM_NCDESTROY) win32::CountFreed(win32::CountedObject::User);
    auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return DefWindowProcA(window, msg, wParam, lParam);
    }
    // No exception may cross the system's frames: report it and go on.
    try {
        return self->Perform(msg, wParam, lParam);
    } catch (...) {
        if (Application) Application->HandleException();
        return 0;
    }
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;  // painted with the rest in WM_PAINT
        return;
    case WM_PAINT:
        Paint();
        message.Result = 0;
        return;
    case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
    case WM_SIZE:
        Realign();
        if (fullRepaint_) InvalidateRect(handle_, nullptr, FALSE);
        Resize();
        break;
    case WM_SETCURSOR:
        if (HandleSetCursor(message)) return;
        break;
    case WM_SETFOCUS:
        if (OnEnter) OnEnter(this);
        break;
    case WM_KILLFOCUS:
        if (OnExit) OnExit(this);
        break;
    case WM_CAPTURECHANGED: pressed_ = nullptr; break;
    default:
        if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONDBLCLK && HandleMouse(message)) return;
        break;
    }
    message.Result = handle_ ? DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam) : 0;
}

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    if (!parent) return;
    if (handle_) {
        ::SetParent(handle_, parent->Handle());
    } else {
        CreateWnd();
    }
}

Bounds TWinControl::BoundsRect() const {
    if (!handle_) return bounds_;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, width, height};
    if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWinControl::ClientWidth() const {
    if (!handle_) return bounds_.Width;
    RECT r{};
    GetClientRect(handle_, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    if (!handle_) return bounds_.Height;
    RECT r{};
    GetClientRect(handle_, &r);
    return r.bottom;
}

bool TWinControl::Visible() const {
    if (!handle_) return TControl::Visible();
    return (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

bool TWinControl::Enabled() const { return handle_ ? IsWindowEnabled(handle_) != FALSE : TControl::Enabled(); }

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) EnableWindow(handle_, enabled);
}

std::string TWinControl::Caption() const {
    if (!handle_) return std::string();
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void TWinControl::SetCaption(const std::string& text) {
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TWinControl::SetColor(TColor color) {
    color_ = color;
    Invalidate();
}

void TWinControl::SetFocus() {
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (pressed_ == control) pressed_ = nullptr;
    if (dynamic_cast<TGraphicControl*>(control)) InvalidateArea(control->BoundsRect());
}

void TWinControl::Realign() {
    std::vector<LayoutChild> children;
    children.reserve(controls_.size());
    for (const TControl* control : controls_) {
        children.push_back({control->BoundsRect(), control->Alignment(), control->Visible(), control->Constraints});
    }
    const std::vector<Bounds> placed = AlignChildren(ClientWidth(), ClientHeight(), children);
    // A child's handlers may run while it is resized: work on a copy of the list.
    const std::vector<TControl*> snapshot = controls_;
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        TControl* control = snapshot[i];
        if (control->Alignment() == Align::alNone || !children[i].Visible) continue;
        if (!(control->BoundsRect() == placed[i])) {
            control->SetBounds(placed[i].Left, placed[i].Top, placed[i].Width, placed[i].Height);
        }
    }
}

void TWinControl::InvalidateArea(const Bounds& area) {
    if (!handle_) return;
    const RECT r = ToRect(area);
    InvalidateRect(handle_, &r, FALSE);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::PaintTo(HDC dc) {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    if (color_ != clNone) {
        win32::GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color_)));
        FillRect(dc, &client, brush.Get());
    }
    for (TControl* control : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (!graphic || !graphic->Visible()) continue;
        const RECT box = ToRect(graphic->BoundsRect());
        win32::SavedDC saved(dc);
        IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
        graphic->Paint(dc, box);
    }
}

void TWinControl::Paint() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(handle_, &ps);
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (width > 0 && height > 0) {
        // Paint off screen first, so the pictures never flicker over the background.
        win32::GdiObject<HBITMAP> buffer(CreateCompatibleBitmap(dc, width, height));
        {
            win32::MemoryDC memory(dc, buffer.Get());
            PaintTo(memory.Get());
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, memory.Get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        }
    }
    EndPaint(handle_, &ps);
}

TControl* TWinControl::ControlAt(int x, int y) const {
    std::vector<PaintedChild> painted;
    std::vector<TControl*> graphics;
    for (TControl* control : controls_) {
        if (!dynamic_cast<TGraphicControl*>(control)) continue;
        painted.push_back({control->BoundsRect(), control->Visible(), control->Enabled()});
        graphics.push_back(control);
    }
    if (auto index = HitTest(painted, x, y)) return graphics[*index];
    return nullptr;
}

bool TWinControl::HandleMouse(TMessage& message) {
    const int x = GET_X_LPARAM(message.LParam);
    const int y = GET_Y_LPARAM(message.LParam);
    TShiftState shift = ShiftFromKeys(message.WParam);
    TMouseButton button = TMouseButton::mbLeft;
    bool down = false;
    bool up = false;
    switch (message.Msg) {
    case WM_LBUTTONDBLCLK: shift |= ssDouble; [[fallthrough]];
    case WM_LBUTTONDOWN: down = true; break;
    case WM_RBUTTONDBLCLK: shift |= ssDouble; [[fallthrough]];
    case WM_RBUTTONDOWN:
        down = true;
        button = TMouseButton::mbRight;
        break;
    case WM_MBUTTONDBLCLK: shift |= ssDouble; [[fallthrough]];
    case WM_MBUTTONDOWN:
        down = true;
        button = TMouseButton::mbMiddle;
        break;
    case WM_LBUTTONUP: up = true; break;
    case WM_RBUTTONUP:
        up = true;
        button = TMouseButton::mbRight;
        break;
    case WM_MBUTTONUP:
        up = true;
        button = TMouseButton::mbMiddle;
        break;
    case WM_MOUSEMOVE: break;
    default: return false;
    }

    TControl* target = ControlAt(x, y);
    // While the left button is held on a picture, the picture keeps the events.
    if (!down && pressed_ && GetCapture() == handle_) target = pressed_;
    if (!target) target = this;
    const Bounds area = target == this ? Bounds{0, 0, 0, 0} : target->BoundsRect();
    const int localX = x - area.Left;
    const int localY = y - area.Top;

    if (down) {
        if (button == TMouseButton::mbLeft) {
            // As a button-down normally does: the pressed control takes the mouse.
            SetCapture(handle_);
            pressed_ = target;
        }
        target->MouseDown(button, shift, localX, localY);
    } else if (up) {
        TControl* pressed = pressed_;
        if (button == TMouseButton::mbLeft) {
            pressed_ = nullptr;
            if (GetCapture() == handle_) ReleaseCapture();
        }
        target->MouseUp(button, shift, localX, localY);
        const bool inside = localX >= 0 && localY >= 0 && localX < (target == this ? ClientWidth() : area.Width) &&
                            localY < (target == this ? ClientHeight() : area.Height);
        if (button == TMouseButton::mbLeft && pressed == target && inside) target->Click();
    } else {
        target->MouseMove(shift, localX, localY);
    }
    message.Result = 0;
    return true;
}

bool TWinControl::HandleSetCursor(TMessage& message) {
    if (reinterpret_cast<HWND>(message.WParam) != handle_ || LOWORD(message.LParam) != HTCLIENT) return false;
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(handle_, &point);
    TCursor cursor = crDefault;
    if (TControl* control = ControlAt(point.x, point.y)) cursor = control->Cursor();
    if (cursor == crDefault) cursor = Cursor();
    HCURSOR shape = SystemCursor(cursor);
    if (!shape) return false;
    ::SetCursor(shape);
    message.Result = TRUE;
    return true;
}

bool TWinControl::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "Color") {
        SetColor(ColorValue(property));
    } else if (name == "Caption") {
        SetCaption(StringValue(property));
    } else if (name == "ParentFont") {
        ParentFont = BooleanValue(property);
    } else if (name == "TabOrder") {
        IntegerValue(property);  // focus moves only by code: the order is not used
    } else if (name == "OnEnter") {
        OnEnter = reader.Handler<TNotifyEvent>(property);
    } else if (name == "OnExit") {
        OnExit = reader.Handler<TNotifyEvent>(property);
    } else if (SetFontProperty(Font, property)) {
        ParentFont = false;
    } else {
        return TControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace toolkit
