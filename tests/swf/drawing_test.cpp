// Shapes drawn by scripts (beginFill, lineTo, curveTo, gradients, lines): the
// pixels the player renders, checked against the geometry the script drew,
// and the drawn shape counting for hit tests and sizes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "swf/actions/vm.h"
#include "swf/io/movie_parser.h"
#include "swf/player/display/drawn_shape.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/raster/surface.h"
#include "tests/swf/scripted_stage.h"
#include "swf/writer/action_assembler.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using scripted::TraceName;
using test::Bytes;
using test::Place;
using writer::ActionAssembler;
using writer::ActionCode;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kBackground = Opaque(10, 20, 30);

// A value pushed as a number or, when a string, as a string.
struct Arg {
    Arg(double n) : number(n) {}
    Arg(int n) : number(n) {}
    Arg(const char* s) : text(s), isText(true) {}
    double number = 0;
    std::string text;
    bool isText = false;
};

void Push(ActionAssembler& a, const Arg& v) {
    if (v.isText)
        a.PushString(v.text);
    else
        a.PushNumber(v.number);
}

// <object>.<method>(args...), result dropped.
void Call(ActionAssembler& a, const std::string& object, const std::string& method, const std::vector<Arg>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) Push(a, *it);
    a.PushNumber(static_cast<double>(args.size()));
    a.PushString(object).Action(ActionCode::GetVariable).PushString(method).Action(ActionCode::CallMethod);
    a.Action(ActionCode::Pop);
}

// Pushes [values...] as an array.
void PushArray(ActionAssembler& a, const std::vector<double>& values) {
    for (auto it = values.rbegin(); it != values.rend(); ++it) a.PushNumber(*it);
    a.PushNumber(static_cast<double>(values.size())).Action(ActionCode::InitArray);
}

// Stage 200 x 100 px rendered at 200 x 100: one stage pixel per surface pixel.
// A 20 x 20 px blue square at (40, 40) on depth 1 of the root; the script runs in frame 1.
Bytes DrawingMovie(const ActionAssembler& script) {
    Place square;
    square.depth = 1;
    square.character = 1;
    return test::Movie(
        {test::SetBackground(10, 20, 30), test::Tag(32, test::RectangleShape(1, 800, 800, 1200, 1200, 0, 0, 255)),
         test::PlaceObject2(square), test::DoAction(script.Finish()), test::ShowFrame()},
        4000, 2000);
}

struct Rendered {
    raster::Surface surface{200, 100};
    std::uint32_t At(int x, int y) const { return surface.pixel(x, y); }
};

void Render(const ActionAssembler& script, Rendered& out) {
    Player player;
    ASSERT_TRUE(player.Load(DrawingMovie(script))) << player.LoadError();
    player.Render(out.surface);
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance, const std::string& what) {
    for (int shift : {0, 8, 16, 24}) {
        const int got = static_cast<int>((actual >> shift) & 0xff);
        const int want = static_cast<int>((expected >> shift) & 0xff);
        EXPECT_LE(std::abs(got - want), tolerance) << what << std::hex << ": got " << actual << " want " << expected;
    }
}

TEST(Drawing, FilledPathsAreDrawnBelowChildrenAndEndFillClosesThem) {
    ActionAssembler a;
    // Red rectangle 20..80 x 10..60 with its last side left to endFill; the
    // blue square (a child) overlaps it and stays on top.
    Call(a, "_root", "beginFill", {0xFF0000, 100});
    Call(a, "_root", "moveTo", {20, 10});
    Call(a, "_root", "lineTo", {80, 10});
    Call(a, "_root", "lineTo", {80, 60});
    Call(a, "_root", "lineTo", {20, 60});
    Call(a, "_root", "endFill", {});
    // A half-transparent green triangle (100,90) (160,90) (160,30): right angle at (160, 90).
    Call(a, "_root", "beginFill", {0x00FF00, 50});
    Call(a, "_root", "moveTo", {100, 90});
    Call(a, "_root", "lineTo", {160, 90});
    Call(a, "_root", "lineTo", {160, 30});
    Call(a, "_root", "endFill", {});
    Rendered r;
    Render(a, r);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool blue = x >= 40 && x < 60 && y >= 40 && y < 60;
            const bool red = x >= 20 && x < 80 && y >= 10 && y < 60;
            const std::uint32_t want = blue ? Opaque(0, 0, 255) : red ? Opaque(255, 0, 0) : kBackground;
            if (r.At(x, y) != want) {
                ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " is " << r.At(x, y) << " not " << want;
                return;
            }
        }
    }
    // Triangle: below the hypotenuse y = 90 - (x - 100), alpha 50% is 128/255 over the background.
    const auto blend = [](int over, int under) {
        return static_cast<std::uint8_t>((over * 128 + under * 127 + 127) / 255);
    };
    const std::uint32_t half = Opaque(blend(0, 10), blend(255, 20), blend(0, 30));
    ExpectNear(r.At(150, 80), half, 2, "inside the triangle");
    ExpectNear(r.At(158, 40), half, 2, "inside near the top corner");
    EXPECT_EQ(r.At(120, 50), kBackground) << "above the hypotenuse";
    EXPECT_EQ(r.At(165, 80), kBackground) << "right of the triangle";
}

