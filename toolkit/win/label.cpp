#include "toolkit/win/label.h"

#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"

namespace toolkit {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { bounds_ = {0, 0, 65, 13}; }

void TLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetColor(TColor color) {
    color_ = color;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustSize();
    Invalidate();
}

void TLabel::Loaded() { AdjustSize(); }

UINT TLabel::TextFormat() const {
    return DT_LEFT | DT_TOP | DT_SINGLELINE | (showAccelChar_ ? 0u : static_cast<UINT>(DT_NOPREFIX));
}

void TLabel::AdjustSize() {
    if (!autoSize_) return;
    const win32::WindowDC screenDC(nullptr);
    const HDC screen = screenDC.Get();
    RECT extent{0, 0, 0, 0};
    {
        win32::SavedDC saved(screen);
        SelectObject(screen, EffectiveFont().Handle());
        DrawTextA(screen, caption_.empty() ? " " : caption_.c_str(), -1, &extent, TextFormat() | DT_CALCRECT);
    }
    SetBounds(Left(), Top(), extent.right, extent.bottom);
}

void TLabel::Paint(HDC dc, const RECT& box) {
    if (!transparent_ && color_ != clNone) {
        win32::GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color_)));
        FillRect(dc, &box, brush.Get());
    }
    const TFont& font = EffectiveFont();
    SelectObject(dc, font.Handle());
    SetTextColor(dc, ColorToRGB(font.Color()));
    SetBkMode(dc, TRANSPARENT);
    RECT textBox = box;
    // Without DT_NOCLIP the text is clipped to its box.
    DrawTextA(dc, caption_.c_str(), -1, &textBox, TextFormat());
}

bool TLabel::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "Caption") {
        SetCaption(StringValue(property));
    } else if (name == "Transparent") {
        SetTransparent(BooleanValue(property));
    } else if (name == "Color") {
        SetColor(ColorValue(property));
    } else if (name == "AutoSize") {
        SetAutoSize(BooleanValue(property));
    } else if (name == "ShowAccelChar") {
        SetShowAccelChar(BooleanValue(property));
    } else if (name == "ParentFont") {
        ParentFont = BooleanValue(property);
    } else if (SetFontProperty(Font, property)) {
        ParentFont = false;
    } else {
        return TGraphicControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace toolkit
