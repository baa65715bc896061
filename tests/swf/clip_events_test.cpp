// Clip events, init actions and the Key, Mouse and Stage broadcasters, checked
// by the lines small movies trace. The expected order follows the documented
// rules of the format's players: init actions before the frame's actions;
// enterFrame for clips already on stage, newest first, before any frame
// action; unload before the parent's frame actions; load after the parent's
// frame actions and before the clip's own.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <variant>
#include <string>
#include <vector>

#include "swf/actions/vm.h"
#include "swf/io/movie_parser.h"
#include "swf/io/place_parser.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/writer/button.h"
#include "swf/writer/movie.h"
#include "tests/swf/swf_bytes.h"
#include "tests/actions/script.h"
#include "tools/moviegen/movies.h"

namespace swf {
namespace {

using actions_test::Add;
using actions_test::CallM;
using actions_test::Fn;
using actions_test::Lines;
using actions_test::M;
using actions_test::N;
using actions_test::New;
using actions_test::S;
using actions_test::SetM;
using actions_test::Trace;
using actions_test::V;
using writer::ActionAssembler;
using writer::ClipEventHandler;
using writer::TagStream;

std::vector<std::uint8_t> TraceCode(const std::string& line) {
    ActionAssembler a;
    Trace(a, S(line));
    return a.Finish();
}

ClipEventHandler OnClip(std::uint32_t events, const std::string& line) {
    return ClipEventHandler{events, 0, TraceCode(line)};
}

// A stage playing the movie with a VM whose trace lines are kept.
struct TracedStage {
    explicit TracedStage(const std::vector<std::uint8_t>& bytes) {
        stage = std::make_unique<Stage>(ParseMovie(bytes));
        runner = std::make_unique<VmActionRunner>(8, stage->Root());
        runner->Vm().SetTraceHandler([this](const std::string& line) { lines.push_back(line); });
        stage->SetActionRunner(runner.get());
        stage->RunQueuedActions();
    }
    ~TracedStage() { stage.reset(); }  // clips tell the runner when they go
    Lines Take() { return std::exchange(lines, {}); }

