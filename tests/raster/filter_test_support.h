#pragma once
// Small helpers for the filter and blend mode tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "swf/raster/color.h"
#include "swf/raster/surface.h"

namespace swf::raster::test {

inline Surface CopyOf(const Surface& s) {
    Surface out(s.width(), s.height());
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) out.row(y)[x] = s.pixel(x, y);
    return out;
}

// Every channel within `tolerance` of the expected pixel's.
inline ::testing::AssertionResult PixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 0) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 255), e = static_cast<int>((expected >> shift) & 255);
        if (std::abs(a - e) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel %08X, expected %08X (tolerance %d)", actual, expected, tolerance);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// Channels never exceed the alpha.
inline bool ValidPremultiplied(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    return ((p >> 16) & 255) <= a && ((p >> 8) & 255) <= a && (p & 255) <= a;
}

// A deterministic pseudo-random sequence.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    // A random premultiplied pixel.
    std::uint32_t Pixel() {
        const std::uint32_t a = static_cast<std::uint32_t>(Below(256));
        return PackPixel(a, Below(static_cast<int>(a) + 1), Below(static_cast<int>(a) + 1),
                         Below(static_cast<int>(a) + 1));
    }

private:
    std::uint32_t state_;
};

}  // namespace swf::raster::test
