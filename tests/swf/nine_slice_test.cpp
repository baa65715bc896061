// Scaling grids drawn: a panel with a border, scaled with and without its
// DefineScalingGrid, turned, with odd grids, through scale9Grid set by
// script, and in partial redraws.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie.h"
#include "swf/writer/records.h"
#include "swf/writer/script_expressions.h"
#include "swf/writer/shape.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;
using namespace w::script;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kRed = Opaque(255, 0, 0);
constexpr std::uint32_t kBlue = Opaque(0, 0, 255);
constexpr std::uint32_t kWhite = Opaque(255, 255, 255);

// The panel: a 100 px square with a 10 px red border around a blue centre;
// its grid's centre is the blue square.
constexpr double kSide = 100, kBorder = 10;
constexpr w::Rect kPanelGrid{200, 1800, 200, 1800};
enum : std::uint16_t { kFrame = 1, kRing, kPanel, kPlain, kRingClip };

struct Instance {
    const char* name;
    w::Matrix matrix;
};

w::Matrix Scaled(double sx, double sy, double x, double y) {
    return w::Matrix::Transform(sx, sy, 0, static_cast<std::int32_t>(x * 20), static_cast<std::int32_t>(y * 20));
}

std::vector<std::uint8_t> ScalingGridBody(std::uint16_t id, const w::Rect& grid) {
    w::BitWriter b;
    b.U16(id);
    w::WriteRect(b, grid);
    return b.Take();
}

// A sprite showing one shape at its origin.
void DefineHolder(w::TagStream& t, std::uint16_t id, std::uint16_t shape) {
    w::TagStream inner;
    w::PlaceObject part;
    part.characterId = shape;
    inner.PlaceObject2(part);
    inner.ShowFrame();
    inner.End();
    t.DefineSprite(id, inner);
}

// A 400 x 400 px stage on white: the panel sprite (with `grid`, if any),
// the same sprite without a grid (kPlain), and a red ring (kRingClip, the
// panel's border with a hole for its centre, the same grid) to place; then
// the instances and, per frame, the scripts. `earlierGridTags` come before
// the grids' own tags.
std::vector<std::uint8_t> PanelMovie(std::optional<w::Rect> grid, const std::vector<Instance>& instances,
                                     const std::vector<w::ActionAssembler>& frames = {},
                                     const std::vector<std::vector<std::uint8_t>>& earlierGridTags = {}) {
    w::TagStream t;
    t.SetBackgroundColor({255, 255, 255});
    w::ShapeBuilder frame;
    frame.Rectangle({0, 2000, 0, 2000}, frame.AddFill(w::FillStyle::Solid({255, 0, 0})));
    frame.Rectangle({200, 1800, 200, 1800}, frame.AddFill(w::FillStyle::Solid({0, 0, 255})));
    t.Add(w::TagCode::DefineShape3, frame.DefineShapeBody(kFrame, 3));
    w::ShapeBuilder ring;
    const std::uint16_t red = ring.AddFill(w::FillStyle::Solid({255, 0, 0}));
    ring.Rectangle({0, 2000, 0, 2000}, red);
    ring.Rectangle({200, 1800, 200, 1800}, red);
    t.Add(w::TagCode::DefineShape3, ring.DefineShapeBody(kRing, 3));
    DefineHolder(t, kPanel, kFrame);
    DefineHolder(t, kPlain, kFrame);
    DefineHolder(t, kRingClip, kRing);
    for (const auto& body : earlierGridTags) t.Add(static_cast<w::TagCode>(78), body);
    if (grid) {
        t.Add(static_cast<w::TagCode>(78), ScalingGridBody(kPanel, *grid));
        t.Add(static_cast<w::TagCode>(78), ScalingGridBody(kRingClip, *grid));
    }
    std::uint16_t depth = 1;
    for (const Instance& instance : instances) {
        w::PlaceObject p;
        p.depth = depth++;
        const std::string name = instance.name;
        p.characterId = name == "plain" ? kPlain : name == "ring" ? kRingClip : kPanel;
        p.hasMatrix = true;
        p.matrix = instance.matrix;
        p.name = name;
        t.PlaceObject2(p);
    }
    for (std::size_t i = 0; i < std::max<std::size_t>(frames.size(), 1); ++i) {
        if (i < frames.size()) t.DoAction(frames[i].Finish());
        t.ShowFrame();
    }
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 8000, 0, 8000};
    return w::BuildMovie(header, t);
}

raster::Surface Drawn(Player& player) {
    raster::Surface s(400, 400);
    player.Render(s);
    return s;
}

raster::Surface Drawn(const std::vector<std::uint8_t>& movie) {
    Player player;
    EXPECT_TRUE(player.Load(movie)) << player.LoadError();
    EXPECT_TRUE(player.Warnings().empty()) << player.Warnings().front();
    return Drawn(player);
}