    std::unique_ptr<VmActionRunner> runner;
    std::unique_ptr<Stage> stage;
    Lines lines;
};

std::vector<std::uint8_t> Build(const TagStream& tags, std::uint8_t version = 8) {
    writer::MovieHeader header;
    header.version = version;
    header.frameSize = {0, 4000, 0, 3000};
    return writer::BuildMovie(header, tags);
}

TEST(ClipEvents, InitLoadEnterFrameUnloadAndFrameActionsRunInThePlayersOrder) {
    TagStream inner;  // sprite 1: one frame with its own script
    inner.DoAction(TraceCode("a frame 1"));
    inner.ShowFrame();
    TagStream empty;  // sprite 2: nothing
    empty.ShowFrame();

    TagStream tags;
    tags.DefineSprite(1, inner);
    tags.DefineSprite(2, empty);
    // Frame 1: sprite 1's init block, the frame's script, two clips with handlers.
    tags.DoAction(TraceCode("root frame 1"));
    tags.DoInitAction(1, TraceCode("init sprite 1"));
    writer::PlaceObject a;
    a.depth = 1;
    a.characterId = 1;
    a.name = "a";
    a.clipActions = {OnClip(kClipInitialize, "a initialize"), OnClip(kClipConstruct, "a construct"),
                     OnClip(kClipLoad, "a load"), OnClip(kClipEnterFrame | kClipUnload, "a enterFrame or unload"),
                     OnClip(kClipUnload, "a unload")};
    tags.PlaceObject2(a);
    writer::PlaceObject b;
    b.depth = 2;
    b.characterId = 2;
    b.name = "b";
    b.clipActions = {OnClip(kClipLoad, "b load"), OnClip(kClipEnterFrame, "b enterFrame")};
    tags.PlaceObject2(b);
    tags.ShowFrame();
    // Frame 2: a second init block for the same sprite never runs.
    tags.DoInitAction(1, TraceCode("init sprite 1 again"));
    tags.DoAction(TraceCode("root frame 2"));
    tags.ShowFrame();
    // Frame 3: a goes.
    tags.RemoveObject2(1);
    ActionAssembler stop;
    Trace(stop, S("root frame 3"));
    stop.Action(writer::ActionCode::Stop);
    tags.DoAction(stop.Finish());
    tags.ShowFrame();

    TracedStage t(Build(tags));
    EXPECT_EQ(t.Take(),
              (Lines{"init sprite 1", "root frame 1", "a construct", "a initialize", "a load", "a frame 1", "b load"}));
    t.stage->Advance();
    EXPECT_EQ(t.Take(), (Lines{"b enterFrame", "a enterFrame or unload", "root frame 2"}));
    t.stage->Advance();
    EXPECT_EQ(t.Take(), (Lines{"b enterFrame", "a enterFrame or unload", "a unload", "root frame 3"}));
    t.stage->Advance();
    EXPECT_EQ(t.Take(), (Lines{"b enterFrame"}));
}

TEST(ClipEvents, HandlerMembersRunForEnterFrameMouseKeysAndUnload) {
    TagStream empty;
    empty.ShowFrame();
    TagStream tags;
    tags.DefineSprite(2, empty);
    writer::PlaceObject c;
    c.depth = 1;
    c.characterId = 2;
    c.name = "c";
    c.clipActions = {OnClip(kClipMouseDown, "c clip mouseDown"), OnClip(kClipKeyUp, "c clip keyUp")};
    tags.PlaceObject2(c);
    ActionAssembler script;
    auto handler = [](const std::string& line) {
        ActionAssembler body;
        Trace(body, S(line));
        return Fn({}, body);
    };
    SetM(script, V("c"), "onEnterFrame", handler("c onEnterFrame"));
    SetM(script, V("c"), "onMouseDown", handler("c onMouseDown"));
    SetM(script, V("c"), "onMouseUp", handler("c onMouseUp"));
    SetM(script, V("c"), "onKeyDown", handler("c onKeyDown"));
    SetM(script, V("c"), "onUnload", handler("c onUnload"));
    script.Action(writer::ActionCode::Stop);
    tags.DoAction(script.Finish());
    tags.ShowFrame();

    TracedStage t(Build(tags));
    EXPECT_EQ(t.Take(), Lines{});
    t.stage->Advance();
    EXPECT_EQ(t.Take(), Lines{"c onEnterFrame"});
    t.stage->PointerDown({10, 10});
    EXPECT_EQ(t.Take(), (Lines{"c clip mouseDown", "c onMouseDown"}));
    t.stage->PointerUp({10, 10});
    EXPECT_EQ(t.Take(), Lines{"c onMouseUp"});
    t.stage->KeyDown(0);
    t.stage->KeyUp();
    EXPECT_EQ(t.Take(), (Lines{"c onKeyDown", "c clip keyUp"}));
    // Content replaced: the clip leaves and hears unload.
    t.stage->Root().ReplaceContent(ParseMovie(Build(TagStream{})));
    t.stage->RunQueuedActions();
    EXPECT_EQ(t.Take(), Lines{"c onUnload"});
}

TEST(ClipEvents, ClipActionsReadBackFromBothFlagWidths) {
    for (const bool wide : {false, true}) {
        TagStream empty;
        empty.ShowFrame();
        TagStream tags;
        tags.DefineSprite(2, empty);
        writer::PlaceObject c;
        c.depth = 1;
        c.characterId = 2;
        c.wideEventFlags = wide;
        c.clipActions = {OnClip(kClipLoad | kClipData, "x")};
        // Key presses exist from version 6 on, where the flags have room for them.
        if (wide) c.clipActions.push_back(ClipEventHandler{kClipKeyPress, 13, TraceCode("enter")});
        tags.PlaceObject2(c);
        tags.ShowFrame();
        const auto movie = ParseMovie(Build(tags, wide ? 6 : 5));
        const auto& place = std::get<PlaceCommand>(movie->timeline.frames[0].commands.at(0));
        ASSERT_TRUE(place.clipActions) << wide;
        ASSERT_EQ(place.clipActions->size(), wide ? 2u : 1u);
        EXPECT_EQ((*place.clipActions)[0].events, kClipLoad | kClipData);
        EXPECT_EQ(*(*place.clipActions)[0].code, TraceCode("x"));
        if (wide) {
            EXPECT_EQ((*place.clipActions)[1].events, kClipKeyPress);
            EXPECT_EQ((*place.clipActions)[1].keyCode, 13);
            EXPECT_EQ(*(*place.clipActions)[1].code, TraceCode("enter"));
        }
    }
    // A record whose size runs past the tag costs the handlers, not the placement.
    TagStream tags;
    writer::PlaceObject c;
    c.depth = 1;
    c.characterId = 2;
    c.clipActions = {OnClip(kClipLoad, "x")};
    TagStream one;
    one.PlaceObject2(c);
    std::vector<std::uint8_t> body(one.bytes().begin() + 2, one.bytes().end());
    body.resize(body.size() - 6);  // cut into the actions and the end flag
    const PlaceCommand cut = ParsePlaceObject(body, 2, 8);
    EXPECT_EQ(cut.depth, 1);
    EXPECT_EQ(cut.characterId, std::optional<std::uint16_t>(2));
    EXPECT_FALSE(cut.clipActions);
}

class RecordingHost : public ActionHost {
public:
    void FSCommand(const std::string& command, const std::string& args) override {
        calls.push_back(command + " " + args);
    }
    std::string FlashCall(const std::string& request) override {
        calls.push_back(request);
        return {};
    }
    void GetURL(const std::string&, const std::string&) override {}
    std::vector<std::string> calls;
};

// fscommand(name, String(value)) as a statement.
void Report(ActionAssembler& a, const std::string& name, actions_test::Expr value) {
    a.PushString("FSCommand:" + name);
    value(a);
    a.GetURL2(0);
}

TEST(Listeners, KeyMouseAndStageTellTheirListenersAndAnswerQueries) {
    // Key.addListener(k): k.onKeyDown reports getCode, getAscii and isDown;
    // a listener removed hears nothing more.
    ActionAssembler onKey;
    Report(onKey, "down",
           Add(Add(Add(Add(CallM(V("Key"), "getCode"), S(",")), CallM(V("Key"), "getAscii")), S(",")),
               CallM(V("Key"), "isDown", {N(65)})));
    ActionAssembler onUp;
    Report(onUp, "up", Add(CallM(V("Key"), "isDown", {N(65)}), S("")));
    ActionAssembler onMouse;
    Report(onMouse, "mouse", S("up"));
    ActionAssembler onResize;
    Report(onResize, "resize", Add(Add(M(V("Stage"), "width"), S("x")), M(V("Stage"), "height")));
    ActionAssembler script;
    actions_test::Let(script, "k", New("Object"));
    SetM(script, V("k"), "onKeyDown", Fn({}, onKey));
    SetM(script, V("k"), "onKeyUp", Fn({}, onUp));
    actions_test::Do(script, CallM(V("Key"), "addListener", {V("k")}));
    actions_test::Let(script, "m", New("Object"));
    SetM(script, V("m"), "onMouseUp", Fn({}, onMouse));
    actions_test::Do(script, CallM(V("Mouse"), "addListener", {V("m")}));
    actions_test::Do(script, CallM(V("Mouse"), "addListener", {V("m")}));  // once only
    actions_test::Let(script, "s", New("Object"));
    SetM(script, V("s"), "onResize", Fn({}, onResize));
    actions_test::Do(script, CallM(V("Stage"), "addListener", {V("s")}));
    Report(script, "size",
           Add(Add(Add(Add(M(V("Stage"), "width"), S("x")), M(V("Stage"), "height")), S(" ")),
               M(V("Stage"), "scaleMode")));
    Report(script, "left", M(V("Key"), "LEFT"));
    script.Action(writer::ActionCode::Stop);
    TagStream tags;
    tags.DoAction(script.Finish());
    tags.ShowFrame();

    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(Build(tags)));  // a 200 x 150 pixel stage
    EXPECT_EQ(host.calls, (std::vector<std::string>{"size 200x150 showAll", "left 37"}));
    host.calls.clear();

