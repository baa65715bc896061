#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

using test::CoveredArea;

constexpr std::uint32_t kBackground = 0xFF336699u;

bool untouched(const Surface& s) {
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != kBackground) return false;
    return true;
}

TEST(ClipMask, RestrictsAFill) {
    CoverageMask clip(32, 32);
    Path window;
    window.AddRect(10, 10, 10, 10);
    FillMask(clip, window, FillRule::NonZero);

    Surface s(32, 32);
    s.ClearPremultiplied(kBackground);
    Path big;
    big.AddRect(0, 0, 30, 30);
    DrawOptions options;
    options.clip = &clip;
    FillPath(s, big, FillRule::NonZero, Paint::Solid({255, 0, 0, 255}), options);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(s.pixel(x, y), inside ? 0xFFFF0000u : kBackground) << x << "," << y;
        }

    // Partial clip coverage scales the fill's coverage.
    CoverageMask half(8, 8);
    half.Clear(128);
    Surface t(8, 8);
    t.Clear({0, 0, 0, 255});
    options.clip = &half;
    FillPath(t, big, FillRule::NonZero, Paint::Solid({255, 255, 255, 255}), options);
    EXPECT_EQ(t.pixel(3, 3), 0xFF808080u);
}

TEST(ClipMask, ShapesUniteAndMasksIntersect) {
    CoverageMask mask(16, 16);
    Path a, b;
    a.AddRect(0.5, 0, 4, 16);  // pixel column 0 half covered
    b.AddRect(0.5, 0, 2, 8);   // the same half again on the upper rows
    FillMask(mask, a, FillRule::NonZero);
    FillMask(mask, b, FillRule::NonZero);
    EXPECT_EQ(mask.at(0, 12), 128);
    EXPECT_EQ(mask.at(0, 3), 192);  // 128 + 128 - 128 * 128 / 255
    EXPECT_EQ(mask.at(2, 3), 255);
    EXPECT_EQ(mask.at(6, 3), 0);

    CoverageMask other(8, 16);  // smaller: what it does not cover is outside
    other.Clear(255);
    mask.Intersect(other);
    EXPECT_EQ(mask.at(2, 3), 255);
    CoverageMask right(16, 16);
    Path rightHalf;
    rightHalf.AddRect(2, 0, 14, 16);
    FillMask(right, rightHalf, FillRule::NonZero);
    mask.Intersect(right);
    EXPECT_EQ(mask.at(0, 3), 0);
    EXPECT_EQ(mask.at(3, 3), 255);

    // A mask rendered through another mask (nested clip layers).
    CoverageMask nested(16, 16);
    DrawOptions options;
    options.clip = &right;
    FillMask(nested, a, FillRule::NonZero, options);
    EXPECT_EQ(nested.at(0, 5), 0);
    EXPECT_EQ(nested.at(3, 5), 255);

    // Limited to an area: pixels inside it are multiplied, pixels outside keep
    // their value; an area reaching past the mask is cut to it.
    CoverageMask part(16, 16);
    part.Clear(200);
    CoverageMask half(16, 16);
    half.Clear(128);
    part.Intersect(half, PixelRect{-4, 2, 6, 40});
    EXPECT_EQ(part.at(0, 2), 100);  // 200 * 128 / 255, rounded
    EXPECT_EQ(part.at(5, 15), 100);
    EXPECT_EQ(part.at(6, 2), 200);
    EXPECT_EQ(part.at(0, 1), 200);
    part.Intersect(other, PixelRect{0, 0, 16, 1});  // `other` is 8 wide: the rest of the row is outside it
    EXPECT_EQ(part.at(7, 0), 200);
    EXPECT_EQ(part.at(8, 0), 0);
    part.Clear(PixelRect{14, 14, 99, 99});
    EXPECT_EQ(part.at(15, 15), 0);
    EXPECT_EQ(part.at(13, 15), 200);    // beside the cleared area
    part.Clear(PixelRect{3, 3, 2, 9});  // empty: nothing changes
    EXPECT_EQ(part.at(2, 3), 100);
}

