// Moving the keyboard focus among buttons, clips acting as buttons and input
// fields with Tab and Shift+Tab, pressing the focused one with Enter and
// Space, the yellow focus rectangle, and Selection's view of the focus.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/button.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/movie.h"
#include "swf/writer/records.h"
#include "swf/writer/script_expressions.h"
#include "swf/writer/shape.h"

namespace swf {
namespace {

namespace w = writer;
using namespace w::script;
using Lines = std::vector<std::string>;

// Windows virtual-key codes.
constexpr int kTab = 0x09, kEnter = 0x0D, kSpace = 0x20;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kYellow = 0xFFFFFF00u;

// Every object is a 50 x 30 px red box (fields: 50 x 20 px) with its top left
// corner at (x, y) px of a 400 x 300 px stage drawn at its own size.
constexpr int kWidth = 50, kHeight = 30;
enum : std::uint16_t { kBox = 1, kClip, kHolder, kInnerButton, kField, kFirstButton };

struct Item {
    enum Kind { Button, Clip, Field, Holder } kind;
    std::string name;
    int x, y;
};

std::vector<std::uint8_t> TraceCode(const std::string& line) {
    w::ActionAssembler a;
    Trace(a, S(line));
    return a.Finish();
}

// A button showing the box in every state, tracing "<name> press" and "<name> release".
std::vector<std::uint8_t> ButtonBody(std::uint16_t id, const std::string& name) {
    w::ButtonRecord record;
    record.states = w::kStateUp | w::kStateOver | w::kStateDown | w::kStateHitTest;
    record.characterId = kBox;
    return w::DefineButton2Body(
        id, {record},
        {{w::kOverUpToOverDown, TraceCode(name + " press")}, {w::kOverDownToOverUp, TraceCode(name + " release")}});
}

// The items in depth order, then one frame per script (the last one stops).
std::vector<std::uint8_t> FocusMovie(const std::vector<Item>& items, const std::vector<w::ActionAssembler>& frames) {
    w::TagStream t;
    t.SetBackgroundColor({255, 255, 255});
    w::ShapeBuilder box;
    box.Rectangle({0, kWidth * 20, 0, kHeight * 20}, box.AddFill(w::FillStyle::Solid({255, 0, 0})));
    t.Add(w::TagCode::DefineShape3, box.DefineShapeBody(kBox, 3));
    w::TagStream clip;
    w::PlaceObject part;
    part.characterId = kBox;
    clip.PlaceObject2(part);
    clip.ShowFrame();
    t.DefineSprite(kClip, clip);
    t.Add(w::TagCode::DefineButton2, ButtonBody(kInnerButton, "inner"));
    w::TagStream holder;  // a clip holding a button named "inner" at its origin
    w::PlaceObject inner;
    inner.characterId = kInnerButton;
    inner.name = "inner";
    holder.PlaceObject2(inner);
    holder.ShowFrame();
    t.DefineSprite(kHolder, holder);
    w::EditTextField field;
    field.bounds = {0, kWidth * 20, 0, 400};
    field.initialText = "text";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kField, field));
    std::uint16_t depth = 1, buttonId = kFirstButton;
    for (const Item& item : items) {
        w::PlaceObject p;
        p.depth = depth++;
        p.hasMatrix = true;
        p.matrix = w::Matrix::Translate(item.x * 20, item.y * 20);
        p.name = item.name;
        switch (item.kind) {
        case Item::Button:
            t.Add(w::TagCode::DefineButton2, ButtonBody(buttonId, item.name));
            p.characterId = buttonId++;
            break;
        case Item::Clip: p.characterId = kClip; break;
        case Item::Field: p.characterId = kField; break;
        case Item::Holder: p.characterId = kHolder; break;
        }
        t.PlaceObject2(p);
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        w::ActionAssembler code = frames[i];
        if (i + 1 == frames.size()) code.Action(w::ActionCode::Stop);
        t.DoAction(code.Finish());
        t.ShowFrame();
    }
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 8000, 0, 6000};
    header.frameRate = 12;
    return w::BuildMovie(header, t);
}

