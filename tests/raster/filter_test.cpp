// Filters at known pixels, the box blur against a plain reference, sub-area
// applications against whole ones, margins, and absurd parameters.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "swf/raster/filters.h"
#include "tests/raster/filter_test_support.h"

namespace swf::raster {
namespace {

using test::CopyOf;
using test::PixelNear;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;

void FillRect(Surface& s, int left, int top, int right, int bottom, std::uint32_t pixel) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) s.row(y)[x] = pixel;
}

// A 32 x 32 layer with an opaque square over [8, 16) x [8, 16).
Surface SquareLayer(std::uint32_t pixel = kWhite) {
    Surface s(32, 32);
    FillRect(s, 8, 8, 16, 16, pixel);
    return s;
}

std::uint32_t Applied(const Filter& f, Surface& s) {
    FilterScratch scratch;
    ApplyFilter(f, s, {0, 0, s.width(), s.height()}, scratch);
    return 0;
}

// ---- Box blur against a reference -------------------------------------------------

// Weight of pixel offset i in a window of width w centred on 0: the part of
// the pixel's unit square [i - 1/2, i + 1/2] inside [-w/2, w/2], over w.
double WindowWeight(int i, double w) {
    if (w <= 1) return i == 0 ? 1 : 0;
    const double overlap = std::min(i + 0.5, w / 2) - std::max(i - 0.5, -w / 2);
    return std::max(0.0, overlap) / w;
}

// One pass of a 1-D blur along x (dx = 1) or y, over all four channels,
// pixels outside counting as 0, results rounded to whole numbers.
std::vector<double> ReferencePass(const std::vector<double>& in, int w, int h, double width, bool horizontal) {
    std::vector<double> out(in.size(), 0);
    const int reach = static_cast<int>(std::ceil(width / 2)) + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (int i = -reach; i <= reach; ++i) {
                    const int sx = horizontal ? x + i : x, sy = horizontal ? y : y + i;
                    if (sx < 0 || sx >= w || sy < 0 || sy >= h) continue;
                    sum += WindowWeight(i, width) * in[(static_cast<std::size_t>(sy) * w + sx) * 4 + c];
                }
                out[(static_cast<std::size_t>(y) * w + x) * 4 + c] = std::floor(sum + 0.5);
            }
    return out;
}

TEST(BoxBlurTest, MatchesSeparableReference) {
    struct Case {
        double bx, by;
        int passes;
    };
    const Case cases[] = {{4, 4, 1}, {3, 5, 2}, {2.5, 7.25, 3}, {16, 1, 1}, {0, 6, 2}, {9.5, 9.5, 3}, {5.3, 2, 1}};
    for (const Case& c : cases) {
        const int w = 37, h = 29;
        Surface s(w, h);
        test::Random random(static_cast<std::uint32_t>(c.bx * 10 + c.by + c.passes));
        std::vector<double> ref(static_cast<std::size_t>(w) * h * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Sparse content with empty stretches, so edges and runs both count.
                const std::uint32_t p = random.Below(3) == 0 ? 0u : random.Pixel();
                s.row(y)[x] = p;
                for (int ch = 0; ch < 4; ++ch)
                    ref[(static_cast<std::size_t>(y) * w + x) * 4 + ch] = (p >> (8 * ch)) & 255;
            }
        for (int pass = 0; pass < c.passes; ++pass) {
            ref = ReferencePass(ref, w, h, c.bx, true);
            ref = ReferencePass(ref, w, h, c.by, false);
        }
        FilterScratch scratch;
        BlurPixels(s, {0, 0, w, h}, {c.bx, c.by, c.passes}, scratch);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t expected = 0;
                for (int ch = 0; ch < 4; ++ch)
                    expected |= static_cast<std::uint32_t>(ref[(static_cast<std::size_t>(y) * w + x) * 4 + ch])
                                << (8 * ch);
                ASSERT_TRUE(PixelNear(s.pixel(x, y), expected, 1))
                    << "blur " << c.bx << " x " << c.by << ", " << c.passes << " passes, at " << x << "," << y;
                ASSERT_TRUE(test::ValidPremultiplied(s.pixel(x, y)));
            }
    }
}

TEST(BoxBlurTest, WindowOfFourCoversThreeWholePixelsAndTwoHalves) {
    Surface s(9, 1);
    s.row(0)[4] = kWhite;
    FilterScratch scratch;
    BlurPixels(s, {0, 0, 9, 1}, {4, 0, 1}, scratch);
    // Weights 1/8, 1/4, 1/4, 1/4, 1/8: 255 / 8 = 31.875 -> 32, 255 / 4 = 63.75 -> 64.
    const std::uint32_t expected[9] = {0, 0, 0x20202020u, 0x40404040u, 0x40404040u, 0x40404040u, 0x20202020u, 0, 0};
    for (int x = 0; x < 9; ++x) EXPECT_EQ(s.pixel(x, 0), expected[x]) << x;
}

