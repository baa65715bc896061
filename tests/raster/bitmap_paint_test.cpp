#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;

std::shared_ptr<const Image> MakeImage(int w, int h, std::vector<std::uint32_t> pixels) {
    auto image = std::make_shared<Image>();
    image->width = w;
    image->height = h;
    image->pixels = std::move(pixels);
    return image;
}

// 1-pixel black and white squares, white at the top left.
std::shared_ptr<const Image> checkerboard(int w, int h) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels.push_back((x + y) % 2 == 0 ? kWhite : kBlack);
    return MakeImage(w, h, std::move(pixels));
}

BitmapStyle style(std::shared_ptr<const Image> image, const Matrix& matrix, bool repeat, bool smooth) {
    BitmapStyle s;
    s.image = std::move(image);
    s.matrix = matrix;
    s.repeat = repeat;
    s.smooth = smooth;
    return s;
}

// Fills the whole surface, over `background`.
Surface render(const BitmapStyle& s, int w, int h, std::uint32_t background = 0) {
    Surface surface(w, h);
    surface.ClearPremultiplied(background);
    Path all;
    all.AddRect(0, 0, w, h);
    FillPath(surface, all, FillRule::NonZero, Paint::BitmapFill(s));
    return surface;
}

int MaxChannelDifference(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    }
    return worst;
}

TEST(BitmapPaint, NearestGivesWholeBlocksAndTheModesDifferBeyondTheEdge) {
    // 2 x 2 picture scaled by 4 at (0, 0): pixels 0..7 show it; 8..15 lie beyond.
    auto image = MakeImage(2, 2, {kRed, kGreen, kBlue, kWhite});
    const std::uint32_t quadrant[2][2] = {{kRed, kGreen}, {kBlue, kWhite}};
    Surface repeated = render(style(image, Matrix::Scale(4, 4), true, false), 16, 16);
    Surface clipped = render(style(image, Matrix::Scale(4, 4), false, false), 16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(repeated.pixel(x, y), quadrant[(y / 4) % 2][(x / 4) % 2]) << x << "," << y;
            ASSERT_EQ(clipped.pixel(x, y), quadrant[std::min(y / 4, 1)][std::min(x / 4, 1)]) << x << "," << y;
        }
    }
    // Left of and above the picture too.
    Surface shiftedRepeat = render(style(image, Matrix::Translate(8, 8) * Matrix::Scale(4, 4), true, false), 16, 16);
    Surface shiftedClip = render(style(image, Matrix::Translate(8, 8) * Matrix::Scale(4, 4), false, false), 16, 16);
    EXPECT_EQ(shiftedRepeat.pixel(1, 1), kRed);
    EXPECT_EQ(shiftedRepeat.pixel(5, 1), kGreen);
    EXPECT_EQ(shiftedClip.pixel(5, 1), kRed);
    EXPECT_EQ(shiftedClip.pixel(1, 13), kBlue);
    EXPECT_EQ(shiftedClip.pixel(15, 15), kWhite);
}

TEST(BitmapPaint, BilinearBlendsBetweenPixelCentres) {
    // Black then white, scaled by 4: centres at 2 and 6; surface pixel centres
    // fall 1/8, 3/8, 5/8 and 7/8 of the way between them.
    auto image = MakeImage(2, 1, {kBlack, kWhite});
    Surface clipped = render(style(image, Matrix::Scale(4, 4), false, true), 12, 1);
    const int expectedClipped[12] = {0, 0, 32, 96, 159, 223, 255, 255, 255, 255, 255, 255};
    for (int x = 0; x < 12; ++x) {
        EXPECT_NEAR(PixelGreen(clipped.pixel(x, 0)), expectedClipped[x], 1) << x;
        EXPECT_EQ(PixelAlpha(clipped.pixel(x, 0)), 255);
    }
    // Repeated, the white pixel of the tile to the left blends in before the first centre.
    Surface repeated = render(style(image, Matrix::Scale(4, 4), true, true), 12, 1);
    const int expectedRepeated[12] = {96, 32, 32, 96, 159, 223, 223, 159, 96, 32, 32, 96};
    for (int x = 0; x < 12; ++x) EXPECT_NEAR(PixelGreen(repeated.pixel(x, 0)), expectedRepeated[x], 1) << x;

    // Two dimensions: the middle of a 2 x 2 picture scaled by 2 averages all four.
    auto four = MakeImage(2, 2, {kRed, kGreen, kBlue, kWhite});
    Surface mixed = render(style(four, Matrix::Scale(2, 2), false, true), 4, 4);
    // Pixel (1, 1)'s centre lies a quarter of a pixel past the red one's, across and down.
    const double w00 = 0.75 * 0.75, w01 = 0.25 * 0.75, w11 = 0.25 * 0.25;
    const std::uint32_t want =
        PackPixel(255, std::lround(255 * (w00 + w11)), std::lround(255 * (w01 + w11)), std::lround(255 * (w01 + w11)));
    EXPECT_LE(MaxChannelDifference(mixed.pixel(1, 1), want), 1) << std::hex << mixed.pixel(1, 1);
    EXPECT_EQ(mixed.pixel(0, 0), kRed);  // outside the centres: the edge pixel
    EXPECT_EQ(mixed.pixel(3, 3), kWhite);
}

