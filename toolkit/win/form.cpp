#include "toolkit/win/form.h"

#include "toolkit/win/application.h"

namespace toolkit {

TForm::TForm(TComponent* owner, const char* className) : TWinControl(owner) {
    HWND ownerWindow = Application ? Application->Handle() : nullptr;
    CreateHandle(className, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                 0, ownerWindow, CW_USEDEFAULT, CW_USEDEFAULT, 320, 240);
}

void TForm::AfterConstruction() {
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (...) {
        if (Application) Application->HandleException();
    }
}

void TForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    BringWindowToTop(Handle());
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() {
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
    } else {
        Hide();
    }
}

void TForm::WndProc(TMessage& message) {
    if (message.Msg == WM_CLOSE) {
        Close();
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

}  // namespace toolkit
