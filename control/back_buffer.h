#pragma once
// A 32-bit top-down DIB section selected into a memory DC: the movie is drawn
// into its pixels and copied to the screen from there.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "win32/gdi_objects.h"

namespace control {

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { Free(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // (Re)creates the buffer at the given size; false when that fails or the
    // size is empty, leaving no buffer.
    bool Resize(int width, int height);
    void Free();

    bool Valid() const { return dc_ != nullptr; }
    HDC Dc() const { return dc_ ? dc_->Get() : nullptr; }
    std::uint32_t* Pixels() const { return pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    win32::GdiObject<HBITMAP> bitmap_;
    std::unique_ptr<win32::MemoryDC> dc_;  // after the bitmap: freed first
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace control
