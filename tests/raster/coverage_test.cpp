#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

using test::CoveredArea;
using test::MaskOf;
using test::polygon;
using test::SameMask;

TEST(Coverage, RectangleOnPixelBoundariesIsExact) {
    Surface surface(20, 20);
    surface.Clear({0, 0, 255, 255});
    Path rect;
    rect.AddRect(5, 5, 10, 7);
    FillPath(surface, rect, FillRule::NonZero, Paint::Solid({255, 0, 0, 255}));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 5 && x < 15 && y >= 5 && y < 12;
            ASSERT_EQ(surface.pixel(x, y), inside ? 0xFFFF0000u : 0xFF0000FFu) << x << "," << y;
        }
    }
}

TEST(Coverage, HalfPixelOffsetsGiveHalfEdgesAndQuarterCorners) {
    Path rect;
    rect.AddRect(5.5, 5.5, 5, 3);  // covers 5.5..10.5 x 5.5..8.5
    CoverageMask mask = MaskOf(rect, FillRule::NonZero, 16, 16);
    EXPECT_NEAR(mask.at(5, 5), 64, 1);
    EXPECT_NEAR(mask.at(10, 5), 64, 1);
    EXPECT_NEAR(mask.at(5, 8), 64, 1);
    EXPECT_NEAR(mask.at(10, 8), 64, 1);
    EXPECT_NEAR(mask.at(5, 7), 128, 1);
    EXPECT_NEAR(mask.at(10, 6), 128, 1);
    EXPECT_NEAR(mask.at(7, 5), 128, 1);
    EXPECT_NEAR(mask.at(8, 8), 128, 1);
    EXPECT_EQ(mask.at(7, 7), 255);
    EXPECT_EQ(mask.at(4, 7), 0);
    EXPECT_EQ(mask.at(11, 7), 0);
    EXPECT_EQ(mask.at(7, 4), 0);
    EXPECT_EQ(mask.at(7, 9), 0);
    EXPECT_NEAR(CoveredArea(mask), 15.0, 0.05);
}

TEST(Coverage, FillRulesOnNestedSquaresAndStar) {
    const Point centre{32, 32};
    Path same, opposite;
    same.AddRect(8, 8, 48, 48);
    same.AddRect(20, 20, 24, 24);  // same winding
    opposite.AddRect(8, 8, 48, 48);
    opposite.MoveTo(20, 20);  // opposite winding
    opposite.LineTo(20, 44);
    opposite.LineTo(44, 44);
    opposite.LineTo(44, 20);
    opposite.Close();

    EXPECT_EQ(MaskOf(same, FillRule::NonZero).at(32, 32), 255);
    EXPECT_EQ(MaskOf(same, FillRule::EvenOdd).at(32, 32), 0);
    EXPECT_EQ(MaskOf(opposite, FillRule::NonZero).at(32, 32), 0);
    EXPECT_EQ(MaskOf(opposite, FillRule::EvenOdd).at(32, 32), 0);
    for (const Path* p : {&same, &opposite}) {
        for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
            EXPECT_EQ(MaskOf(*p, rule).at(12, 32), 255);  // the band between the squares
            EXPECT_EQ(MaskOf(*p, rule).at(2, 2), 0);
        }
    }

    // A pentagram: its centre is wound twice, its tips once.
    Path star;
    for (int i = 0; i < 5; ++i) {
        double angle = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        Point p{centre.x + 28 * std::cos(angle), centre.y + 28 * std::sin(angle)};
        if (i == 0)
            star.MoveTo(p.x, p.y);
        else
            star.LineTo(p.x, p.y);
    }
    star.Close();
    CoverageMask nonZero = MaskOf(star, FillRule::NonZero);
    CoverageMask evenOdd = MaskOf(star, FillRule::EvenOdd);
    EXPECT_EQ(nonZero.at(32, 32), 255);
    EXPECT_EQ(evenOdd.at(32, 32), 0);
    EXPECT_EQ(nonZero.at(32, 10), 255);  // the top tip
    EXPECT_EQ(evenOdd.at(32, 10), 255);
}

