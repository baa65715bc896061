#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

Gradient BlackToWhite(GradientShape shape, SpreadMode spread) {
    Gradient g;
    g.shape = shape;
    g.spread = spread;
    g.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    return g;
}

// Renders the gradient over a whole surface; with a black-to-white ramp a
// pixel's green channel is its ramp index.
Surface render(const Gradient& g, int w, int h) {
    Surface s(w, h);
    Path all;
    all.AddRect(0, 0, w, h);
    FillPath(s, all, FillRule::NonZero, Paint::GradientFill(g));
    return s;
}

TEST(Compositing, SourceOverInPremultipliedSpace) {
    Path rect;
    rect.AddRect(0, 0, 4, 4);
    const Paint halfRed = Paint::Solid({255, 0, 0, 128});
    EXPECT_EQ(halfRed.SolidPixel(), 0x80800000u);  // premultiplied

    Surface white(4, 4);
    white.Clear({255, 255, 255, 255});
    FillPath(white, rect, FillRule::NonZero, halfRed);
    EXPECT_EQ(white.pixel(1, 1), 0xFFFF7F7Fu);  // 128 + 255 * 127/255, 0 + 127

    Surface clear(4, 4);
    FillPath(clear, rect, FillRule::NonZero, halfRed);
    EXPECT_EQ(clear.pixel(2, 2), 0x80800000u);

    Surface grey(4, 4);
    grey.Clear({100, 50, 200, 255});
    FillPath(grey, rect, FillRule::NonZero, Paint::Solid({0, 0, 255, 64}));
    // src (0, 0, 64, 64) + dst * 191/255
    EXPECT_EQ(grey.pixel(0, 0), PackPixel(255, 75, 37, 64 + 150));

    // Half coverage of an opaque colour weighs like half alpha.
    Surface edge(4, 4);
    edge.Clear({0, 0, 0, 255});
    Path half;
    half.AddRect(0.5, 0, 3.5, 4);
    FillPath(edge, half, FillRule::NonZero, Paint::Solid({255, 255, 255, 255}));
    EXPECT_NEAR(PixelRed(edge.pixel(0, 1)), 128, 1);
    EXPECT_EQ(PixelAlpha(edge.pixel(0, 1)), 255);
    EXPECT_EQ(edge.pixel(1, 1), 0xFFFFFFFFu);
}

TEST(GradientRamp, InterpolatesBetweenStopsAndHoldsBeyondThem) {
    GradientRamp ramp =
        GradientRamp::Build({{64, {255, 0, 0, 255}}, {192, {0, 0, 255, 255}}}, GradientInterpolation::RGB);
    EXPECT_EQ(ramp[0], 0xFFFF0000u);
    EXPECT_EQ(ramp[64], 0xFFFF0000u);
    EXPECT_EQ(ramp[128], PackPixel(255, 128, 0, 128));
    EXPECT_EQ(ramp[192], 0xFF0000FFu);
    EXPECT_EQ(ramp[255], 0xFF0000FFu);
    EXPECT_TRUE(ramp.opaque());

    // Alpha is interpolated straight, colours stored premultiplied.
    GradientRamp fade =
        GradientRamp::Build({{0, {255, 255, 255, 0}}, {255, {255, 255, 255, 255}}}, GradientInterpolation::RGB);
    EXPECT_EQ(fade[0], 0u);
    EXPECT_EQ(PixelAlpha(fade[128]), 128);
    EXPECT_EQ(PixelRed(fade[128]), 128);
    EXPECT_FALSE(fade.opaque());

    // Stops out of order are sorted; only the first 15 count.
    std::vector<GradientStop> many;
    for (int i = 0; i < 20; ++i) many.push_back({static_cast<std::uint8_t>(i * 10), {0, 0, 0, 255}});
    many[14].color = {255, 255, 255, 255};  // ratio 140, the 15th stop
    many[15].color = {0, 255, 0, 255};      // ratio 150, ignored
    GradientRamp capped = GradientRamp::Build(many, GradientInterpolation::RGB);
    EXPECT_EQ(capped[200], 0xFFFFFFFFu);

    GradientRamp swapped =
        GradientRamp::Build({{255, {0, 0, 0, 255}}, {0, {255, 255, 255, 255}}}, GradientInterpolation::RGB);
    EXPECT_EQ(swapped[0], 0xFFFFFFFFu);
    EXPECT_EQ(swapped[255], 0xFF000000u);

    // Mixing in linear light brightens the middle of a black-to-white ramp.
    GradientRamp linear =
        GradientRamp::Build({{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}}, GradientInterpolation::LinearRGB);
    EXPECT_NEAR(PixelGreen(linear[128]), 188, 2);
    EXPECT_EQ(linear[0], 0xFF000000u);
    EXPECT_EQ(linear[255], 0xFFFFFFFFu);

    GradientRamp none = GradientRamp::Build({}, GradientInterpolation::RGB);
    EXPECT_EQ(none[100], 0u);
}

