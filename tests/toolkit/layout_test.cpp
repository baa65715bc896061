#include "toolkit/core/layout.h"

#include <gtest/gtest.h>

namespace toolkit {
namespace {

LayoutChild Child(Bounds stored, Align alignment = Align::alNone, SizeConstraints constraints = {}) {
    LayoutChild child;
    child.Stored = stored;
    child.Alignment = alignment;
    child.Constraints = constraints;
    return child;
}

// The player window's panels as stored at its design size.
struct PlayerWindow {
    // Window: TitlePanel, BackPanel.
    std::vector<LayoutChild> window{Child({0, 0, 956, 29}, Align::alTop),
                                    Child({0, 29, 956, 593}, Align::alClient, {300, 300})};
    // TitlePanel: TitleImage, Image3, Image4, Image5, TitleLabel, Panel1.
    std::vector<LayoutChild> titlePanel{Child({0, 0, 833, 29}, Align::alClient),
                                        Child({0, 0, 10, 29}),
                                        Child({940, 0, 16, 29}, Align::alRight),
                                        Child({5, 1, 61, 27}),
                                        Child({83, 9, 385, 16}),
                                        Child({833, 0, 107, 29}, Align::alRight)};
    // Panel1: Image2 and the three buttons.
    std::vector<LayoutChild> panel1{Child({0, 0, 107, 29}, Align::alClient), Child({32, 8, 16, 16}),
                                    Child({56, 8, 16, 16}), Child({80, 8, 16, 16})};
    // BackPanel: Image1 (the Flash control is placed by the window itself).
    std::vector<LayoutChild> backPanel{Child({344, 256, 105, 105})};

    struct Placed {
        std::vector<Bounds> window, titlePanel, panel1, backPanel;
    };

    // Lays the nested panels out, each in the size its parent gave it.
    Placed LayOut(int width, int height) const {
        Placed placed;
        placed.window = AlignChildren(width, height, window);
        placed.titlePanel = AlignChildren(placed.window[0].Width, placed.window[0].Height, titlePanel);
        placed.panel1 = AlignChildren(placed.titlePanel[5].Width, placed.titlePanel[5].Height, panel1);
        placed.backPanel = AlignChildren(placed.window[1].Width, placed.window[1].Height, backPanel);
        return placed;
    }
};

TEST(AlignChildren, PlayerWindowTableAtManySizes) {
    PlayerWindow player;
    const std::pair<int, int> sizes[] = {{956, 622}, {300, 329}, {1024, 700}, {640, 480}, {2000, 1200}, {301, 330}};
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        auto placed = player.LayOut(w, h);
        EXPECT_EQ(placed.window[0], (Bounds{0, 0, w, 29}));              // TitlePanel
        EXPECT_EQ(placed.window[1], (Bounds{0, 29, w, h - 29}));         // BackPanel
        EXPECT_EQ(placed.titlePanel[0], (Bounds{0, 0, w - 123, 29}));    // TitleImage
        EXPECT_EQ(placed.titlePanel[1], (Bounds{0, 0, 10, 29}));         // Image3 stays
        EXPECT_EQ(placed.titlePanel[2], (Bounds{w - 16, 0, 16, 29}));    // Image4
        EXPECT_EQ(placed.titlePanel[3], (Bounds{5, 1, 61, 27}));         // Image5 stays
        EXPECT_EQ(placed.titlePanel[4], (Bounds{83, 9, 385, 16}));       // TitleLabel stays
        EXPECT_EQ(placed.titlePanel[5], (Bounds{w - 123, 0, 107, 29}));  // Panel1
        EXPECT_EQ(placed.panel1[0], (Bounds{0, 0, 107, 29}));            // Image2
        EXPECT_EQ(placed.panel1[1], (Bounds{32, 8, 16, 16}));
        EXPECT_EQ(placed.panel1[2], (Bounds{56, 8, 16, 16}));
        EXPECT_EQ(placed.panel1[3], (Bounds{80, 8, 16, 16}));
        EXPECT_EQ(placed.backPanel[0], (Bounds{344, 256, 105, 105}));  // Image1 stays
    }

    // At the design size every aligned component has its stored bounds.
    auto design = player.LayOut(956, 622);
    EXPECT_EQ(design.window[0], player.window[0].Stored);
    EXPECT_EQ(design.window[1], player.window[1].Stored);
    EXPECT_EQ(design.titlePanel[0], player.titlePanel[0].Stored);
    EXPECT_EQ(design.titlePanel[2], player.titlePanel[2].Stored);
    EXPECT_EQ(design.titlePanel[5], player.titlePanel[5].Stored);
    EXPECT_EQ(design.panel1[0], player.panel1[0].Stored);