TEST(Robustness, ShapesOffTheSurfaceWriteNothing) {
    Surface s(24, 16);
    s.ClearPremultiplied(kBackground);
    const Paint red = Paint::Solid({255, 0, 0, 255});
    for (auto [x, y] :
         {std::pair{-100.0, 0.0}, {100.0, 0.0}, {0.0, -100.0}, {0.0, 100.0}, {1e7, 1e7}, {-1e12, 5.0}, {5.0, 1e15}}) {
        Path p;
        p.AddRect(x, y, 20, 10);
        p.AddEllipse(x + 10, y + 5, 8, 4);
        FillPath(s, p, FillRule::NonZero, red);
        StrokePath(s, p, {3, LineCap::Round, LineJoin::Round, 3}, red);
    }
    EXPECT_TRUE(untouched(s));
}

TEST(Robustness, HugeShapesAreClippedExactly) {
    Path wide;
    wide.AddRect(-1e8, 4, 2e8, 8);  // reaches far beyond both sides
    CoverageMask mask(32, 16);
    FillMask(mask, wide, FillRule::NonZero);
    EXPECT_NEAR(CoveredArea(mask), 32 * 8, 0.01);
    EXPECT_EQ(mask.at(0, 4), 255);
    EXPECT_EQ(mask.at(31, 11), 255);
    EXPECT_EQ(mask.at(0, 3), 0);

    Path leftPart;
    leftPart.AddRect(-5e6, 0, 5e6 + 10.5, 16);  // ends in the middle of column 10
    CoverageMask left(32, 16);
    FillMask(left, leftPart, FillRule::NonZero);
    EXPECT_EQ(left.at(0, 0), 255);
    EXPECT_EQ(left.at(9, 15), 255);
    EXPECT_NEAR(left.at(10, 7), 128, 1);
    EXPECT_EQ(left.at(11, 7), 0);

    // A slanted edge crossing the surface from far outside.
    Path slant;
    slant.MoveTo(-1e6, -1e6);
    slant.LineTo(1e6, 1e6);
    slant.LineTo(-1e6, 1e6);
    slant.Close();
    CoverageMask triangle(16, 16);
    FillMask(triangle, slant, FillRule::NonZero);
    EXPECT_NEAR(CoveredArea(triangle), 16 * 16 / 2.0, 0.1);
}

TEST(Robustness, NonFiniteCoordinatesDrawNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Surface s(16, 16);
    s.ClearPremultiplied(kBackground);
    const Paint red = Paint::Solid({255, 0, 0, 255});
    for (double bad : {nan, inf, -inf}) {
        Path p;
        p.MoveTo(1, 1);
        p.LineTo(10, 1);
        p.QuadTo(bad, 5, 10, 10);
        p.LineTo(1, 10);
        p.Close();
        FillPath(s, p, FillRule::NonZero, red);
        StrokePath(s, p, {2, LineCap::Round, LineJoin::Miter, 3}, red);

        Path fine;
        fine.AddRect(2, 2, 8, 8);
        DrawOptions options;
        options.matrix = Matrix{bad, 0, 0, 1, 0, 0};
        FillPath(s, fine, FillRule::NonZero, red, options);
        options.matrix = Matrix{1e300, 0, 0, 1e300, 0, 0};  // finite, but overflows
        FillPath(s, fine, FillRule::NonZero, red, options);
        StrokePath(s, fine, {bad, LineCap::Round, LineJoin::Round, bad}, red, options);

        Gradient g;
        g.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
        g.matrix = Matrix{bad, 0, 0, 1, 0, 0};
        g.focalPoint = bad;
        g.shape = GradientShape::Focal;
        Paint gradient = Paint::GradientFill(g);
        Path tiny;
        tiny.AddRect(0, 0, 1, 1);
        FillPath(s, tiny, FillRule::NonZero, gradient);  // draws, with a defined colour
    }
    s.row(0)[0] = kBackground;
    EXPECT_TRUE(untouched(s));
}

