#pragma once
// Components that a form description creates and configures (TStreamable),
// and the visual ones among them (TControl): a place in a parent window,
// bounds, alignment, visibility, cursor and mouse events. Pictures and labels
// (TGraphicControl) have no window of their own: their parent paints them and
// hands them their mouse events.

#include <windows.h>

#include "toolkit/core/component.h"
#include "toolkit/core/form_description.h"
#include "toolkit/core/layout.h"
#include "toolkit/win/events.h"
#include "toolkit/win/graphics.h"

namespace toolkit {

class TReader;
class TWinControl;

class TStreamable : public TComponent {
public:
    using TComponent::TComponent;

    // Sets one property read from a description; false when the class has no
    // property of that name (the reader reports it).
    virtual bool SetProperty(const FormProperty& property, TReader& reader);
    // Runs once the whole description has been read.
    virtual void Loaded() {}
};

class TControl : public TStreamable {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    // Left, top, width, height; in the parent's client coordinates (screen
    // coordinates for a top-level window).
    virtual Bounds BoundsRect() const { return bounds_; }
    virtual void SetBounds(int left, int top, int width, int height);
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width; }
    int Height() const { return BoundsRect().Height; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);

    Align Alignment() const { return align_; }
    void SetAlignment(Align align);
    SizeConstraints Constraints;

    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    virtual bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    // The control's font, or its parent's while ParentFont is set.
    TFont Font;
    bool ParentFont = true;
    const TFont& EffectiveFont() const;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnClick;

    // Raise the events; X and Y in this control's client coordinates.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Click();

    // Asks for the control's area to be painted again.
    virtual void Invalidate();

    bool SetProperty(const FormProperty& property, TReader& reader) override;

protected:
    // Bounds as stored for controls without a window of their own.
    Bounds bounds_;

private:
    TWinControl* parent_ = nullptr;
    Align align_ = Align::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TCursor cursor_ = crDefault;
};

// A control painted by its parent window.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;

    void SetBounds(int left, int top, int width, int height) override;
    // Paints into `box`, the control's bounds in the parent's client
    // coordinates; the parent has clipped the device context to it.
    virtual void Paint(HDC dc, const RECT& box) = 0;
};

// The system cursor of a toolkit cursor value (nothing for crDefault).
HCURSOR SystemCursor(TCursor cursor);

}  // namespace toolkit
