#include "control/player_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "control/module.h"
#include "win32/gdi_objects.h"
#include "win32/object_count.h"

namespace control {

namespace {

constexpr wchar_t kWindowClass[] = L"GuidePlayerControlWindow";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kCaretTimer = 2;
constexpr UINT kDeliverMessage = WM_APP + 1;

bool g_classRegistered = false;

bool EnsureWindowClass(WNDPROC procedure) {
    if (g_classRegistered) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    g_classRegistered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return g_classRegistered;
}

std::int64_t Now() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

std::int64_t TicksPerSecond() {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}

double NowMilliseconds() { return static_cast<double>(Now()) * 1000.0 / static_cast<double>(TicksPerSecond()); }

// The system's time between showing and hiding a caret; 0 when carets do not blink.
double CaretBlinkMilliseconds() {
    const UINT ms = GetCaretBlinkTime();
    return ms == INFINITE ? 0 : ms;
}

}  // namespace

void UnregisterPlayerWindowClass() {
    if (g_classRegistered) UnregisterClassW(kWindowClass, ModuleInstance());
    g_classRegistered = false;
}

bool PlayerWindow::Create(HWND parent, const RECT& bounds) {
    if (hwnd_) return true;
    if (!parent || !EnsureWindowClass(&PlayerWindow::Procedure)) return false;
    HWND hwnd = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                nullptr, ModuleInstance(), this);
    if (!hwnd) return false;
    win32::CountCreated(win32::CountedObject::User);
    Restart();
    return true;
}

void PlayerWindow::Destroy() {
    if (!hwnd_) return;
    // For a debugger or a tracing run; costs nothing when nobody listens.
    const std::string line = "player control: " + std::to_string(counters_.advanced) + " frames advanced, " +
                             std::to_string(counters_.drawn) + " drawn, " + std::to_string(counters_.dropped) +
                             " dropped\n";
    OutputDebugStringA(line.c_str());
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    timerRunning_ = false;
    clock_.Stop();
    KillTimer(hwnd, kFrameTimer);
    KillTimer(hwnd, kCaretTimer);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    buffer_.Free();
}

void PlayerWindow::SetBounds(const RECT& bounds) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlayerWindow::Restart() {
    if (!hwnd_) return;
    if (timerRunning_) KillTimer(hwnd_, kFrameTimer);
    timerRunning_ = false;
    clock_.Stop();
    if (player_.HasMovie()) {
        clock_.Start(Now(), player_.FrameRate(), TicksPerSecond());
        ArmTimer();
    }
    Redraw();
}

void PlayerWindow::ArmTimer() {
    // The timer only wakes the thread; the clock decides which frames are due.
    timerRunning_ = SetTimer(hwnd_, kFrameTimer, clock_.MillisecondsToNextFrame(Now()), nullptr) != 0;
}

void PlayerWindow::RedrawAll() {
    player_.ForgetRenderedFrame();
    // Asked from inside the movie's own call to its host: the next frame draws it.
    if (hwnd_ && !player_.Busy()) Redraw();
}

void PlayerWindow::RequestDelivery() {
    if (hwnd_) PostMessageW(hwnd_, kDeliverMessage, 0, 0);
}

LRESULT CALLBACK PlayerWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == win32::LiveObjectsMessage()) return win32::LiveObjectsAnswer();
    if (message == WM_NCDESTROY) win32::CountFreed(win32::CountedObject::User);
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PlayerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PlayerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->timerRunning_ = false;
        self->buffer_.Free();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // The host may let the control go inside an event sink; after the release
    // below neither `self` nor the control may be touched.
    PlayerWindowHost& host = self->host_;
    host.HoldForCallback();
    const LRESULT result = self->Handle(message, wParam, lParam);
    host.ReleaseAfterCallback();
    return result;
}

