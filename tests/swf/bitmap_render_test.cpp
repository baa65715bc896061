// Bitmap fills through the renderer: the four fill types, colour transforms
// from placements, bitmap-filled strokes, and fills whose picture is missing.
// Shapes are built in memory with the pictures attached, as the reader leaves them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "swf/model/shape.h"
#include "swf/player/display/display_object.h"
#include "swf/player/render/renderer.h"
#include "swf/raster/surface.h"

namespace swf {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBackground = 0xFF0A141Eu;

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }

std::shared_ptr<const raster::Image> Picture(int w, int h, std::vector<std::uint32_t> pixels) {
    auto image = std::make_shared<raster::Image>();
    image->width = w;
    image->height = h;
    image->pixels = std::move(pixels);
    return image;
}

// Red green / blue white.
std::shared_ptr<const raster::Image> Quad() { return Picture(2, 2, {kRed, kGreen, kBlue, kWhite}); }

FillStyle BitmapFill(std::shared_ptr<const raster::Image> image, const Matrix& matrix, bool repeat, bool smooth) {
    FillStyle f;
    f.kind = FillKind::Bitmap;
    f.bitmapId = 9;
    f.bitmap = std::move(image);
    f.matrix = matrix;
    f.bitmapRepeat = repeat;
    f.bitmapSmooth = smooth;
    return f;
}

std::vector<Segment> RectEdges(float x0, float y0, float x1, float y1) {
    return {{x0, y0, 0, 0, x1, y0, false},
            {x1, y0, 0, 0, x1, y1, false},
            {x1, y1, 0, 0, x0, y1, false},
            {x0, y1, 0, 0, x0, y0, false}};
}

struct Scene {
    ShapeDefinition shape;
    Dictionary dictionary;
    DisplayList list;

    // One object at depth 1 showing `shape`.
    void Place(const ColorTransform& colors = {}) {
        Placement p;
        p.characterId = 1;
        p.colorTransform = colors;
        list[1] = std::make_unique<DisplayObject>(p, &shape);
    }

    // Drawn at one pixel per 20 twips onto a 16 x 16 surface.
    raster::Surface Draw(const ColorTransform& colors = {}) {
        raster::Surface surface(16, 16);
        surface.ClearPremultiplied(kBackground);
        Renderer renderer(dictionary);
        renderer.DrawList(surface, list, Matrix::Scale(1 / 20.0, 1 / 20.0), colors, nullptr);
        return surface;
    }
};

// A scene whose shape is the 16 x 16 pixel square (320 twips) filled with `fill`.
std::unique_ptr<Scene> FilledSquare(const FillStyle& fill) {
    auto scene = std::make_unique<Scene>();
    ShapeLayer layer;
    layer.fills = {fill};
    layer.fillEdges = {RectEdges(0, 0, 320, 320)};
    scene->shape.shape.layers = {layer};
    scene->Place();
    return scene;
}

TEST(BitmapRender, FourFillTypesScaleByTwentyTwipsAPixel) {
    // Bitmap pixels of 80 twips: 4 surface pixels each, the picture at 0..7.
    const Matrix fourTimes = Matrix::Scale(80, 80);
    const std::uint32_t quadrant[2][2] = {{kRed, kGreen}, {kBlue, kWhite}};

    raster::Surface repeated = FilledSquare(BitmapFill(Quad(), fourTimes, true, false))->Draw();
    raster::Surface clipped = FilledSquare(BitmapFill(Quad(), fourTimes, false, false))->Draw();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(repeated.pixel(x, y), quadrant[(y / 4) % 2][(x / 4) % 2]) << x << "," << y;
            ASSERT_EQ(clipped.pixel(x, y), quadrant[std::min(y / 4, 1)][std::min(x / 4, 1)]) << x << "," << y;
        }
    }

    // Smoothed: pixel (3, 1)'s centre is 3/8 of the way from the red centre
    // (2, 2) to the green one (6, 2) and above the top row of centres, which
    // clipped fills extend upwards.
    raster::Surface smoothClipped = FilledSquare(BitmapFill(Quad(), fourTimes, false, true))->Draw();
    EXPECT_NEAR(Channel(smoothClipped.pixel(3, 1), 16), 255 * 5 / 8.0, 1);
    EXPECT_NEAR(Channel(smoothClipped.pixel(3, 1), 8), 255 * 3 / 8.0, 1);
    EXPECT_EQ(Channel(smoothClipped.pixel(3, 1), 0), 0);
    EXPECT_EQ(smoothClipped.pixel(0, 0), kRed);
    EXPECT_EQ(smoothClipped.pixel(15, 15), kWhite);
    // Repeated, pixel (0, 1) lies between the green and blue-white centres of
    // the tiles to the left and above: x 5/8 of the way from green (-2) to red
    // (2), y 7/8 of the way from the white row (-2) to the red row (2).
    raster::Surface smoothRepeated = FilledSquare(BitmapFill(Quad(), fourTimes, true, true))->Draw();
    EXPECT_NEAR(Channel(smoothRepeated.pixel(0, 1), 16), 255 * (7 / 8.0 * 5 / 8.0 + 1 / 8.0 * 3 / 8.0), 1);
    EXPECT_NEAR(Channel(smoothRepeated.pixel(0, 1), 8), 255 * 3 / 8.0, 1);
    EXPECT_NEAR(Channel(smoothRepeated.pixel(0, 1), 0), 255 / 8.0, 1);  // blue and white above

    // An unscaled picture (20 twips a pixel) moved right by 2 pixels.
    raster::Surface own = FilledSquare(BitmapFill(Picture(4, 1, {kRed, kGreen, kBlue, kWhite}),
                                                  Matrix::Translate(40, 0) * Matrix::Scale(20, 20), false, false))
                              ->Draw();
    EXPECT_EQ(own.pixel(1, 0), kRed);
    EXPECT_EQ(own.pixel(2, 0), kRed);
    EXPECT_EQ(own.pixel(3, 5), kGreen);
    EXPECT_EQ(own.pixel(4, 9), kBlue);
    EXPECT_EQ(own.pixel(5, 15), kWhite);
    EXPECT_EQ(own.pixel(12, 15), kWhite);
}