    player.KeyDown(0x41, 'a');
    player.KeyUp(0x41, 'a');
    player.PointerDown(5, 5);
    player.PointerUp(5, 5);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"down 65,97,true", "up false", "mouse up"}));
    host.calls.clear();

    // showAll: resizing the view changes nothing scripts see.
    player.SetViewportSize(640, 480);
    EXPECT_TRUE(host.calls.empty());
}

TEST(Listeners, NoScaleReportsTheViewAndTellsOfResizes) {
    ActionAssembler onResize;
    Report(onResize, "resize", Add(Add(M(V("Stage"), "width"), S("x")), M(V("Stage"), "height")));
    ActionAssembler script;
    SetM(script, V("Stage"), "scaleMode", S("noscale"));
    SetM(script, V("Stage"), "align", S("tl"));
    actions_test::Let(script, "s", New("Object"));
    SetM(script, V("s"), "onResize", Fn({}, onResize));
    actions_test::Do(script, CallM(V("Stage"), "addListener", {V("s")}));
    Report(script, "mode", Add(Add(M(V("Stage"), "scaleMode"), S(" ")), M(V("Stage"), "align")));
    SetM(script, V("Stage"), "scaleMode", S("bogus"));  // ignored
    Report(script, "still", M(V("Stage"), "scaleMode"));
    script.Action(writer::ActionCode::Stop);
    TagStream tags;
    tags.DoAction(script.Finish());
    tags.ShowFrame();

    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(Build(tags)));
    player.SetViewportSize(640, 480);
    player.SetViewportSize(640, 480);  // no change, no event
    EXPECT_EQ(host.calls, (std::vector<std::string>{"mode noScale LT", "still noScale", "resize 640x480"}));
}

