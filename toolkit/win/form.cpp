#include "toolkit/win/form.h"

#include <algorithm>
#include <cctype>

#include "toolkit/core/form_description.h"
#include "toolkit/win/application.h"
#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"

namespace toolkit {

namespace {

constexpr DWORD kBorderStyles = WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME;
constexpr DWORD kBorderIcons = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

TForm::TForm(TComponent* owner, const char* className) : TWinControl(owner), className_(className) {
    HWND ownerWindow = Application ? Application->Handle() : nullptr;
    CreateHandle(className, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | borderIcons_, 0, ownerWindow,
                 {CW_USEDEFAULT, CW_USEDEFAULT, 320, 240});
}

TForm::~TForm() {
    // Components go first, while this window still exists, and no message of
    // theirs or of this window reaches an object in the middle of destruction.
    DetachHandles();
    while (!Components().empty()) delete Components().back();
    DestroyHandle();
}

void TForm::ReadDescription(const TPublishedTable& published) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const FormNode root = ParseFormDescription(LoadDescriptionResource(instance, UpperCase(className_)));
    TReader reader(*this, published, instance);
    reader.Read(root);
}

void TForm::Loaded() { Realign(); }

void TForm::AfterConstruction() {
    if (constructed_) return;
    constructed_ = true;
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            if (Application) Application->HandleException();
        }
    }
    if (visibleAfterConstruction_) Show();
}

void TForm::PlaceOnFirstShow() {
    if (placed_) return;
    placed_ = true;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (position_ == TPosition::poMainFormCenter) {
        TForm* main = Application ? Application->MainForm() : nullptr;
        if (main && main != this) GetWindowRect(main->Handle(), &area);
    } else if (position_ != TPosition::poScreenCenter) {
        return;
    }
    const Bounds b = BoundsRect();
    SetBounds(area.left + (area.right - area.left - b.Width) / 2, area.top + (area.bottom - area.top - b.Height) / 2,
              b.Width, b.Height);
}

void TForm::Show() {
    PlaceOnFirstShow();
    ShowWindow(Handle(), SW_SHOW);
    BringWindowToTop(Handle());
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() {
    Hide();
    if (Application && Application->MainForm() == this) Application->Terminate();
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, GetWindowLongA(Handle(), GWL_STYLE), FALSE, GetWindowLongA(Handle(), GWL_EXSTYLE));
    const Bounds b = BoundsRect();
    SetBounds(b.Left, b.Top, r.right - r.left, r.bottom - r.top);
}

TWindowState TForm::WindowState() const {
    if (IsIconic(Handle())) return TWindowState::wsMinimized;
    if (IsZoomed(Handle())) return TWindowState::wsMaximized;
    if (Application && Application->MainForm() == this && Application->Minimized()) return TWindowState::wsMinimized;
    return TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    switch (state) {
    case TWindowState::wsNormal: ShowWindow(Handle(), SW_RESTORE); break;
    case TWindowState::wsMinimized: Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case TWindowState::wsMaximized: ShowWindow(Handle(), SW_MAXIMIZE); break;
    }
}

void TForm::ApplyStyle(DWORD style) {
    const DWORD old = GetWindowLongA(Handle(), GWL_STYLE);
    const DWORD updated = (old & ~(kBorderStyles | kBorderIcons)) | style;
    if (updated == old) return;
    SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(updated));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    const DWORD icons = borderIcons_;
    switch (style) {
    case TFormBorderStyle::bsNone: ApplyStyle(0); break;
    case TFormBorderStyle::bsSingle: ApplyStyle(WS_CAPTION | icons); break;
    case TFormBorderStyle::bsSizeable: ApplyStyle(WS_CAPTION | WS_THICKFRAME | icons); break;
    }
}

void TForm::SetBorderIcons(DWORD icons) {
    borderIcons_ = icons & kBorderIcons;
    const DWORD style = GetWindowLongA(Handle(), GWL_STYLE);
    // Without a caption there is nowhere to show the icons.
    ApplyStyle((style & kBorderStyles) | ((style & WS_CAPTION) ? borderIcons_ : 0));
}