// name.onPress and name.onRelease trace, so that the clip acts as a button.
void HandlerClip(w::ActionAssembler& a, const std::string& name) {
    for (const char* event : {"onPress", "onRelease"}) {
        w::ActionAssembler body;
        Trace(body, S(name + (std::string(event) == "onPress" ? " press" : " release")));
        SetM(a, V(name), event, Fn({}, body));
    }
}

// A Selection listener keeps Selection.getFocus() in _root.focused.
void WatchFocus(w::ActionAssembler& a) {
    w::ActionAssembler body;
    SetM(body, V("_root"), "focused", CallM(V("Selection"), "getFocus"));
    Do(a, CallM(V("Selection"), "addListener", {Obj({{"onSetFocus", Fn({"oldFocus", "newFocus"}, body)}})}));
}

class FocusNavigation : public ::testing::Test {
protected:
    void Load(const std::vector<Item>& items, const std::vector<w::ActionAssembler>& frames) {
        player_.SetLogHandler([this](Player::LogKind kind, const std::string& text) {
            if (kind == Player::LogKind::Trace) lines_.push_back(text);
        });
        ASSERT_TRUE(player_.Load(FocusMovie(items, frames))) << player_.LoadError();
        player_.SetViewportSize(400, 300);
    }
    // The key as the control passes it: to the focus first, then to the movie's key handling.
    void Press(int key, bool shift = false) {
        player_.TextKeyDown(key, shift, false);
        player_.KeyDown(key, key == kSpace ? ' ' : 0);
        player_.KeyUp(key, 0);
    }
    std::string Focused() { return player_.GetVariable("focused").value_or("(unset)"); }
    // Where Tab goes, `count` times.
    Lines Tabs(int count, bool shift = false) {
        Lines visited;
        for (int i = 0; i < count; ++i) {
            Press(kTab, shift);
            visited.push_back(Focused());
        }
        return visited;
    }
    Lines TakeLines() { return std::exchange(lines_, {}); }
    raster::Surface Drawn() {
        raster::Surface s(400, 300);
        player_.Render(s);
        return s;
    }

    Player player_;
    Lines lines_;
};

TEST_F(FocusNavigation, TabVisitsButtonsHandlerClipsAndInputFieldsTopToBottomThenLeftToRight) {
    // Depth order differs from the order on the stage; "plain" has no handlers.
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    WatchFocus(setup);
    Load({{Item::Button, "b1", 200, 150},
          {Item::Clip, "c1", 10, 150},
          {Item::Field, "f1", 50, 10},
          {Item::Button, "b2", 250, 10},
          {Item::Clip, "plain", 150, 80}},
         {setup});
    EXPECT_EQ(Tabs(5), (Lines{"_level0.f1", "_level0.b2", "_level0.c1", "_level0.b1", "_level0.f1"}));
    EXPECT_EQ(Tabs(2, true), (Lines{"_level0.b1", "_level0.c1"}));
    // On one row, left before right whatever the depths.
    EXPECT_EQ(Tabs(2, true), (Lines{"_level0.b2", "_level0.f1"}));
    // Wrapping backwards from the first.
    EXPECT_EQ(Tabs(1, true), (Lines{"_level0.b1"}));
}

TEST_F(FocusNavigation, TabIndicesAloneDecideTheOrderOnceAnyIsSet) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    WatchFocus(setup);
    SetM(setup, V("b1"), "tabIndex", N(2));
    SetM(setup, V("f1"), "tabIndex", N(3));
    SetM(setup, V("c1"), "tabIndex", N(1));
    Load({{Item::Field, "f1", 10, 10},
          {Item::Button, "b1", 100, 10},
          {Item::Button, "b2", 200, 10},
          {Item::Clip, "c1", 300, 200}},
         {setup});
    // b2 has none: it is left out.
    EXPECT_EQ(Tabs(4), (Lines{"_level0.c1", "_level0.b1", "_level0.f1", "_level0.c1"}));
    EXPECT_EQ(Tabs(1, true), (Lines{"_level0.f1"}));
}