TEST(BitmapPaint, QuarterTurn) {
    // Rotated 90 degrees clockwise on screen, then moved right by 8: the left
    // column of the picture becomes its top row, read right to left.
    auto image = MakeImage(2, 2, {kRed, kGreen, kBlue, kWhite});
    const Matrix m = Matrix::Translate(8, 0) * Matrix::Rotate(std::numbers::pi / 2) * Matrix::Scale(4, 4);
    for (bool smooth : {false, true}) {
        Surface s = render(style(image, m, false, smooth), 8, 8);
        EXPECT_EQ(s.pixel(0, 0), kBlue) << smooth;
        EXPECT_EQ(s.pixel(7, 0), kRed) << smooth;
        EXPECT_EQ(s.pixel(0, 7), kWhite) << smooth;
        EXPECT_EQ(s.pixel(7, 7), kGreen) << smooth;
    }
    Surface nearest = render(style(image, m, true, false), 8, 8);
    EXPECT_EQ(nearest.pixel(3, 4), kWhite);
    EXPECT_EQ(nearest.pixel(4, 3), kRed);
}

TEST(BitmapPaint, TranslucentPicturesCompositeInPremultipliedSpace) {
    // Premultiplied: half-alpha dark red, clear, a quarter-alpha blue, opaque green.
    auto image = MakeImage(2, 2, {PackPixel(128, 64, 0, 0), 0, PackPixel(64, 0, 0, 64), kGreen});
    const std::uint32_t background = PackPixel(255, 10, 20, 30);
    Surface s = render(style(image, Matrix::Scale(2, 2), false, false), 4, 4, background);
    // src + dst * (255 - srcAlpha) / 255, rounded.
    EXPECT_EQ(s.pixel(0, 0), PackPixel(255, 64 + 5, 10, 15));
    EXPECT_EQ(s.pixel(3, 0), background);
    EXPECT_EQ(s.pixel(0, 3), PackPixel(255, 7, 15, 64 + 22));
    EXPECT_EQ(s.pixel(3, 3), kGreen);
    EXPECT_FALSE(Paint::BitmapFill(style(image, Matrix::Identity(), false, false)).opaque());
}

TEST(BitmapPaint, ColourTransformWorksOnStraightColour) {
    // A third alpha: premultiplied (17, 85, 0) is straight (51, 255, 0).
    auto image = MakeImage(2, 1, {PackPixel(85, 17, 85, 0), kWhite});
    BitmapStyle invert = style(image, Matrix::Identity(), false, false);
    invert.colors.redMult = invert.colors.greenMult = invert.colors.blueMult = -1;
    invert.colors.redAdd = invert.colors.greenAdd = invert.colors.blueAdd = 255;
    Surface inverted = render(invert, 2, 1);
    EXPECT_EQ(inverted.pixel(0, 0), PackPixel(85, 68, 0, 85));  // straight (204, 0, 255)
    EXPECT_EQ(inverted.pixel(1, 0), kBlack);
    EXPECT_FALSE(Paint::BitmapFill(invert).opaque());  // the picture itself is not

    BitmapStyle halfAlpha = style(image, Matrix::Identity(), false, false);
    halfAlpha.colors.alphaMult = 0.5;
    Surface halved = render(halfAlpha, 2, 1);
    EXPECT_EQ(halved.pixel(0, 0), PackPixel(42, 8, 42, 0));  // alpha 42.5 truncated
    EXPECT_EQ(halved.pixel(1, 0), PackPixel(127, 127, 127, 127));

    // An opaque picture stays opaque under a colour change, not under an alpha change.
    auto opaqueImage = MakeImage(2, 1, {kRed, kBlue});
    BitmapStyle tinted = style(opaqueImage, Matrix::Identity(), true, true);
    EXPECT_TRUE(Paint::BitmapFill(tinted).opaque());
    tinted.colors.greenAdd = 100;
    EXPECT_TRUE(Paint::BitmapFill(tinted).opaque());
    EXPECT_EQ(render(tinted, 2, 1).pixel(0, 0), 0xFFFF6400u);
    tinted.colors.alphaMult = 0.9;
    EXPECT_FALSE(Paint::BitmapFill(tinted).opaque());
    // Adding alpha makes clear pixels show the added colour.
    BitmapStyle shown = style(MakeImage(2, 1, {0, kRed}), Matrix::Identity(), false, false);
    shown.colors.alphaAdd = 255;
    shown.colors.blueAdd = 255;
    EXPECT_EQ(render(shown, 2, 1).pixel(0, 0), kBlue);
}