LRESULT PlayerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
    case WM_SIZE: Redraw(); return 0;
    case WM_TIMER:
        if (wParam == kCaretTimer) {
            OnCaretTimer();
            return 0;
        }
        if (wParam != kFrameTimer) return DefWindowProcW(hwnd, message, wParam, lParam);
        OnFrameTimer();
        return 0;
    case kDeliverMessage: host_.DeliverEvents(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_MOUSEMOVE: {
        // Only a change of the button under the pointer changes the picture.
        const bool wasOver = player_.PointerOverButton();
        player_.PointerMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        // WM_SETCURSOR came before this move; what is under the pointer now decides.
        ShowCursorShape();
        // A drag over a text field changes its selection.
        const bool dragging = GetCapture() == hwnd && player_.HasTextFocus();
        if (wasOver == player_.PointerOverButton() && !dragging) {
            host_.DeliverEvents();
            return 0;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A click gives the control the keyboard, for the movie's text fields.
        host_.ActivateByUser();
        if (GetFocus() != hwnd) SetFocus(hwnd);
        SetCapture(hwnd);
        player_.PointerDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), CountClicks(message, lParam));
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) ReleaseCapture();
        player_.PointerUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ShowCursorShape();
            return TRUE;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETDLGCODE:
        // Tab, Enter and the arrows are the movie's, not a dialog's.
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_KEYUP:
        player_.KeyUp(static_cast<int>(wParam), 0);
        Redraw();
        host_.DeliverEvents();
        return 0;
    case WM_CHAR: OnCharacter(wParam); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // Mouse input: buttons may have changed their look or queued requests.
    Redraw();
    host_.DeliverEvents();
    return 0;
}

void PlayerWindow::ShowCursorShape() {
    const CursorShape shape = player_.Cursor();
    const LPCTSTR cursor = shape == CursorShape::Hand ? IDC_HAND : shape == CursorShape::IBeam ? IDC_IBEAM : IDC_ARROW;
    SetCursor(player_.MouseHidden() ? nullptr : LoadCursor(nullptr, cursor));
}