// The player turns Windows key codes into what scripts see: Key.isToggled for
// lock keys, and the button key codes on(keyPress) conditions name (Left is 1,
// a typed character its own code). Mouse.hide reaches the control.
TEST(Listeners, PlayerKeysReachKeyPressConditionsAndLockKeysToggle) {
    TagStream empty;
    empty.ShowFrame();
    auto report = [](const std::string& name, actions_test::Expr value) {
        ActionAssembler a;
        Report(a, name, Add(value, S("")));
        return a.Finish();
    };
    TagStream tags;
    tags.DefineSprite(2, empty);
    writer::PlaceObject c;
    c.depth = 1;
    c.characterId = 2;
    c.clipActions = {ClipEventHandler{kClipKeyPress, 1, report("left", CallM(V("Key"), "isToggled", {N(20)}))},
                     ClipEventHandler{kClipKeyPress, 'Q', report("Q", CallM(V("Key"), "getAscii"))}};
    tags.PlaceObject2(c);
    ActionAssembler script;
    Report(script, "menu", Add(M(V("Stage"), "showMenu"), S("")));
    SetM(script, V("Stage"), "showMenu", actions_test::B(false));
    Report(script, "menu", Add(M(V("Stage"), "showMenu"), S("")));
    actions_test::Do(script, CallM(V("Mouse"), "hide"));
    script.Action(writer::ActionCode::Stop);
    tags.DoAction(script.Finish());
    tags.ShowFrame();

    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(Build(tags)));
    EXPECT_TRUE(player.MouseHidden());
    player.KeyDown(0x25, 0);  // Left: caps lock off
    player.KeyUp(0x25, 0);
    player.KeyDown(20, 0);  // Caps Lock on, held (repeats do not toggle back)
    player.KeyDown(20, 0);
    player.KeyUp(20, 0);
    player.KeyDown(0x25, 0);
    player.KeyDown(0x51, 'Q');
    player.KeyDown(0x51, 'q');  // another character: no condition names it
    player.KeyDown(20, 0);      // Caps Lock off again
    player.KeyDown(0x25, 0);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"menu true", "menu false", "left false", "left true", "Q 81", "left false"}));
}

// on(keyPress "<Enter>") of a button and of a clip run when that key goes down, not for others.
TEST(Listeners, KeyPressConditionsOfButtonsAndClipsMatchTheirKey) {
    TagStream empty;
    empty.ShowFrame();
    TagStream tags;
    tags.DefineSprite(2, empty);
    writer::PlaceObject c;
    c.depth = 1;
    c.characterId = 2;
    c.clipActions = {ClipEventHandler{kClipKeyPress, 13, TraceCode("clip enter")},
                     ClipEventHandler{kClipKeyPress, 'x', TraceCode("clip x")}};
    tags.PlaceObject2(c);
    tags.ShowFrame();

    // A button whose condition is the Escape key (19 in button key codes).
    tags.Add(writer::TagCode::DefineShape3, test::RectangleShape(1, 0, 0, 1000, 1000, 255, 0, 0));
    writer::ButtonRecord up;
    up.states = writer::kStateUp | writer::kStateHitTest;
    up.characterId = 1;
    tags.Add(writer::TagCode::DefineButton2,
             writer::DefineButton2Body(5, {up}, {writer::ButtonAction{19 << 1, TraceCode("button escape")}}));
    writer::PlaceObject button;
    button.depth = 2;
    button.characterId = 5;
    tags.PlaceObject2(button);
    tags.ShowFrame();

    TracedStage t(Build(tags));
    t.stage->Advance();  // frame 2 places the button
    t.stage->KeyDown(13);
    t.stage->KeyDown('y');
    t.stage->KeyDown('x');
    t.stage->KeyDown(19);
    EXPECT_EQ(t.Take(), (Lines{"clip enter", "clip x", "button escape"}));
}

