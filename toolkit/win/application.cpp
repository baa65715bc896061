#include "toolkit/win/application.h"

#include <objbase.h>

#include "toolkit/core/exception.h"
#include "toolkit/core/startup_show.h"
#include "toolkit/win/active_object.h"
#include "toolkit/win/form.h"
#include "win32/module_path.h"
#include "win32/object_count.h"
#include "win32/wide_text.h"

namespace toolkit {

TApplication* Application = nullptr;

namespace {

const char kApplicationClass[] = "TApplication";

// The default title: the executable's file name without its extension.
std::string DefaultTitle(const std::string& exePath) {
    std::string name = exePath.substr(exePath.find_last_of("\\/") + 1);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr), title_(DefaultTitle(win32::AnsiFromWide(win32::ModulePath()))) {
    Application = this;
}

TApplication::~TApplication() {
    // Forms go first, while COM and the application window still exist.
    while (!Components().empty()) delete Components().back();
    if (handle_) DestroyWindow(handle_);
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

HINSTANCE TApplication::Instance() const { return GetModuleHandleA(nullptr); }

void TApplication::Initialize() {
    if (!comInitialized_) comInitialized_ = SUCCEEDED(CoInitialize(nullptr));

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &TApplication::WindowProcedure;
    windowClass.hInstance = Instance();
    windowClass.hIcon = LoadIconA(Instance(), "MAINICON");
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassA(&windowClass);

    // A zero-sized window in the middle of the screen: it carries the title and
    // the taskbar button; the forms are owned by it and have no buttons of their own.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, Instance(), nullptr);
    if (!handle_) throw Exception("The application window could not be created");
    win32::CountCreated(win32::CountedObject::User);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

void TApplication::FormCreated(TForm* form) {
    form->AfterConstruction();
    if (!mainForm_) mainForm_ = form;
}

void TApplication::Run() {
    if (mainForm_) {
        ShowWindow(handle_, SW_SHOWNOACTIVATE);
        ShowMainForm();
        // The loop ends on the WM_QUIT that Terminate posts, taking it off the
        // queue: left there, it would end the first modal loop of the
        // tear-down (a message box, say) at once.
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            // The hosted control with the user interface sees keys first.
            if (TranslateWithActiveObject(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    terminated_ = true;
    while (!Components().empty()) delete Components().back();
    mainForm_ = nullptr;
}

void TApplication::ShowMainForm() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    mainForm_->Show();
    switch (StartupShowFor((startup.dwFlags & STARTF_USESHOWWINDOW) != 0, startup.wShowWindow)) {
    case TStartupShow::Minimized: Minimize(); break;
    case TStartupShow::Maximized: mainForm_->SetWindowState(TWindowState::wsMaximized); break;
    case TStartupShow::Normal: break;
    }
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::ShowException(const std::string& message) {
    const std::string text = ExceptionReportText(message);
    MessageBoxA(handle_, text.c_str(), title_.c_str(), MB_ICONSTOP | MB_OK);
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(e.Message());
    } catch (...) {
        ShowException(std::string());
    }
}

void TApplication::MessageDialog(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_SETFOREGROUND);
}

void TApplication::Minimize() {
    if (!handle_ || minimized_) return;
    minimized_ = true;
    // The forms are owned by the application window; hide the visible ones.
    hiddenForms_.clear();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* self = reinterpret_cast<TApplication*>(param);
            if (GetWindow(window, GW_OWNER) == self->handle_ && IsWindowVisible(window)) {
                self->hiddenForms_.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND window : hiddenForms_) ShowWindow(window, SW_HIDE);
    ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::Restore() {
    if (!handle_ || !minimized_) return;
    minimized_ = false;
    if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
    const std::vector<HWND> forms = std::move(hiddenForms_);
    hiddenForms_.clear();
    for (HWND window : forms) {
        if (IsWindow(window)) ShowWindow(window, SW_SHOWNA);
    }
    if (mainForm_ && IsWindowVisible(mainForm_->Handle())) SetForegroundWindow(mainForm_->Handle());
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == win32::LiveObjectsMessage()) return win32::LiveObjectsAnswer();
    if (msg == WM_NCDESTROY) win32::CountFreed(win32::CountedObject::User);
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        switch (msg) {
        case WM_CLOSE:  // "Close window" on the taskbar button closes the main form
            if (self->mainForm_) self->mainForm_->Close();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                self->Minimize();
                return 0;
            }
            if ((wParam & 0xFFF0) == SC_RESTORE && (IsIconic(window) || self->minimized_)) {
                self->Restore();
                return 0;
            }
            break;
        default: break;
        }
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace toolkit