    // At the smallest size the button group spans 177 to 284.
    auto smallest = player.LayOut(300, 329);
    EXPECT_EQ(smallest.titlePanel[5].Left, 177);
    EXPECT_EQ(smallest.titlePanel[2].Left, 284);
}

TEST(AlignChildren, MinimumSizeWinsOverTooLittleSpace) {
    PlayerWindow player;
    // A window started smaller than the minimum: the content panel keeps its
    // 300 x 300 and reaches past the window's edges; the title bar still
    // spans the window.
    auto placed = player.LayOut(200, 100);
    EXPECT_EQ(placed.window[0], (Bounds{0, 0, 200, 29}));
    EXPECT_EQ(placed.window[1], (Bounds{0, 29, 300, 300}));
    // The title bar's stretched picture shrinks to nothing, never below.
    auto tiny = player.LayOut(100, 10);
    EXPECT_EQ(tiny.titlePanel[0], (Bounds{0, 0, 0, 29}));
    EXPECT_EQ(tiny.titlePanel[2], (Bounds{84, 0, 16, 29}));
    EXPECT_EQ(tiny.titlePanel[5], (Bounds{-23, 0, 107, 29}));

    // A right-aligned child held up by its minimum keeps its right edge.
    auto sides = AlignChildren(50, 40, {Child({0, 0, 10, 10}, Align::alRight, {80, 60})});
    EXPECT_EQ(sides[0], (Bounds{-30, 0, 80, 60}));

    // Negative client sizes count as empty.
    auto empty = AlignChildren(-10, -10, {Child({5, 5, 5, 5}, Align::alClient)});
    EXPECT_EQ(empty[0], (Bounds{0, 0, 0, 0}));
}

TEST(AlignChildren, OrderOfTheFiveAlignments) {
    // Children listed out of their placing order on purpose.
    std::vector<LayoutChild> children{
        Child({0, 0, 0, 0}, Align::alClient),
        Child({0, 0, 30, 0}, Align::alRight),  // stored further left: inner
        Child({0, 0, 0, 10}, Align::alBottom),
        Child({0, 50, 0, 20}, Align::alTop),    // stored lower: below the other
        Child({90, 0, 20, 0}, Align::alRight),  // stored further right: outermost
        Child({0, 0, 0, 5}, Align::alTop),
        Child({10, 0, 15, 0}, Align::alLeft),  // stored further right: inner
        Child({0, 0, 5, 0}, Align::alLeft),
        Child({0, 0, 0, 7}, Align::alBottom),  // stored higher: inner
        Child({7, 7, 7, 7}),                   // unaligned: untouched
    };
    auto placed = AlignChildren(200, 100, children);
    EXPECT_EQ(placed[5], (Bounds{0, 0, 200, 5}));     // top, first
    EXPECT_EQ(placed[3], (Bounds{0, 5, 200, 20}));    // top, second
    EXPECT_EQ(placed[2], (Bounds{0, 90, 200, 10}));   // bottom, outermost
    EXPECT_EQ(placed[8], (Bounds{0, 83, 200, 7}));    // bottom, inner
    EXPECT_EQ(placed[7], (Bounds{0, 25, 5, 58}));     // left, outermost
    EXPECT_EQ(placed[6], (Bounds{5, 25, 15, 58}));    // left, inner
    EXPECT_EQ(placed[4], (Bounds{180, 25, 20, 58}));  // right, outermost
    EXPECT_EQ(placed[1], (Bounds{150, 25, 30, 58}));  // right, inner
    EXPECT_EQ(placed[0], (Bounds{20, 25, 130, 58}));  // client, the rest
    EXPECT_EQ(placed[9], (Bounds{7, 7, 7, 7}));

    // Equal stored positions keep the list order.
    auto ties = AlignChildren(100, 100, {Child({0, 0, 0, 10}, Align::alTop), Child({0, 0, 0, 20}, Align::alTop)});
    EXPECT_EQ(ties[0], (Bounds{0, 0, 100, 10}));
    EXPECT_EQ(ties[1], (Bounds{0, 10, 100, 20}));
}

TEST(AlignChildren, InvisibleChildrenTakeNoSpace) {
    std::vector<LayoutChild> children{Child({0, 0, 50, 29}, Align::alTop), Child({1, 2, 3, 4}, Align::alClient)};
    children[0].Visible = false;
    auto placed = AlignChildren(300, 200, children);
    EXPECT_EQ(placed[0], (Bounds{0, 0, 50, 29}));  // keeps its stored bounds
    EXPECT_EQ(placed[1], (Bounds{0, 0, 300, 200}));
}

TEST(MinimumClientSize, AddsTheAlignedSiblingsToTheClientMinimum) {
    PlayerWindow player;
    EXPECT_EQ(MinimumClientSize(player.window), (ClientSize{300, 329}));
    // No constraints in the title bar: only the right-aligned widths count.
    EXPECT_EQ(MinimumClientSize(player.titlePanel), (ClientSize{123, 0}));

    std::vector<LayoutChild> mixed{
        Child({0, 0, 0, 20}, Align::alTop),
        Child({0, 0, 0, 10}, Align::alBottom, {0, 15}),  // held up to 15
        Child({0, 0, 40, 0}, Align::alLeft, {0, 120}),   // needs 120 between the bands
        Child({0, 0, 30, 0}, Align::alRight),
        Child({0, 0, 0, 0}, Align::alClient, {100, 50}),
        Child({0, 0, 999, 999}),  // unaligned: no effect
    };
    EXPECT_EQ(MinimumClientSize(mixed), (ClientSize{170, 155}));
    // At that size nothing is held beyond the space.
    auto placed = AlignChildren(170, 155, mixed);
    EXPECT_EQ(placed[4], (Bounds{40, 20, 100, 120}));

    // A top band that needs more width than the sides and client wins.
    mixed[0].Constraints.MinWidth = 500;
    EXPECT_EQ(MinimumClientSize(mixed).Width, 500);
    // Invisible children need nothing.
    for (auto& child : mixed) child.Visible = false;
    EXPECT_EQ(MinimumClientSize(mixed), (ClientSize{0, 0}));
}

}  // namespace
}  // namespace toolkit