TEST(BoxBlurTest, NoPassesOrNarrowWindowsChangeNothing) {
    Surface s = SquareLayer();
    Surface before = CopyOf(s);
    FilterScratch scratch;
    BlurPixels(s, {0, 0, 32, 32}, {8, 8, 0}, scratch);
    BlurPixels(s, {0, 0, 32, 32}, {1, 0.5, 3}, scratch);
    BlurPixels(s, {0, 0, 32, 32}, {kNaN, -4, 3}, scratch);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(s.pixel(x, y), before.pixel(x, y));
}

// ---- Drop shadow and glow ---------------------------------------------------------

DropShadowFilter SharpShadow() {
    DropShadowFilter f;
    f.color = {0, 0, 0, 255};
    f.blur = {1, 1, 1};  // a window of one pixel: no blur
    f.angle = 0;
    f.distance = 4;  // 4 pixels to the right
    return f;
}

TEST(DropShadowTest, OuterShadowLiesBehindTheObject) {
    Surface s = SquareLayer();
    Applied(SharpShadow(), s);
    EXPECT_EQ(s.pixel(12, 10), kWhite);  // the object over its shadow
    EXPECT_EQ(s.pixel(18, 10), kBlack);  // A(14, 10) = 255
    EXPECT_EQ(s.pixel(19, 10), kBlack);  // A(15, 10) = 255
    EXPECT_EQ(s.pixel(20, 10), 0u);      // A(16, 10) = 0
    EXPECT_EQ(s.pixel(10, 7), 0u);
}

TEST(DropShadowTest, KnockoutAndHideObject) {
    DropShadowFilter f = SharpShadow();
    f.knockout = true;
    Surface s = SquareLayer();
    Applied(f, s);
    EXPECT_EQ(s.pixel(12, 10), 0u);      // shadow x (1 - 1)
    EXPECT_EQ(s.pixel(18, 10), kBlack);  // shadow x (1 - 0)

    f.knockout = false;
    f.hideObject = true;
    Surface h = SquareLayer();
    Applied(f, h);
    EXPECT_EQ(h.pixel(12, 10), kBlack);  // A(8, 10) = 255: the shadow alone
    EXPECT_EQ(h.pixel(9, 10), 0u);       // A(5, 10) = 0: the object is gone
    EXPECT_EQ(h.pixel(18, 10), kBlack);
}

TEST(DropShadowTest, InnerShadowFromTheInvertedAlpha) {
    DropShadowFilter f = SharpShadow();
    f.inner = true;
    Surface s = SquareLayer();
    Applied(f, s);
    EXPECT_EQ(s.pixel(9, 10), kBlack);   // 255 - A(5, 10) = 255, atop the object
    EXPECT_EQ(s.pixel(11, 10), kBlack);  // 255 - A(7, 10) = 255
    EXPECT_EQ(s.pixel(12, 10), kWhite);  // 255 - A(8, 10) = 0
    EXPECT_EQ(s.pixel(18, 10), 0u);      // outside the object: masked away
    f.knockout = true;
    Surface k = SquareLayer();
    Applied(f, k);
    EXPECT_EQ(k.pixel(9, 10), kBlack);
    EXPECT_EQ(k.pixel(12, 10), 0u);  // only the inner shadow is left
}

TEST(DropShadowTest, BlurStrengthAndColourAlpha) {
    DropShadowFilter f = SharpShadow();
    f.color = {255, 0, 0, 128};
    f.blur = {3, 3, 1};
    f.strength = 0.5;
    Surface s = SquareLayer();
    Applied(f, s);
    const std::uint32_t red = Premultiply({255, 0, 0, 128});  // 0x80800000
    // At (18, 10) the 3 x 3 window around A(14, 10) is inside: 255; x 0.5 -> (255 * 128 + 128) >> 8 = 128.
    EXPECT_EQ(s.pixel(18, 10), ScalePixel(red, 128));
    // At (19, 10): A(15, 10): rows of 3 with two inside: round(510 / 3) = 170; x 0.5 -> 85.
    EXPECT_EQ(s.pixel(19, 10), ScalePixel(red, 85));
    // At (20, 10): A(16, 10): one of three inside: 85; x 0.5 -> (85 * 128 + 128) >> 8 = 43.
    EXPECT_EQ(s.pixel(20, 10), ScalePixel(red, 43));
    EXPECT_EQ(s.pixel(21, 10), 0u);
}

