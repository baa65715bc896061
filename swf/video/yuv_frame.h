#pragma once
// A decoded 4:2:0 picture in whole macroblocks, with a border around each
// plane that repeats the edge pixels, so that motion vectors may point
// outside the picture (as H.263's unrestricted vectors do) and the
// prediction still reads only memory of the frame.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::video {

class YuvFrame {
public:
    // Enough for the longest vector, 16 pixels, and the half-pixel
    // neighbour, from a block at the edge; chroma vectors are half as long.
    static constexpr int kLumaBorder = 32;
    static constexpr int kChromaBorder = 16;

    // Sizes in macroblocks; keeps the memory when they stay the same.
    void Allocate(int macroblocksWide, int macroblocksHigh);
    // Fills the borders from the outermost pixels of the whole macroblocks
    // (the encoder predicts from its padded picture the same way).
    void ExtendEdges();

    int width() const { return width_; }  // in pixels, whole macroblocks
    int height() const { return height_; }
    int lumaStride() const { return lumaStride_; }
    int chromaStride() const { return chromaStride_; }

    // Pixel (x, y) of a plane; x and y may reach into the border.
    std::uint8_t* Y(int x, int y) { return y_.data() + Offset(x, y, lumaStride_, kLumaBorder); }
    std::uint8_t* U(int x, int y) { return u_.data() + Offset(x, y, chromaStride_, kChromaBorder); }
    std::uint8_t* V(int x, int y) { return v_.data() + Offset(x, y, chromaStride_, kChromaBorder); }
    const std::uint8_t* Y(int x, int y) const { return y_.data() + Offset(x, y, lumaStride_, kLumaBorder); }
    const std::uint8_t* U(int x, int y) const { return u_.data() + Offset(x, y, chromaStride_, kChromaBorder); }
    const std::uint8_t* V(int x, int y) const { return v_.data() + Offset(x, y, chromaStride_, kChromaBorder); }

private:
    static std::ptrdiff_t Offset(int x, int y, int stride, int border) {
        return static_cast<std::ptrdiff_t>(y + border) * stride + x + border;
    }

    int width_ = 0;
    int height_ = 0;
    int lumaStride_ = 0;
    int chromaStride_ = 0;
    std::vector<std::uint8_t> y_, u_, v_;
};

}  // namespace swf::video
