// The stage's place in the view for each scale mode and alignment.

#include <gtest/gtest.h>

#include <string>

#include "swf/player/render/stage_scale.h"

namespace swf {
namespace {

// Where a stage point lands, as "x,y" in pixels.
std::string Lands(const Matrix& m, Point p) {
    const Point q = m.Apply(p);
    return std::to_string(static_cast<int>(q.x)) + "," + std::to_string(static_cast<int>(q.y));
}

TEST(StageScale, EachModeAndAlignmentPlacesTheStageCorners) {
    const Rect stage{0, 4000, 0, 2000};  // 200 x 100 pixels
    const Point topLeft{0, 0}, bottomRight{4000, 2000};
    // showAll: scale 2 (the height limits), centred vertically in 400 x 400.
    Matrix m = StageMatrix(stage, 400, 400, ScaleMode::ShowAll, "");
    EXPECT_EQ(Lands(m, topLeft), "0,100");
    EXPECT_EQ(Lands(m, bottomRight), "400,300");
    EXPECT_EQ(Lands(StageMatrix(stage, 400, 400, ScaleMode::ShowAll, "t"), topLeft), "0,0");
    EXPECT_EQ(Lands(StageMatrix(stage, 400, 400, ScaleMode::ShowAll, "B"), bottomRight), "400,400");
    // noBorder: scale 4 fills the height, the width overflows equally on both sides.
    m = StageMatrix(stage, 400, 400, ScaleMode::NoBorder, "");
    EXPECT_EQ(Lands(m, topLeft), "-200,0");
    EXPECT_EQ(Lands(m, bottomRight), "600,400");
    EXPECT_EQ(Lands(StageMatrix(stage, 400, 400, ScaleMode::NoBorder, "L"), topLeft), "0,0");
    // exactFit: stretched to the corners.
    m = StageMatrix(stage, 400, 400, ScaleMode::ExactFit, "TL");
    EXPECT_EQ(Lands(m, topLeft), "0,0");
    EXPECT_EQ(Lands(m, bottomRight), "400,400");
    // noScale: 200 x 100 pixels whatever the view, centred or at the named edges.
    m = StageMatrix(stage, 400, 400, ScaleMode::NoScale, "");
    EXPECT_EQ(Lands(m, topLeft), "100,150");
    EXPECT_EQ(Lands(m, bottomRight), "300,250");
    EXPECT_EQ(Lands(StageMatrix(stage, 400, 400, ScaleMode::NoScale, "BR"), topLeft), "200,300");
    // A stage not at the origin: its own top left is what gets placed.
    EXPECT_EQ(Lands(StageMatrix(Rect{2000, 6000, 1000, 3000}, 400, 400, ScaleMode::NoScale, "LT"), {2000, 1000}),
              "0,0");
    // No usable stage or view: plain twips to pixels.
    EXPECT_EQ(Lands(StageMatrix(Rect{}, 400, 400, ScaleMode::ExactFit, ""), {200, 400}), "10,20");

    EXPECT_EQ(ParseScaleMode("NOSCALE"), ScaleMode::NoScale);
    EXPECT_EQ(ParseScaleMode("exactFit"), ScaleMode::ExactFit);
    EXPECT_EQ(ParseScaleMode("noborder"), ScaleMode::NoBorder);
    EXPECT_EQ(ParseScaleMode("zoom"), ScaleMode::ShowAll);
}

}  // namespace
}  // namespace swf
