// Blend modes at known pixels against their definitions, worked out here in
// double precision on premultiplied channels in 0..1.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>

#include "swf/raster/blend_mode.h"
#include "tests/raster/filter_test_support.h"

namespace swf::raster {
namespace {

using test::PixelNear;

struct Unit {
    double c[4];  // b, g, r, a as in the pixel's bytes, premultiplied, 0..1
};

Unit ToUnit(std::uint32_t p) {
    Unit u;
    for (int i = 0; i < 4; ++i) u.c[i] = ((p >> (8 * i)) & 255) / 255.0;
    return u;
}

std::uint32_t FromUnit(const Unit& u) {
    std::uint32_t p = 0;
    for (int i = 0; i < 4; ++i)
        p |= static_cast<std::uint32_t>(std::lround(std::clamp(u.c[i], 0.0, 1.0) * 255)) << (8 * i);
    return p;
}

// The brief's formulas, channel by channel: s, d colour channels, sa, da alphas.
double HardLight(double s, double d, double sa, double da) {
    if (2 * s <= sa) return 2 * s * d + s * (1 - da) + d * (1 - sa);
    return sa * da - 2 * (da - d) * (sa - s) + s * (1 - da) + d * (1 - sa);
}

std::uint32_t Expected(BlendMode mode, std::uint32_t src, std::uint32_t dst) {
    const Unit S = ToUnit(src), D = ToUnit(dst);
    const double sa = S.c[3], da = D.c[3];
    Unit r;
    const double separableAlpha = sa + da - sa * da;
    for (int i = 0; i < 3; ++i) {
        const double s = S.c[i], d = D.c[i];
        double v = 0;
        switch (mode) {
        case BlendMode::Normal:
        case BlendMode::Layer: v = s + d * (1 - sa); break;
        case BlendMode::Multiply: v = s * d + s * (1 - da) + d * (1 - sa); break;
        case BlendMode::Screen: v = s + d - s * d; break;
        case BlendMode::Lighten: v = std::max(s * da, d * sa) + s * (1 - da) + d * (1 - sa); break;
        case BlendMode::Darken: v = std::min(s * da, d * sa) + s * (1 - da) + d * (1 - sa); break;
        case BlendMode::Difference: v = s + d - 2 * std::min(s * da, d * sa); break;
        case BlendMode::Add: v = std::min(1.0, s + d); break;
        case BlendMode::Subtract: v = std::max(0.0, d - s); break;
        case BlendMode::Invert: v = (da - d) * sa + d * (1 - sa); break;
        case BlendMode::Alpha: v = d * sa; break;
        case BlendMode::Erase: v = d * (1 - sa); break;
        case BlendMode::Overlay: v = HardLight(d, s, da, sa); break;
        case BlendMode::Hardlight: v = HardLight(s, d, sa, da); break;
        }
        r.c[i] = v;
    }
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer: r.c[3] = sa + da * (1 - sa); break;
    case BlendMode::Add: r.c[3] = std::min(1.0, sa + da); break;
    case BlendMode::Subtract:
    case BlendMode::Invert: r.c[3] = da; break;
    case BlendMode::Alpha: r.c[3] = da * sa; break;
    case BlendMode::Erase: r.c[3] = da * (1 - sa); break;
    default: r.c[3] = separableAlpha; break;
    }
    return FromUnit(r);
}

constexpr BlendMode kModes[] = {BlendMode::Normal,   BlendMode::Layer,    BlendMode::Multiply,   BlendMode::Screen,
                                BlendMode::Lighten,  BlendMode::Darken,   BlendMode::Difference, BlendMode::Add,
                                BlendMode::Subtract, BlendMode::Invert,   BlendMode::Alpha,      BlendMode::Erase,
                                BlendMode::Overlay,  BlendMode::Hardlight};

std::uint32_t Composite(BlendMode mode, std::uint32_t src, std::uint32_t dst, const CoverageMask* clip = nullptr) {
    Surface layer(1, 1), target(1, 1);
    layer.row(0)[0] = src;
    target.row(0)[0] = dst;
    CompositeLayer(layer, 0, 0, target, {0, 0, 1, 1}, mode, clip);
    return target.pixel(0, 0);
}

TEST(BlendModeTest, EveryModeAtKnownPixels) {
    const std::uint32_t pixels[] = {
        Premultiply({255, 0, 0, 255}),     Premultiply({0, 128, 255, 255}),
        Premultiply({200, 100, 50, 128}),  Premultiply({10, 240, 90, 64}),
        Premultiply({255, 255, 255, 255}), 0xFF000000u,
        Premultiply({128, 128, 128, 200}), 0u,
    };
    for (BlendMode mode : kModes)
        for (std::uint32_t src : pixels)
            for (std::uint32_t dst : pixels) {
                const std::uint32_t got = Composite(mode, src, dst);
                // A transparent layer pixel leaves the target in every mode but alpha (which clears it).
                EXPECT_TRUE(PixelNear(got, Expected(mode, src, dst), 1))
                    << BlendModeName(mode) << " src " << std::hex << src << " dst " << dst;
                EXPECT_TRUE(test::ValidPremultiplied(got)) << BlendModeName(mode);
            }
}

TEST(BlendModeTest, RandomPixelsStayValid) {
    test::Random random(11);
    for (BlendMode mode : kModes)
        for (int i = 0; i < 2000; ++i) {
            const std::uint32_t src = random.Pixel(), dst = random.Pixel();
            const std::uint32_t got = Composite(mode, src, dst);
            ASSERT_TRUE(PixelNear(got, Expected(mode, src, dst), 1)) << BlendModeName(mode);
            ASSERT_TRUE(test::ValidPremultiplied(got)) << BlendModeName(mode);
        }
}

TEST(BlendModeTest, WorkedExamples) {
    // Multiply, opaque: S D. Red (255, 0, 0) x grey 128 -> (128, 0, 0).
    EXPECT_EQ(Composite(BlendMode::Multiply, 0xFFFF0000u, 0xFF808080u), 0xFF800000u);
    // Screen, opaque: S + D - S D: 128 + 128 - 128 * 128 / 255 = 191.75 -> 192.
    EXPECT_EQ(Composite(BlendMode::Screen, 0xFF808080u, 0xFF808080u), 0xFFC0C0C0u);
    // Difference: |S - D| for opaque pixels: 200 - 50 = 150.
    EXPECT_EQ(Composite(BlendMode::Difference, 0xFF32C832u, 0xFFC832C8u), 0xFF969696u);
    // Add saturates, subtract stops at 0 and keeps the target's alpha.
    EXPECT_EQ(Composite(BlendMode::Add, 0xFFC01020u, 0xFF802030u), 0xFFFF3050u);
    EXPECT_EQ(Composite(BlendMode::Subtract, 0x80401020u, 0xFF802010u), 0xFF401000u);
    // Invert: where the layer is opaque the target becomes Da - D.
    EXPECT_EQ(Composite(BlendMode::Invert, 0xFF123456u, 0xFF206080u), 0xFFDF9F7Fu);
    // Alpha keeps the target as far as the layer is opaque; erase removes it.
    EXPECT_EQ(Composite(BlendMode::Alpha, 0x80000000u, 0xFF204060u), ScalePixel(0xFF204060u, 128));
    EXPECT_EQ(Composite(BlendMode::Alpha, 0u, 0xFF204060u), 0u);
    EXPECT_EQ(Composite(BlendMode::Erase, 0x80000000u, 0xFF204060u), ScalePixel(0xFF204060u, 127));
    // Hardlight, opaque: dark layer (2S <= 1) multiplies: 2 * 64 * 200 / 255 = 100.4 -> 100;
    // overlay decides by the target instead: D = 200 > 127.5, so screen-like: 255 - 2 (255 - 200)(255 - 64) / 255 = 172.6 -> 173.
    EXPECT_EQ(Composite(BlendMode::Hardlight, 0xFF404040u, 0xFFC8C8C8u), 0xFF646464u);
    EXPECT_EQ(Composite(BlendMode::Overlay, 0xFF404040u, 0xFFC8C8C8u), 0xFFADADADu);
}

TEST(BlendModeTest, NormalIsSourceOver) {
    test::Random random(5);
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t src = random.Pixel(), dst = random.Pixel();
        ASSERT_EQ(Composite(BlendMode::Normal, src, dst), BlendOver(src, dst));
        ASSERT_EQ(Composite(BlendMode::Layer, src, dst), BlendOver(src, dst));
    }
}

