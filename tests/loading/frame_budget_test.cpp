// One budget of script steps and time per frame: every kind of script work a
// frame does draws on it, so that no movie can freeze the player. Each test
// puts two endless pieces of one kind into one frame: had either its own
// budget, the frame would take more steps than one budget holds.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "swf/writer/movie.h"

namespace loading_test {
namespace {

using swf::writer::ActionCode;

constexpr std::uint64_t kSteps = 20'000;

ActionAssembler Endless() {
    ActionAssembler body;
    body.Label("top").Jump("top");
    return body;
}

ActionAssembler Stop() {
    ActionAssembler a;
    a.Action(ActionCode::Stop);
    return a;
}

struct Budgeted {
    TempFolders folders;
    swf::NativeFileHost files{folders.Movie()};
    ReportHost host;
    swf::Player player;
    std::vector<std::string> warnings;

    explicit Budgeted(std::uint64_t steps = kSteps, double milliseconds = -1) {
        player.SetHost(&host);
        player.SetFileHost(&files);
        player.SetScriptStepLimit(steps);
        player.SetScriptTimeLimit(milliseconds);
        player.SetLogHandler([this](swf::Player::LogKind kind, const std::string& text) {
            if (kind == swf::Player::LogKind::Warning) warnings.push_back(text);
        });
    }
    void Load(const Bytes& movie) { ASSERT_TRUE(player.Load(movie)) << player.LoadError(); }
    // Steps the scripts took during `work`.
    template <class Work>
    std::uint64_t StepsOf(Work&& work) {
        const std::uint64_t before = player.ScriptSteps();
        work();
        return player.ScriptSteps() - before;
    }
    bool Warned(const std::string& part) const {
        for (const std::string& w : warnings)
            if (w.find(part) != std::string::npos) return true;
        return false;
    }
};

// Two sprites "a" and "b" on the stage, with `handlers` as their clip actions.
Definitions TwoClips(const std::vector<swf::writer::ClipEventHandler>& handlers = {}) {
    return [handlers](swf::writer::TagStream& tags) {
        tags.DefineSprite(10, swf::writer::TagStream{});
        for (std::uint16_t depth : {1, 2}) {
            swf::writer::PlaceObject place;
            place.depth = depth;
            place.characterId = 10;
            place.name = depth == 1 ? "a" : "b";
            place.clipActions = handlers;
            tags.PlaceObject2(place);
        }
    };
}

TEST(FrameBudget, FrameActionsAndClipEventsShareTheFramesSteps) {
    Budgeted frames;
    ActionAssembler second;
    second.Label("top").Jump("top");
    frames.Load(ScriptMovie({}, {ActionAssembler{}, Endless(), Endless(), Stop()}));
    EXPECT_LE(frames.StepsOf([&] { frames.player.AdvanceFrame(); }), kSteps);
    EXPECT_TRUE(frames.Warned("scripts stopped in a script of _level0 on frame 2"));

    Budgeted events;
    swf::writer::ClipEventHandler enterFrame;
    enterFrame.events = 2;
    enterFrame.actions = Endless().Finish();
    events.Load(ScriptMovie(TwoClips({enterFrame}), {Stop()}));
    EXPECT_LE(events.StepsOf([&] { events.player.AdvanceFrame(); }), kSteps);
    EXPECT_EQ(events.warnings.size(), 1u);
}

TEST(FrameBudget, HandlersIntervalsAndListenersShareTheFramesSteps) {
    // onEnterFrame functions on two clips.
    Budgeted handlers;
    ActionAssembler setup = Stop();
    SetMethod(setup, "a", "onEnterFrame", {}, Endless());
    SetMethod(setup, "b", "onEnterFrame", {}, Endless());
    handlers.Load(ScriptMovie(TwoClips(), {setup}));
    EXPECT_LE(handlers.StepsOf([&] { handlers.player.AdvanceFrame(); }), kSteps);
    ASSERT_EQ(handlers.warnings.size(), 1u);
    EXPECT_TRUE(handlers.Warned("scripts stopped in onEnterFrame of _level0."));

    // Two intervals due in the same tick.
    Budgeted intervals;
    ActionAssembler timers = Stop();
    for (int i = 0; i < 2; ++i) {
        timers.PushNumber(1);
        timers.DefineFunction("", {}, Endless());
        timers.PushNumber(2).PushString("setInterval").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    }
    intervals.Load(ScriptMovie({}, {timers}));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_LE(intervals.StepsOf([&] { intervals.player.AdvanceFrame(); }), kSteps);
    EXPECT_TRUE(intervals.Warned("an interval or timeout callback"));

    // Two key listeners hearing one key press: an input event has a budget of its own.
    Budgeted listeners;
    ActionAssembler listen = Stop();
    for (const char* name : {"first", "second"}) {
        New(listen, name, "Object");
        SetMethod(listen, name, "onKeyDown", {}, Endless());
        CallAndDrop(listen, MethodCall("Key", "addListener", {Var(name)}));
    }
    listeners.Load(ScriptMovie({}, {listen}));
    EXPECT_LE(listeners.StepsOf([&] { listeners.player.KeyDown(65, 'a'); }), kSteps);
    EXPECT_TRUE(listeners.Warned("the Key listeners' onKeyDown"));
}

TEST(FrameBudget, LoadReportsAndLoadedMoviesShareTheFramesSteps) {
    // Two LoadVars whose onData never ends, and two XML documents whose onLoad never ends.
    for (const char* kind : {"LoadVars", "XML"}) {
        Budgeted loads;
        loads.folders.Write("data.txt", "a=1");
        ActionAssembler ask = Stop();
        for (const char* name : {"first", "second"}) {
            New(ask, name, kind);
            SetMethod(ask, name, std::string(kind) == "XML" ? "onLoad" : "onData", {}, Endless());
            CallAndDrop(ask, MethodCall(name, "load", {Str("data.txt")}));
        }
        loads.Load(ScriptMovie({}, {ask}));
        EXPECT_LE(loads.StepsOf([&] { loads.player.AdvanceFrame(); }), kSteps) << kind;
        EXPECT_EQ(loads.warnings.size(), 1u) << kind;
    }

    // Two movies loaded into levels whose first frames never end.
    Budgeted levels;
    levels.folders.Write("loop.swf", ScriptMovie({}, {Endless()}));
    ActionAssembler load = Stop();
    load.PushString("loop.swf").PushString("_level1").GetURL2(0x40);
    load.PushString("loop.swf").PushString("_level2").GetURL2(0x40);
    levels.Load(ScriptMovie({}, {load}));
    EXPECT_LE(levels.StepsOf([&] { levels.player.AdvanceFrame(); }), kSteps);
    EXPECT_TRUE(levels.Warned("scripts stopped in a script of _level1 on frame 1"));
}

TEST(FrameBudget, LoadedVariablesAreFrameWorkAndTheRestOfTheFrameWaits) {
    // 65,536 names, as many as a file may give: setting them spends this
    // small budget, so the frame's own script is skipped, and the frame after runs.
    std::string text;
    for (int i = 0; i < 65'536; ++i) text += "name" + std::to_string(i) + "=" + std::to_string(i) + "&";
    Budgeted t;
    t.folders.Write("many.txt", text);
    ActionAssembler ask, first, later;
    ask.PushString("many.txt").PushString("_level0").GetURL2(0x80);
    Report(first, "first", Var("name65535"));
    Report(later, "later", Var("name65535"));
    later.Action(ActionCode::Stop);
    t.Load(ScriptMovie({}, {ask, first, later}));
    t.player.AdvanceFrame();
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"later=65535"}));
}