TEST(Drawing, CurvesFollowTheQuadraticAndLinesHaveTheirThickness) {
    ActionAssembler a;
    // Region between the chord y = 80 (x 20..180) and the curve through control (100, 0):
    // x(t) = 20 + 160 t, y(t) = 80 - 160 t (1 - t); at x = 100: y = 40, at x = 60: y = 50.
    Call(a, "_root", "beginFill", {0xFFFFFF});
    Call(a, "_root", "moveTo", {20, 80});
    Call(a, "_root", "curveTo", {100, 0, 180, 80});
    Call(a, "_root", "endFill", {});
    // A 4 px yellow line along y = 94.
    Call(a, "_root", "lineStyle", {4, 0xFFFF00, 100, false, "normal", "none"});
    Call(a, "_root", "moveTo", {20, 94});
    Call(a, "_root", "lineTo", {180, 94});
    Rendered r;
    Render(a, r);
    const std::uint32_t white = Opaque(255, 255, 255), yellow = Opaque(255, 255, 0);
    for (double x : {40.0, 60.0, 100.0, 140.0, 170.0}) {
        // At the pixel's centre; two rows off the curve the pixel is wholly on one side (slope below 1).
        const double t = (x + 0.5 - 20) / 160;
        const double curveY = 80 - 160 * t * (1 - t);
        const int px = static_cast<int>(x);
        EXPECT_EQ(r.At(px, static_cast<int>(std::floor(curveY + 2))), white) << "below the curve at x " << x;
        EXPECT_EQ(r.At(px, static_cast<int>(std::floor(curveY - 2))), kBackground) << "above the curve at x " << x;
        EXPECT_EQ(r.At(px, 81), kBackground) << "below the chord at x " << x;
    }
    for (int y = 92; y < 96; ++y) EXPECT_EQ(r.At(100, y), yellow) << "line row " << y;
    EXPECT_EQ(r.At(100, 90), kBackground);
    EXPECT_EQ(r.At(100, 97), kBackground);
    // Cap "none": the line ends at x = 20 and 180.
    EXPECT_EQ(r.At(18, 94), kBackground);
    EXPECT_EQ(r.At(181, 94), kBackground);
}

TEST(Drawing, GradientFillsTakeBothMatrixForms) {
    ActionAssembler a;
    // Box form: black to white across x 0..100 (rows 0..49).
    a.PushString("r").PushNumber(0).PushString("h").PushNumber(50).PushString("w").PushNumber(100);
    a.PushString("y").PushNumber(0).PushString("x").PushNumber(0).PushString("matrixType").PushString("box");
    a.PushNumber(6).Action(ActionCode::InitObject);
    PushArray(a, {0, 255});
    PushArray(a, {100, 100});
    PushArray(a, {0x000000, 0xFFFFFF});
    a.PushString("linear").PushNumber(5).PushString("_root").Action(ActionCode::GetVariable);
    a.PushString("beginGradientFill").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    Call(a, "_root", "moveTo", {0, 0});
    Call(a, "_root", "lineTo", {100, 0});
    Call(a, "_root", "lineTo", {100, 50});
    Call(a, "_root", "lineTo", {0, 50});
    Call(a, "_root", "endFill", {});
    // Matrix form: the 1638.4 px square scaled to 100 px (a = d = 100 / 1638.4),
    // centred at (150, 75): red to blue across x 100..200 (rows 50..99).
    const double s = 100 / 1638.4;
    a.PushString("ty").PushNumber(75).PushString("tx").PushNumber(150).PushString("d").PushNumber(s);
    a.PushString("c").PushNumber(0).PushString("b").PushNumber(0).PushString("a").PushNumber(s);
    a.PushNumber(6).Action(ActionCode::InitObject);
    PushArray(a, {0, 255});
    PushArray(a, {100, 100});
    PushArray(a, {0xFF0000, 0x0000FF});
    a.PushString("linear").PushNumber(5).PushString("_root").Action(ActionCode::GetVariable);
    a.PushString("beginGradientFill").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    Call(a, "_root", "moveTo", {100, 50});
    Call(a, "_root", "lineTo", {200, 50});
    Call(a, "_root", "lineTo", {200, 100});
    Call(a, "_root", "lineTo", {100, 100});
    Call(a, "_root", "endFill", {});
    Rendered r;
    Render(a, r);
    for (int x = 0; x < 100; x += 9) {
        // Pixel centre x + 0.5 at fraction (x + 0.5) / 100 of the ramp.
        const auto level = static_cast<std::uint8_t>(std::lround((x + 0.5) / 100 * 255));
        if (x >= 40 && x < 60) continue;  // under the blue square at rows 40..59; row 20 is clear anyway
        ExpectNear(r.At(x, 20), Opaque(level, level, level), 4, "box gradient x " + std::to_string(x));
        const auto blue = level;
        ExpectNear(r.At(100 + x, 80), Opaque(static_cast<std::uint8_t>(255 - blue), 0, blue), 4,
                   "matrix gradient x " + std::to_string(100 + x));
    }
}

