#include "toolkit/win/control.h"

#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"
#include "toolkit/win/win_control.h"

namespace toolkit {

bool TStreamable::SetProperty(const FormProperty&, TReader&) { return false; }

TControl::TControl(TComponent* owner) : TStreamable(owner) {}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) parent_->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) { bounds_ = {left, top, width, height}; }

void TControl::SetLeft(int left) {
    const Bounds b = BoundsRect();
    SetBounds(left, b.Top, b.Width, b.Height);
}
void TControl::SetTop(int top) {
    const Bounds b = BoundsRect();
    SetBounds(b.Left, top, b.Width, b.Height);
}
void TControl::SetWidth(int width) {
    const Bounds b = BoundsRect();
    SetBounds(b.Left, b.Top, width, b.Height);
}
void TControl::SetHeight(int height) {
    const Bounds b = BoundsRect();
    SetBounds(b.Left, b.Top, b.Width, height);
}

void TControl::SetAlignment(Align align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Invalidate();
    if (parent_ && align_ != Align::alNone) parent_->Realign();
}

void TControl::SetEnabled(bool enabled) { enabled_ = enabled; }

void TControl::SetCursor(TCursor cursor) {
    if (cursor_ == cursor) return;
    cursor_ = cursor;
    // Show the new cursor at once when the pointer is over the control's window.
    POINT point{};
    GetCursorPos(&point);
    const TWinControl* window = dynamic_cast<const TWinControl*>(this);
    if (!window) window = parent_;
    if (window && window->Handle() && WindowFromPoint(point) == window->Handle()) {
        SendMessageA(window->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
}

const TFont& TControl::EffectiveFont() const {
    if (ParentFont && parent_) return parent_->EffectiveFont();
    return Font;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::Invalidate() {
    if (parent_) parent_->InvalidateArea(BoundsRect());
}

bool TControl::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    const Bounds b = BoundsRect();
    if (name == "Left") {
        SetBounds(IntegerValue(property), b.Top, b.Width, b.Height);
    } else if (name == "Top") {
        SetBounds(b.Left, IntegerValue(property), b.Width, b.Height);
    } else if (name == "Width") {
        SetBounds(b.Left, b.Top, IntegerValue(property), b.Height);
    } else if (name == "Height") {
        SetBounds(b.Left, b.Top, b.Width, IntegerValue(property));
    } else if (name == "Align") {
        SetAlignment(EnumValue<Align>(property, {{"alNone", Align::alNone},
                                                 {"alTop", Align::alTop},
                                                 {"alBottom", Align::alBottom},
                                                 {"alLeft", Align::alLeft},
                                                 {"alRight", Align::alRight},
                                                 {"alClient", Align::alClient}}));
    } else if (name == "Visible") {
        SetVisible(BooleanValue(property));
    } else if (name == "Enabled") {
        SetEnabled(BooleanValue(property));
    } else if (name == "Cursor") {
        SetCursor(CursorValue(property));
    } else if (name == "Constraints.MinWidth") {
        Constraints.MinWidth = IntegerValue(property);
    } else if (name == "Constraints.MinHeight") {
        Constraints.MinHeight = IntegerValue(property);
    } else if (name == "OnMouseDown") {
        OnMouseDown = reader.Handler<TMouseEvent>(property);
    } else if (name == "OnMouseUp") {
        OnMouseUp = reader.Handler<TMouseEvent>(property);
    } else if (name == "OnMouseMove") {
        OnMouseMove = reader.Handler<TMouseMoveEvent>(property);
    } else if (name == "OnClick") {
        OnClick = reader.Handler<TNotifyEvent>(property);
    } else {
        return TStreamable::SetProperty(property, reader);
    }
    return true;
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    const Bounds old = bounds_;
    if (old == Bounds{left, top, width, height}) return;
    Invalidate();
    TControl::SetBounds(left, top, width, height);
    Invalidate();
}

HCURSOR SystemCursor(TCursor cursor) {
    LPCSTR id = nullptr;
    switch (cursor) {
    case crArrow: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: return nullptr;
    }
    return LoadCursorA(nullptr, id);
}

}  // namespace toolkit
