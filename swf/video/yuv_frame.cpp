#include "swf/video/yuv_frame.h"

#include <cstring>

namespace swf::video {

namespace {

void ExtendPlane(std::uint8_t* origin, int stride, int width, int height, int border) {
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = origin + static_cast<std::ptrdiff_t>(y) * stride;
        std::memset(row - border, row[0], static_cast<std::size_t>(border));
        std::memset(row + width, row[width - 1], static_cast<std::size_t>(border));
    }
    const std::size_t rowBytes = static_cast<std::size_t>(stride);
    const std::uint8_t* top = origin - border;
    const std::uint8_t* bottom = top + static_cast<std::ptrdiff_t>(height - 1) * stride;
    for (int y = 1; y <= border; ++y) {
        std::memcpy(origin - border - static_cast<std::ptrdiff_t>(y) * stride, top, rowBytes);
        std::memcpy(origin - border + static_cast<std::ptrdiff_t>(height - 1 + y) * stride, bottom, rowBytes);
    }
}

}  // namespace

void YuvFrame::Allocate(int macroblocksWide, int macroblocksHigh) {
    if (width_ == macroblocksWide * 16 && height_ == macroblocksHigh * 16) return;
    width_ = macroblocksWide * 16;
    height_ = macroblocksHigh * 16;
    lumaStride_ = width_ + 2 * kLumaBorder;
    chromaStride_ = width_ / 2 + 2 * kChromaBorder;
    y_.assign(static_cast<std::size_t>(lumaStride_) * (height_ + 2 * kLumaBorder), 0);
    u_.assign(static_cast<std::size_t>(chromaStride_) * (height_ / 2 + 2 * kChromaBorder), 128);
    v_.assign(u_.size(), 128);
}

void YuvFrame::ExtendEdges() {
    ExtendPlane(Y(0, 0), lumaStride_, width_, height_, kLumaBorder);
    ExtendPlane(U(0, 0), chromaStride_, width_ / 2, height_ / 2, kChromaBorder);
    ExtendPlane(V(0, 0), chromaStride_, width_ / 2, height_ / 2, kChromaBorder);
}

}  // namespace swf::video