TEST(LinearGradient, StartMiddleEndAndSpreadModes) {
    // The gradient square mapped onto pixels 0..256 horizontally.
    const Matrix onto256 = Matrix::Translate(128, 0) * Matrix::Scale(256 / 32768.0, 256 / 32768.0);
    Gradient g = BlackToWhite(GradientShape::Linear, SpreadMode::Pad);
    g.matrix = onto256;
    Surface pad = render(g, 512, 2);
    EXPECT_EQ(pad.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(PixelGreen(pad.pixel(128, 1)), 128);
    EXPECT_EQ(pad.pixel(255, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pad.pixel(300, 0), 0xFFFFFFFFu);

    g.spread = SpreadMode::Repeat;
    Surface repeat = render(g, 512, 2);
    EXPECT_EQ(PixelGreen(repeat.pixel(266, 0)), 10);
    EXPECT_EQ(PixelGreen(repeat.pixel(10, 0)), 10);

    g.spread = SpreadMode::Reflect;
    Surface reflect = render(g, 512, 2);
    EXPECT_EQ(PixelGreen(reflect.pixel(266, 0)), 245);
    EXPECT_EQ(PixelGreen(reflect.pixel(511, 0)), 0);

    // Before the start: shifted so the gradient begins at pixel 256.
    g.matrix = Matrix::Translate(256, 0) * onto256;
    g.spread = SpreadMode::Pad;
    EXPECT_EQ(PixelGreen(render(g, 512, 1).pixel(250, 0)), 0);
    g.spread = SpreadMode::Repeat;
    EXPECT_EQ(PixelGreen(render(g, 512, 1).pixel(250, 0)), 250);
    g.spread = SpreadMode::Reflect;
    EXPECT_EQ(PixelGreen(render(g, 512, 1).pixel(250, 0)), 5);

    // Rotated a quarter turn, the gradient runs down the surface.
    g.spread = SpreadMode::Pad;
    g.matrix =
        Matrix::Translate(0, 128) * Matrix::Rotate(std::numbers::pi / 2) * Matrix::Scale(256 / 32768.0, 256 / 32768.0);
    Surface down = render(g, 4, 256);
    EXPECT_EQ(PixelGreen(down.pixel(2, 0)), 0);
    EXPECT_EQ(PixelGreen(down.pixel(2, 100)), 100);
    EXPECT_EQ(PixelGreen(down.pixel(0, 100)), 100);
}

TEST(RadialGradient, CentreAndEdge) {
    Gradient g = BlackToWhite(GradientShape::Radial, SpreadMode::Pad);
    g.matrix = Matrix::Translate(100, 100) * Matrix::Scale(64 / 16384.0, 64 / 16384.0);
    Surface s = render(g, 200, 200);
    EXPECT_EQ(PixelGreen(s.pixel(100, 100)), 2);   // centre (100.5, 100.5): 0.7 px out of 64
    EXPECT_EQ(PixelGreen(s.pixel(131, 99)), 126);  // about half the radius to the right
    EXPECT_EQ(PixelGreen(s.pixel(99, 131)), 126);  // ... and below
    EXPECT_EQ(PixelGreen(s.pixel(100, 36)), 254);  // just inside the circle
    EXPECT_EQ(s.pixel(100, 30), 0xFFFFFFFFu);      // outside: padded
    EXPECT_EQ(s.pixel(0, 0), 0xFFFFFFFFu);

    g.spread = SpreadMode::Repeat;
    Surface repeat = render(g, 200, 200);
    // 96 px from the centre is 1.5 radii: halfway through the second period.
    EXPECT_NEAR(PixelGreen(repeat.pixel(195, 100)), 128, 2);
}

TEST(FocalGradient, StartsAtTheFocalPointAndEndsOnTheCircle) {
    Gradient g = BlackToWhite(GradientShape::Focal, SpreadMode::Pad);
    g.focalPoint = 0.5;
    g.matrix = Matrix::Translate(100, 100) * Matrix::Scale(64 / 16384.0, 64 / 16384.0);
    Surface s = render(g, 200, 200);
    // Focal point at (132, 100): the start colour.
    EXPECT_LE(PixelGreen(s.pixel(131, 99)), 3);
    // Left of it, 31.5 px from the centre: |P - F| / |Q - F| = 0.992 / 1.5.
    EXPECT_NEAR(PixelGreen(s.pixel(68, 99)), 169, 2);
    // Right of it, 48.5 px from the centre: 0.258 / 0.5.
    EXPECT_NEAR(PixelGreen(s.pixel(148, 99)), 132, 2);
    // 27.5 px above the focal point, leaning slightly left: the ray meets the
    // circle 0.875 radii up.
    EXPECT_NEAR(PixelGreen(s.pixel(131, 72)), 256 * (27.5 / 64.0) / 0.875, 1.5);
    // On and beyond the circle: the end colour.
    EXPECT_EQ(s.pixel(2, 99), 0xFFFFFFFFu);
    EXPECT_EQ(s.pixel(199, 0), 0xFFFFFFFFu);

    // Focal point 0 is a plain radial gradient.
    Gradient radial = g;
    radial.shape = GradientShape::Radial;
    g.focalPoint = 0;
    Surface a = render(g, 200, 200), b = render(radial, 200, 200);
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 200; x += 7) ASSERT_NEAR(PixelGreen(a.pixel(x, y)), PixelGreen(b.pixel(x, y)), 1);

    // A focal point on the circle itself stays finite and bounded.
    g.focalPoint = 1;
    Surface edge = render(g, 200, 200);
    EXPECT_EQ(edge.pixel(5, 100), 0xFFFFFFFFu);
}

TEST(GradientPaint, SingularMatrixPaintsTheEndColour) {
    Gradient g = BlackToWhite(GradientShape::Linear, SpreadMode::Pad);
    g.matrix = Matrix::Scale(0, 0);
    Surface s = render(g, 4, 4);
    EXPECT_EQ(s.pixel(1, 1), 0xFFFFFFFFu);
}

TEST(GradientPaint, EachGradientPaintsItsOwnRampHoweverManyCameBefore) {
    // Ramps are kept between paints: stops that differ in one colour, in the
    // interpolation only, or that come back after many others must each paint
    // their own colours.
    const Matrix onto256 = Matrix::Translate(128, 0) * Matrix::Scale(256 / 32768.0, 256 / 32768.0);
    Gradient grey = BlackToWhite(GradientShape::Linear, SpreadMode::Pad);
    grey.matrix = onto256;
    EXPECT_EQ(PixelGreen(render(grey, 256, 1).pixel(128, 0)), 128);

    Gradient red = grey;
    red.stops[1].color = {255, 0, 0, 255};
    EXPECT_EQ(render(red, 256, 1).pixel(255, 0), 0xFFFF0000u);

    // Mixed in linear light, the middle of black to white is sRGB 188 (0.5 encoded).
    Gradient linearLight = grey;
    linearLight.interpolation = GradientInterpolation::LinearRGB;
    EXPECT_NEAR(PixelGreen(render(linearLight, 256, 1).pixel(128, 0)), 188, 1);

    for (int i = 0; i < 40; ++i) {
        Gradient other = grey;
        other.stops[0].color = {static_cast<std::uint8_t>(i), 0, 0, 255};
        EXPECT_EQ(render(other, 256, 1).pixel(0, 0), 0xFF000000u | static_cast<std::uint32_t>(i) << 16);
    }
    EXPECT_EQ(PixelGreen(render(grey, 256, 1).pixel(128, 0)), 128);
    EXPECT_EQ(render(red, 256, 1).pixel(255, 0), 0xFFFF0000u);
}

}  // namespace
}  // namespace swf::raster