TEST(Robustness, DegeneratePathsAreHarmless) {
    Surface s(16, 16);
    s.ClearPremultiplied(kBackground);
    const Paint red = Paint::Solid({255, 0, 0, 255});
    Path empty, onlyMove, backAndForth, flat;
    onlyMove.MoveTo(5, 5);
    backAndForth.MoveTo(2, 2);
    backAndForth.LineTo(12, 12);
    backAndForth.LineTo(2, 2);
    flat.MoveTo(1, 5);
    flat.QuadTo(5, 5, 12, 5);
    flat.Close();
    for (const Path* p : {&empty, &onlyMove, &backAndForth, &flat}) {
        FillPath(s, *p, FillRule::NonZero, red);
        FillPath(s, *p, FillRule::EvenOdd, red);
    }
    EXPECT_TRUE(untouched(s));
    Surface none(0, 0);
    Path rect;
    rect.AddRect(0, 0, 5, 5);
    FillPath(none, rect, FillRule::NonZero, red);
    StrokePath(none, rect, {}, red);
}

TEST(Robustness, ManyCoincidentEdgesKeepExactCoverage) {
    // Thousands of layers pile far more winding into one pixel than a 32-bit
    // cell holds; the count must still come out exact.
    for (int layers : {20000, 20001}) {
        Path stacked;
        for (int i = 0; i < layers; ++i) stacked.AddRect(2.25, 3, 4.5, 5);
        CoverageMask nonZero(12, 12), evenOdd(12, 12);
        FillMask(nonZero, stacked, FillRule::NonZero);
        FillMask(evenOdd, stacked, FillRule::EvenOdd);
        // Non-zero: the partly covered edge pixels are wound many times over.
        EXPECT_EQ(nonZero.at(2, 5), 255);
        EXPECT_EQ(nonZero.at(4, 5), 255);
        EXPECT_EQ(nonZero.at(1, 5), 0);
        EXPECT_EQ(nonZero.at(4, 8), 0);
        if (layers % 2 == 0) {
            EXPECT_EQ(CoveredArea(evenOdd), 0);
        } else {  // an odd count fills like a single layer
            EXPECT_NEAR(CoveredArea(evenOdd), 22.5, 0.05);
            EXPECT_NEAR(evenOdd.at(2, 5), 191, 1);
        }
    }
}

TEST(Robustness, SurfaceViewsNeverWriteOutsideTheirRows) {
    // 10 x 6 pixels in rows of 13, with guard pixels around.
    std::vector<std::uint32_t> memory(2 + 13 * 6 + 2, 0xDEADBEEFu);
    Surface view(memory.data() + 2, 10, 6, 13 * 4);
    view.Clear({0, 0, 0, 255});
    Path everything;
    everything.AddRect(-50, -50, 200, 200);
    FillPath(view, everything, FillRule::NonZero, Paint::Solid({255, 255, 255, 255}));
    StrokePath(view, everything, {30, LineCap::Square, LineJoin::Miter, 10}, Paint::Solid({9, 9, 9, 255}));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 13; ++x) {
            std::uint32_t v = memory[2 + y * 13 + x];
            if (x < 10)
                ASSERT_EQ(v, 0xFFFFFFFFu);
            else
                ASSERT_EQ(v, 0xDEADBEEFu);
        }
    }
    EXPECT_EQ(memory[0], 0xDEADBEEFu);
    EXPECT_EQ(memory[1], 0xDEADBEEFu);
    EXPECT_EQ(memory[memory.size() - 1], 0xDEADBEEFu);

    Surface tooNarrow(memory.data(), 10, 6, 8 * 4);  // rows cannot hold the width
    EXPECT_EQ(tooNarrow.width(), 0);
    FillPath(tooNarrow, everything, FillRule::NonZero, Paint::Solid({1, 2, 3, 255}));
}

}  // namespace
}  // namespace swf::raster