TEST(BitmapPaint, ShrunkCheckerboardsTurnGreyInsteadOfAliasing) {
    struct Case {
        int size;
        Matrix matrix;
    };
    const Case cases[] = {
        {256, Matrix::Scale(0.25, 0.25)},
        {256, Matrix::Scale(0.3, 0.3)},
        {256, Matrix::Translate(32, 0) * Matrix::Rotate(0.5) * Matrix::Scale(0.25, 0.25)},
        {255, Matrix::Scale(1 / 3.0, 1 / 3.0)},  // odd sizes halve unevenly
        {256, Matrix::Scale(0.25, 0.6)},
    };
    for (const Case& c : cases) {
        for (bool smooth : {true, false}) {
            Surface s = render(style(checkerboard(c.size, c.size), c.matrix, true, smooth), 48, 48);
            int worst = 0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 48; ++x) worst = std::max(worst, std::abs(PixelGreen(s.pixel(x, y)) - 128));
            EXPECT_LE(worst, 6) << c.size << " " << c.matrix.a << " smooth " << smooth;
        }
    }
    // The reduction chosen is the one whose pixels come nearest the surface's.
    auto image = checkerboard(256, 256);
    EXPECT_EQ(BitmapSampler::Make(style(image, Matrix::Scale(0.25, 0.25), true, true))->LevelIndex(), 2);
    EXPECT_EQ(BitmapSampler::Make(style(image, Matrix::Scale(0.8, 0.8), true, true))->LevelIndex(), 0);
    EXPECT_EQ(BitmapSampler::Make(style(image, Matrix::Scale(3, 3), true, true))->LevelIndex(), 0);
}

TEST(MipChain, HalvesWithABoxFilterAndIsSharedPerImage) {
    // 4 x 2 -> 2 x 1 -> 1 x 1.
    auto image = MakeImage(
        4, 2,
        {PackPixel(255, 0, 0, 0), PackPixel(255, 100, 0, 0), PackPixel(0, 0, 0, 0), PackPixel(200, 200, 0, 0),
         PackPixel(255, 40, 0, 0), PackPixel(255, 60, 0, 0), PackPixel(100, 0, 0, 100), PackPixel(100, 0, 0, 100)});
    std::shared_ptr<const MipChain> chain = MipChain::Of(image);
    ASSERT_EQ(chain->levelCount(), 3);
    EXPECT_FALSE(chain->opaque());
    ImageLevel half = chain->Level(*image, 1);
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(half.pixels[0], PackPixel(255, 50, 0, 0));
    EXPECT_EQ(half.pixels[1], PackPixel(100, 50, 0, 50));
    ImageLevel last = chain->Level(*image, 2);
    ASSERT_EQ(last.width, 1);
    EXPECT_LE(MaxChannelDifference(last.pixels[0], PackPixel(178, 50, 0, 25)), 1);
    EXPECT_EQ(MipChain::Of(image), chain);
    EXPECT_NE(MipChain::Of(checkerboard(4, 2)), chain);

    // Three pixels shrink to one: an even average.
    auto odd = MakeImage(3, 1, {PackPixel(255, 0, 0, 0), PackPixel(255, 90, 0, 0), PackPixel(255, 255, 0, 0)});
    ImageLevel one = MipChain::Of(odd)->Level(*odd, 1);
    ASSERT_EQ(one.width, 1);
    EXPECT_LE(MaxChannelDifference(one.pixels[0], PackPixel(255, 115, 0, 0)), 1);
    EXPECT_TRUE(MipChain::Of(odd)->opaque());
}