TEST(GlowTest, OuterAndInnerGlowOfOnePixel) {
    GlowFilter f;
    f.color = {255, 0, 0, 255};
    f.blur = {3, 3, 1};
    f.strength = 2;
    Surface s(16, 16);
    s.row(8)[8] = kWhite;
    Applied(f, s);
    // Horizontal: 255 / 3 = 85 on row 8; vertical: 85 / 3 = 28.33 -> 28; x 2 = 56.
    EXPECT_EQ(s.pixel(9, 8), ScalePixel(0xFFFF0000u, 56));
    EXPECT_EQ(s.pixel(9, 9), ScalePixel(0xFFFF0000u, 56));
    EXPECT_EQ(s.pixel(10, 8), 0u);
    EXPECT_EQ(s.pixel(8, 8), kWhite);  // the object over its glow

    f.inner = true;
    Surface i(16, 16);
    i.row(8)[8] = kWhite;
    Applied(f, i);
    // 255 - 28 = 227, x 2 -> 255: opaque red atop the white pixel.
    EXPECT_EQ(i.pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(i.pixel(9, 8), 0u);
}

// ---- Bevels ------------------------------------------------------------------------

BevelFilter SharpBevel(BevelPlacement placement) {
    BevelFilter f;
    f.blur = {0, 0, 1};
    f.distance = 1;
    f.angle = 0;
    f.placement = placement;
    return f;
}

TEST(BevelTest, InnerBevelLightsTheSideTowardsTheLight) {
    const std::uint32_t grey = 0xFF808080u;
    Surface s = SquareLayer(grey);
    Applied(SharpBevel(BevelPlacement::Inner), s);
    EXPECT_EQ(s.pixel(8, 10), kWhite);   // A(9) - A(7) = 255: highlight
    EXPECT_EQ(s.pixel(15, 10), kBlack);  // A(16) - A(14) = -255: shadow
    EXPECT_EQ(s.pixel(12, 10), grey);    // 0: unchanged
    EXPECT_EQ(s.pixel(7, 10), 0u);       // outside the object: nothing
    EXPECT_EQ(s.pixel(16, 10), 0u);
}

TEST(BevelTest, OuterFullAndKnockout) {
    const std::uint32_t grey = 0xFF808080u;
    Surface o = SquareLayer(grey);
    Applied(SharpBevel(BevelPlacement::Outer), o);
    EXPECT_EQ(o.pixel(7, 10), kWhite);   // A(8) - A(6) = 255, behind nothing
    EXPECT_EQ(o.pixel(16, 10), kBlack);  // A(17) - A(15) = -255
    EXPECT_EQ(o.pixel(8, 10), grey);     // the object over its highlight

    Surface f = SquareLayer(grey);
    Applied(SharpBevel(BevelPlacement::Full), f);
    EXPECT_EQ(f.pixel(7, 10), kWhite);
    EXPECT_EQ(f.pixel(8, 10), kWhite);
    EXPECT_EQ(f.pixel(15, 10), kBlack);
    EXPECT_EQ(f.pixel(12, 10), grey);

    BevelFilter k = SharpBevel(BevelPlacement::Inner);
    k.knockout = true;
    Surface ks = SquareLayer(grey);
    Applied(k, ks);
    EXPECT_EQ(ks.pixel(8, 10), kWhite);
    EXPECT_EQ(ks.pixel(12, 10), 0u);

    // At 45 degrees the highlight is on the top-left corner, the shadow on the bottom-right.
    BevelFilter d = SharpBevel(BevelPlacement::Inner);
    d.angle = 0.7853981633974483;
    d.distance = 1.5;  // (1.06, 1.06) rounds to (1, 1)
    Surface ds = SquareLayer(grey);
    Applied(d, ds);
    EXPECT_EQ(ds.pixel(8, 8), kWhite);
    EXPECT_EQ(ds.pixel(15, 15), kBlack);
}

TEST(BevelTest, HighlightAndShadowColoursAndStrength) {
    BevelFilter f = SharpBevel(BevelPlacement::Outer);
    f.highlight = {0, 255, 0, 128};
    f.shadow = {0, 0, 255, 255};
    f.blur = {3, 0, 1};  // horizontal window of three
    Surface s = SquareLayer(kWhite);
    Applied(f, s);
    // At (7, 10): A(8) = round(510 / 3) = 170 (x 7..9 has 8, 9 inside), A(6) = 0: 170.
    EXPECT_EQ(s.pixel(7, 10), ScalePixel(Premultiply({0, 255, 0, 128}), 170));
    // At (16, 10): A(17) = 0, A(15) = 170: shadow 170.
    EXPECT_EQ(s.pixel(16, 10), ScalePixel(0xFF0000FFu, 170));
}

// ---- Gradient glow and gradient bevel ------------------------------------------------

TEST(GradientGlowTest, RampIndexedByTheBlurredAlpha) {
    GradientGlowFilter f;
    f.stops = {{0, {255, 0, 0, 0}}, {255, {0, 0, 255, 255}}};
    f.blur = {3, 3, 1};
    f.distance = 0;
    f.placement = BevelPlacement::Outer;
    const GradientRamp ramp = GradientRamp::Build(f.stops, GradientInterpolation::RGB);
    Surface s = SquareLayer();
    Applied(f, s);
    // (16, 10): A = 255 / 3 = 85 (one column of three inside) -> ramp[85] behind nothing.
    EXPECT_EQ(s.pixel(16, 10), ramp[85]);
    EXPECT_EQ(s.pixel(12, 10), kWhite);
    EXPECT_EQ(s.pixel(17, 10), 0u);

    f.placement = BevelPlacement::Inner;
    Surface i = SquareLayer();
    Applied(f, i);
    // (15, 10): A = 170 -> inverted 85 -> ramp[85] atop white: G + O (1 - Ga).
    EXPECT_EQ(i.pixel(15, 10), ramp[85] + ScalePixel(kWhite, 255 - (ramp[85] >> 24)));
    EXPECT_EQ(i.pixel(12, 10), kWhite);  // 255 - 255 = 0: nothing
    EXPECT_EQ(i.pixel(16, 10), 0u);

    f.placement = BevelPlacement::Full;
    Surface b = SquareLayer();
    Applied(f, b);
    EXPECT_EQ(b.pixel(15, 10), i.pixel(15, 10));
    EXPECT_EQ(b.pixel(16, 10), s.pixel(16, 10));
}

TEST(GradientBevelTest, SignedValuePicksRatiosAroundTheMiddle) {
    GradientBevelFilter f;
    f.stops = {{0, {0, 0, 0, 255}}, {128, {0, 0, 0, 0}}, {255, {255, 255, 255, 255}}};
    f.blur = {0, 0, 1};
    f.distance = 1;
    f.angle = 0;
    f.placement = BevelPlacement::Inner;
    const std::uint32_t grey = 0xFF808080u;
    Surface s = SquareLayer(grey);
    Applied(f, s);
    EXPECT_EQ(s.pixel(8, 10), kWhite);   // v = 255: ratio 128 + 127 = 255
    EXPECT_EQ(s.pixel(15, 10), kBlack);  // v = -255: ratio 128 - 128 = 0
    EXPECT_EQ(s.pixel(12, 10), grey);

    f.strength = 0.5;
    f.placement = BevelPlacement::Outer;
    const GradientRamp ramp = GradientRamp::Build(f.stops, GradientInterpolation::RGB);
    Surface o = SquareLayer(grey);
    Applied(f, o);
    // v = 255 x 0.5 = (255 * 128 + 128) >> 8 = 128: ratio 128 + 64 = 192.
    EXPECT_EQ(o.pixel(7, 10), ramp[192]);
    EXPECT_EQ(o.pixel(16, 10), ramp[128 - 64]);
}

// ---- Colour matrix -------------------------------------------------------------------

TEST(ColorMatrixTest, StraightColourThroughTheMatrix) {
    ColorMatrixFilter f;
    f.matrix = {0.5, 0.25, 0, 0,   10,  // r' = r / 2 + g / 4 + 10
                0,   0,    1, 0,   0,   // g' = b
                1,   0,    0, 0,   0,   // b' = r
                0,   0,    0, 0.5, 0};  // a' = a / 2
    Surface s(2, 1);
    s.row(0)[0] = Premultiply({200, 100, 50, 255});
    s.row(0)[1] = Premultiply({200, 100, 50, 128});
    Applied(f, s);
    // Opaque: r' = 100 + 25 + 10 = 135, g' = 50, b' = 200, a' = 127.5 -> 128.
    EXPECT_EQ(s.pixel(0, 0), PackPixel(128, Mul255(135, 128), Mul255(50, 128), Mul255(200, 128)));
    // Half transparent: stored 100, 50, 25 at alpha 128 read back as round(c 255 / 128) = 199, 100, 50
    // (the premultiplied pixel cannot hold 200 exactly); r' = 99.5 + 25 + 10 = 134.5 -> 135, a' = 64.
    const std::uint32_t r = std::lround(std::floor(0.5 * 199 + 0.25 * 100 + 10 + 0.5));
    EXPECT_EQ(s.pixel(1, 0), PackPixel(64, Mul255(r, 64), Mul255(50, 64), Mul255(199, 64)));
}

TEST(ColorMatrixTest, AlphaOffsetMakesTransparentPixelsVisible) {
    ColorMatrixFilter f;
    EXPECT_EQ(MarginsOf(Filter{f}).left, 0);
    f.matrix[4] = 255;  // red offset
    f.matrix[19] = 10;  // alpha offset
    const FilterMargins m = MarginsOf(Filter{f});
    EXPECT_GE(m.left, 1 << 20);
    EXPECT_GE(m.bottom, 1 << 20);
    Surface s(1, 1);
    Applied(f, s);
    EXPECT_EQ(s.pixel(0, 0), PackPixel(10, 10, 0, 0));
}

// ---- Convolution ---------------------------------------------------------------------

// The filter computed from its definition: straight colour, window clamped to
// the edges or the colour beyond them.
std::uint32_t ReferenceConvolution(const Surface& s, const ConvolutionFilter& f, int x, int y) {
    double sum[4] = {0, 0, 0, 0};  // b, g, r, a
    for (int j = 0; j < f.rows; ++j)
        for (int i = 0; i < f.columns; ++i) {
            int sx = x + i - f.columns / 2, sy = y + j - f.rows / 2;
            double ch[4];
            if (sx < 0 || sy < 0 || sx >= s.width() || sy >= s.height()) {
                if (f.clamp) {
                    sx = std::clamp(sx, 0, s.width() - 1);
                    sy = std::clamp(sy, 0, s.height() - 1);
                } else {
                    ch[0] = f.color.b, ch[1] = f.color.g, ch[2] = f.color.r, ch[3] = f.color.a;
                    for (int c = 0; c < 4; ++c) sum[c] += f.kernel[j * f.columns + i] * ch[c];
                    continue;
                }
            }
            const std::uint32_t p = s.pixel(sx, sy);
            const double a = p >> 24;
            for (int c = 0; c < 3; ++c) ch[c] = a == 0 ? 0 : std::floor(((p >> (8 * c)) & 255) * 255 / a + 0.5);
            ch[3] = a;
            for (int c = 0; c < 4; ++c) sum[c] += f.kernel[j * f.columns + i] * ch[c];
        }
    std::uint32_t out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = static_cast<std::uint32_t>(std::floor(std::clamp(sum[c] / f.divisor + f.bias, 0.0, 255.0) + 0.5));
    if (f.preserveAlpha) out[3] = s.pixel(x, y) >> 24;
    return PackPixel(out[3], Mul255(out[2], out[3]), Mul255(out[1], out[3]), Mul255(out[0], out[3]));
}

Surface GreyRamp() {
    Surface s(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t v = static_cast<std::uint8_t>(10 * x + 40 * y);
            s.row(y)[x] =
                Premultiply({v, static_cast<std::uint8_t>(255 - v), 7, static_cast<std::uint8_t>(x == 4 ? 128 : 255)});
        }
    return s;
}

TEST(ConvolutionTest, KernelOverStraightColour) {
    ConvolutionFilter f;
    f.columns = 3;
    f.rows = 3;
    f.kernel = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    f.divisor = 16;
    for (bool preserve : {true, false})
        for (bool clamp : {true, false}) {
            f.preserveAlpha = preserve;
            f.clamp = clamp;
            f.color = {255, 0, 0, 255};
            const Surface source = GreyRamp();
            Surface s = GreyRamp();
            Applied(f, s);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 5; ++x)
                    ASSERT_TRUE(PixelNear(s.pixel(x, y), ReferenceConvolution(source, f, x, y), 1))
                        << x << "," << y << " preserve " << preserve << " clamp " << clamp;
        }
    // The centre of a symmetric kernel on a linear ramp: red 10 * 2 + 40 * 2 = 100.
    Surface s = GreyRamp();
    f.preserveAlpha = true;
    Applied(f, s);
    EXPECT_EQ(PixelRed(s.pixel(2, 2)), 100);
}

