#pragma once
// A component with a window of its own. Messages pass through the replaceable
// WindowProc slot (by default the control's own WndProc), so a form can hook
// its message handling as a whole; Perform sends a message the same way.

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/core/component.h"
#include "toolkit/win/message.h"

namespace toolkit {

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }

    // Every message of the window passes through this slot; it starts out as WndProc.
    std::function<void(TMessage&)> WindowProc;
    virtual void WndProc(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

    bool Visible() const;
    bool Enabled() const;
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);

    std::string Caption() const;
    void SetCaption(const std::string& text);

protected:
    // Registers (once) a window class of this name and creates the window.
    void CreateHandle(const char* className, DWORD style, DWORD exStyle, HWND parent, int left, int top, int width,
                      int height);
    void DestroyHandle();

private:
    static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

}  // namespace toolkit