int PlayerWindow::CountClicks(UINT message, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const DWORD time = static_cast<DWORD>(GetMessageTime());
    if (message == WM_LBUTTONDBLCLK) {
        doubleClick_ = {true, time, at};
        return 2;
    }
    // The system counts two clicks; a third one soon after, in the same place, is counted here.
    const bool third = doubleClick_.valid && time - doubleClick_.time <= GetDoubleClickTime() &&
                       std::abs(at.x - doubleClick_.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                       std::abs(at.y - doubleClick_.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    doubleClick_.valid = false;
    return third ? 3 : 1;
}

void PlayerWindow::OnKeyDown(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    // The character the key types is already posted as WM_CHAR; it is read
    // here for Key.getAscii and key-press conditions, and left for typing.
    int charCode = 0;
    MSG typed;
    if (PeekMessageW(&typed, hwnd_, WM_CHAR, WM_CHAR, PM_NOREMOVE)) charCode = static_cast<int>(typed.wParam);
    // A focused text field takes editing keys first; Key listeners, clip key
    // events and buttons' key presses see every key, as players do.
    player_.TextKeyDown(static_cast<int>(key), shift, control);
    player_.KeyDown(static_cast<int>(key), charCode);
    Redraw();
    host_.DeliverEvents();
}

void PlayerWindow::OnCharacter(WPARAM unit) {
    const auto c = static_cast<wchar_t>(unit);
    if (c >= 0xD800 && c < 0xDC00) {
        highSurrogate_ = c;
        return;
    }
    char32_t character = c;
    if (c >= 0xDC00 && c < 0xE000) {
        if (highSurrogate_ == 0) return;
        character = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (c - 0xDC00);
    }
    highSurrogate_ = 0;
    if (player_.CharacterTyped(character)) Redraw();
    host_.DeliverEvents();
}

void PlayerWindow::OnFrameTimer() {
    const std::int64_t skippedBefore = clock_.FramesSkipped();
    const int frames = clock_.FramesDue(Now());
    // A late tick catches up in script and timeline, and draws once.
    for (int i = 0; i < frames; ++i) player_.Advance();
    counters_.advanced += frames;
    counters_.dropped += clock_.FramesSkipped() - skippedBefore;
    if (frames > 0) {
        if (Redraw()) {
            ++counters_.drawn;
            counters_.dropped += frames - 1;
        } else {
            counters_.dropped += frames;
        }
    }
    if (hwnd_ && timerRunning_) ArmTimer();
    host_.DeliverEvents();
}

void PlayerWindow::OnCaretTimer() {
    // Only the caret's own rectangle changes, so the redraw is a small one.
    if (!player_.UpdateCaretBlink(NowMilliseconds()) || !Redraw()) ArmCaretTimer();
}

void PlayerWindow::ArmCaretTimer() {
    const double wait = player_.MillisecondsToCaretBlink();
    if (wait < 0) {
        KillTimer(hwnd_, kCaretTimer);
        return;
    }
    SetTimer(hwnd_, kCaretTimer, static_cast<UINT>(std::min(wait, 60000.0)) + 1, nullptr);
}

bool PlayerWindow::AnythingVisible() const {
    const win32::WindowDC dc(hwnd_);
    if (!dc.Get()) return false;
    RECT box;
    const int kind = GetClipBox(dc.Get(), &box);
    return kind != NULLREGION && kind != ERROR;
}

bool PlayerWindow::Redraw() {
    if (!hwnd_) return false;
    // Rendering a frame nobody can see (a window of no height, however wide)
    // is skipped; the next paint renders it.
    frameSkipped_ = !AnythingVisible();
    if (frameSkipped_ || !RenderFrame()) return false;
    InvalidateChanged();
    return true;
}

bool PlayerWindow::RenderFrame() {
    changed_.clear();
    RECT client;
    GetClientRect(hwnd_, &client);
    const bool sameBuffer = buffer_.Valid() && buffer_.Width() == client.right && buffer_.Height() == client.bottom;
    if (!buffer_.Resize(client.right, client.bottom)) return false;
    // A new buffer holds nothing to build on.
    if (!sameBuffer) player_.ForgetRenderedFrame();
    GdiFlush();
    player_.SetViewport(buffer_.Width(), buffer_.Height());
    // A caret that moved or a field newly focused shows its caret at once.
    player_.SetCaretBlinkTime(CaretBlinkMilliseconds());
    player_.UpdateCaretBlink(NowMilliseconds());
    changed_ = player_.RenderChanges(buffer_.Pixels(), buffer_.Width(), buffer_.Height(),
                                     static_cast<std::ptrdiff_t>(buffer_.Width()) * 4);
    ArmCaretTimer();
    return true;
}

void PlayerWindow::InvalidateChanged() {
    for (const PixelArea& area : changed_) {
        const RECT rect{area.left, area.top, area.right, area.bottom};
        InvalidateRect(hwnd_, &rect, FALSE);
    }
}

void PlayerWindow::OnPaint() {
    const HWND hwnd = hwnd_;
    // Only the parts the window system asks for are copied.
    win32::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    if (region && GetUpdateRgn(hwnd, region.Get(), FALSE) == ERROR) region.Reset();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (frameSkipped_ && !IsRectEmpty(&ps.rcPaint)) {
        frameSkipped_ = !RenderFrame();
        // What changed outside this paint is painted next.
        if (!frameSkipped_) InvalidateChanged();
    }
    if (dc) PaintRegion(dc, region.Get(), ps.rcPaint);
    EndPaint(hwnd, &ps);
}

void PlayerWindow::Paint(HDC dc, const RECT& area) {
    if (!dc) return;
    if (!buffer_.Valid()) {
        const std::uint32_t rgb = player_.BackgroundColor();
        const win32::GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF)));
        if (brush) FillRect(dc, &area, brush.Get());
        return;
    }
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer_.Dc(), area.left, area.top,
           SRCCOPY);
}

void PlayerWindow::PaintRegion(HDC dc, HRGN region, const RECT& bounds) {
    if (region && buffer_.Valid()) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<std::uint8_t> data(size);
        auto* header = reinterpret_cast<RGNDATA*>(data.data());
        if (size >= sizeof(RGNDATAHEADER) && GetRegionData(region, size, header) == size) {
            const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
            for (DWORD i = 0; i < header->rdh.nCount; ++i) {
                // The paint's own clipping keeps anything outside its region off the screen.
                Paint(dc, rects[i]);
            }
            return;
        }
    }
    Paint(dc, bounds);
}

void DrawPlayer(MoviePlayer& player, HDC dc, const RECT& bounds) {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    BackBuffer buffer;
    if (!dc || !buffer.Resize(width, height)) return;
    player.Render(buffer.Pixels(), width, height, static_cast<std::ptrdiff_t>(width) * 4);
    GdiFlush();
    BitBlt(dc, bounds.left, bounds.top, width, height, buffer.Dc(), 0, 0, SRCCOPY);
}

}  // namespace control