TEST_F(FocusNavigation, TabEnabledTabChildrenHiddenAndDisabledObjects) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    HandlerClip(setup, "hidden");
    WatchFocus(setup);
    SetM(setup, V("plain"), "tabEnabled", B(true));
    SetM(setup, V("b2"), "tabEnabled", B(false));
    SetM(setup, V("hidden"), "_visible", B(false));
    SetM(setup, V("b3"), "enabled", B(false));
    w::ActionAssembler closeHolder;
    SetM(closeHolder, V("holder"), "tabChildren", B(false));
    Load({{Item::Button, "b1", 10, 10},
          {Item::Button, "b2", 100, 10},
          {Item::Clip, "plain", 200, 10},
          {Item::Clip, "hidden", 300, 10},
          {Item::Button, "b3", 10, 100},
          {Item::Holder, "holder", 100, 100},
          {Item::Clip, "c1", 200, 100}},
         {setup, closeHolder});
    // A plain clip with tabEnabled true is visited, a button with it false is
    // not; hidden and disabled objects are skipped; a holder without handlers
    // is not visited itself, but the button inside it is.
    EXPECT_EQ(Tabs(5), (Lines{"_level0.b1", "_level0.plain", "_level0.holder.inner", "_level0.c1", "_level0.b1"}));
    // tabChildren false on the holder: nothing inside it is visited.
    player_.AdvanceFrame();
    EXPECT_EQ(Tabs(3), (Lines{"_level0.plain", "_level0.c1", "_level0.b1"}));
}

TEST_F(FocusNavigation, EnterAndSpacePressAndReleaseTheFocusedButtonOrClipOnce) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    WatchFocus(setup);
    w::ActionAssembler keyBody;
    Trace(keyBody, Add(S("key "), CallM(V("Key"), "getCode")));
    Do(setup, CallM(V("Key"), "addListener", {Obj({{"onKeyDown", Fn({}, keyBody)}})}));
    Load({{Item::Button, "b1", 10, 10}, {Item::Clip, "c1", 100, 10}}, {setup});
    // Without a focus, Enter only reaches Key's listeners.
    Press(kEnter);
    EXPECT_EQ(TakeLines(), (Lines{"key 13"}));

    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.b1");
    TakeLines();
    Press(kEnter);
    EXPECT_EQ(TakeLines(), (Lines{"b1 press", "b1 release", "key 13"}));
    Press(kSpace);
    EXPECT_EQ(TakeLines(), (Lines{"b1 press", "b1 release", "key 32"}));

    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.c1");
    TakeLines();
    Press(kSpace);
    EXPECT_EQ(TakeLines(), (Lines{"c1 press", "c1 release", "key 32"}));
    Press(kEnter);
    EXPECT_EQ(TakeLines(), (Lines{"c1 press", "c1 release", "key 13"}));
    // Other keys do nothing to it.
    EXPECT_FALSE(player_.TextKeyDown('A', false, false));
}

// The yellow outline around a box at (x, y) px: one pixel either side of each edge.
void ExpectFocusRect(const raster::Surface& s, int x, int y, bool shown) {
    const int right = x + kWidth, bottom = y + kHeight, midX = x + kWidth / 2, midY = y + kHeight / 2;
    for (const auto& [px, py, inside] : std::vector<std::tuple<int, int, bool>>{{x - 1, midY, false},
                                                                                {x, midY, true},
                                                                                {right - 1, midY, true},
                                                                                {right, midY, false},
                                                                                {midX, y - 1, false},
                                                                                {midX, y, true},
                                                                                {midX, bottom - 1, true},
                                                                                {midX, bottom, false}}) {
        const std::uint32_t expected = shown ? kYellow : inside ? kRed : kWhite;
        EXPECT_EQ(s.pixel(px, py), expected) << "at " << px << ", " << py << (shown ? " (shown)" : " (not shown)");
    }
    EXPECT_EQ(s.pixel(midX, midY), kRed);
}

