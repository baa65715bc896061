#include "control/back_buffer.h"

namespace control {

bool BackBuffer::Resize(int width, int height) {
    if (Valid() && width == width_ && height == height_) return true;
    Free();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    auto dc = std::make_unique<win32::MemoryDC>(nullptr, bitmap.Get());
    if (!dc->Get()) return false;
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    pixels_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void BackBuffer::Free() {
    dc_.reset();  // gives the bitmap back before it is deleted
    bitmap_.Reset();
    pixels_ = nullptr;
    width_ = height_ = 0;
}

}  // namespace control