TEST(Coverage, ScatteredEdgesFillLikeTheConsecutivePath) {
    // A curved outline with a hole, first as two consecutive loops...
    Path consecutive;
    consecutive.MoveTo(6, 6);
    consecutive.LineTo(50, 8);
    consecutive.QuadTo(60, 30, 48, 55);
    consecutive.LineTo(10, 50);
    consecutive.QuadTo(2, 30, 6, 6);
    consecutive.MoveTo(20, 20);
    consecutive.LineTo(20, 36);
    consecutive.LineTo(36, 36);
    consecutive.QuadTo(40, 28, 36, 20);
    consecutive.LineTo(20, 20);

    // ...then edge by edge, each starting with moveTo, in shuffled order (as
    // shapes arrive when their edges are grouped by fill style).
    struct Edge {
        Point from, control, to;
        bool curve;
    };
    std::vector<Edge> edges = {{{6, 6}, {}, {50, 8}, false},         {{50, 8}, {60, 30}, {48, 55}, true},
                               {{48, 55}, {}, {10, 50}, false},      {{10, 50}, {2, 30}, {6, 6}, true},
                               {{20, 20}, {}, {20, 36}, false},      {{20, 36}, {}, {36, 36}, false},
                               {{36, 36}, {40, 28}, {36, 20}, true}, {{36, 20}, {}, {20, 20}, false}};
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(edges.begin(), edges.end(), random);
        Path scattered;
        for (const Edge& e : edges) {
            scattered.MoveTo(e.from.x, e.from.y);
            if (e.curve)
                scattered.QuadTo(e.control.x, e.control.y, e.to.x, e.to.y);
            else
                scattered.LineTo(e.to.x, e.to.y);
        }
        for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
            EXPECT_TRUE(SameMask(MaskOf(scattered, rule), MaskOf(consecutive, rule)));
        }
    }
    EXPECT_EQ(MaskOf(consecutive, FillRule::NonZero).at(28, 28), 0);  // the hole
    EXPECT_EQ(MaskOf(consecutive, FillRule::NonZero).at(12, 28), 255);
}

TEST(Coverage, SubpathsAreClosedOnlyOnRequest) {
    Path open;  // two sides of a triangle; the third is missing
    open.MoveTo(10, 10);
    open.LineTo(40, 10);
    open.LineTo(10, 40);
    Path closed = polygon({{10, 10}, {40, 10}, {10, 40}});

    CoverageMask asGiven = MaskOf(open, FillRule::NonZero);
    DrawOptions closing;
    closing.closeSubpaths = true;
    CoverageMask implicitlyClosed = MaskOf(open, FillRule::NonZero, 64, 64, closing);
    EXPECT_TRUE(SameMask(implicitlyClosed, MaskOf(closed, FillRule::NonZero)));
    EXPECT_FALSE(SameMask(asGiven, implicitlyClosed));
    // Without the closing edge the winding of the slanted side runs on to the right.
    EXPECT_EQ(asGiven.at(60, 30), 255);
    EXPECT_EQ(implicitlyClosed.at(60, 30), 0);
}

double PolygonArea(std::initializer_list<Point> points) {
    double twice = 0;
    const Point* p = points.begin();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % points.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

TEST(Coverage, TriangleCoverageSumsToItsArea) {
    for (auto triangle : {std::initializer_list<Point>{{3.3, 2.7}, {60.1, 10.2}, {12.6, 55.9}},
                          std::initializer_list<Point>{{30.25, 1.5}, {62.7, 62.3}, {0.4, 40.9}},
                          std::initializer_list<Point>{{1, 1}, {63, 2}, {2, 3}}}) {
        Path path;
        bool first = true;
        for (Point p : triangle) {
            if (first)
                path.MoveTo(p.x, p.y);
            else
                path.LineTo(p.x, p.y);
            first = false;
        }
        path.Close();
        EXPECT_NEAR(CoveredArea(MaskOf(path, FillRule::NonZero)), PolygonArea(triangle), 0.5);
    }
}

TEST(Coverage, CircleOfQuadraticCurvesHasAreaPiRSquared) {
    // Chords stay within 0.1 px of the curve: a visible share of a tiny circle,
    // next to nothing of a large one.
    for (auto [r, tolerance] : {std::pair{4.0, 0.03}, {30.0, 0.003}, {200.0, 0.001}}) {
        int size = static_cast<int>(2 * r + 10);
        Path circle;
        circle.AddEllipse(size / 2.0, size / 2.0, r, r);
        double area = CoveredArea(MaskOf(circle, FillRule::NonZero, size, size));
        EXPECT_NEAR(area / (std::numbers::pi * r * r), 1.0, tolerance) << "radius " << r;
    }
    // Curves are flattened after the matrix: a small circle scaled up stays round.
    Path unit;
    unit.AddEllipse(0, 0, 1, 1);
    DrawOptions options;
    options.matrix = Matrix::Translate(105, 105) * Matrix::Scale(100, 100);
    double area = CoveredArea(MaskOf(unit, FillRule::NonZero, 210, 210, options));
    EXPECT_NEAR(area / (std::numbers::pi * 100 * 100), 1.0, 0.003);
}

TEST(Coverage, MatrixIsAppliedToEdges) {
    Path square;
    square.AddRect(0, 0, 20, 20);  // in twips, say
    DrawOptions options;
    options.matrix = Matrix::Translate(3, 4) * Matrix::Scale(0.5, 0.25);
    CoverageMask mask = MaskOf(square, FillRule::NonZero, 32, 32, options);
    EXPECT_NEAR(CoveredArea(mask), 50.0, 0.01);
    EXPECT_EQ(mask.at(3, 4), 255);
    EXPECT_EQ(mask.at(12, 8), 255);
    EXPECT_EQ(mask.at(13, 8), 0);
    EXPECT_EQ(mask.at(12, 9), 0);
}

}  // namespace
}  // namespace swf::raster
