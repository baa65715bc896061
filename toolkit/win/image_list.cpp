#include "toolkit/win/image_list.h"

#include "toolkit/core/exception.h"
#include "toolkit/win/form_reader.h"
#include "toolkit/win/property_values.h"

namespace toolkit {

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap) GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, std::abs(info.bmHeight)};
}

// A new bitmap holding the part of `source` at x, 0 of the given size, of the
// same colour depth as the source (1 bit for masks).
HBITMAP CopyPart(HBITMAP source, int x, int width, int height, bool monochrome) {
    const win32::WindowDC screenDC(nullptr);
    const HDC screen = screenDC.Get();
    HBITMAP result =
        monochrome ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(screen, width, height);
    {
        win32::MemoryDC target(screen, result);
        win32::MemoryDC from(screen, source);
        BitBlt(target.Get(), 0, 0, width, height, from.Get(), x, 0, SRCCOPY);
    }
    return result;
}

}  // namespace

TImageList::TImageList(TComponent* owner) : TStreamable(owner) {}

int TImageList::Count() const { return width_ > 0 ? BitmapSize(strip_.Get()).cx / width_ : 0; }

void TImageList::SetImages(HBITMAP strip, HBITMAP mask) {
    strip_.Reset(strip);
    mask_.Reset(mask);
}

void TImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
}

void TImageList::GetBitmap(int index, TPicture& picture) const {
    CheckIndex(index);
    HBITMAP colors = CopyPart(strip_.Get(), index * width_, width_, height_, false);
    HBITMAP mask = masked_ && mask_ ? CopyPart(mask_.Get(), index * width_, width_, height_, true) : nullptr;
    picture.AssignBitmap(colors, mask);
}

void TImageList::Draw(HDC dc, int x, int y, int index) const {
    CheckIndex(index);
    TPicture picture;
    GetBitmap(index, picture);
    if (drawingStyle_ == TDrawingStyle::dsNormal && bkColor_ != clNone) {
        const RECT box{x, y, x + width_, y + height_};
        win32::GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(bkColor_)));
        FillRect(dc, &box, brush.Get());
    }
    picture.Draw(dc, {x, y, x + width_, y + height_}, false);
}

bool TImageList::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "Width") {
        width_ = IntegerValue(property);
    } else if (name == "Height") {
        height_ = IntegerValue(property);
    } else if (name == "Masked") {
        masked_ = BooleanValue(property);
    } else if (name == "DrawingStyle") {
        drawingStyle_ = EnumValue<TDrawingStyle>(
            property, {{"dsNormal", TDrawingStyle::dsNormal}, {"dsTransparent", TDrawingStyle::dsTransparent}});
    } else if (name == "BkColor") {
        bkColor_ = ColorValue(property);
    } else if (name == "Bitmap") {
        strip_.Reset(reader.LoadBitmap(property));
    } else if (name == "Mask") {
        mask_.Reset(reader.LoadBitmap(property));
    } else {
        return TStreamable::SetProperty(property, reader);
    }
    if ((name == "Width" || name == "Height") && IntegerValue(property) <= 0) {
        InvalidPropertyValue(property, "must be positive");
    }
    return true;
}

void TImageList::Loaded() {
    const SIZE strip = BitmapSize(strip_.Get());
    if (strip_ && strip.cy < height_) throw Exception("Image list " + Name + ": the strip is lower than its images");
    if (mask_) {
        const SIZE mask = BitmapSize(mask_.Get());
        if (mask.cx != strip.cx || mask.cy != strip.cy) {
            throw Exception("Image list " + Name + ": the mask differs in size from the strip");
        }
    }
}

}  // namespace toolkit
