// Masks set by script (setMask) and dragging (startDrag / stopDrag, the
// StartDrag action, _droptarget): pixels of masked clips, where a dragged clip
// goes for a pointer position and what it is over.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "swf/actions/vm.h"
#include "swf/io/movie_parser.h"
#include "swf/player/display/clip_drag.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/raster/surface.h"
#include "tests/swf/scripted_stage.h"
#include "swf/writer/action_assembler.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using scripted::Lines;
using scripted::Named;
using scripted::TraceName;
using test::Bytes;
using writer::ActionAssembler;
using writer::ActionCode;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kBackground = Opaque(10, 20, 30);

// <object>.<method>(numbers...), result dropped.
void Call(ActionAssembler& a, const std::string& object, const std::string& method, const std::vector<double>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.PushNumber(*it);
    a.PushNumber(static_cast<double>(args.size()));
    a.PushString(object).Action(ActionCode::GetVariable).PushString(method).Action(ActionCode::CallMethod);
    a.Action(ActionCode::Pop);
}

// <object>.<method>(<clip named by argPath>) or with null when argPath is empty.
void CallWithClip(ActionAssembler& a, const std::string& object, const std::string& method,
                  const std::string& argPath) {
    if (argPath.empty())
        a.PushNull();
    else
        a.PushString(argPath).Action(ActionCode::GetVariable);
    a.PushNumber(1).PushString(object).Action(ActionCode::GetVariable).PushString(method);
    a.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
}

// Stage 200 x 100 px. "content" holds a red 100 x 50 px rectangle at (0, 0);
// "m" and "box" are empty clips; "target" holds a blue 40 x 40 px square at (150, 50).
Bytes SceneMovie(const ActionAssembler& script) {
    return test::Movie(
        {test::SetBackground(10, 20, 30), test::Tag(32, test::RectangleShape(1, 0, 0, 2000, 1000, 255, 0, 0)),
         test::DefineSprite(2, 1, {test::PlaceObject2(Named(1, 1, "", 0, 0)), test::ShowFrame()}),
         test::DefineSprite(3, 1, {test::ShowFrame()}),
         test::Tag(32, test::RectangleShape(4, 0, 0, 800, 800, 0, 0, 255)),
         test::DefineSprite(5, 1, {test::PlaceObject2(Named(1, 4, "", 0, 0)), test::ShowFrame()}),
         test::PlaceObject2(Named(1, 2, "content", 0, 0)), test::PlaceObject2(Named(2, 3, "m", 0, 0)),
         test::PlaceObject2(Named(3, 5, "target", 3000, 1000)), test::PlaceObject2(Named(4, 3, "box", 0, 0)),
         test::DoAction(script.Finish()), test::ShowFrame()},
        4000, 2000);
}

// A green 120 x 30 px rectangle at (30, 10) drawn into "m".
void DrawMaskShape(ActionAssembler& a) {
    Call(a, "m", "beginFill", {0x00FF00});
    Call(a, "m", "moveTo", {30, 10});
    Call(a, "m", "lineTo", {150, 10});
    Call(a, "m", "lineTo", {150, 40});
    Call(a, "m", "lineTo", {30, 40});
    Call(a, "m", "endFill", {});
}

raster::Surface Render(const ActionAssembler& script) {
    raster::Surface surface(200, 100);
    Player player;
    EXPECT_TRUE(player.Load(SceneMovie(script))) << player.LoadError();
    player.Render(surface);
    return surface;
}

TEST(ScriptMask, TheMaskClipsTheMaskedClipAndIsNotDrawn) {
    ActionAssembler a;
    DrawMaskShape(a);
    CallWithClip(a, "content", "setMask", "m");
    const raster::Surface s = Render(a);
    const std::uint32_t red = Opaque(255, 0, 0);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 160; ++x) {
            const bool inContent = x < 100 && y < 50;
            const bool inMask = x >= 30 && x < 150 && y >= 10 && y < 40;
            const std::uint32_t want = inContent && inMask ? red : kBackground;
            if (s.pixel(x, y) != want) {
                ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " is " << s.pixel(x, y) << " not " << want;
                return;
            }
        }
    }
}

TEST(ScriptMask, SetMaskNullShowsBothAgain) {
    ActionAssembler a;
    DrawMaskShape(a);
    CallWithClip(a, "content", "setMask", "m");
    CallWithClip(a, "content", "setMask", "");
    const raster::Surface s = Render(a);
    EXPECT_EQ(s.pixel(5, 5), Opaque(255, 0, 0)) << "content outside the former mask";
    EXPECT_EQ(s.pixel(120, 20), Opaque(0, 255, 0)) << "the former mask is drawn";
    EXPECT_EQ(s.pixel(50, 20), Opaque(0, 255, 0)) << "the mask's drawing sits above content";
}