TEST(BitmapRender, PlacementAndInheritedColourTransformsApplyPerPixel) {
    auto scene = FilledSquare(BitmapFill(Quad(), Matrix::Scale(160, 160), false, false));
    ColorTransform halfAlpha;
    halfAlpha.aMult = 0.5;
    scene->Place(halfAlpha);
    ColorTransform moreBlue;
    moreBlue.bAdd = 100;
    raster::Surface s = scene->Draw(moreBlue);
    // Red becomes straight (255, 0, 100) at alpha 127, then goes over the background.
    auto over = [](std::uint32_t channel, std::uint32_t background) {
        return channel * 127 / 255.0 + background * 128 / 255.0;
    };
    EXPECT_NEAR(Channel(s.pixel(2, 2), 16), over(255, 10), 1);
    EXPECT_NEAR(Channel(s.pixel(2, 2), 8), over(0, 20), 1);
    EXPECT_NEAR(Channel(s.pixel(2, 2), 0), over(100, 30), 1);
    EXPECT_EQ(Channel(s.pixel(2, 2), 24), 255);
    // White's blue is already full.
    EXPECT_NEAR(Channel(s.pixel(12, 12), 0), over(255, 30), 1);
}

TEST(BitmapRender, MissingPictureDrawsNothingAndTheRestStillDraws) {
    auto scene = std::make_unique<Scene>();
    ShapeLayer layer;
    FillStyle solid;
    solid.color = {0, 0, 255, 255};
    layer.fills = {BitmapFill(nullptr, Matrix::Scale(20, 20), true, true), solid};
    layer.fillEdges = {RectEdges(0, 0, 160, 320), RectEdges(160, 0, 320, 320)};
    LineStyle line;
    line.width = 40;
    line.hasFill = true;
    line.fill = BitmapFill(nullptr, Matrix::Scale(20, 20), false, false);
    layer.lines = {line};
    layer.lineContours = {{RectEdges(20, 20, 300, 300)}};
    scene->shape.shape.layers = {layer};
    scene->Place();
    raster::Surface s = scene->Draw();
    EXPECT_EQ(s.pixel(3, 8), kBackground);
    EXPECT_EQ(s.pixel(1, 1), kBackground);
    EXPECT_EQ(s.pixel(12, 8), kBlue);
}

TEST(BitmapRender, StrokesCanBePaintedWithAPicture) {
    // A 2-pixel-wide line along y = 5 (rows 4 and 5), its fill a 1 x 2 picture
    // (green over red, 4 pixels a bitmap pixel): the line lies in the red half.
    auto scene = std::make_unique<Scene>();
    ShapeLayer layer;
    LineStyle line;
    line.width = 40;
    line.startCap = line.endCap = CapStyle::None;
    line.hasFill = true;
    line.fill = BitmapFill(Picture(1, 2, {kGreen, kRed}), Matrix::Scale(80, 80), false, false);
    layer.lines = {line};
    layer.lineContours = {{{{0, 100, 0, 0, 320, 100, false}}}};
    scene->shape.shape.layers = {layer};
    scene->Place();
    raster::Surface s = scene->Draw();
    EXPECT_EQ(s.pixel(5, 4), kRed);
    EXPECT_EQ(s.pixel(5, 5), kRed);
    EXPECT_EQ(s.pixel(5, 3), kBackground);
    EXPECT_EQ(s.pixel(5, 6), kBackground);
}

}  // namespace
}  // namespace swf