TEST_F(FocusNavigation, FocusRectangleFollowsTheFocusAndItsSettings) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    WatchFocus(setup);
    w::ActionAssembler ownOff;  // frame 2
    SetM(ownOff, V("b1"), "_focusrect", B(false));
    w::ActionAssembler globalOff;  // frame 3: the movie's off, c1's own on
    Let(globalOff, "_focusrect", B(false));
    SetM(globalOff, V("c1"), "_focusrect", B(true));
    Load({{Item::Button, "b1", 100, 100}, {Item::Clip, "c1", 250, 100}, {Item::Field, "f1", 100, 200}},
         {setup, ownOff, globalOff});
    ExpectFocusRect(Drawn(), 100, 100, false);

    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.b1");
    ExpectFocusRect(Drawn(), 100, 100, true);
    ExpectFocusRect(Drawn(), 250, 100, false);
    // A field shows its caret, not the rectangle.
    Press(kTab);
    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.f1");
    ExpectFocusRect(Drawn(), 100, 100, false);
    ExpectFocusRect(Drawn(), 250, 100, false);
    for (int y = 190; y < 230; ++y) EXPECT_NE(Drawn().pixel(99, y), kYellow);

    // A mouse press on empty stage hides it; the next Tab shows it again.
    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.b1");
    player_.PointerDown(5, 5);
    player_.PointerUp(5, 5);
    ExpectFocusRect(Drawn(), 100, 100, false);
    Press(kTab);
    ASSERT_EQ(Focused(), "_level0.c1");
    ExpectFocusRect(Drawn(), 250, 100, true);

    // b1's own _focusrect false; c1 keeps the movie's.
    player_.AdvanceFrame();
    EXPECT_EQ(player_.GetVariable("b1._focusrect"), "false");
    Press(kTab, true);
    ASSERT_EQ(Focused(), "_level0.b1");
    ExpectFocusRect(Drawn(), 100, 100, false);
    Press(kTab);
    ExpectFocusRect(Drawn(), 250, 100, true);
    // The movie's off: c1's own setting shows it still, b1's keeps it off.
    player_.AdvanceFrame();
    ExpectFocusRect(Drawn(), 250, 100, true);
    EXPECT_EQ(player_.GetVariable("_focusrect"), "false");
}

TEST_F(FocusNavigation, PartialRedrawsDrawTheRectangleAppearingAndGoing) {
    w::ActionAssembler setup;
    WatchFocus(setup);
    Load({{Item::Button, "b1", 100, 100}, {Item::Button, "b2", 250, 100}}, {setup});
    raster::Surface kept(400, 300);
    player_.RenderChanges(kept);
    const auto same = [&] {
        player_.RenderChanges(kept);
        const raster::Surface whole = Drawn();
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (kept.pixel(x, y) != whole.pixel(x, y)) return false;
        return true;
    };
    Press(kTab);
    EXPECT_TRUE(same());
    ExpectFocusRect(kept, 100, 100, true);
    Press(kTab);
    EXPECT_TRUE(same());
    ExpectFocusRect(kept, 100, 100, false);
    ExpectFocusRect(kept, 250, 100, true);
    player_.PointerDown(5, 5);
    EXPECT_TRUE(same());
    ExpectFocusRect(kept, 250, 100, false);
}

TEST_F(FocusNavigation, SelectionSetFocusTakesButtonsAndClipsThatMayHaveTheFocus) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    // Results as text: r1 false (a plain clip), r2 true (focusEnabled), r3 true (a handler clip), r4 true (a button).
    Let(setup, "r1", CallM(V("Selection"), "setFocus", {V("plain")}));
    Let(setup, "f1", CallM(V("Selection"), "getFocus"));
    SetM(setup, V("plain"), "focusEnabled", B(true));
    Let(setup, "r2", CallM(V("Selection"), "setFocus", {V("plain")}));
    Let(setup, "f2", CallM(V("Selection"), "getFocus"));
    Let(setup, "r3", CallM(V("Selection"), "setFocus", {V("c1")}));
    Let(setup, "f3", CallM(V("Selection"), "getFocus"));
    Let(setup, "r4", CallM(V("Selection"), "setFocus", {S("b1")}));
    Let(setup, "f4", CallM(V("Selection"), "getFocus"));
    Load({{Item::Clip, "plain", 10, 10}, {Item::Clip, "c1", 100, 10}, {Item::Button, "b1", 200, 10}}, {setup});
    EXPECT_EQ(player_.GetVariable("r1"), "false");
    EXPECT_EQ(player_.GetVariable("f1"), "null");
    EXPECT_EQ(player_.GetVariable("r2"), "true");
    EXPECT_EQ(player_.GetVariable("f2"), "_level0.plain");
    EXPECT_EQ(player_.GetVariable("r3"), "true");
    EXPECT_EQ(player_.GetVariable("f3"), "_level0.c1");
    EXPECT_EQ(player_.GetVariable("r4"), "true");
    EXPECT_EQ(player_.GetVariable("f4"), "_level0.b1");
    // Tab goes on from the object a script focused, and the rectangle shows there.
    ExpectFocusRect(Drawn(), 200, 10, true);
}

