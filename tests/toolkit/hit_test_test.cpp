#include "toolkit/core/hit_test.h"

#include <gtest/gtest.h>

namespace toolkit {
namespace {

TEST(HitTest, TopmostPaintedChildTakesThePointer) {
    // The title bar's pictures in painting order: strip, left cap, right cap,
    // logo, label (the right cap at the design width).
    std::vector<PaintedChild> titleBar{
        {{0, 0, 833, 29}},   // TitleImage
        {{0, 0, 10, 29}},    // Image3
        {{940, 0, 16, 29}},  // Image4
        {{5, 1, 61, 27}},    // Image5
        {{83, 9, 385, 16}},  // TitleLabel
    };
    EXPECT_EQ(HitTest(titleBar, 2, 0), 1u);     // the cap, where the logo does not reach
    EXPECT_EQ(HitTest(titleBar, 6, 5), 3u);     // the logo lies over the cap and strip
    EXPECT_EQ(HitTest(titleBar, 100, 10), 4u);  // the label lies over the strip
    EXPECT_EQ(HitTest(titleBar, 100, 3), 0u);   // strip above the label
    EXPECT_EQ(HitTest(titleBar, 945, 3), 2u);
    EXPECT_EQ(HitTest(titleBar, 900, 3), std::nullopt);  // the panel itself

    // Edges are half-open.
    EXPECT_EQ(HitTest(titleBar, 83, 9), 4u);
    EXPECT_EQ(HitTest(titleBar, 468, 10), 0u);
    EXPECT_EQ(HitTest(titleBar, 100, 25), 0u);
    EXPECT_EQ(HitTest(titleBar, 833, 5), std::nullopt);
    EXPECT_EQ(HitTest(titleBar, -1, 5), std::nullopt);

    // Hidden or disabled children let the pointer through to the one below.
    titleBar[4].Visible = false;
    EXPECT_EQ(HitTest(titleBar, 100, 10), 0u);
    titleBar[3].Enabled = false;
    EXPECT_EQ(HitTest(titleBar, 6, 5), 1u);

    EXPECT_EQ(HitTest({}, 0, 0), std::nullopt);
    // Areas reaching the end of the int range do not overflow.
    EXPECT_EQ(HitTest({{{2147483000, 0, 2147483000, 10}}}, 2147483600, 5), 0u);
}

}  // namespace
}  // namespace toolkit
