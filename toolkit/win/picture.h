#pragma once
// A picture shown by TImage: a bitmap (optionally with a transparency mask)
// or an icon. Pictures come from the executable's resources or are copied
// from an image list at run time.

#include <windows.h>

#include <functional>
#include <string>

#include "win32/gdi_objects.h"

namespace toolkit {

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Throw Exception when the resource is missing.
    static HBITMAP LoadBitmapResource(HINSTANCE instance, const std::string& name);
    static HICON LoadIconResource(HINSTANCE instance, const std::string& name);

    // Take ownership of the handles. The mask is a 1-bit bitmap of the same
    // size, white where the picture is transparent.
    void AssignBitmap(HBITMAP bitmap, HBITMAP mask = nullptr);
    void AssignIcon(HICON icon);
    void Clear();

    bool Empty() const { return !bitmap_ && !icon_; }
    bool IsIcon() const { return static_cast<bool>(icon_); }
    bool HasMask() const { return static_cast<bool>(mask_); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    HBITMAP Mask() const { return mask_.Get(); }
    HICON Icon() const { return icon_.Get(); }

    // Draws into `box`: an icon at its own size at the box's top left corner;
    // a bitmap at its own size at the top left (clipped to the box), or scaled
    // to the box when `stretch`. Masked pixels leave the background.
    void Draw(HDC dc, const RECT& box, bool stretch) const;

    // Called after every change of the picture.
    std::function<void()> OnChange;

private:
    void Changed();

    win32::GdiObject<HBITMAP> bitmap_;
    win32::GdiObject<HBITMAP> mask_;
    win32::GdiObject<HBITMAP> maskedColors_;  // the colours with the transparent pixels black
    win32::IconHandle icon_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace toolkit
