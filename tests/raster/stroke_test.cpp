#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

using test::CoveredArea;

CoverageMask StrokeMaskOf(const Path& path, const StrokeStyle& style, int w = 64, int h = 64) {
    CoverageMask mask(w, h);
    StrokeMask(mask, path, style);
    return mask;
}

Path line(double x0, double y0, double x1, double y1) {
    Path p;
    p.MoveTo(x0, y0);
    p.LineTo(x1, y1);
    return p;
}

TEST(Stroke, HorizontalLineCoversItsRowsAndCapsExtendOrNot) {
    const Path horizontal = line(10, 20, 40, 20);
    StrokeStyle butt{2, LineCap::None, LineJoin::Round, 3};
    CoverageMask m = StrokeMaskOf(horizontal, butt);
    for (int x = 0; x < 64; ++x) {
        bool inside = x >= 10 && x < 40;
        ASSERT_EQ(m.at(x, 19), inside ? 255 : 0) << x;
        ASSERT_EQ(m.at(x, 20), inside ? 255 : 0) << x;
        ASSERT_EQ(m.at(x, 18), 0);
        ASSERT_EQ(m.at(x, 21), 0);
    }
    EXPECT_NEAR(CoveredArea(m), 60, 0.01);

    StrokeStyle square = butt;
    square.cap = LineCap::Square;
    CoverageMask s = StrokeMaskOf(horizontal, square);
    EXPECT_EQ(s.at(9, 19), 255);
    EXPECT_EQ(s.at(40, 20), 255);
    EXPECT_EQ(s.at(8, 19), 0);
    EXPECT_EQ(s.at(41, 20), 0);
    EXPECT_NEAR(CoveredArea(s), 64, 0.01);

    StrokeStyle round = butt;
    round.cap = LineCap::Round;
    CoverageMask r = StrokeMaskOf(horizontal, round);
    EXPECT_GT(r.at(9, 19), 150);  // a quarter disc of radius 1: ~0.785 of the pixel
    EXPECT_LT(r.at(9, 19), 250);
    EXPECT_EQ(r.at(8, 19), 0);
    // Two half discs, drawn as chords within 0.1 px of the arc (2 pi long).
    EXPECT_NEAR(CoveredArea(r), 60 + std::numbers::pi, 0.1 * 2 * std::numbers::pi);
}

TEST(Stroke, ThinLinesDrawOnePixelWide) {
    for (double width : {0.0, 0.3, 1.0}) {
        CoverageMask m = StrokeMaskOf(line(10, 20.5, 40, 20.5), {width, LineCap::None, LineJoin::Round, 3});
        EXPECT_EQ(m.at(25, 20), 255) << width;
        EXPECT_EQ(m.at(25, 19), 0) << width;
        EXPECT_EQ(m.at(25, 21), 0) << width;
        EXPECT_NEAR(CoveredArea(m), 30, 0.01) << width;
    }
}

TEST(Stroke, JoinsAddTheirCornerArea) {
    Path corner;
    corner.MoveTo(10, 10);
    corner.LineTo(50, 10);
    corner.LineTo(50, 50);
    // Two 40 x 10 bands overlapping in 5 x 5, plus what the join puts into the
    // outer 5 x 5 corner square.
    const double bands = 775;
    StrokeStyle style{10, LineCap::None, LineJoin::Round, 3};
    // The quarter disc, flattened within 0.1 px along its 7.9 px arc.
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(corner, style)), bands + std::numbers::pi * 25 / 4, 0.8);
    EXPECT_GT(CoveredArea(StrokeMaskOf(corner, style)), bands + 12.5);
    style.join = LineJoin::Miter;
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(corner, style)), bands + 25, 0.1);
    style.join = LineJoin::Bevel;
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(corner, style)), bands + 12.5, 0.1);
    // A right angle needs a miter limit of sqrt(2); below it the miter is bevelled.
    style.join = LineJoin::Miter;
    style.miterLimit = 1.4;
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(corner, style)), bands + 12.5, 0.1);
}

