#pragma once
// A list of equally sized images cut from one strip bitmap, each with its
// part of a 1-bit mask strip (white where the image is transparent).

#include <windows.h>

#include "toolkit/win/control.h"
#include "win32/gdi_objects.h"
#include "toolkit/win/picture.h"

namespace toolkit {

enum class TDrawingStyle { dsNormal, dsTransparent };

class TImageList : public TStreamable {
public:
    static constexpr char kClassName[] = "TImageList";
    explicit TImageList(TComponent* owner);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    bool Masked() const { return masked_; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }

    // Takes ownership of the strip and its mask (the mask may be null).
    void SetImages(HBITMAP strip, HBITMAP mask);

    // Copies image `index` into `picture`, with its mask while the list is
    // masked, so that its transparent pixels show what lies behind it.
    // Throws Exception for an index outside the list.
    void GetBitmap(int index, TPicture& picture) const;
    // Draws image `index` with its top left corner at x, y (masked when the
    // drawing style is dsTransparent).
    void Draw(HDC dc, int x, int y, int index) const;

    bool SetProperty(const FormProperty& property, TReader& reader) override;
    void Loaded() override;

private:
    void CheckIndex(int index) const;

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    TDrawingStyle drawingStyle_ = TDrawingStyle::dsNormal;
    TColor bkColor_ = clNone;
    win32::GdiObject<HBITMAP> strip_;
    win32::GdiObject<HBITMAP> mask_;
};

}  // namespace toolkit
