// MovieClip methods that change or measure the display list, run by scripts
// in small movies: depths, clips made and removed by script, geometry.

#include <gtest/gtest.h>

#include "tests/swf/scripted_stage.h"
#include "swf/writer/shape.h"

namespace swf {
namespace {

using namespace scripted;
using writer::ActionCode;  // not the timeline's ActionCode

constexpr std::uint8_t kCloneSprite = 0x24, kRemoveSprite = 0x25;

// trace(object.method(args))
void TraceCall(ActionAssembler& a, const std::string& object, const std::string& method, int count,
               const std::function<void(ActionAssembler&)>& pushArgs) {
    CallMethod(a, object, method, count, pushArgs);
    a.Action(ActionCode::Trace);
}

void NoArgs(ActionAssembler&) {}

// ExportAssets body: (id, name) pairs.
Bytes Exports(const std::vector<std::pair<std::uint16_t, std::string>>& pairs) {
    Bytes body = {static_cast<std::uint8_t>(pairs.size()), 0};
    for (const auto& [id, name] : pairs) {
        body.push_back(static_cast<std::uint8_t>(id & 0xFF));
        body.push_back(static_cast<std::uint8_t>(id >> 8));
        body.insert(body.end(), name.begin(), name.end());
        body.push_back(0);
    }
    return test::Tag(56, body);
}

TEST(ClipDepths, DepthsAsScriptsCountThemAndOnlyScriptDepthsAreRemoved) {
    ActionAssembler a;
    TraceCall(a, "menu", "getDepth", 0, NoArgs);  // timeline depth 1
    CallMethod(a, "this", "createEmptyMovieClip", 2, [](ActionAssembler& x) { x.PushNumber(10).PushString("e"); });
    a.Action(ActionCode::Pop);
    TraceCall(a, "e", "getDepth", 0, NoArgs);
    TraceName(a, "e._totalframes");
    TraceCall(a, "this", "getNextHighestDepth", 0, NoArgs);
    CallMethod(a, "this", "getInstanceAtDepth", 1, [](ActionAssembler& x) { x.PushNumber(10); });
    a.PushString("_name").Action(ActionCode::GetMember).Action(ActionCode::Trace);
    CallMethod(a, "e", "swapDepths", 1, [](ActionAssembler& x) { x.PushNumber(20); });
    a.Action(ActionCode::Pop);
    TraceCall(a, "e", "getDepth", 0, NoArgs);
    TraceCall(a, "this", "getInstanceAtDepth", 1, [](ActionAssembler& x) { x.PushNumber(10); });
    // Swapping with a clip: each takes the other's depth.
    CallMethod(a, "menu", "swapDepths", 1,
               [](ActionAssembler& x) { x.PushString("e").Action(ActionCode::GetVariable); });
    a.Action(ActionCode::Pop);
    TraceCall(a, "menu", "getDepth", 0, NoArgs);
    TraceCall(a, "e", "getDepth", 0, NoArgs);
    // e now sits at a timeline depth: removeMovieClip leaves it; menu (at 20) goes.
    CallMethod(a, "e", "removeMovieClip", 0, NoArgs);
    a.Action(ActionCode::Pop);
    CallMethod(a, "menu", "removeMovieClip", 0, NoArgs);
    a.Action(ActionCode::Pop);
    TraceName(a, "e._name");
    TraceName(a, "menu");
    ScriptedStage s({{Script(a)}});
    EXPECT_EQ(s.lines, (Lines{"-16383", "10", "1", "11", "e", "20", "undefined", "20", "-16383", "e", "undefined"}));
    // The stage agrees: menu's rectangle is gone, e is what is left at depth 1.
    ASSERT_EQ(s.stage->Root().Children().size(), 1u);
    EXPECT_EQ(s.stage->Root().Children().begin()->first, 1);
}

TEST(ClipCreation, AttachMovieUsesLinkageNamesInitObjectsAndRegisteredClasses) {
    // class Item extends MovieClip, whose constructor is
    // function Item() { trace("ctor " + this.label + " " + this._name); }
    ActionAssembler ctor;
    ctor.PushString("ctor ").PushString("this").Action(ActionCode::GetVariable).PushString("label");
    ctor.Action(ActionCode::GetMember).Action(ActionCode::Add2).PushString(" ").Action(ActionCode::Add2);
    ctor.PushString("this").Action(ActionCode::GetVariable).PushString("_name").Action(ActionCode::GetMember);
    ctor.Action(ActionCode::Add2).Action(ActionCode::Trace);
    ActionAssembler a;
    a.DefineFunction("Item", {}, ctor);
    a.PushString("Item").Action(ActionCode::GetVariable).PushString("MovieClip").Action(ActionCode::GetVariable);
    a.Action(0x69);  // Extends
    a.PushString("Item").Action(ActionCode::GetVariable).PushString("prototype").Action(ActionCode::GetMember);
    a.PushString("kind").PushString("item").Action(ActionCode::SetMember);
    CallMethod(a, "Object", "registerClass", 2,
               [](ActionAssembler& x) { x.PushString("Item").Action(ActionCode::GetVariable).PushString("Item"); });
    a.Action(ActionCode::Pop);
    // var m = this.attachMovie("ITEM", "a", 5, {label: "x", _x: 30});
    a.PushString("m");
    CallMethod(a, "this", "attachMovie", 4, [](ActionAssembler& x) {
        x.PushString("label").PushString("x").PushString("_x").PushNumber(30).PushNumber(2);
        x.Action(ActionCode::InitObject);
        x.PushNumber(5).PushString("a").PushString("ITEM");
    });
    a.Action(ActionCode::SetVariable);
    TraceName(a, "m.kind");
    TraceName(a, "a._x");
    TraceCall(a, "a", "getDepth", 0, NoArgs);
    TraceCall(a, "this", "attachMovie", 3,
              [](ActionAssembler& x) { x.PushNumber(6).PushString("b").PushString("Nope"); });
    TraceName(a, "a.inner._name");  // the symbol's own children exist at once
    ActionAssembler frameOne;       // the attached symbol's first frame
    frameOne.PushString("frame 1 of ").PushString("_name").Action(ActionCode::GetVariable).Action(ActionCode::Add2);
    frameOne.Action(ActionCode::Trace);
    const std::vector<Bytes> symbol = {
        test::DefineSprite(40, 1,
                           {test::PlaceObject2(Named(1, 3, "inner", 0, 0)), Script(frameOne), test::ShowFrame()}),
        Exports({{40, "Item"}}),
    };
    ScriptedStage s({{Script(a)}}, symbol);
    EXPECT_EQ(s.lines, (Lines{"ctor x a", "item", "30", "5", "undefined", "inner", "frame 1 of a"}));
    ASSERT_EQ(s.movie->exports.size(), 1u);
    EXPECT_EQ(s.movie->exports.at("Item"), 40);
}

// A name exported twice keeps its first character; a cut tag keeps the pairs
// read before the cut and leaves a warning.
TEST(ClipCreation, ExportAssetsTagsAreReadLeniently) {
    Bytes cut = {2, 0, 40, 0, 'A', 0, 41, 0, 'B'};  // the second name lacks its end
    std::shared_ptr<const MovieDefinition> movie = ParseMovie(
        test::Movie({test::DefineSprite(40, 1, {test::ShowFrame()}),
                     Exports({{40, "Menu"}, {41, "menu"}, {42, "Menu"}}), test::Tag(56, cut), test::ShowFrame()}));
    EXPECT_EQ(movie->exports, (std::map<std::string, std::uint16_t>{{"A", 40}, {"Menu", 40}, {"menu", 41}}));
    EXPECT_FALSE(movie->warnings.empty());
}

TEST(ClipCreation, DuplicateAndRemoveByMethodAndByAction) {
    ActionAssembler a;
    CallMethod(a, "menu", "duplicateMovieClip", 3, [](ActionAssembler& x) {
        x.PushString("_x").PushNumber(50).PushNumber(1).Action(ActionCode::InitObject);
        x.PushNumber(7).PushString("copy");
    });
    a.PushString("_name").Action(ActionCode::GetMember).Action(ActionCode::Trace);
    TraceName(a, "copy._x");
    TraceName(a, "copy._y");  // the original's placement
    TraceName(a, "copy.next._name");
    TraceName(a, "menu._x");  // the original stays
    // duplicateMovieClip("menu", "copy2", 8) as compiled: the depth comes with 16384 added.
    a.PushString("menu").PushString("copy2").PushNumber(16384 + 8).Action(kCloneSprite);
    TraceCall(a, "copy2", "getDepth", 0, NoArgs);
    a.PushString("copy2").Action(kRemoveSprite);
    TraceName(a, "copy2");
    a.PushString("menu").Action(kRemoveSprite);  // a timeline depth: stays
    TraceName(a, "menu._name");
    ScriptedStage s({{Script(a)}});
    EXPECT_EQ(s.lines, (Lines{"copy", "50", "20", "next", "10", "8", "undefined", "menu"}));
}

TEST(ClipGeometry, BoundsPointsAndHitTests) {
    ActionAssembler a;
    auto traceBox = [&](const std::string& object, int count, const std::function<void(ActionAssembler&)>& args) {
        for (const char* edge : {"xMin", "xMax", "yMin", "yMax"}) {
            CallMethod(a, object, "getBounds", count, args);
            a.PushString(edge).Action(ActionCode::GetMember).Action(ActionCode::Trace);
        }
    };
    traceBox("menu", 0, NoArgs);
    traceBox("menu", 1, [](ActionAssembler& x) { x.PushString("_root").Action(ActionCode::GetVariable); });
    auto hit = [&](double x, double y, bool shape) {
        TraceCall(a, "menu", "hitTest", 3, [=](ActionAssembler& v) { v.PushBool(shape).PushNumber(y).PushNumber(x); });
    };
    hit(15, 25, true);
    hit(5, 25, false);
    hit(109, 69, true);
    hit(111, 69, false);
    // p = {x: 10, y: 0}; menu._xscale = 200; menu.localToGlobal(p) -> (30, 20); back again.
    a.PushString("p").PushString("x").PushNumber(10).PushString("y").PushNumber(0).PushNumber(2);
    a.Action(ActionCode::InitObject).Action(ActionCode::SetVariable);
    SetMember(a, "menu", "_xscale", 200);
    CallMethod(a, "menu", "localToGlobal", 1,
               [](ActionAssembler& x) { x.PushString("p").Action(ActionCode::GetVariable); });
    a.Action(ActionCode::Pop);
    TraceName(a, "p.x");
    TraceName(a, "p.y");
    CallMethod(a, "menu", "globalToLocal", 1,
               [](ActionAssembler& x) { x.PushString("p").Action(ActionCode::GetVariable); });
    a.Action(ActionCode::Pop);
    TraceName(a, "p.x");
    TraceName(a, "p.y");
    // hitTest(clip): boxes on the stage; menu now spans x 10..210.
    CallMethod(a, "this", "createEmptyMovieClip", 2, [](ActionAssembler& x) { x.PushNumber(1).PushString("far"); });
    a.Action(ActionCode::Pop);
    TraceCall(a, "menu", "hitTest", 1, [](ActionAssembler& x) { x.PushString("far").Action(ActionCode::GetVariable); });
    CallMethod(a, "menu", "duplicateMovieClip", 2, [](ActionAssembler& x) { x.PushNumber(2).PushString("twin"); });
    a.Action(ActionCode::Pop);
    SetMember(a, "twin", "_x", 150);
    TraceCall(a, "menu", "hitTest", 1,
              [](ActionAssembler& x) { x.PushString("twin").Action(ActionCode::GetVariable); });
    SetMember(a, "twin", "_x", 211);
    TraceCall(a, "menu", "hitTest", 1,
              [](ActionAssembler& x) { x.PushString("twin").Action(ActionCode::GetVariable); });
    ScriptedStage s({{Script(a)}});
    EXPECT_EQ(s.lines, (Lines{"0", "100", "0", "50", "10", "110", "20", "70", "true", "false", "true", "false", "30",
                              "20", "10", "0", "false", "true", "false"}));
}

// getRect is the outline's own box; getBounds adds half of each stroke's
// width around it. A curve counts up to its furthest point, not its control point.
TEST(ClipGeometry, GetRectLeavesOutStrokesThatGetBoundsCounts) {
    // "framed": a 40 x 30 px rectangle at (10, 10) with a 4 px outline.
    writer::ShapeBuilder framed;
    const std::uint16_t line = framed.AddLine(writer::LineStyle{80, writer::Rgba{0, 0, 0}});
    const std::uint16_t fill = framed.AddFill(writer::FillStyle::Solid(writer::Rgba{0, 128, 0}));
    framed.Rectangle(writer::Rect{200, 1000, 200, 800}, fill, line);
    const std::vector<Bytes> definitions = {
        test::Tag(32, framed.DefineShapeBody(20, 3)),
        test::DefineSprite(21, 1, {test::PlaceObject2(Named(1, 20, "", 0, 0)), test::ShowFrame()}),
    };
    ActionAssembler a;
    auto traceBox = [&](const std::string& object, const char* method) {
        for (const char* edge : {"xMin", "xMax", "yMin", "yMax"}) {
            CallMethod(a, object, method, 0, NoArgs);
            a.PushString(edge).Action(ActionCode::GetMember).Action(ActionCode::Trace);
        }
    };
    traceBox("framed", "getRect");
    // trace(framed.getBounds().xMin < framed.getRect().xMin)
    CallMethod(a, "framed", "getBounds", 0, NoArgs);
    a.PushString("xMin").Action(ActionCode::GetMember);
    CallMethod(a, "framed", "getRect", 0, NoArgs);
    a.PushString("xMin").Action(ActionCode::GetMember).Action(ActionCode::Less2).Action(ActionCode::Trace);
    // A stroked curve drawn by script: d.lineStyle(6); d.MoveTo(0, 0); d.curveTo(50, 100, 100, 0);
    CallMethod(a, "this", "createEmptyMovieClip", 2, [](ActionAssembler& x) { x.PushNumber(5).PushString("d"); });
    a.Action(ActionCode::Pop);
    CallMethod(a, "d", "lineStyle", 1, [](ActionAssembler& x) { x.PushNumber(6); });
    a.Action(ActionCode::Pop);
    CallMethod(a, "d", "moveTo", 2, [](ActionAssembler& x) { x.PushNumber(0).PushNumber(0); });
    a.Action(ActionCode::Pop);
    CallMethod(a, "d", "curveTo", 4,
               [](ActionAssembler& x) { x.PushNumber(0).PushNumber(100).PushNumber(100).PushNumber(50); });
    a.Action(ActionCode::Pop);
    traceBox("d", "getRect");
    // In the main timeline's space: "menu" sits at (10, 20).
    CallMethod(a, "framed", "getRect", 1,
               [](ActionAssembler& x) { x.PushString("menu").Action(ActionCode::GetVariable); });
    a.PushString("xMin").Action(ActionCode::GetMember).Action(ActionCode::Trace);
    ScriptedStage s({{test::PlaceObject2(Named(3, 21, "framed", 0, 0)), Script(a)}}, definitions);
    EXPECT_EQ(s.lines, (Lines{"10", "50", "10", "40", "true", "0", "100", "0", "50", "0"}));
}

}  // namespace
}  // namespace swf