TEST(BitmapPaint, UnusableInputPaintsNothing) {
    const std::uint32_t background = 0xFF336699u;
    auto image = MakeImage(2, 2, {kRed, kGreen, kBlue, kWhite});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<BitmapStyle> nothing = {
        style(image, Matrix{nan, 0, 0, 1, 0, 0}, true, true),
        style(image, Matrix{1, 0, 0, 1, inf, 0}, false, true),
        style(image, Matrix::Scale(0, 4), true, false),
        style(image, Matrix{1, 2, 2, 4, 0, 0}, true, true),  // singular: rows in proportion
        style(nullptr, Matrix::Identity(), true, true),
        style(MakeImage(0, 3, {}), Matrix::Identity(), true, true),
        style(MakeImage(4, 4, {kRed, kRed}), Matrix::Identity(), true, true),  // too few pixels
    };
    for (const BitmapStyle& s : nothing) {
        Surface out = render(s, 4, 4, background);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) ASSERT_EQ(out.pixel(x, y), background);
    }
}

TEST(BitmapPaint, ExtremeScalesAndPositionsStayFinite) {
    auto image = MakeImage(2, 2, {kRed, kGreen, kBlue, kWhite});
    // Enlarged a million times with the surface inside the red pixel's middle.
    const Matrix huge = Matrix::Translate(-0.5e6 + 8, -0.5e6 + 8) * Matrix::Scale(1e6, 1e6);
    for (bool repeat : {true, false})
        for (bool smooth : {true, false}) {
            Surface s = render(style(image, huge, repeat, smooth), 16, 16);
            EXPECT_EQ(s.pixel(0, 0), kRed);
            EXPECT_EQ(s.pixel(15, 15), kRed);
        }
    // Shrunk to nothing the picture is its own average, painted as one colour.
    auto board = checkerboard(2, 2);
    Surface tiny = render(style(board, Matrix::Scale(1e-6, 1e-6), true, true), 4, 4);
    EXPECT_NEAR(PixelGreen(tiny.pixel(3, 3)), 128, 1);
    EXPECT_TRUE(Paint::BitmapFill(style(board, Matrix::Scale(1e-6, 1e-6), true, true)).IsSolid());
    Surface enormous = render(style(image, Matrix::Scale(1e150, 1e150), false, true), 4, 4);
    EXPECT_EQ(enormous.pixel(2, 2), kRed);
    // Far from the picture a clipped fill shows its edge pixels; a repeated one the tiling.
    const Matrix far = Matrix::Translate(-4e12, 3e12) * Matrix::Scale(4, 4);
    EXPECT_EQ(render(style(image, far, false, true), 4, 4).pixel(1, 1), kGreen);
    EXPECT_EQ(render(style(image, far, true, false), 4, 4).pixel(1, 1), kRed);
}

TEST(BitmapPaint, LongSpansMatchPixelByPixelSampling) {
    // Spans are stepped incrementally in runs; sampling each pixel on its own
    // computes its position afresh. Both must agree along a 3000-pixel row.
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 37 * 23; ++i) pixels.push_back(PackPixel(255, (i * 37) & 255, (i * 11) & 255, (i * 5) & 255));
    auto image = MakeImage(37, 23, pixels);
    const Matrix matrix = Matrix::Translate(-50.3, 20.7) * Matrix::Rotate(0.3) * Matrix::Scale(1.7, 2.3);
    for (bool repeat : {true, false})
        for (bool smooth : {true, false}) {
            auto sampler = BitmapSampler::Make(style(image, matrix, repeat, smooth));
            ASSERT_TRUE(sampler);
            std::vector<std::uint32_t> row(3000);
            sampler->ShadeSpan(-100, 7, 3000, row.data());
            int mismatches = 0;
            for (int i = 0; i < 3000; ++i) {
                std::uint32_t one = 0;
                sampler->ShadeSpan(-100 + i, 7, 1, &one);
                const int difference = MaxChannelDifference(one, row[i]);
                if (smooth) {
                    ASSERT_LE(difference, 1) << i;
                }
                if (difference != 0) ++mismatches;
            }
            EXPECT_LE(mismatches, 3) << repeat << smooth;
        }
}

}  // namespace
}  // namespace swf::raster
