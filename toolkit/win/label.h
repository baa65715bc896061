#pragma once
// One line of text on its parent: left-justified at the top of its box,
// clipped to the box without an ellipsis; "&" marks the next character as an
// accelerator (underlined) while ShowAccelChar is set, "&&" shows one "&".

#include <string>

#include "toolkit/win/control.h"

namespace toolkit {

class TLabel : public TGraphicControl {
public:
    static constexpr char kClassName[] = "TLabel";
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Transparent: the parent's painting shows around the letters.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // AutoSize: the box follows the text's extent.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);

    void Paint(HDC dc, const RECT& box) override;
    bool SetProperty(const FormProperty& property, TReader& reader) override;
    void Loaded() override;

private:
    UINT TextFormat() const;
    void AdjustSize();

    std::string caption_;
    TColor color_ = clBtnFace;
    bool transparent_ = false;
    bool autoSize_ = true;
    bool showAccelChar_ = true;
};

}  // namespace toolkit
