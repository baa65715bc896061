// Movie clips as script objects: names, paths and display properties, read
// and written by scripts in small movies run on a stage.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/swf/scripted_stage.h"

namespace swf {
namespace {

using namespace scripted;
using writer::ActionCode;  // not the timeline's ActionCode

TEST(ClipPaths, ClipsAreMembersOfTheirParentAndPathsNameThem) {
    ActionAssembler a;
    TraceName(a, "menu._name");               // member of the timeline
    TraceName(a, "_root.menu.next._name");    // dot path from _root
    TraceName(a, "menu.next._parent._name");  // back up
    TraceName(a, "menu.next._target");        // slash form
    a.PushString("menu.next").Action(ActionCode::GetVariable).Action(kTargetPath).Action(ActionCode::Trace);
    a.PushString("/menu/next:_name").Action(ActionCode::GetVariable).Action(ActionCode::Trace);
    TraceName(a, "_level0.menu._name");
    TraceName(a, "_root._target");
    TraceName(a, "menu.missing");
    ScriptedStage s({{Script(a)}});
    EXPECT_EQ(s.lines,
              (Lines{"menu", "next", "menu", "/menu/next", "_level0.menu.next", "next", "menu", "/", "undefined"}));
}

TEST(ClipProperties, TransformPropertiesReadAndWriteThePlacement) {
    ActionAssembler a;
    TraceName(a, "menu._x");
    TraceName(a, "menu._y");
    TraceName(a, "menu._width");
    TraceName(a, "menu._height");
    TraceName(a, "menu._xscale");
    SetMember(a, "menu", "_xscale", 200);
    TraceName(a, "menu._width");  // 100 px drawn at twice the width
    SetMember(a, "menu", "_rotation", 90);
    TraceName(a, "menu._rotation");
    TraceName(a, "menu._xscale");  // kept as set, not read back from the turned matrix
    TraceName(a, "menu._width");   // turned: the box's width is the old height, 50
    SetMember(a, "menu", "_rotation", 270);
    TraceName(a, "menu._rotation");  // -90: angles read in (-180, 180]
    SetMember(a, "menu", "_rotation", 0);
    SetMember(a, "menu", "_height", 25);
    TraceName(a, "menu._yscale");     // 50 px to 25 px: half
    SetMember(a, "menu", "_X", 7.5);  // names ignore case
    TraceName(a, "menu._x");
    // with (menu) { _y = 3; } sets menu's _y, not the main timeline's
    a.PushString("menu").Action(ActionCode::GetVariable);
    ActionAssembler inside;
    inside.PushString("_y").PushNumber(3).Action(ActionCode::SetVariable);
    const std::vector<std::uint8_t> block = inside.Bytes();
    a.Action(0x94, {static_cast<std::uint8_t>(block.size()), 0}).Raw(block);
    TraceName(a, "menu._y");
    TraceName(a, "_y");
    ScriptedStage s({{Script(a)}});
    EXPECT_EQ(s.lines, (Lines{"10", "20", "100", "50", "100", "200", "90", "200", "50", "-90", "50", "7.5", "3", "0"}));
    const DisplayObject& menu = *s.stage->Root().Children().at(1);
    EXPECT_DOUBLE_EQ(menu.GetPlacement().matrix.tx, 150);
}

TEST(ClipProperties, AlphaVisibilityNameFramesAndPlayerSettings) {
    ActionAssembler a;
    SetMember(a, "menu", "_alpha", 40);
    TraceName(a, "menu._alpha");
    a.PushString("menu").Action(ActionCode::GetVariable).PushString("_visible").PushBool(false);
    a.Action(ActionCode::SetMember);
    TraceName(a, "menu._visible");
    TraceName(a, "menu.next._totalframes");
    TraceName(a, "menu.next._currentframe");
    TraceName(a, "_quality");
    TraceName(a, "_highquality");
    TraceName(a, "menu._droptarget");
    // setProperty("/menu", _y, 33) and getProperty("/menu", _y)
    a.PushString("/menu").PushNumber(1).PushNumber(33).Action(kSetProperty);
    a.PushString("/menu").PushNumber(1).Action(kGetProperty).Action(ActionCode::Trace);
    // setProperty("", _quality, "low") needs no clip
    a.PushString("").PushNumber(19).PushString("low").Action(kSetProperty);
    TraceName(a, "_quality");
    TraceName(a, "_highquality");
    a.PushString("menu").Action(ActionCode::GetVariable).PushString("_name").PushString("nav");
    a.Action(ActionCode::SetMember);
    TraceName(a, "nav._y");
    TraceName(a, "menu");
    ScriptedStage s({{Script(a)}});
    // The multiplier is kept in 8.8 fixed point, as the file format stores it: 102/256.
    EXPECT_EQ(s.lines, (Lines{"39.84375", "false", "3", "1", "HIGH", "1", "", "33", "LOW", "0", "33", "undefined"}));
    const DisplayObject& menu = *s.stage->Root().Children().at(1);
    EXPECT_DOUBLE_EQ(menu.GetPlacement().colorTransform.aMult, 102.0 / 256);
    EXPECT_FALSE(menu.Visible());
}

// Values no placement can hold are refused or held to what the file format
// allows: the stage stays drawable.
TEST(ClipProperties, OutOfRangeValuesStayBounded) {
    ActionAssembler a;
    SetMember(a, "menu", "_xscale", 1e300);
    TraceName(a, "menu._xscale");
    a.PushString("menu").Action(ActionCode::GetVariable).PushString("_x").PushString("abc");
    a.Action(ActionCode::SetMember);  // NaN: ignored
    TraceName(a, "menu._x");
    SetMember(a, "menu", "_rotation", 1e300);
    SetMember(a, "menu", "_height", 1e300);
    TraceName(a, "menu._yscale");
    ScriptedStage s({{Script(a)}});
    ASSERT_EQ(s.lines.size(), 3u);
    EXPECT_EQ(s.lines[0], "3276700");
    EXPECT_EQ(s.lines[1], "10");
    EXPECT_EQ(s.lines[2], "3276700");
    const Matrix& m = s.stage->Root().Children().at(1)->GetPlacement().matrix;
    EXPECT_TRUE(std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d));
}

// Once a script moved a clip, the timeline's later moves of that depth no
// longer apply; an untouched clip still follows its timeline.
TEST(ClipProperties, AClipMovedByScriptLeavesItsTimeline) {
    ActionAssembler first;
    SetMember(first, "menu", "_x", 7);
    ActionAssembler second;
    TraceName(second, "menu._x");
    TraceName(second, "other._x");
    ScriptedStage s(
        {{test::PlaceObject2(Named(2, 3, "other", 0, 0)), Script(first)},
         {test::PlaceObject2(MovedTo(1, 1000, 0)), test::PlaceObject2(MovedTo(2, 600, 0)), Script(second)}});
    s.stage->Advance();
    s.stage->RunQueuedActions();
    EXPECT_EQ(s.lines, (Lines{"7", "30"}));
}

}  // namespace
}  // namespace swf