// The panel drawn at (x, y) px, `width` x `height` px, with borders `bx`
// (left and right) and `by` (top and bottom) px wide: pixels two inside and
// one outside each border's inner side, and just outside the panel.
void ExpectPanel(const raster::Surface& s, double x, double y, double width, double height, double bx, double by) {
    const auto at = [&](double px, double py) { return s.pixel(static_cast<int>(px), static_cast<int>(py)); };
    const double midX = x + width / 2, midY = y + height / 2;
    EXPECT_EQ(at(x + bx - 2, midY), kRed) << "left border";
    EXPECT_EQ(at(x + bx + 1, midY), kBlue) << "inside the left border";
    EXPECT_EQ(at(x + width - bx + 1, midY), kRed) << "right border";
    EXPECT_EQ(at(x + width - bx - 2, midY), kBlue) << "inside the right border";
    EXPECT_EQ(at(midX, y + by - 2), kRed) << "top border";
    EXPECT_EQ(at(midX, y + by + 1), kBlue) << "below the top border";
    EXPECT_EQ(at(midX, y + height - by + 1), kRed) << "bottom border";
    EXPECT_EQ(at(midX, y + height - by - 2), kBlue) << "above the bottom border";
    EXPECT_EQ(at(x + bx - 2, y + by - 2), kRed) << "corner";
    EXPECT_EQ(at(x - 2, midY), kWhite) << "left of the panel";
    EXPECT_EQ(at(x + width + 1, midY), kWhite) << "right of the panel";
    EXPECT_EQ(at(midX, y - 2), kWhite) << "above the panel";
    EXPECT_EQ(at(midX, y + height + 1), kWhite) << "below the panel";
}