// setMask also takes the mask's name or path as a string.
TEST(ScriptMask, AMaskNamedByAStringIsFoundFromTheMaskedClip) {
    for (const char* path : {"m", "_root.m", "_level0.m", "/m"}) {
        ActionAssembler a;
        DrawMaskShape(a);
        a.PushString(path).PushNumber(1).PushString("content").Action(ActionCode::GetVariable);
        a.PushString("setMask").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
        const raster::Surface s = Render(a);
        EXPECT_EQ(s.pixel(50, 20), Opaque(255, 0, 0)) << path << ": content inside the mask";
        EXPECT_EQ(s.pixel(5, 5), kBackground) << path << ": content outside the mask";
        EXPECT_EQ(s.pixel(120, 20), kBackground) << path << ": the mask is not drawn";
    }
    // A name that finds nothing leaves the clip unmasked.
    ActionAssembler a;
    DrawMaskShape(a);
    a.PushString("nothing").PushNumber(1).PushString("content").Action(ActionCode::GetVariable);
    a.PushString("setMask").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    const raster::Surface s = Render(a);
    EXPECT_EQ(s.pixel(5, 5), Opaque(255, 0, 0));
}

TEST(DragArithmetic, ThePointerLessTheGrabOffsetClampedIntoTheRectangle) {
    DragRequest free;
    EXPECT_EQ(DragPosition({1000, 2000}, {100, -50}, free), (Point{900, 2050}));
    DragRequest box;
    box.constrained = true;
    // Corners given the wrong way round: the rectangle is 10..50 x 20..40 px.
    box.left = 50;
    box.right = 10;
    box.top = 20;
    box.bottom = 40;
    EXPECT_EQ(DragPosition({0, 0}, {0, 0}, box), (Point{200, 400}));        // above left: the corner
    EXPECT_EQ(DragPosition({600, 600}, {0, 0}, box), (Point{600, 600}));    // inside: unchanged
    EXPECT_EQ(DragPosition({5000, 700}, {0, 0}, box), (Point{1000, 700}));  // right: only x clamps
    EXPECT_EQ(DragPosition({5000, 9000}, {1000, 1000}, box), (Point{1000, 800}));
    DragRequest line = box;  // zero height: a horizontal track
    line.top = line.bottom = 30;
    EXPECT_EQ(DragPosition({333, 0}, {0, 0}, line), (Point{333, 600}));
}

struct ScriptStage : scripted::StageWithScripts {
    explicit ScriptStage(const ActionAssembler& script) : StageWithScripts(SceneMovie(script)) {}
};

Point Px(double x, double y) { return {x * 20, y * 20}; }

TEST(Drag, TheClipFollowsThePointerInsideItsRectangleUntilStopped) {
    ActionAssembler a;
    ScriptStage s(a);
    s.stage->PointerMove(Px(10, 10));
    // box at (0, 0), grabbed at (10, 10): it keeps that offset; rectangle 0..60 x 0..30.
    ActionAssembler start;
    Call(start, "box", "startDrag", {0, 0, 0, 60, 30});
    s.Run(start);
    s.stage->PointerMove(Px(40, 25));
    ActionAssembler where;
    TraceName(where, "box._x");
    TraceName(where, "box._y");
    s.Run(where);
    EXPECT_EQ(s.lines, (Lines{"30", "15"}));
    s.stage->PointerMove(Px(150, 90));  // past the rectangle's corner
    s.Run(where);
    EXPECT_EQ(s.lines, (Lines{"60", "30"}));
    ActionAssembler stop;
    Call(stop, "box", "stopDrag", {});
    s.Run(stop);
    s.stage->PointerMove(Px(20, 20));
    s.Run(where);
    EXPECT_EQ(s.lines, (Lines{"60", "30"})) << "stopped: the pointer no longer moves it";
}

TEST(Drag, LockCenterPutsTheClipOnThePointerAtOnceAndTheActionFormWorks) {
    ActionAssembler a;
    ScriptStage s(a);
    s.stage->PointerMove(Px(70, 45));
    // StartDrag action: target, lockCenter, constrain (no rectangle).
    ActionAssembler start;
    start.PushNumber(0).PushNumber(1).PushString("box").Action(0x27);
    s.Run(start);
    ActionAssembler where;
    TraceName(where, "box._x");
    TraceName(where, "box._y");
    s.Run(where);
    EXPECT_EQ(s.lines, (Lines{"70", "45"}));
    ActionAssembler end;
    end.Action(0x28);
    s.Run(end);
    s.stage->PointerMove(Px(5, 5));
    s.Run(where);
    EXPECT_EQ(s.lines, (Lines{"70", "45"}));
}

TEST(Drag, DropTargetIsTheClipUnderThePointer) {
    ActionAssembler a;
    Call(a, "box", "beginFill", {0});
    Call(a, "box", "moveTo", {-5, -5});
    Call(a, "box", "lineTo", {5, -5});
    Call(a, "box", "lineTo", {5, 5});
    Call(a, "box", "lineTo", {-5, 5});
    Call(a, "box", "endFill", {});
    ScriptStage s(a);
    ActionAssembler start;
    Call(start, "box", "startDrag", {1});
    s.Run(start);
    ActionAssembler drop;
    TraceName(drop, "box._droptarget");
    Lines seen;
    for (Point p : {Px(160, 60),     // over target's square (150..190 x 50..90), box itself left out
                    Px(50, 20),      // over content's rectangle
                    Px(120, 95)}) {  // over nothing
        s.stage->PointerMove(p);
        s.Run(drop);
        seen.insert(seen.end(), s.lines.begin(), s.lines.end());
    }
    EXPECT_EQ(seen, (Lines{"/target", "/content", ""}));
}

}  // namespace
}  // namespace swf
