// Movies written to freeze or exhaust the player, played with its usual
// limits: every frame ends within the frame's script time, memory stays
// bounded, warnings say what was stopped, and the timeline goes on.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "tools/moviegen/movies.h"

namespace loading_test {
namespace {

using swf::writer::ActionCode;

// The process's resident memory in bytes (0 where it cannot be read).
std::size_t ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            std::size_t kb = 0;
            status >> kb;
            return kb * 1024;
        }
    }
    return 0;
}

struct Hostile {
    TempFolders folders;
    swf::NativeFileHost files{folders.Movie()};
    ReportHost host;
    swf::Player player;
    std::vector<std::string> warnings;
    double slowestFrameMs = 0;

    Hostile() {
        player.SetHost(&host);
        player.SetFileHost(&files);
        player.SetLogHandler([this](swf::Player::LogKind kind, const std::string& text) {
            if (kind == swf::Player::LogKind::Warning) warnings.push_back(text);
        });
    }
    void Play(const Bytes& movie, int frames) {
        const auto loadStart = std::chrono::steady_clock::now();
        ASSERT_TRUE(player.Load(movie)) << player.LoadError();
        Note(loadStart);
        for (int i = 0; i < frames; ++i) {
            const auto start = std::chrono::steady_clock::now();
            player.AdvanceFrame();
            Note(start);
        }
    }
    void Note(std::chrono::steady_clock::time_point start) {
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        slowestFrameMs = std::max(slowestFrameMs, ms);
    }
    // The frame's script time, and what the rest of the frame may add.
    static double FrameBound() { return swf::Player::DefaultScriptMilliseconds() * 1.5 + 1000; }
};

TEST(HostileMovies, AThousandClipsWithEndlessEnterFrameHandlers) {
    Hostile t;
    t.Play(moviegen::BuildEndlessHandlersMovie(), 5);
    EXPECT_LT(t.slowestFrameMs, Hostile::FrameBound());
    EXPECT_EQ(t.warnings.size(), 1u);        // one run of spent frames, told once
    EXPECT_EQ(t.player.CurrentFrame(), 1u);  // the timeline went on: frames 1, 2, 1, 2, 1, 2
}

TEST(HostileMovies, EndlessIntervalsListenersAndGetters) {
    Hostile t;
    t.Play(moviegen::BuildEndlessCallbacksMovie(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        t.player.PointerMove(10 + i, 10);
        t.player.KeyDown(65, 'a');
        t.Note(start);
    }
    EXPECT_LT(t.slowestFrameMs, 2 * Hostile::FrameBound());  // a move and a key press, each with its own budget
    EXPECT_FALSE(t.warnings.empty());
}

TEST(HostileMovies, AVariablesFileOfTheMostNamesAFileMayGive) {
    std::string text;
    for (int i = 0; i < 65'536; ++i) text += "distinct_name_" + std::to_string(i) + "=" + std::to_string(i) + "&";
    Hostile t;
    t.folders.Write("many.txt", text);
    ActionAssembler ask, check;
    // Loaded three times over, as the freezing movie did.
    for (int i = 0; i < 3; ++i) ask.PushString("many.txt").PushString("_level0").GetURL2(0x80);
    Report(check, "last", Var("distinct_name_65535"));
    check.Action(ActionCode::Stop);
    t.Play(ScriptMovie({}, {ask, ActionAssembler{}, ActionAssembler{}, check}), 5);
    EXPECT_LT(t.slowestFrameMs, Hostile::FrameBound());
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"last=65535"}));
}

TEST(HostileMovies, OnDataThatReloadsALargeFileEveryTickStaysBounded) {
    Hostile t;
    t.folders.Write("big.txt", std::string(3u << 20, 'x'));
    const std::size_t residentBefore = ResidentBytes();
    t.Play(moviegen::BuildReloadingDataMovie(), 60);
    EXPECT_LT(t.slowestFrameMs, Hostile::FrameBound());
    // 60 loads of 3 MB passed through scripts; what is held stays near one file.
    EXPECT_LT(t.player.ScriptMemoryBytes(), 64u << 20);
    if (residentBefore != 0) {
        EXPECT_LT(ResidentBytes(), residentBefore + (300u << 20));
    }
}

TEST(HostileMovies, AMovieLoadingItselfIntoANewLevelEveryFrame) {
    Hostile t;
    const Bytes movie = moviegen::BuildLevelLoaderMovie();
    t.folders.Write("UserGuide.swf", movie);
    t.Play(movie, 300);
    EXPECT_LT(t.slowestFrameMs, Hostile::FrameBound());
    for (auto& w : t.warnings) ADD_FAILURE() << w;
    // Unloading everything it built is quick too.
    const auto start = std::chrono::steady_clock::now();
    t.player.Unload();
    const double unloadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(unloadMs, 1000);
}

TEST(HostileMovies, ScriptsThatHoardTextStopAtTheMemoryLimit) {
    // Every other frame: s = "x" doubled to 1 MB, then 100 distinct copies
    // pushed onto an array kept throughout.
    ActionAssembler setup;  // if (kept == undefined) kept = new Array();
    setup.PushString("kept").Action(ActionCode::GetVariable).PushUndefined().Action(ActionCode::Equals2);
    setup.Action(ActionCode::Not).If("made");
    setup.PushString("kept").PushNumber(0).PushString("Array").Action(ActionCode::NewObject);
    setup.Action(ActionCode::SetVariable);
    setup.Label("made");
    ActionAssembler hoard;
    hoard.PushString("s").PushString("x").Action(ActionCode::SetVariable);
    hoard.Label("grow");
    hoard.PushString("s").PushString("s").Action(ActionCode::GetVariable).PushString("s");
    hoard.Action(ActionCode::GetVariable).Action(ActionCode::Add2).Action(ActionCode::SetVariable);
    hoard.PushString("s").Action(ActionCode::GetVariable).PushString("length").Action(ActionCode::GetMember);
    hoard.PushNumber(1 << 20).Action(ActionCode::Less2).If("grow");
    hoard.PushString("i").PushNumber(0).Action(ActionCode::SetVariable);
    hoard.Label("push");
    hoard.PushString("s").Action(ActionCode::GetVariable).PushString("i").Action(ActionCode::GetVariable);
    hoard.Action(ActionCode::Add2).PushNumber(1).PushString("kept").Action(ActionCode::GetVariable);
    hoard.PushString("push").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    hoard.PushString("i").PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Increment);
    hoard.Action(ActionCode::SetVariable);
    hoard.PushString("i").Action(ActionCode::GetVariable).PushNumber(100).Action(ActionCode::Less2).If("push");
    Hostile t;
    // Until the limit is met or 200 frames have tried.
    const Bytes movie = ScriptMovie({}, {setup, hoard});
    ASSERT_TRUE(t.player.Load(movie));
    bool toldLimit = false;
    for (int frame = 0; frame < 200 && !toldLimit; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        t.player.AdvanceFrame();
        t.Note(start);
        for (const std::string& w : t.warnings) toldLimit |= w.find("script memory is used up") != std::string::npos;
    }
    EXPECT_LT(t.slowestFrameMs, Hostile::FrameBound());
    EXPECT_TRUE(toldLimit) << t.player.ScriptMemoryBytes() << " bytes; " << t.warnings.size() << " warnings"
                           << (t.warnings.empty() ? std::string() : ", first: " + t.warnings.front());
    // The limit is 256 MB; one frame may add up to what its budget lets it make.
    EXPECT_LT(t.player.ScriptMemoryBytes(), 512u << 20);
}

}  // namespace
}  // namespace loading_test