TEST(NineSlice, GridKeepsTheBorderWhileTheCentreStretches) {
    // Three wide and half high at (20, 20); twice the size at (20, 100); and
    // turned a quarter, 2 by 0.5, its origin at (390, 100): it lies over
    // x 340..390, y 100..300.
    const std::vector<Instance> instances = {
        {"wide", Scaled(3, 0.5, 20, 20)},
        {"big", Scaled(2, 2, 20, 100)},
        {"turned", w::Matrix::Transform(2, 0.5, std::acos(0.0), 7800, 2000)},
    };
    const raster::Surface sliced = Drawn(PanelMovie(kPanelGrid, instances));
    const raster::Surface plain = Drawn(PanelMovie(std::nullopt, instances));
    {
        SCOPED_TRACE("with the grid");
        // The box scales as the matrix says; the border keeps its 10 px.
        ExpectPanel(sliced, 20, 20, kSide * 3, kSide * 0.5, kBorder, kBorder);
        ExpectPanel(sliced, 20, 100, kSide * 2, kSide * 2, kBorder, kBorder);
    }
    {
        SCOPED_TRACE("without the grid");
        ExpectPanel(plain, 20, 20, kSide * 3, kSide * 0.5, kBorder * 3, kBorder * 0.5);
        ExpectPanel(plain, 20, 100, kSide * 2, kSide * 2, kBorder * 2, kBorder * 2);
    }
    // Turned, the grid is left aside: the same pixels as without it.
    int differing = 0, red = 0;
    for (int y = 90; y < 310; ++y) {
        for (int x = 330; x < 400; ++x) {
            differing += sliced.pixel(x, y) != plain.pixel(x, y);
            red += sliced.pixel(x, y) == kRed;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(red, 2 * 200 * 4) << "the turned panel's scaled border";
}

TEST(NineSlice, OddGridsDrawAndKeepTheBox) {
    const std::vector<Instance> instances = {{"wide", Scaled(3, 0.5, 20, 20)}, {"big", Scaled(2, 2, 20, 100)}};
    // No width: a vertical line at the middle. The blue square's sides lie in
    // the outer bands (left of it and right of it), so they keep 10 px.
    const raster::Surface line = Drawn(PanelMovie(w::Rect{1000, 1000, 200, 1800}, instances));
    ExpectPanel(line, 20, 20, kSide * 3, kSide * 0.5, kBorder, kBorder);
    ExpectPanel(line, 20, 100, kSide * 2, kSide * 2, kBorder, kBorder);

    // Past the content, and inside out: drawn within the box the matrix gives.
    for (const w::Rect grid : {w::Rect{3000, 4000, 3000, 4000}, w::Rect{1800, 200, 1800, 200}}) {
        const raster::Surface s = Drawn(PanelMovie(grid, instances));
        for (const auto& [x, y, width, height] : {std::tuple{20.0, 20.0, 300.0, 50.0}, {20.0, 100.0, 200.0, 200.0}}) {
            EXPECT_EQ(s.pixel(static_cast<int>(x) + 1, static_cast<int>(y) + 1), kRed);
            EXPECT_EQ(s.pixel(static_cast<int>(x + width) - 2, static_cast<int>(y + height) - 2), kRed);
            EXPECT_EQ(s.pixel(static_cast<int>(x + width) + 1, static_cast<int>(y + height / 2)), kWhite);
            EXPECT_EQ(s.pixel(static_cast<int>(x + width / 2), static_cast<int>(y + height) + 1), kWhite);
        }
    }
}

TEST(NineSlice, GridTagsForOtherCharactersOrCutShortAreSkippedAndTheFirstGridStands) {
    const std::vector<Instance> instances = {{"wide", Scaled(3, 0.5, 20, 20)}};
    // Naming a shape, cut short in its rectangle, then the panel's own grid
    // after an earlier one of no size (which stands).
    const std::vector<std::uint8_t> cut = {kPanel, 0, 0x78};
    Player player;
    ASSERT_TRUE(player.Load(PanelMovie(std::nullopt, instances, {},
                                       {ScalingGridBody(kFrame, kPanelGrid), cut, ScalingGridBody(kPanel, kPanelGrid),
                                        ScalingGridBody(kPanel, {0, 0, 0, 0})})));
    ASSERT_EQ(player.Warnings().size(), 2u);
    for (const std::string& warning : player.Warnings()) EXPECT_EQ(warning.rfind("tag 78 skipped: ", 0), 0u) << warning;
    ExpectPanel(Drawn(player), 20, 20, kSide * 3, kSide * 0.5, kBorder, kBorder);
}

Expr Rectangle(double x, double y, double width, double height) {
    return NewM(M(V("flash"), "geom"), "Rectangle", {N(x), N(y), N(width), N(height)});
}

TEST(NineSlice, ScriptsReadAndSetTheGridAndHitTestsFollowIt) {
    // The panel (grid from its definition) three wide, half high at (20, 20);
    // the plain panel twice the size at (20, 100); the ring 1.5 times at (240, 100).
    w::ActionAssembler a;
    Trace(a, M(V("wide"), "scale9Grid"));
    Trace(a, M(V("plain"), "scale9Grid"));
    Trace(a, M(V("wide"), "_width"));
    Trace(a, M(V("wide"), "_height"));
    Local(a, "b", CallM(V("wide"), "getBounds", {V("_root")}));
    Trace(a, M(V("b"), "xMax"));
    // 12.5 px into the ring: inside its 10 px border scaled by 1.5 (15 px),
    // past the 10 px border the grid keeps.
    Trace(a, CallM(V("ring"), "hitTest", {N(252.5), N(175), B(true)}));
    Trace(a, CallM(V("ring"), "hitTest", {N(245), N(175), B(true)}));
    SetM(a, V("ring"), "scale9Grid", Undef());
    Trace(a, CallM(V("ring"), "hitTest", {N(252.5), N(175), B(true)}));
    SetM(a, V("plain"), "scale9Grid", Rectangle(10, 10, 80, 80));
    SetM(a, V("wide"), "scale9Grid", Null());
    Trace(a, M(V("wide"), "scale9Grid"));
    Trace(a, M(V("plain"), "scale9Grid"));
    a.Action(w::ActionCode::Stop);
    std::vector<w::ActionAssembler> frames;
    frames.push_back(std::move(a));

    Player player;
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(PanelMovie(
        kPanelGrid,
        {{"wide", Scaled(3, 0.5, 20, 20)}, {"plain", Scaled(2, 2, 20, 100)}, {"ring", Scaled(1.5, 1.5, 240, 100)}},
        frames)))
        << player.LoadError();
    // The grid in the clip's pixels; the bounds are the whole box scaled.
    EXPECT_EQ(traces, (std::vector<std::string>{"(x=10, y=10, w=80, h=80)", "undefined", "300", "50", "320", "false",
                                                "true", "true", "undefined", "(x=10, y=10, w=80, h=80)"}));
    // The grid moved from one panel to the other.
    const raster::Surface s = Drawn(player);
    ExpectPanel(s, 20, 20, kSide * 3, kSide * 0.5, kBorder * 3, kBorder * 0.5);
    ExpectPanel(s, 20, 100, kSide * 2, kSide * 2, kBorder, kBorder);
}

TEST(NineSlice, PartialRedrawsFollowTheGrid) {
    // Frame by frame: the grid removed, another set, the clip scaled anew.
    std::vector<w::ActionAssembler> frames(5);
    SetM(frames[1], V("wide"), "scale9Grid", Null());
    SetM(frames[2], V("wide"), "scale9Grid", Rectangle(30, 20, 40, 60));
    SetM(frames[3], V("wide"), "_xscale", N(250));
    frames[4].Action(w::ActionCode::Stop);
    Player player;
    ASSERT_TRUE(player.Load(PanelMovie(kPanelGrid, {{"wide", Scaled(3, 0.5, 20, 20)}}, frames))) << player.LoadError();
    raster::Surface partial(400, 400);
    player.RenderChanges(partial);
    raster::Surface previous = Drawn(player);
    ASSERT_EQ(test::DifferentPixels(partial, previous), 0);
    for (const char* step : {"removed", "another grid", "scaled"}) {
        SCOPED_TRACE(step);
        player.AdvanceFrame();
        test::ExpectPartialRedrawMatchesWhole(player, partial, previous);
    }
}

}  // namespace
}  // namespace swf
