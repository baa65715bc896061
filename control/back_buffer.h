#pragma once
// A 32-bit top-down DIB section selected into a memory DC: the movie is drawn
// into its pixels and copied to the screen from there.

#include <windows.h>

#include <cstdint>

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
    HDC Dc() const { return dc_; }
    std::uint32_t* Pixels() const { return pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace control