TEST(BlendModeTest, ClipCoverageBlendsTowardsTheResult) {
    CoverageMask clip(1, 1);
    const std::uint32_t src = 0xFFFF0000u, dst = 0xFF0000FFu;
    for (int c : {0, 1, 77, 128, 254, 255}) {
        clip.row(0)[0] = static_cast<std::uint8_t>(c);
        for (BlendMode mode : kModes) {
            const Unit r = ToUnit(Expected(mode, src, dst)), d = ToUnit(dst);
            Unit mixed;
            for (int i = 0; i < 4; ++i) mixed.c[i] = d.c[i] + (r.c[i] - d.c[i]) * c / 255.0;
            EXPECT_TRUE(PixelNear(Composite(mode, src, dst, &clip), FromUnit(mixed), 1))
                << BlendModeName(mode) << " coverage " << c;
        }
    }
}

TEST(BlendModeTest, OffsetsAreaAndLayerBounds) {
    Surface layer(4, 3);
    layer.ClearPremultiplied(0x80000000u);
    Surface target(10, 8);
    target.ClearPremultiplied(0xFF204060u);
    CompositeLayer(layer, 5, 2, target, {0, 0, 7, 8}, BlendMode::Alpha, nullptr);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool changed = x >= 5 && x < 7 && y >= 2 && y < 5;  // layer at (5..9, 2..5) within the area
            ASSERT_EQ(target.pixel(x, y), changed ? ScalePixel(0xFF204060u, 128) : 0xFF204060u) << x << "," << y;
        }
    // Offsets far outside and areas beyond the target change nothing and stay in bounds.
    Surface before(10, 8);
    before.ClearPremultiplied(0xFF204060u);
    Surface t2(10, 8);
    t2.ClearPremultiplied(0xFF204060u);
    CompositeLayer(layer, INT_MAX, INT_MIN, t2, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, BlendMode::Erase, nullptr);
    CompositeLayer(layer, -4, -3, t2, {0, 0, 10, 8}, BlendMode::Erase, nullptr);
    CompositeLayer(layer, 0, 0, t2, {20, 20, 30, 30}, BlendMode::Erase, nullptr);
    Surface empty;
    CompositeLayer(empty, 0, 0, t2, {0, 0, 10, 8}, BlendMode::Alpha, nullptr);
    CompositeLayer(layer, 0, 0, empty, {0, 0, 10, 8}, BlendMode::Add, nullptr);
    CoverageMask small(2, 2);
    small.Clear(255);
    CompositeLayer(layer, 0, 0, t2, {0, 0, 10, 8}, BlendMode::Erase, &small);  // only the mask's 2 x 2
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool erased = x < 2 && y < 2;
            ASSERT_EQ(t2.pixel(x, y), erased ? ScalePixel(0xFF204060u, 127) : 0xFF204060u) << x << "," << y;
        }
}