TEST(ConvolutionTest, BiasAndBadKernels) {
    ConvolutionFilter f;
    f.columns = 1;
    f.rows = 1;
    f.kernel = {1};
    f.bias = 20;
    Surface s(1, 1);
    s.row(0)[0] = Premultiply({100, 0, 250, 255});
    Applied(f, s);
    EXPECT_EQ(s.pixel(0, 0), Premultiply({120, 20, 255, 255}));

    Surface g = GreyRamp();
    const Surface before = GreyRamp();
    ConvolutionFilter bad;
    bad.columns = 3;
    bad.rows = 3;
    bad.kernel = {1, 1, 1, 1, 1, 1, 1, 1};  // 8 of 9
    Applied(bad, g);
    bad.kernel.clear();
    Applied(bad, g);
    bad.columns = 0;
    Applied(bad, g);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(g.pixel(x, y), before.pixel(x, y));
}

// ---- Displacement map ----------------------------------------------------------------

Surface Gradient16() {
    Surface s(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) s.row(y)[x] = PackPixel(255, x * 10, y * 10, 0);
    return s;
}

std::shared_ptr<Image> SolidMap(int w, int h, Color c) {
    auto map = std::make_shared<Image>();
    map->width = w;
    map->height = h;
    map->pixels.assign(static_cast<std::size_t>(w) * h, Premultiply(c));
    return map;
}

