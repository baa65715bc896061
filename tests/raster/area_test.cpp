// Drawing limited to an area: inside it every pixel is what a whole drawing
// gives, outside it nothing is touched.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/raster/raster_test_support.h"
#include "swf/raster/raster.h"

namespace swf::raster {
namespace {

constexpr int kSize = 96;

// Paths that cross the areas' borders on every side, with curves, holes and
// edges left of and above the surface.
std::vector<Path> Scene() {
    std::vector<Path> paths;
    Path star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 18.3 : 47.1, a = i * 0.6283 + 0.1;
        const double x = 48.4 + r * std::cos(a), y = 47.7 + r * std::sin(a);
        if (i == 0)
            star.MoveTo(x, y);
        else
            star.LineTo(x, y);
    }
    star.Close();
    paths.push_back(star);
    Path blob;
    blob.MoveTo(-20.5, 10.2);
    blob.QuadTo(60.3, -30.7, 110.9, 40.1);
    blob.QuadTo(50.2, 120.6, -10.3, 70.4);
    blob.Close();
    blob.AddRect(20.25, 30.75, 40.5, 20.125);  // a hole under even-odd
    paths.push_back(blob);
    return paths;
}

Surface Background() {
    Surface s(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) s.row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 2 << 8 | y * 2);
    return s;
}

void Draw(Surface& s, const DrawOptions& options) {
    Rasterizer r;
    Gradient g;
    g.shape = GradientShape::Radial;
    g.stops = {{0, {255, 255, 0, 255}}, {255, {0, 60, 200, 160}}};
    g.matrix = Matrix::Translate(40, 50) * Matrix::Scale(0.003, 0.002);
    const std::vector<Path> paths = Scene();
    r.FillPath(s, paths[0], FillRule::NonZero, Paint::Solid({200, 20, 20, 180}), options);
    r.FillPath(s, paths[1], FillRule::EvenOdd, Paint::GradientFill(g), options);
    StrokeStyle thick;
    thick.width = 7.5;
    thick.join = LineJoin::Miter;
    thick.miterLimit = 4;
    r.StrokePath(s, paths[0], thick, Paint::Solid({0, 0, 0, 255}), options);
}

TEST(DrawingArea, InsideMatchesAWholeDrawingAndOutsideIsUntouched) {
    // A clip mask drawn with the same area, as a partial redraw does.
    CoverageMask wholeMask(kSize, kSize);
    FillMask(wholeMask, Scene()[1], FillRule::NonZero, {});
    DrawOptions clipped;
    clipped.clip = &wholeMask;

    for (const DrawOptions& base : {DrawOptions{}, clipped}) {
        Surface whole = Background();
        Draw(whole, base);
        const Surface untouched = Background();
        for (const PixelRect area : {PixelRect{0, 0, 30, 30}, PixelRect{31, 17, 70, 61}, PixelRect{60, 60, 96, 96},
                                     PixelRect{-10, 40, 200, 41}, PixelRect{10, 10, 10, 50}}) {
            SCOPED_TRACE(testing::Message() << area.left << "," << area.top << " " << area.right << "," << area.bottom);
            DrawOptions options = base;
            options.area = &area;
            CoverageMask areaMask(kSize, kSize);
            if (base.clip != nullptr) {
                DrawOptions maskOptions;
                maskOptions.area = &area;
                FillMask(areaMask, Scene()[1], FillRule::NonZero, maskOptions);
                options.clip = &areaMask;
            }
            Surface part = Background();
            Draw(part, options);
            int inside = 0, wrong = 0;
            for (int y = 0; y < kSize; ++y) {
                for (int x = 0; x < kSize; ++x) {
                    const bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                    inside += in;
                    wrong += part.pixel(x, y) != (in ? whole.pixel(x, y) : untouched.pixel(x, y));
                }
            }
            EXPECT_EQ(wrong, 0);
            if (area.empty()) {
                EXPECT_EQ(inside, 0);
            }
        }
    }
}

TEST(DrawingArea, PathsOutsideTheAreaCostNothingAndDrawNothing) {
    Surface s = Background();
    const Surface before = Background();
    const PixelRect area{0, 0, 10, 10};
    DrawOptions options;
    options.area = &area;
    // A stroke whose points lie outside but whose width reaches in is drawn.
    Path line;
    line.MoveTo(14, 2);
    line.LineTo(14, 8);
    StrokeStyle wide;
    wide.width = 12;
    StrokePath(s, line, wide, Paint::Solid({0, 0, 0, 255}), options);
    EXPECT_EQ(s.pixel(9, 5), 0xFF000000u);
    EXPECT_EQ(s.pixel(12, 5), before.pixel(12, 5));
    // A fill far away leaves the area as it was.
    FillPath(s, test::polygon({{50, 50}, {90, 50}, {90, 90}}), FillRule::NonZero, Paint::Solid({255, 0, 0, 255}),
             options);
    EXPECT_EQ(s.pixel(80, 60), before.pixel(80, 60));
}

}  // namespace
}  // namespace swf::raster
