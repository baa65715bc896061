#include "toolkit/win/image.h"

#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"

namespace toolkit {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    bounds_ = {0, 0, 105, 105};
    picture_.OnChange = [this] { PictureChanged(); };
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_) PictureChanged();
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

void TImage::PictureChanged() {
    if (autoSize_ && !picture_.Empty() && picture_.Width() > 0 && picture_.Height() > 0) {
        SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    }
    Invalidate();
}

void TImage::Paint(HDC dc, const RECT& box) { picture_.Draw(dc, box, stretch_ && !picture_.IsIcon()); }

bool TImage::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "Picture") {
        reader.LoadPicture(property, picture_);
    } else if (name == "AutoSize") {
        SetAutoSize(BooleanValue(property));
    } else if (name == "Stretch") {
        SetStretch(BooleanValue(property));
    } else {
        return TGraphicControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace toolkit
