#pragma once
// A picture on its parent: a bitmap drawn at its own size at the top left, or
// stretched to the control's box; an icon drawn at its own size at the top
// left. With AutoSize the control takes the picture's size whenever the
// picture changes (alignment still decides the size of aligned pictures).

#include "toolkit/win/control.h"
#include "toolkit/win/picture.h"

namespace toolkit {

class TImage : public TGraphicControl {
public:
    static constexpr char kClassName[] = "TImage";
    explicit TImage(TComponent* owner);

    // Changing the picture repaints the control.
    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

    void Paint(HDC dc, const RECT& box) override;
    bool SetProperty(const FormProperty& property, TReader& reader) override;

private:
    void PictureChanged();

    TPicture picture_;
    bool autoSize_ = false;
    bool stretch_ = false;
};

}  // namespace toolkit