// A clip with press, release or roll-over handlers takes the pointer as a
// button does: roll over, press, release inside; roll out; press, drag out,
// release outside.
TEST(ClipEvents, ClipsWithButtonHandlersActAsButtons) {
    TagStream inner;
    writer::PlaceObject square;
    square.depth = 1;
    square.characterId = 1;
    inner.PlaceObject2(square);
    inner.ShowFrame();
    TagStream tags;
    tags.Add(writer::TagCode::DefineShape3, test::RectangleShape(1, 0, 0, 1000, 1000, 255, 0, 0));
    tags.DefineSprite(3, inner);
    writer::PlaceObject clip;
    clip.depth = 1;
    clip.characterId = 3;
    clip.name = "btn";
    clip.clipActions = {OnClip(kClipRelease, "on release")};
    tags.PlaceObject2(clip);
    ActionAssembler script;
    for (const char* name : {"onPress", "onRollOver", "onRollOut", "onDragOut", "onReleaseOutside"}) {
        ActionAssembler body;
        Trace(body, S(name));
        SetM(script, V("btn"), name, Fn({}, body));
    }
    script.Action(writer::ActionCode::Stop);
    tags.DoAction(script.Finish());
    tags.ShowFrame();

    TracedStage t(Build(tags));
    EXPECT_EQ(t.stage->HoveredTarget(), nullptr);
    t.stage->PointerMove({500, 500});
    EXPECT_NE(t.stage->HoveredTarget(), nullptr);
    t.stage->PointerDown({500, 500});
    t.stage->PointerUp({500, 500});
    t.stage->PointerMove({3000, 2000});
    EXPECT_EQ(t.Take(), (Lines{"onRollOver", "onPress", "on release", "onRollOut"}));
    t.stage->PointerMove({500, 500});
    t.stage->PointerDown({500, 500});
    t.stage->PointerMove({3000, 2000});
    t.stage->PointerUp({3000, 2000});
    EXPECT_EQ(t.Take(), (Lines{"onRollOver", "onPress", "onDragOut", "onReleaseOutside"}));
}

// A clip shown by a button is part of the button: the button takes the
// pointer, and the clip's own press and roll-over handlers never run.
TEST(ClipEvents, ClipsInsideButtonsLeaveThePointerToTheButton) {
    TagStream inner;
    writer::PlaceObject square;
    square.depth = 1;
    square.characterId = 1;
    inner.PlaceObject2(square);
    ActionAssembler handlers;
    for (const char* name : {"onPress", "onRelease", "onRollOver"}) {
        ActionAssembler body;
        Trace(body, Add(S("clip "), S(name)));
        SetM(handlers, V("this"), name, Fn({}, body));
    }
    inner.DoAction(handlers.Finish());
    inner.ShowFrame();
    TagStream tags;
    tags.Add(writer::TagCode::DefineShape3, test::RectangleShape(1, 0, 0, 1000, 1000, 255, 0, 0));
    tags.DefineSprite(3, inner);
    writer::ButtonRecord shown;
    shown.states = writer::kStateUp | writer::kStateOver | writer::kStateDown | writer::kStateHitTest;
    shown.characterId = 3;
    tags.Add(writer::TagCode::DefineButton2,
             writer::DefineButton2Body(5, {shown},
                                       {writer::ButtonAction{writer::kOverUpToOverDown, TraceCode("button press")},
                                        writer::ButtonAction{writer::kOverDownToOverUp, TraceCode("button release")}}));
    writer::PlaceObject button;
    button.depth = 1;
    button.characterId = 5;
    tags.PlaceObject2(button);
    tags.ShowFrame();

    TracedStage t(Build(tags));
    t.Take();
    t.stage->PointerMove({500, 500});
    ASSERT_NE(t.stage->HoveredTarget(), nullptr);
    EXPECT_EQ(t.stage->HoveredTarget()->Kind(), DisplayKind::Button);
    t.stage->PointerDown({500, 500});
    t.stage->PointerUp({500, 500});
    EXPECT_EQ(t.Take(), (Lines{"button press", "button release"}));
}

// Classes defined in the init actions of an exported sprite are there when the
// first frame's script runs: constructor, statics, accessors and subclass.
TEST(ClassMovie, InitActionsDefineClassesThatScriptsAttachesAndPlacementsInstantiate) {
    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(moviegen::BuildClassMovie())) << player.LoadError();
    EXPECT_TRUE(host.calls.empty());  // the report waits for frame 2
    player.AdvanceFrame();
    // Counter ran three times: as StepCounter's super, for the attached clip
    // and for the placed one; both clips are Counters, the attached one has
    // its init object's member.
    EXPECT_EQ(host.calls, std::vector<std::string>{
                              "<invoke name=\"classReady\" returntype=\"xml\"><arguments><number>16</number>"
                              "<number>3</number><true/><number>3</number><true/><true/></arguments></invoke>"});
    EXPECT_TRUE(player.Warnings().empty()) << player.Warnings().front();
    player.AdvanceFrame();  // stopped: nothing more
    EXPECT_EQ(host.calls.size(), 1u);
}

}  // namespace
}  // namespace swf