TEST(FrameBudget, ALongRunOfSpentFramesIsToldAtItsStartAndOnceMore) {
    Budgeted t;
    ActionAssembler setup = Stop();
    SetMethod(setup, "a", "onEnterFrame", {}, Endless());
    t.Load(ScriptMovie(TwoClips(), {setup}));
    for (int i = 0; i < 250; ++i) t.player.AdvanceFrame();
    ASSERT_EQ(t.warnings.size(), 2u);
    EXPECT_NE(t.warnings[1].find("on 100 frames in a row"), std::string::npos) << t.warnings[1];
    // The scripts still get their budget every frame.
    EXPECT_GE(t.StepsOf([&] { t.player.AdvanceFrame(); }), kSteps / 2);
}

TEST(FrameBudget, TimeEndsAFramesScriptsWhenStepsWouldNot) {
    Budgeted t(1'000'000'000, 50);
    t.Load(ScriptMovie({}, {ActionAssembler{}, Endless(), Stop()}));
    const auto start = std::chrono::steady_clock::now();
    t.player.AdvanceFrame();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 50);
    EXPECT_LT(ms, 2000);  // far below what the steps alone would take
    EXPECT_EQ(t.warnings.size(), 1u);
}

TEST(FrameBudget, AScriptLimitsTagLowersTheCallDepth) {
    // function f(n) { return f(n + 1); } f(0): endless recursion, cut at the tag's depth of 5.
    ActionAssembler body;
    body.PushString("depth").PushString("n").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    body.PushString("n").Action(ActionCode::GetVariable).Action(ActionCode::Increment).PushNumber(1);
    body.PushString("f").Action(ActionCode::CallFunction).Action(ActionCode::Return);
    ActionAssembler first, second;
    first.DefineFunction("f", {"n"}, body);
    first.PushNumber(0).PushNumber(1).PushString("f").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    Report(second, "depth", Var("depth"));
    second.Action(ActionCode::Stop);
    swf::writer::TagStream tags;
    const std::vector<std::uint8_t> limits = {5, 0, 1, 0};  // recursion depth 5, time-out 1 s
    tags.Add(static_cast<swf::writer::TagCode>(65), limits);
    tags.DoAction(first.Finish());
    tags.ShowFrame();
    tags.DoAction(second.Finish());
    tags.ShowFrame();
    swf::writer::MovieHeader header;
    header.frameSize = {0, 4000, 0, 2000};
    Budgeted t;
    t.Load(swf::writer::BuildMovie(header, tags));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"depth=4"}));
    EXPECT_TRUE(t.Warned("function calls nested too deeply"));
}

}  // namespace
}  // namespace loading_test