void TForm::SetFormStyle(TFormStyle style) {
    SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetTransparentColor(bool on) {
    transparentColor_ = on;
    ApplyLayering();
}

void TForm::SetTransparentColorValue(TColor color) {
    transparentColorValue_ = color;
    ApplyLayering();
}

void TForm::SetAlphaBlend(bool on) {
    alphaBlend_ = on;
    ApplyLayering();
}

void TForm::SetAlphaBlendValue(int value) {
    alphaBlendValue_ = std::clamp(value, 0, 255);
    ApplyLayering();
}

void TForm::ApplyLayering() {
    HWND window = Handle();
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (transparentColor_ || alphaBlend_) {
        const bool becomesLayered = !(exStyle & WS_EX_LAYERED);
        if (becomesLayered) SetWindowLongA(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        DWORD flags = 0;
        if (transparentColor_) flags |= LWA_COLORKEY;
        if (alphaBlend_) flags |= LWA_ALPHA;
        SetLayeredWindowAttributes(window, ColorToRGB(transparentColorValue_), static_cast<BYTE>(alphaBlendValue_),
                                   flags);
        // Paint the new layered surface completely, children and frame included.
        if (becomesLayered) {
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongA(window, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
        // An ordinary window again: everything must be drawn anew.
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TForm::Resize() {
    if (OnResize) OnResize(this);
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_SYSCOMMAND:
        // The main form minimises the whole application to its taskbar button.
        if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
            Application->Minimize();
            message.Result = 0;
            return;
        }
        break;
    case WM_GETMINMAXINFO: {
        TWinControl::WndProc(message);
        std::vector<LayoutChild> children;
        for (const TControl* control : Controls()) {
            children.push_back({control->BoundsRect(), control->Alignment(), control->Visible(), control->Constraints});
        }
        const ClientSize minimum = MinimumClientSize(children);
        RECT frame{0, 0, minimum.Width, minimum.Height};
        AdjustWindowRectEx(&frame, GetWindowLongA(Handle(), GWL_STYLE), FALSE, GetWindowLongA(Handle(), GWL_EXSTYLE));
        auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
        if (minimum.Width > 0) info->ptMinTrackSize.x = frame.right - frame.left;
        if (minimum.Height > 0) info->ptMinTrackSize.y = frame.bottom - frame.top;
        message.Result = 0;
        return;
    }
    default: break;
    }
    TWinControl::WndProc(message);
}

bool TForm::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "ClientWidth") {
        SetClientSize(IntegerValue(property), ClientHeight());
    } else if (name == "ClientHeight") {
        SetClientSize(ClientWidth(), IntegerValue(property));
    } else if (name == "Visible") {
        visibleAfterConstruction_ = BooleanValue(property);
    } else if (name == "BorderStyle") {
        SetBorderStyle(EnumValue<TFormBorderStyle>(property, {{"bsNone", TFormBorderStyle::bsNone},
                                                              {"bsSingle", TFormBorderStyle::bsSingle},
                                                              {"bsSizeable", TFormBorderStyle::bsSizeable}}));
    } else if (name == "BorderIcons") {
        SetBorderIcons(SetFlagsValue(
            property, {{"biSystemMenu", WS_SYSMENU}, {"biMinimize", WS_MINIMIZEBOX}, {"biMaximize", WS_MAXIMIZEBOX}}));
    } else if (name == "FormStyle") {
        SetFormStyle(EnumValue<TFormStyle>(
            property, {{"fsNormal", TFormStyle::fsNormal}, {"fsStayOnTop", TFormStyle::fsStayOnTop}}));
    } else if (name == "Position") {
        SetPosition(EnumValue<TPosition>(property, {{"poDesigned", TPosition::poDesigned},
                                                    {"poScreenCenter", TPosition::poScreenCenter},
                                                    {"poMainFormCenter", TPosition::poMainFormCenter}}));
    } else if (name == "TransparentColor") {
        SetTransparentColor(BooleanValue(property));
    } else if (name == "TransparentColorValue") {
        SetTransparentColorValue(ColorValue(property));
    } else if (name == "AlphaBlend") {
        SetAlphaBlend(BooleanValue(property));
    } else if (name == "AlphaBlendValue") {
        SetAlphaBlendValue(IntegerValue(property));
    } else if (name == "OnCreate") {
        OnCreate = reader.Handler<TNotifyEvent>(property);
    } else if (name == "OnResize") {
        OnResize = reader.Handler<TNotifyEvent>(property);
    } else if (name == "OldCreateOrder") {
        // Only the order "creation handler after the constructor" is offered.
        if (BooleanValue(property)) InvalidPropertyValue(property, "only False is supported");
    } else if (name == "PixelsPerInch" || name == "TextHeight") {
        // The design resolution and its text height: the layout is not scaled.
        IntegerValue(property);
    } else if (name == "Ctl3D") {
        // The flat look is the only one offered.
        if (BooleanValue(property)) InvalidPropertyValue(property, "only False is supported");
    } else {
        return TWinControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace toolkit