TEST(DisplacementMapTest, MovesPixelsByTheMapsChannels) {
    DisplacementMapFilter f;
    f.map = SolidMap(8, 8, {192, 0, 0, 255});
    f.mapX = 4;
    f.mapY = 4;
    f.componentX = 1;  // red 192: (192 - 128) * 8 / 256 = 2
    f.componentY = 2;  // green 0: (0 - 128) * 4 / 256 = -2
    f.scaleX = 8;
    f.scaleY = 4;
    const Surface source = Gradient16();
    Surface s = Gradient16();
    Applied(f, s);
    EXPECT_EQ(s.pixel(5, 6), source.pixel(7, 4));
    EXPECT_EQ(s.pixel(11, 11), source.pixel(13, 9));
    EXPECT_EQ(s.pixel(2, 2), source.pixel(2, 2));  // beyond the map
    EXPECT_EQ(s.pixel(12, 12), source.pixel(12, 12));

    f.map = nullptr;
    Surface n = Gradient16();
    Applied(f, n);
    EXPECT_EQ(n.pixel(5, 6), source.pixel(5, 6));
}

TEST(DisplacementMapTest, ModesBeyondTheEdges) {
    DisplacementMapFilter f;
    f.map = SolidMap(16, 16, {192, 0, 0, 255});
    f.componentX = 1;
    f.componentY = 2;
    f.scaleX = 8;  // +2
    f.scaleY = 4;  // -2
    f.color = {0, 255, 0, 255};
    const Surface source = Gradient16();
    const std::pair<DisplacementMode, std::uint32_t> cases[] = {
        {DisplacementMode::Wrap, source.pixel(1, 3)},    // (17, 3) wraps to (1, 3)
        {DisplacementMode::Clamp, source.pixel(15, 3)},  // clamped to the right edge
        {DisplacementMode::Ignore, source.pixel(15, 5)},
        {DisplacementMode::Color, 0xFF00FF00u},
    };
    for (auto [mode, expected] : cases) {
        f.mode = mode;
        Surface s = Gradient16();
        Applied(f, s);
        EXPECT_EQ(s.pixel(15, 5), expected) << static_cast<int>(mode);
        EXPECT_EQ(s.pixel(5, 6), source.pixel(7, 4));
    }
}

