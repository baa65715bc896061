#pragma once
// A control with a window of its own. It paints its background and the
// pictures and labels placed on it, hands them their mouse events, aligns its
// children on every size change and shows the cursor of the control under the
// pointer. Messages pass through the replaceable WindowProc slot (by default
// the control's own WndProc), so a form can hook its message handling as a
// whole; Perform sends a message the same way.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/win/control.h"
#include "toolkit/win/message.h"

namespace toolkit {

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    virtual HWND Handle() const { return handle_; }

    // Every message of the window passes through this slot; it starts out as WndProc.
    std::function<void(TMessage&)> WindowProc;
    virtual void WndProc(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);

    void SetParent(TWinControl* parent) override;
    Bounds BoundsRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const;
    int ClientHeight() const;

    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;

    std::string Caption() const;
    void SetCaption(const std::string& text);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Gives the window the keyboard focus.
    virtual void SetFocus();
    bool Focused() const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;  // the window lost the keyboard focus

    // The children placed on this control, in description order (which is the
    // painting order of the pictures and labels among them).
    const std::vector<TControl*>& Controls() const { return controls_; }

    // Places the aligned children for the current client size.
    void Realign();
    // Paints the background and the pictures and labels.
    void PaintTo(HDC dc);
    void InvalidateArea(const Bounds& area);
    void Invalidate() override;

    bool SetProperty(const FormProperty& property, TReader& reader) override;

protected:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // The system window class of this control; registered on first use.
    virtual const char* WindowClassName() const { return "TWinControl"; }
    // Creates the child window once the control has a parent.
    virtual void CreateWnd();
    void CreateHandle(const char* className, DWORD style, DWORD exStyle, HWND parent, const Bounds& bounds);
    // Stops messages from reaching this object, then destroys the window.
    void DestroyHandle();
    // Stops messages from reaching this object and its windowed children.
    void DetachHandles();

    // After every size change, once the children are aligned.
    virtual void Resize() {}

    bool fullRepaint_ = true;

private:
    static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();
    TControl* ControlAt(int x, int y) const;
    bool HandleMouse(TMessage& message);
    bool HandleSetCursor(TMessage& message);

    HWND handle_ = nullptr;
    TColor color_ = clBtnFace;
    std::vector<TControl*> controls_;
    TControl* pressed_ = nullptr;  // the picture or label that took the left button
};

}  // namespace toolkit