TEST_F(FocusNavigation, AFocusedClipThatGoesLeavesNoFocusBehind) {
    w::ActionAssembler setup;
    Do(setup, CallM(V("_root"), "createEmptyMovieClip", {S("made"), N(10)}));
    HandlerClip(setup, "made");
    Let(setup, "r", CallM(V("Selection"), "setFocus", {V("made")}));
    w::ActionAssembler remove;
    Do(remove, CallM(V("made"), "removeMovieClip"));
    w::ActionAssembler later;
    Let(later, "after", CallM(V("Selection"), "getFocus"));
    Load({{Item::Button, "b1", 100, 100}}, {setup, remove, later});
    ASSERT_EQ(player_.GetVariable("r"), "true");
    player_.AdvanceFrame();
    player_.AdvanceFrame();
    EXPECT_EQ(player_.GetVariable("after"), "null");
    ExpectFocusRect(Drawn(), 100, 100, false);
    EXPECT_TRUE(player_.TextKeyDown(kTab, false, false));
    ExpectFocusRect(Drawn(), 100, 100, true);
}

TEST_F(FocusNavigation, KillFocusThenSetFocusThenSelectionListenersWithTheOtherObject) {
    w::ActionAssembler setup;
    HandlerClip(setup, "c1");
    // Every object traces "<name> kill <new>" and "<name> set <old>"; the
    // listener "listener <old> <new>" (names, or null).
    const auto nameOf = [](const std::string& param) -> Expr {
        // param == null ? "null" : param._name
        return [param](w::ActionAssembler& a) {
            V(param)(a);
            a.PushNull().Action(w::ActionCode::Equals2).If("null " + param);
            M(V(param), "_name")(a);
            a.Jump("done " + param).Label("null " + param).PushString("null").Label("done " + param);
        };
    };
    for (const char* name : {"b1", "c1", "f1"}) {
        w::ActionAssembler kill;
        Trace(kill, Add(S(std::string(name) + " kill "), nameOf("newFocus")));
        SetM(setup, V(name), "onKillFocus", Fn({"newFocus"}, kill));
        w::ActionAssembler set;
        Trace(set, Add(S(std::string(name) + " set "), nameOf("oldFocus")));
        SetM(setup, V(name), "onSetFocus", Fn({"oldFocus"}, set));
    }
    w::ActionAssembler listener;
    Trace(listener, Add(Add(S("listener "), nameOf("oldFocus")), Add(S(" "), nameOf("newFocus"))));
    Do(setup, CallM(V("Selection"), "addListener", {Obj({{"onSetFocus", Fn({"oldFocus", "newFocus"}, listener)}})}));
    Load({{Item::Button, "b1", 10, 10}, {Item::Clip, "c1", 100, 10}, {Item::Field, "f1", 200, 10}}, {setup});

    Press(kTab);
    EXPECT_EQ(TakeLines(), (Lines{"b1 set null", "listener null b1"}));
    Press(kTab);
    EXPECT_EQ(TakeLines(), (Lines{"b1 kill c1", "c1 set b1", "listener b1 c1"}));
    Press(kTab);
    EXPECT_EQ(TakeLines(), (Lines{"c1 kill f1", "f1 set c1", "listener c1 f1"}));
    Press(kTab, true);
    EXPECT_EQ(TakeLines(), (Lines{"f1 kill c1", "c1 set f1", "listener f1 c1"}));
}

}  // namespace
}  // namespace swf