// ---- Whole filters against sub-areas, margins ------------------------------------------

// Content with soft edges and holes.
Surface Scene(int w, int h, int left, int top, int right, int bottom) {
    Surface s(w, h);
    test::Random random(7);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double dx = (x - (left + right) / 2.0) / ((right - left) / 2.0);
            const double dy = (y - (top + bottom) / 2.0) / ((bottom - top) / 2.0);
            const double r = dx * dx + dy * dy;
            if (r > 1) continue;
            const std::uint32_t a = r > 0.8 ? 120 : 255;
            s.row(y)[x] =
                PackPixel(a, random.Below(static_cast<int>(a) + 1), a / 2, random.Below(static_cast<int>(a) + 1));
        }
    return s;
}

std::vector<Filter> AllKinds() {
    std::vector<Filter> filters;
    filters.push_back(BlurFilter{{5.5, 3, 2}});
    DropShadowFilter shadow;
    shadow.blur = {4, 6, 2};
    shadow.angle = 1.1;
    shadow.distance = 3.6;
    shadow.strength = 1.7;
    shadow.color = {20, 40, 200, 200};
    filters.push_back(shadow);
    shadow.inner = true;
    filters.push_back(shadow);
    shadow.inner = false;
    shadow.knockout = true;
    filters.push_back(shadow);
    GlowFilter glow;
    glow.blur = {7, 3, 3};
    filters.push_back(glow);
    glow.inner = true;
    filters.push_back(glow);
    for (BevelPlacement p : {BevelPlacement::Inner, BevelPlacement::Outer, BevelPlacement::Full}) {
        BevelFilter bevel;
        bevel.placement = p;
        bevel.distance = 3;
        bevel.angle = 2.5;
        bevel.blur = {5, 4, 2};
        bevel.strength = 2;
        filters.push_back(bevel);
        GradientGlowFilter gg;
        gg.stops = {{0, {255, 0, 0, 0}}, {128, {255, 255, 0, 200}}, {255, {0, 0, 255, 255}}};
        gg.placement = p;
        gg.distance = 2;
        gg.angle = -0.5;
        gg.blur = {6, 6, 2};
        filters.push_back(gg);
        GradientBevelFilter gb;
        gb.stops = {{0, {0, 0, 0, 255}}, {128, {0, 0, 0, 0}}, {255, {255, 255, 255, 255}}};
        gb.placement = p;
        gb.distance = 2;
        gb.blur = {3, 5, 1};
        filters.push_back(gb);
    }
    ColorMatrixFilter matrix;
    matrix.matrix = {0.3, 0.6, 0.1, 0, 5, 0.3, 0.6, 0.1, 0, 5, 0.3, 0.6, 0.1, 0, 5, 0, 0, 0, 0.8, 0};
    filters.push_back(matrix);
    ConvolutionFilter conv;
    conv.columns = 4;
    conv.rows = 3;
    conv.kernel = {0, -1, 0, 1, -1, 5, -1, 1, 0, -1, 0, 1};
    conv.divisor = 2;
    conv.preserveAlpha = false;
    filters.push_back(conv);
    conv.preserveAlpha = true;
    filters.push_back(conv);
    DisplacementMapFilter disp;
    auto map = std::make_shared<Image>();
    map->width = 30;
    map->height = 20;
    test::Random random(3);
    for (int i = 0; i < 30 * 20; ++i) map->pixels.push_back(random.Pixel() | 0xFF000000u);
    disp.map = map;
    disp.mapX = 10;
    disp.mapY = 12;
    disp.componentX = 4;
    disp.componentY = 8;
    disp.scaleX = 12;
    disp.scaleY = -9;
    disp.mode = DisplacementMode::Clamp;
    filters.push_back(disp);
    return filters;
}

TEST(FilterAreaTest, SubAreasGiveTheWholePixels) {
    const int w = 60, h = 50;
    const PixelRect areas[] = {{0, 0, 60, 25}, {0, 25, 60, 50}, {5, 7, 23, 19}, {30, 1, 60, 50}, {17, 30, 18, 31}};
    const std::vector<Filter> filters = AllKinds();
    for (std::size_t n = 0; n < filters.size(); ++n) {
        const Surface source = Scene(w, h, 12, 10, 44, 38);
        Surface whole = CopyOf(source);
        FilterScratch scratch;
        ApplyFilter(filters[n], whole, {0, 0, w, h}, scratch);
        for (const PixelRect& area : areas) {
            Surface part = CopyOf(source);
            ApplyFilter(filters[n], part, area, scratch);  // the scratch reused across sizes
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                    ASSERT_EQ(part.pixel(x, y), inside ? whole.pixel(x, y) : source.pixel(x, y))
                        << "filter " << n << " (kind " << filters[n].index() << ") area " << area.left << ","
                        << area.top << " at " << x << "," << y;
                }
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_TRUE(test::ValidPremultiplied(whole.pixel(x, y))) << n;
    }
}

