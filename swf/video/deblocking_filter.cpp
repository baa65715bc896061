// Pixels A B | C D across an edge: d = (A - 4B + 4C - D) / 8 is ramped up and
// down by the strength, B and C move by it, A and D by at most half of it.
#include "swf/video/deblocking_filter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

namespace swf::video {

namespace {

// The filter's strength by quantizer 1 to 31.
constexpr std::array<int, 32> kStrength = {0, 1, 1, 2, 2, 3, 3, 4,  4,  4,  5,  5,  6,  6,  7,  7,
                                           7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};

int UpDownRamp(int x, int strength) {
    const int size = std::abs(x);
    const int ramped = std::max(0, size - std::max(0, 2 * (size - strength)));
    return x < 0 ? -ramped : ramped;
}

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// One edge point: p[-2 * step] p[-step] | p[0] p[step].
void FilterAcross(std::uint8_t* p, std::ptrdiff_t step, int strength) {
    const int a = p[-2 * step], b = p[-step], c = p[0], d = p[step];
    const int d1 = UpDownRamp((a - 4 * b + 4 * c - d) / 8, strength);
    const int limit = std::abs(d1 / 2);
    const int d2 = std::clamp((a - d) / 4, -limit, limit);
    p[-2 * step] = Clamp(a - d2);
    p[-step] = Clamp(b + d1);
    p[0] = Clamp(c - d1);
    p[step] = Clamp(d + d2);
}

int StrengthAt(const std::uint8_t* quantizers, int quantizerStride, int blockSize, int x, int y) {
    const int quantizer = quantizers[static_cast<std::ptrdiff_t>(y / blockSize) * quantizerStride + x / blockSize];
    return kStrength[static_cast<std::size_t>(std::clamp(quantizer, 0, 31))];
}

}  // namespace

// Edges go 8 pixels at a time, each stretch inside one block.
void DeblockPlane(std::uint8_t* plane, int stride, int width, int height, const std::uint8_t* quantizers,
                  int quantizerStride, int blockSize) {
    for (int y = 8; y + 2 <= height; y += 8) {
        std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; x += 8) {
            const int strength = StrengthAt(quantizers, quantizerStride, blockSize, x, y);
            for (int i = x; i < std::min(x + 8, width); ++i) FilterAcross(row + i, stride, strength);
        }
    }
    for (int y = 0; y < height; y += 8) {
        for (int x = 8; x + 2 <= width; x += 8) {
            const int strength = StrengthAt(quantizers, quantizerStride, blockSize, x, y);
            for (int i = y; i < std::min(y + 8, height); ++i)
                FilterAcross(plane + static_cast<std::ptrdiff_t>(i) * stride + x, 1, strength);
        }
    }
}

}  // namespace swf::video
