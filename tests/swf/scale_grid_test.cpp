// Nine-slice mapping arithmetic: the bands of each axis against the widths
// the definition gives them, the cases that leave a clip scaled as a whole,
// and shapes mapped with their lines and fills.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "swf/model/geometry.h"
#include "swf/model/shape.h"
#include "swf/player/render/scale_grid.h"

namespace swf {
namespace {

// A 100 px (2000 twip) content with a 10 px (200 twip) band on every side.
constexpr Rect kContent{0, 2000, 0, 2000};
constexpr Rect kGrid{200, 1800, 200, 1800};
constexpr double kBand = 200;

TEST(ScaleGrid, OuterBandsKeepTheirSizeAndTheContentScalesAsTheMatrixSays) {
    const std::optional<ScaleGrid> grid = ScaleGrid::Make(kGrid, kContent, Matrix::Scale(3, 0.5));
    ASSERT_TRUE(grid);
    const GridAxis& x = grid->x();
    const GridAxis& y = grid->y();
    // Scaled by 3 afterwards, the outer bands must come out kBand wide: a third of it in the clip's space.
    EXPECT_DOUBLE_EQ(x.Map(0), 0);
    EXPECT_DOUBLE_EQ(x.Map(2000), 2000);
    EXPECT_DOUBLE_EQ(x.Map(200), kBand / 3);
    EXPECT_DOUBLE_EQ(x.Map(1800), 2000 - kBand / 3);
    EXPECT_DOUBLE_EQ(x.Map(100), 100.0 / 3);
    // The centre takes the rest, evenly.
    const double centre = 2000 - 2 * kBand / 3;
    EXPECT_DOUBLE_EQ(x.Map(1000), kBand / 3 + centre / 2);
    // Halved afterwards: twice as wide in the clip's space, the centre narrower.
    EXPECT_DOUBLE_EQ(y.Map(200), 2 * kBand);
    EXPECT_DOUBLE_EQ(y.Map(1800), 2000 - 2 * kBand);
    EXPECT_DOUBLE_EQ(y.Map(600), 2 * kBand + 400 * (2000 - 4 * kBand) / 1600);
    // Past the content, positions go on as the outer bands do.
    EXPECT_DOUBLE_EQ(x.Map(-90), -30);
    EXPECT_DOUBLE_EQ(x.Map(2090), 2030);
    // Unmap undoes Map everywhere.
    for (double v : {-300.0, 0.0, 57.0, 200.0, 999.0, 1800.0, 1950.0, 2400.0}) {
        EXPECT_NEAR(x.Unmap(x.Map(v)), v, 1e-9) << v;
        EXPECT_NEAR(y.Unmap(y.Map(v)), v, 1e-9) << v;
    }

    // Scaled to a tenth, the two bands (400 twips at full size) would need
    // 4000 of the clip's 2000: the centre vanishes and they share the box,
    // each at half its size.
    const std::optional<ScaleGrid> small = ScaleGrid::Make(kGrid, kContent, Matrix::Scale(0.1, 0.1));
    ASSERT_TRUE(small);
    EXPECT_DOUBLE_EQ(small->x().outer(), 2000 / (2 * kBand));
    EXPECT_DOUBLE_EQ(small->x().Map(200), 1000);
    EXPECT_DOUBLE_EQ(small->x().Map(1800), 1000);
    EXPECT_DOUBLE_EQ(small->x().Map(100) * 0.1, 100 * 0.5);
    EXPECT_DOUBLE_EQ(small->x().Unmap(1000), 200);

    // A flipped clip slices as the same scale the other way.
    const std::optional<ScaleGrid> flipped = ScaleGrid::Make(kGrid, kContent, Matrix::Scale(-3, 0.5));
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->Key(), grid->Key());
    EXPECT_NE(small->Key(), grid->Key());
}

TEST(ScaleGrid, TurnedUnscaledAndEmptyClipsScaleAsAWholeAndOddGridsStillMap) {
    // Rotated or skewed: players scale the clip as a whole.
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix{0, 2, -2, 0, 0, 0}));
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix{2, 0, 0.5, 2, 0, 0}));
    // Nothing to map: no scale, a vanished or broken one, no content.
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix::Translate(100, 100)));
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix::Scale(0, 2)));
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix::Scale(NAN, 2)));
    EXPECT_FALSE(ScaleGrid::Make(kGrid, kContent, Matrix::Scale(INFINITY, 2)));
    EXPECT_FALSE(ScaleGrid::Make(kGrid, Rect{}, Matrix::Scale(2, 2)));

    // A grid of no width: the two sides meet at x = 1000 and the centre
    // between them is a line stretched; positions in that gap go back to it.
    const auto line = ScaleGrid::Make({1000, 1000, 200, 1800}, kContent, Matrix::Scale(3, 3));
    ASSERT_TRUE(line);
    EXPECT_DOUBLE_EQ(line->x().Map(1000), 1000.0 / 3);
    EXPECT_DOUBLE_EQ(line->x().Map(1001), 2000 - 999.0 / 3);
    EXPECT_DOUBLE_EQ(line->x().Unmap(1000), 1000);
    EXPECT_DOUBLE_EQ(line->x().Map(200), kBand / 3);

    // A grid past the content is cut to it: here to its right and lower
    // sides, so the content is one band anchored at its left and top.
    const auto outside = ScaleGrid::Make({3000, 4000, 3000, 4000}, kContent, Matrix::Scale(3, 3));
    ASSERT_TRUE(outside);
    EXPECT_DOUBLE_EQ(outside->x().Map(0), 0);
    EXPECT_DOUBLE_EQ(outside->x().Map(1800), 600);
    EXPECT_DOUBLE_EQ(outside->x().Map(2000), 2000);
    EXPECT_TRUE(std::isfinite(outside->x().Unmap(1500)));

    // An inside-out grid is the same grid.
    const auto reversed = ScaleGrid::Make({1800, 200, 1800, 200}, kContent, Matrix::Scale(3, 0.5));
    ASSERT_TRUE(reversed);
    EXPECT_EQ(reversed->Key(), ScaleGrid::Make(kGrid, kContent, Matrix::Scale(3, 0.5))->Key());
}