TEST(FilterAreaTest, MarginsHoldEveryChangedPixel) {
    const int w = 120, h = 110;
    const PixelRect drawn{45, 40, 77, 68};
    for (const Filter& filter : AllKinds()) {
        const FilterMargins m = MarginsOf(filter);
        const Surface source = Scene(w, h, drawn.left, drawn.top, drawn.right, drawn.bottom);
        Surface s = CopyOf(source);
        FilterScratch scratch;
        ApplyFilter(filter, s, {0, 0, w, h}, scratch);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool within = x >= drawn.left - m.left && x < drawn.right + m.right && y >= drawn.top - m.top &&
                                    y < drawn.bottom + m.bottom;
                if (!within) {
                    ASSERT_EQ(s.pixel(x, y), source.pixel(x, y)) << filter.index() << " at " << x << "," << y;
                }
            }
    }
}

TEST(FilterAreaTest, ShadowReachesOutToItsMargins) {
    DropShadowFilter f;
    f.blur = {4, 4, 2};  // reach 2 per pass
    f.angle = 0;
    f.distance = 4;
    const FilterMargins m = MarginsOf(Filter{f});
    EXPECT_EQ(m.left, 4);
    EXPECT_EQ(m.right, 8);
    EXPECT_EQ(m.top, 4);
    EXPECT_EQ(m.bottom, 4);
    Surface s(60, 40);
    FillRect(s, 20, 10, 30, 30, kWhite);
    Applied(f, s);
    EXPECT_NE(s.pixel(30 + 8 - 1, 20), 0u);  // the last column of the right margin
    EXPECT_EQ(s.pixel(30 + 8, 20), 0u);
    EXPECT_NE(s.pixel(25, 10 - 4), 0u);  // the top margin's first row
    EXPECT_EQ(s.pixel(25, 10 - 5), 0u);
    EXPECT_EQ(s.pixel(20 - 4, 20), 0u);  // blur and offset cancel on the left: 4 - 4
}

TEST(FilterMarginsTest, KnownValuesAndChains) {
    EXPECT_EQ(MarginsOf(Filter{BlurFilter{{3, 8, 3}}}).left, 3);  // ceil((3 - 1) / 2) = 1 per pass
    EXPECT_EQ(MarginsOf(Filter{BlurFilter{{3, 8, 3}}}).top, 12);  // ceil(7 / 2) = 4 per pass
    EXPECT_EQ(MarginsOf(Filter{BlurFilter{{255, 255, 15}}}).right, 127 * 15);
    GlowFilter inner;
    inner.inner = true;
    EXPECT_EQ(MarginsOf(Filter{inner}).left, 0);
    BevelFilter bevel;  // 4 at 45 degrees: offset (3, 3); blur 4: reach 2
    bevel.placement = BevelPlacement::Outer;
    EXPECT_EQ(MarginsOf(Filter{bevel}).left, 5);
    EXPECT_EQ(MarginsOf(Filter{bevel}).right, 5);
    ConvolutionFilter conv;
    conv.columns = 4;
    conv.rows = 3;
    conv.kernel.assign(12, 1);
    conv.preserveAlpha = false;
    const FilterMargins cm = MarginsOf(Filter{conv});
    EXPECT_EQ(cm.left, 1);
    EXPECT_EQ(cm.right, 2);
    EXPECT_EQ(cm.top, 1);
    EXPECT_EQ(cm.bottom, 1);
    conv.bias = 3;
    EXPECT_GE(MarginsOf(Filter{conv}).left, 1 << 20);
    DisplacementMapFilter disp;
    disp.map = SolidMap(1, 1, {0, 0, 0, 255});
    disp.scaleX = -7;
    EXPECT_EQ(MarginsOf(Filter{disp}).left, 4);
    const std::vector<Filter> chain = {BlurFilter{{3, 3, 1}}, BlurFilter{{5, 5, 1}}};
    EXPECT_EQ(MarginsOf(chain).left, 1 + 2);
    ColorMatrixFilter visible;
    visible.matrix[19] = 1;
    const std::vector<Filter> unbounded = {visible, visible, BlurFilter{}};
    EXPECT_EQ(MarginsOf(unbounded).left, 1 << 20);  // saturates
}

TEST(FilterScaledTest, LengthsScaleAnglesStay) {
    DropShadowFilter f;
    f.blur = {4, 6, 2};
    f.distance = 5;
    f.angle = 0.3;
    const auto s = std::get<DropShadowFilter>(Scaled(Filter{f}, 2, 2));
    EXPECT_DOUBLE_EQ(s.blur.blurX, 8);
    EXPECT_DOUBLE_EQ(s.blur.blurY, 12);
    EXPECT_DOUBLE_EQ(s.distance, 10);
    EXPECT_DOUBLE_EQ(s.angle, 0.3);
    EXPECT_EQ(s.blur.passes, 2);
    const auto a = std::get<DropShadowFilter>(Scaled(Filter{f}, 2, 1));
    EXPECT_NEAR(a.distance * std::cos(a.angle), 10 * std::cos(0.3), 1e-9);
    EXPECT_NEAR(a.distance * std::sin(a.angle), 5 * std::sin(0.3), 1e-9);
}