TEST(BlendModeTest, NamesAndNumbers) {
    EXPECT_EQ(BlendModeFromNumber(0), BlendMode::Normal);
    EXPECT_EQ(BlendModeFromNumber(1), BlendMode::Normal);
    EXPECT_EQ(BlendModeFromNumber(3), BlendMode::Multiply);
    EXPECT_EQ(BlendModeFromNumber(14), BlendMode::Hardlight);
    EXPECT_EQ(BlendModeFromNumber(15), BlendMode::Normal);
    EXPECT_EQ(BlendModeFromNumber(-1), BlendMode::Normal);
    EXPECT_EQ(BlendModeFromNumber(INT_MIN), BlendMode::Normal);
    const char* names[] = {"normal", "layer",    "multiply", "screen", "lighten", "darken",  "difference",
                           "add",    "subtract", "invert",   "alpha",  "erase",   "overlay", "hardlight"};
    for (int i = 0; i < 14; ++i) {
        const BlendMode mode = BlendModeFromNumber(i + 1);
        EXPECT_STREQ(BlendModeName(mode), names[i]);
        BlendMode back = BlendMode::Normal;
        EXPECT_TRUE(BlendModeFromName(names[i], &back));
        EXPECT_EQ(back, mode);
    }
    BlendMode unchanged = BlendMode::Screen;
    EXPECT_FALSE(BlendModeFromName("Multiply", &unchanged));
    EXPECT_FALSE(BlendModeFromName("", &unchanged));
    EXPECT_FALSE(BlendModeFromName(nullptr, &unchanged));
    EXPECT_EQ(unchanged, BlendMode::Screen);
    EXPECT_EQ(BlendModeName(static_cast<BlendMode>(0)), nullptr);
}

}  // namespace
}  // namespace swf::raster