TEST(Drawing, ClearForgetsTheShapeAndStyles) {
    ActionAssembler a;
    Call(a, "_root", "beginFill", {0xFF0000});
    Call(a, "_root", "lineStyle", {2, 0x00FF00});
    Call(a, "_root", "moveTo", {0, 0});
    Call(a, "_root", "lineTo", {30, 0});
    Call(a, "_root", "lineTo", {30, 30});
    Call(a, "_root", "clear", {});
    // Without a fill or line style edges draw nothing.
    Call(a, "_root", "moveTo", {100, 0});
    Call(a, "_root", "lineTo", {130, 0});
    Call(a, "_root", "lineTo", {130, 30});
    Call(a, "_root", "lineTo", {100, 30});
    Rendered r;
    Render(a, r);
    for (int y = 0; y < 35; y += 3)
        for (int x = 0; x < 135; x += 3) ASSERT_EQ(r.At(x, y), kBackground) << x << "," << y;
}

// The drawn shape of a script-made clip counts for sizes and for the pointer:
// an empty clip "pad" at (10, 0) px; the script runs in frame 1.
Bytes PadMovie(const ActionAssembler& script) {
    Place pad;
    pad.depth = 1;
    pad.character = 2;
    pad.name = "pad";
    pad.hasMatrix = true;
    pad.tx = 200;  // (10, 0) px
    return test::Movie({test::DefineSprite(2, 1, {test::ShowFrame()}), test::PlaceObject2(pad),
                        test::DoAction(script.Finish()), test::ShowFrame()},
                       4000, 2000);
}

struct ScriptStage : scripted::StageWithScripts {
    explicit ScriptStage(const ActionAssembler& script) : StageWithScripts(PadMovie(script)) {}
};

TEST(Drawing, DrawnShapesCountForWidthHeightAndHitTests) {
    ActionAssembler a;
    // 30 x 20 px filled rectangle at (5, 5) in pad, outlined 4 px wide: 34 x 24 with the line.
    Call(a, "pad", "lineStyle", {4, 0});
    Call(a, "pad", "beginFill", {0x808080});
    Call(a, "pad", "moveTo", {5, 5});
    Call(a, "pad", "lineTo", {35, 5});
    Call(a, "pad", "lineTo", {35, 25});
    Call(a, "pad", "lineTo", {5, 25});
    Call(a, "pad", "endFill", {});
    TraceName(a, "pad._width");
    TraceName(a, "pad._height");
    // A curve bulging to y = 45 (control at 65) widens the box to its extreme,
    // not the control point: 3 (the line's top) to 45.
    Call(a, "pad", "lineStyle", {});
    Call(a, "pad", "beginFill", {0});
    Call(a, "pad", "moveTo", {5, 25});
    Call(a, "pad", "curveTo", {20, 65, 35, 25});
    Call(a, "pad", "endFill", {});
    TraceName(a, "pad._height");
    ScriptStage s(a);
    EXPECT_EQ(s.lines, (std::vector<std::string>{"34", "24", "42"}));

    auto* pad = static_cast<MovieClip*>(s.stage->Root().FindChild("pad"));
    ASSERT_NE(pad, nullptr);
    ASSERT_NE(pad->Drawing(), nullptr);
    const Matrix toStage = pad->GetPlacement().matrix;
    // Stage twips: pad's (20, 15) px is the stage's (30, 15) px.
    EXPECT_TRUE(ObjectContains(*pad, toStage, {30 * 20, 15 * 20}));
    EXPECT_TRUE(ObjectContains(*pad, toStage, {30 * 20, 40 * 20}));   // inside the bulge
    EXPECT_FALSE(ObjectContains(*pad, toStage, {12 * 20, 15 * 20}));  // left of it
    EXPECT_FALSE(ObjectContains(*pad, toStage, {30 * 20, 48 * 20}));  // below the bulge
}

TEST(Drawing, VersionChangesWithEveryVisibleChange) {
    DrawnShape shape;
    const auto v0 = shape.Version();
    shape.MoveTo({0, 0});
    EXPECT_EQ(shape.Version(), v0) << "a move alone draws nothing";
    FillStyle fill;
    shape.BeginFill(fill);
    shape.LineTo({100, 0});
    const auto v1 = shape.Version();
    EXPECT_GT(v1, v0);
    shape.LineTo({100, 100});
    EXPECT_GT(shape.Version(), v1);
    const auto v2 = shape.Version();
    shape.Clear();
    EXPECT_GT(shape.Version(), v2);
    EXPECT_TRUE(shape.Empty());
    EXPECT_EQ(shape.Bounds(), Rect{});
}

}  // namespace
}  // namespace swf