TEST(FilterScratchTest, SteadyApplicationsAllocateNothing) {
    Surface s = Scene(80, 60, 10, 10, 70, 50);
    FilterScratch scratch;
    const std::vector<Filter> filters = AllKinds();
    for (const Filter& f : filters) ApplyFilter(f, s, {0, 0, 80, 60}, scratch);
    std::vector<const void*> before;
    for (std::size_t i = 0; i < 8; ++i) {
        before.push_back(scratch.Pixels(i).data());
        before.push_back(scratch.Bytes(i).data());
    }
    for (const Filter& f : filters) ApplyFilter(f, s, {0, 0, 80, 60}, scratch);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(before[2 * i], scratch.Pixels(i).data()) << i;
        EXPECT_EQ(before[2 * i + 1], scratch.Bytes(i).data()) << i;
    }
}

// ---- Absurd parameters ---------------------------------------------------------------

TEST(FilterRobustnessTest, AbsurdParametersFinishInBounds) {
    std::vector<Filter> filters = AllKinds();
    const BlurSettings huge{255, 255, 15}, crazy{kNaN, kInf, INT_MAX}, negative{-kInf, -5, INT_MIN};
    for (const BlurSettings& b : {huge, crazy, negative}) {
        filters.push_back(BlurFilter{b});
        DropShadowFilter d;
        d.blur = b;
        d.distance = kInf;
        d.strength = kInf;
        filters.push_back(d);
        d.distance = kNaN;
        d.angle = kInf;
        d.strength = kNaN;
        d.inner = true;
        filters.push_back(d);
        d.distance = 1e300;
        d.angle = 1.0;
        d.inner = false;
        filters.push_back(d);
        GlowFilter g;
        g.blur = b;
        g.strength = 1e9;
        filters.push_back(g);
        BevelFilter bevel;
        bevel.blur = b;
        bevel.distance = -kInf;
        bevel.strength = -3;
        bevel.placement = static_cast<BevelPlacement>(7);
        filters.push_back(bevel);
        GradientGlowFilter gg;
        gg.blur = b;
        gg.strength = 255;
        gg.placement = BevelPlacement::Full;
        filters.push_back(gg);  // no stops at all
        for (int i = 0; i < 40; ++i) gg.stops.push_back({static_cast<std::uint8_t>(i * 7), {1, 2, 3, 4}});
        filters.push_back(gg);
        GradientBevelFilter gb;
        gb.blur = b;
        gb.distance = kNaN;
        gb.strength = kInf;
        gb.stops = gg.stops;
        filters.push_back(gb);
    }
    ColorMatrixFilter matrix;
    for (int i = 0; i < 20; ++i) matrix.matrix[i] = i % 3 == 0 ? kNaN : (i % 3 == 1 ? kInf : -kInf);
    filters.push_back(matrix);
    ConvolutionFilter conv;
    conv.columns = 15;
    conv.rows = 15;
    for (int i = 0; i < 225; ++i) conv.kernel.push_back(i % 4 == 0 ? kNaN : (i % 4 == 1 ? kInf : 1e308));
    conv.divisor = 0;
    conv.bias = kNaN;
    conv.preserveAlpha = false;
    conv.clamp = false;
    filters.push_back(conv);
    conv.columns = INT_MAX;
    conv.rows = INT_MIN;
    filters.push_back(conv);
    conv.columns = 15;
    conv.rows = 15;
    conv.divisor = kNaN;
    conv.bias = -kInf;
    conv.clamp = true;
    filters.push_back(conv);
    DisplacementMapFilter disp;
    disp.map = SolidMap(3, 3, {255, 0, 255, 255});
    disp.mapX = INT_MIN;
    disp.mapY = INT_MAX;
    disp.scaleX = kInf;
    disp.scaleY = kNaN;
    filters.push_back(disp);
    disp.mapX = 0;
    disp.mapY = 0;
    disp.scaleX = 1e300;
    disp.scaleY = -1e300;
    disp.componentX = 8;
    disp.componentY = 999;
    disp.mode = static_cast<DisplacementMode>(42);
    filters.push_back(disp);
    disp.mode = DisplacementMode::Wrap;
    filters.push_back(disp);
    auto empty = std::make_shared<Image>();
    empty->width = 5;
    empty->height = 5;  // but no pixels
    disp.map = empty;
    filters.push_back(disp);

    const PixelRect areas[] = {
        {0, 0, 64, 64}, {-100, -100, 10, 10}, {64, 0, 100, 64}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {30, 30, 10, 10}};
    FilterScratch scratch;
    for (const Filter& f : filters) {
        (void)MarginsOf(f);
        (void)Scaled(f, kNaN, kInf);
        for (const PixelRect& area : areas) {
            Surface s = Scene(64, 64, 10, 12, 50, 56);
            ApplyFilter(f, s, area, scratch);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) ASSERT_TRUE(test::ValidPremultiplied(s.pixel(x, y))) << f.index();
        }
        Surface none;
        ApplyFilter(f, none, {0, 0, 10, 10}, scratch);
        Surface line(1, 1);
        ApplyFilter(f, line, {0, 0, 1, 1}, scratch);
    }
    (void)MarginsOf(filters);
}

}  // namespace
}  // namespace swf::raster