Segment Line(float x0, float y0, float x1, float y1) { return {x0, y0, 0, 0, x1, y1, false}; }

TEST(ScaleGrid, SlicedShapesMapEveryPointAndKeepLineWidthsAndStretchFills) {
    const std::optional<ScaleGrid> grid = ScaleGrid::Make(kGrid, kContent, Matrix::Scale(3, 0.5));
    ASSERT_TRUE(grid);
    // Drawn at twice its size into the clip: its points lie at double their own.
    const Matrix toClip = Matrix::Scale(2, 2);
    Shape shape;
    ShapeLayer& layer = shape.layers.emplace_back();
    FillStyle gradient;
    gradient.kind = FillKind::LinearGradient;
    gradient.matrix = Matrix::Translate(500, 500);
    layer.fills.push_back(gradient);
    // A centre square (clip space 400..1600) and a curve from corner to corner.
    layer.fillEdges.push_back(
        {Line(200, 200, 800, 200), Line(800, 200, 800, 800), Line(800, 800, 200, 800), Line(200, 800, 200, 200)});
    LineStyle pen;
    pen.width = 60;
    layer.lines.push_back(pen);
    layer.lineContours.push_back({{Segment{0, 0, 500, 50, 1000, 1000, true}}});

    const Shape sliced = grid->Slice(shape, toClip);
    ASSERT_EQ(sliced.layers.size(), 1u);
    const ShapeLayer& out = sliced.layers[0];
    const Segment& top = out.fillEdges[0][0];
    EXPECT_FLOAT_EQ(top.x0, grid->x().Map(400));
    EXPECT_FLOAT_EQ(top.y0, grid->y().Map(400));
    EXPECT_FLOAT_EQ(top.x1, grid->x().Map(1600));
    const Segment& curve = out.lineContours[0][0][0];
    EXPECT_TRUE(curve.curved);
    EXPECT_FLOAT_EQ(curve.cx, grid->x().Map(1000));
    EXPECT_FLOAT_EQ(curve.cy, grid->y().Map(100));
    EXPECT_FLOAT_EQ(curve.x1, 2000);
    EXPECT_FLOAT_EQ(curve.y1, 2000);
    // Lines take the outer bands' scale: (1/3 across, 2 down) times the
    // shape's own 2, averaged as a matrix's mean scale is.
    EXPECT_EQ(out.lines[0].width, static_cast<int>(std::round(60 * std::sqrt((2.0 / 3) * (2 * 2)))));
    // The fill is drawn into the clip's space, stretched as the shape's box
    // (control points included: 0..2000 across, which maps onto itself, and
    // the same down) is.
    EXPECT_DOUBLE_EQ(out.fills[0].matrix.a, 2);
    EXPECT_DOUBLE_EQ(out.fills[0].matrix.tx, 1000);
    EXPECT_EQ(sliced.nonZeroWinding, shape.nonZeroWinding);

    // The centre square alone: its fill stretches as the centre band does.
    Shape centre;
    centre.layers.push_back(layer);
    centre.layers[0].lineContours[0].clear();
    const Shape centreSliced = grid->Slice(centre, toClip);
    const double stretch = (grid->x().Map(1600) - grid->x().Map(400)) / 1200;
    EXPECT_NEAR(centreSliced.layers[0].fills[0].matrix.a, 2 * stretch, 1e-9);
    EXPECT_NEAR(centreSliced.layers[0].fills[0].matrix.tx, grid->x().Map(400) + (1000 - 400) * stretch, 1e-9);
}

}  // namespace
}  // namespace swf
