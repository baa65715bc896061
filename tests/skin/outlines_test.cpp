// The skin's figures as the engine's rasterizer draws them, held to the plane
// geometry they describe, and the canvas's placement, gradients and masks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "tests/skin/rgb_printer.h"
#include "tools/skingen/canvas.h"
#include "tools/skingen/outlines.h"

namespace skin {
namespace {

using Inside = std::function<bool(double x, double y)>;

// Each pixel that the geometric figure clearly covers (at least 65 % of a
// 16 × 16 grid of points) must come out mostly inside, each it clearly misses
// (at most 35 %) outside. Returns how many pixels were clear either way.
int ExpectMatchesGeometry(const Outline& figure, const Inside& inside, int side, const std::string& name) {
    const BitImage drawn = MostlyInside(figure, side, side);
    int checked = 0;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            int hits = 0;
            for (int i = 0; i < 16; ++i) {
                for (int j = 0; j < 16; ++j) hits += inside(column + (j + 0.5) / 16, row + (i + 0.5) / 16);
            }
            if (hits >= 0.65 * 256 || hits <= 0.35 * 256) {
                ++checked;
                EXPECT_EQ(drawn.at(row, column), hits >= 128) << name << " at row " << row << ", column " << column;
            }
        }
    }
    return checked;
}

double DistanceToSegment(double x, double y, Point a, Point b) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double t = std::clamp(((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    return std::hypot(x - (a.x + t * ex), y - (a.y + t * ey));
}

TEST(Outlines, FiguresCoverWhatTheirGeometrySays) {
    constexpr int kSide = 24;
    EXPECT_GT(
        ExpectMatchesGeometry(
            Disc(12, 11, 7.5), [](double x, double y) { return std::hypot(x - 12, y - 11) < 7.5; }, kSide, "disc"),
        400);
    EXPECT_GT(ExpectMatchesGeometry(
                  Frame(2, 3, 20, 21, 3),
                  [](double x, double y) {
                      const bool outer = x >= 2 && x < 20 && y >= 3 && y < 21;
                      const bool inner = x >= 5 && x < 17 && y >= 6 && y < 18;
                      return outer && !inner;
                  },
                  kSide, "frame"),
              500);
    const Point from{3, 4}, to{19, 15};
    EXPECT_GT(ExpectMatchesGeometry(
                  Stroke(from, to, 2.2), [&](double x, double y) { return DistanceToSegment(x, y, from, to) <= 2.2; },
                  kSide, "stroke"),
              450);
    EXPECT_GT(ExpectMatchesGeometry(
                  RoundedRectangle(1, 2, 23, 22, 7),
                  [](double x, double y) {
                      const double cx = std::clamp(x, 8.0, 16.0), cy = std::clamp(y, 9.0, 15.0);
                      return x >= 1 && x < 23 && y >= 2 && y < 22 && std::hypot(x - cx, y - cy) < 7;
                  },
                  kSide, "rounded rectangle"),
              500);
    // Clockwise on screen from the positive x axis: 0 to 300 degrees leaves a
    // wedge open above the right-hand side.
    EXPECT_GT(ExpectMatchesGeometry(
                  RingSector({12, 12}, 4, 10, 0, 300),
                  [](double x, double y) {
                      const double r = std::hypot(x - 12, y - 12);
                      double degrees = std::atan2(y - 12, x - 12) * 180 / std::numbers::pi;
                      if (degrees < 0) degrees += 360;
                      return r >= 4 && r <= 10 && degrees <= 300;
                  },
                  kSide, "ring sector"),
              450);
}

TEST(Outlines, AppendedFiguresUniteWhereTheyOverlap) {
    // Figures of opposite turning would cancel where they overlap; the union
    // must cover the overlap as well as both figures.
    Outline both = Rectangle(2, 2, 14, 14);
    Append(both, Stroke({6, 6}, {20, 20}, 2.5));
    Append(both, RingSector({12, 12}, 3, 6, 90, 270));
    const int checked = ExpectMatchesGeometry(
        both,
        [](double x, double y) {
            const double r = std::hypot(x - 12, y - 12);
            return (x >= 2 && x < 14 && y >= 2 && y < 14) || DistanceToSegment(x, y, {6, 6}, {20, 20}) <= 2.5 ||
                   (r >= 3 && r <= 6 && x <= 12);
        },
        24, "union");
    EXPECT_GT(checked, 450);
}

TEST(Canvas, PlacesFiguresAndShadesGradientsDownThePicture) {
    static constexpr Rgb kTop = HexRgb(0x102030), kBottom = HexRgb(0xF0E0D0), kInk = HexRgb(0x336699);
    Canvas canvas(16, 16, [](int row) { return row < 8 ? kTop : kBottom; });
    // Twice as large, moved to (3, 1): pixels 5 to 8 across, 3 and 4 down.
    canvas.Fill(Rectangle(1, 1, 3, 2), kInk, Placed(2, 3, 1));
    RgbImage image = canvas.image();
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) {
            const bool ink = column >= 5 && column < 9 && row >= 3 && row < 5;
            EXPECT_EQ(image.at(row, column), ink ? kInk : (row < 8 ? kTop : kBottom)) << row << ", " << column;
        }
    }

    // Black at y = 4 to white at y = 12, the middle row halfway, the ends held
    // beyond; drawn only where the clip covers (the right half).
    const Outline everything = Rectangle(0, 0, 16, 16);
    const swf::raster::CoverageMask rightHalf = canvas.Coverage(Rectangle(8, 0, 16, 16));
    canvas.Fill(everything, VerticalGradient(4, 12, {HexRgb(0x000000), HexRgb(0xFFFFFF)}), rightHalf);
    image = canvas.image();
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(image.at(row, 3), row < 8 ? kTop : kBottom) << row;
        const double expected = std::clamp((row + 0.5 - 4) / 8, 0.0, 1.0) * 255;
        EXPECT_NEAR(image.at(row, 12).r, expected, 3) << row;
        EXPECT_EQ(image.at(row, 12).r, image.at(row, 12).b) << row;
    }
}

TEST(Canvas, MixMovesTowardsTheSecondColourInSteps) {
    EXPECT_EQ(Mix(HexRgb(0x000000), HexRgb(0xFFFFFF), 0), HexRgb(0x000000));
    EXPECT_EQ(Mix(HexRgb(0x000000), HexRgb(0xFFFFFF), 256), HexRgb(0xFFFFFF));
    EXPECT_EQ(Mix(HexRgb(0x000000), HexRgb(0xFFFFFF), 128), HexRgb(0x808080));  // 255 * 128 / 256 = 127.5, rounded up
    EXPECT_EQ(Mix(HexRgb(0xFF0000), HexRgb(0x00FF00), 64), HexRgb(0xBF4000));   // 255 - 63.75 and 63.75, rounded
}

}  // namespace
}  // namespace skin