TEST(Stroke, ClosedOutlinesJoinAtTheirStartAndLeaveTheInsideEmpty) {
    StrokeStyle style{4, LineCap::Round, LineJoin::Miter, 3};
    Path explicitClose = test::polygon({{10, 10}, {40, 10}, {40, 40}, {10, 40}});
    Path endsAtStart;  // no close(), but back on its start point
    endsAtStart.MoveTo(10, 10);
    endsAtStart.LineTo(40, 10);
    endsAtStart.LineTo(40, 40);
    endsAtStart.LineTo(10, 40);
    endsAtStart.LineTo(10, 10);
    for (const Path* p : {&explicitClose, &endsAtStart}) {
        CoverageMask m = StrokeMaskOf(*p, style);
        EXPECT_NEAR(CoveredArea(m), 34 * 34 - 26 * 26, 0.1);
        EXPECT_EQ(m.at(25, 25), 0);
        EXPECT_EQ(m.at(8, 8), 255);  // the mitred corner at the start
    }
}

TEST(Stroke, OverlappingStrokesOfEitherDirectionStayFilled) {
    Path both;  // a clockwise and a counter-clockwise square crossing each other
    both.MoveTo(10, 10);
    both.LineTo(40, 10);
    both.LineTo(40, 40);
    both.LineTo(10, 40);
    both.Close();
    both.MoveTo(25, 25);
    both.LineTo(25, 55);
    both.LineTo(55, 55);
    both.LineTo(55, 25);
    both.Close();
    CoverageMask m = StrokeMaskOf(both, {4, LineCap::None, LineJoin::Miter, 3});
    EXPECT_EQ(m.at(40, 25), 255);  // where the two outlines cross
    EXPECT_EQ(m.at(25, 40), 255);
    EXPECT_EQ(m.at(32, 32), 0);

    // A line that turns back on itself keeps a full, round tip.
    Path hairpin;
    hairpin.MoveTo(10, 30);
    hairpin.LineTo(40, 30);
    hairpin.LineTo(10, 30);
    CoverageMask h = StrokeMaskOf(hairpin, {6, LineCap::None, LineJoin::Round, 3});
    EXPECT_EQ(h.at(41, 30), 255);
    EXPECT_EQ(h.at(25, 28), 255);
    EXPECT_EQ(h.at(25, 33), 0);
}

TEST(Stroke, CurvesAndDots) {
    Path circle;
    circle.AddEllipse(32, 32, 20, 20);
    // A ring between radii 18 and 22.
    CoverageMask ring = StrokeMaskOf(circle, {4, LineCap::Round, LineJoin::Round, 3});
    EXPECT_NEAR(CoveredArea(ring), std::numbers::pi * (22 * 22 - 18 * 18), 0.1 * 2 * std::numbers::pi * 22);
    EXPECT_EQ(ring.at(32, 32), 0);
    EXPECT_EQ(ring.at(52, 32), 255);

    Path point = line(20, 20, 20, 20);
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(point, {10, LineCap::Round, LineJoin::Round, 3})), std::numbers::pi * 25,
                0.1 * 2 * std::numbers::pi * 5);
    EXPECT_NEAR(CoveredArea(StrokeMaskOf(point, {10, LineCap::Square, LineJoin::Round, 3})), 100, 0.01);
    EXPECT_EQ(CoveredArea(StrokeMaskOf(point, {10, LineCap::None, LineJoin::Round, 3})), 0);
}

TEST(Stroke, StrokePathPaintsTheSurface) {
    Surface s(32, 32);
    s.Clear({255, 255, 255, 255});
    StrokePath(s, line(4, 8, 28, 8), {2, LineCap::None, LineJoin::Round, 3}, Paint::Solid({0, 0, 0, 255}));
    EXPECT_EQ(s.pixel(10, 7), 0xFF000000u);
    EXPECT_EQ(s.pixel(10, 8), 0xFF000000u);
    EXPECT_EQ(s.pixel(10, 9), 0xFFFFFFFFu);
    EXPECT_EQ(s.pixel(2, 7), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace swf::raster
