#include "toolkit/win/picture.h"

#include "toolkit/core/exception.h"

namespace toolkit {

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, std::abs(info.bmHeight)};
}

// The colour bitmap with every transparent pixel turned black, which lets the
// classic AND-mask / OR-colours pair draw it transparently.
HBITMAP BlackenTransparentPixels(HBITMAP colors, HBITMAP mask, int width, int height) {
    const win32::WindowDC screenDC(nullptr);
    const HDC screen = screenDC.Get();
    HBITMAP result = CreateCompatibleBitmap(screen, width, height);
    {
        win32::MemoryDC target(screen, result);
        win32::MemoryDC source(screen, colors);
        win32::MemoryDC maskDC(screen, mask);
        BitBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
        // A 1-bit source maps its 1 bits to the background colour and its 0 bits
        // to the text colour of the target.
        SetBkColor(target.Get(), RGB(255, 255, 255));
        SetTextColor(target.Get(), RGB(0, 0, 0));
        BitBlt(target.Get(), 0, 0, width, height, maskDC.Get(), 0, 0, 0x00220326 /* DSna: D and not S */);
    }
    return result;
}

}  // namespace

HBITMAP TPicture::LoadBitmapResource(HINSTANCE instance, const std::string& name) {
    auto bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) throw Exception("Bitmap resource " + name + " not found");
    return bitmap;
}

HICON TPicture::LoadIconResource(HINSTANCE instance, const std::string& name) {
    // Size 0 x 0 without LR_DEFAULTSIZE: the icon at its own size.
    auto icon = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, 0, 0, 0));
    if (!icon) throw Exception("Icon resource " + name + " not found");
    return icon;
}

void TPicture::AssignBitmap(HBITMAP bitmap, HBITMAP mask) {
    icon_.Reset();
    bitmap_.Reset(bitmap);
    mask_.Reset(mask);
    maskedColors_.Reset();
    const SIZE size = bitmap ? BitmapSize(bitmap) : SIZE{0, 0};
    width_ = size.cx;
    height_ = size.cy;
    if (bitmap && mask) maskedColors_.Reset(BlackenTransparentPixels(bitmap, mask, width_, height_));
    Changed();
}

void TPicture::AssignIcon(HICON icon) {
    bitmap_.Reset();
    mask_.Reset();
    maskedColors_.Reset();
    icon_.Reset(icon);
    width_ = height_ = 0;
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        const win32::GdiObject<HBITMAP> colors(info.hbmColor), mask(info.hbmMask);
        const SIZE size = BitmapSize(info.hbmMask);
        width_ = size.cx;
        height_ = info.hbmColor ? size.cy : size.cy / 2;  // a monochrome icon stacks AND and XOR masks
    }
    Changed();
}

void TPicture::Clear() {
    bitmap_.Reset();
    mask_.Reset();
    maskedColors_.Reset();
    icon_.Reset();
    width_ = height_ = 0;
    Changed();
}

void TPicture::Changed() {
    if (OnChange) OnChange();
}

void TPicture::Draw(HDC dc, const RECT& box, bool stretch) const {
    if (icon_) {
        DrawIconEx(dc, box.left, box.top, icon_.Get(), width_, height_, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!bitmap_) return;
    const int width = stretch ? box.right - box.left : width_;
    const int height = stretch ? box.bottom - box.top : height_;
    SetStretchBltMode(dc, COLORONCOLOR);
    auto blit = [&](HBITMAP source, DWORD rop) {
        win32::MemoryDC sourceDC(dc, source);
        if (stretch) {
            StretchBlt(dc, box.left, box.top, width, height, sourceDC.Get(), 0, 0, width_, height_, rop);
        } else {
            BitBlt(dc, box.left, box.top, width, height, sourceDC.Get(), 0, 0, rop);
        }
    };
    if (mask_) {
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        blit(mask_.Get(), SRCAND);  // opaque pixels black, transparent ones untouched
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
        blit(maskedColors_.Get(), SRCPAINT);
    } else {
        blit(bitmap_.Get(), SRCCOPY);
    }
}

}  // namespace toolkit
