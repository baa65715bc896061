// The player facade: buttons under the pointer, actions reaching the host,
// frame control, and malformed movies that must never crash it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using test::Place;
using writer::BitWriter;

class RecordingHost : public ActionHost {
public:
    void FSCommand(const std::string& command, const std::string& args) override {
        calls.push_back("fs:" + command + "|" + args);
    }
    std::string FlashCall(const std::string& request) override {
        calls.push_back("call:" + request);
        return {};
    }
    void GetURL(const std::string& url, const std::string& target) override {
        calls.push_back("url:" + url + "|" + target);
    }
    std::vector<std::string> calls;
};

// ActionGetURL with an FSCommand URL, then the end of actions.
Bytes FsCommandAction(const std::string& command, const std::string& args) {
    BitWriter b;
    b.U8(0x83);
    const std::string url = "FSCommand:" + command;
    b.U16(static_cast<std::uint16_t>(url.size() + args.size() + 2));
    b.String(url);
    b.String(args);
    b.U8(0);
    return b.bytes();
}

// DefineButton2 id 20: red square (shape 1) when up, green (shape 2) when
// over, blue (shape 3) when down, hit area shape 1; one action per condition.
Bytes Button(const std::vector<std::pair<std::uint16_t, Bytes>>& actions) {
    BitWriter records;
    auto record = [&](std::uint8_t states, std::uint16_t character) {
        records.U8(states);
        records.U16(character);
        records.U16(1);
        test::PutTranslate(records, 0, 0);
        records.U8(0);  // empty colour transform
    };
    record(kButtonUp | kButtonHit, 1);
    record(kButtonOver, 2);
    record(kButtonDown, 3);
    records.U8(0);
    BitWriter b;
    b.U16(20);
    b.U8(0);
    // The action offset counts from its own field past the records.
    b.U16(static_cast<std::uint16_t>(2 + records.bytes().size()));
    b.Bytes(records.bytes());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const bool last = i + 1 == actions.size();
        b.U16(last ? 0 : static_cast<std::uint16_t>(4 + actions[i].second.size()));
        b.U8(static_cast<std::uint8_t>(actions[i].first));
        b.U8(static_cast<std::uint8_t>(actions[i].first >> 8));
        b.Bytes(actions[i].second);
    }
    return test::Tag(34, b.bytes());
}

// Stage 200 x 100 px; the button's hit square covers twips 0..1000 (pixels 0..49 at scale 1).
Bytes ButtonMovie(const std::vector<std::pair<std::uint16_t, Bytes>>& actions) {
    Place p;
    p.depth = 1;
    p.character = 20;
    p.hasMatrix = true;
    p.tx = 1000;
    p.ty = 0;
    return test::Movie({test::Tag(32, test::RectangleShape(1, 0, 0, 1000, 1000, 255, 0, 0)),
                        test::Tag(32, test::RectangleShape(2, 0, 0, 1000, 1000, 0, 255, 0)),
                        test::Tag(32, test::RectangleShape(3, 0, 0, 1000, 1000, 0, 0, 255)), Button(actions),
                        test::PlaceObject2(p), test::ShowFrame()},
                       4000, 2000);
}

TEST(PlayerButtons, PointerDrivesStatesAndReleaseActionsReachTheHost) {
    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(ButtonMovie({{kCondOverUpToOverDown, FsCommandAction("press", "1")},
                                         {kCondOverDownToOverUp, FsCommandAction("release", "2")},
                                         {kCondOutDownToIdle, FsCommandAction("outside", "3")}})))
        << player.LoadError();
    // A 400 x 200 view: scale 2, so the button covers pixels 100..199 x 0..199.
    raster::Surface s(400, 200);
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFFFF0000u);
    EXPECT_FALSE(player.PointerOverButton());

    player.PointerMove(150, 50);
    EXPECT_TRUE(player.PointerOverButton());
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFF00FF00u);

    player.PointerDown(150, 50);
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFF0000FFu);
    player.PointerUp(150, 50);
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFF00FF00u);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"fs:press|1", "fs:release|2"}));

    // Pressed, dragged off and released outside: the outside action only.
    host.calls.clear();
    player.PointerDown(150, 50);
    player.PointerMove(50, 50);
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFFFF0000u);
    player.PointerUp(50, 50);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"fs:press|1", "fs:outside|3"}));
    EXPECT_FALSE(player.PointerOverButton());

    // Leaving the button returns it to its up state.
    player.PointerMove(150, 50);
    player.PointerMove(399, 199);
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFFFF0000u);
}

TEST(PlayerButtons, ButtonsInsideSpritesAndTransitionsQueueForTheParent) {
    // Stage level: the button sits in sprite 30; its actions run for the sprite.
    Place inner;
    inner.depth = 1;
    inner.character = 20;
    Place outer;
    outer.depth = 1;
    outer.character = 30;
    outer.hasMatrix = true;
    outer.tx = 2000;
    auto movie = ParseMovie(
        test::Movie({test::Tag(32, test::RectangleShape(1, 0, 0, 1000, 1000, 255, 0, 0)),
                     Button({{kCondIdleToOverUp, Bytes{0x07, 0x00}}, {kCondOverUpToIdle, Bytes{0x06, 0x00}}}),
                     test::DefineSprite(30, 1, {test::PlaceObject2(inner), test::ShowFrame()}),
                     test::PlaceObject2(outer), test::ShowFrame()},
                    4000, 2000));
    struct Runner : ActionRunner {
        void Run(const std::vector<std::uint8_t>& code, MovieClip& target) override {
            ran.push_back({code[0], &target});
        }
        void Forget(MovieClip&) override {}
        std::vector<std::pair<std::uint8_t, MovieClip*>> ran;
    } runner;
    Stage stage(movie);
    stage.SetActionRunner(&runner);
    auto* sprite = static_cast<MovieClip*>(stage.Root().Children().at(1).get());
    EXPECT_EQ(stage.ButtonAt({1500, 500}), nullptr);
    ButtonInstance* button = stage.ButtonAt({2500, 500});
    ASSERT_NE(button, nullptr);
    stage.PointerMove({2500, 500});
    EXPECT_EQ(button->State(), ButtonState::Over);
    stage.PointerMove({3500, 500});
    EXPECT_EQ(button->State(), ButtonState::Up);
    ASSERT_EQ(runner.ran.size(), 2u);
    EXPECT_EQ(runner.ran[0], std::make_pair(std::uint8_t{0x07}, sprite));
    EXPECT_EQ(runner.ran[1], std::make_pair(std::uint8_t{0x06}, sprite));
}

TEST(PlayerFacade, AHostThatReloadsFromInsideACallbackIsSafe) {
    // The release action's FSCommand makes the host load another movie while
    // the old one is still running the action.
    struct ReloadingHost : RecordingHost {
        Player* player = nullptr;
        Bytes next;
        void FSCommand(const std::string& command, const std::string& args) override {
            RecordingHost::FSCommand(command, args);
            if (command == "release") {
                EXPECT_TRUE(player->Load(next));
            }
        }
    } host;
    Player player;
    host.player = &player;
    host.next = test::Movie({test::SetBackground(4, 5, 6), test::ShowFrame()}, 4000, 2000);
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(ButtonMovie({{kCondOverDownToOverUp, FsCommandAction("release", "")},
                                         {kCondOverDownToOverUp, FsCommandAction("after", "")}})));
    raster::Surface s(400, 200);
    player.Render(s);
    player.PointerDown(150, 50);
    player.PointerUp(150, 50);
    EXPECT_EQ(player.BackgroundColor(), (Rgba{4, 5, 6, 255}));
    EXPECT_FALSE(player.PointerOverButton());
    player.Render(s);
    EXPECT_EQ(s.pixel(150, 50), 0xFF040506u);
    EXPECT_EQ(host.calls.front(), "fs:release|");
}

TEST(PlayerFacade, FramesFrameRateAndFirstFrameActions) {
    RecordingHost host;
    Player player;
    player.SetHost(&host);
    EXPECT_DOUBLE_EQ(player.FrameRate(), 12);
    const Bytes movie =
        test::Movie({test::SetBackground(1, 2, 3), test::DoAction(FsCommandAction("hello", "a")), test::ShowFrame(),
                     test::DoAction(FsCommandAction("second", "")), test::ShowFrame(), test::ShowFrame()},
                    11000, 8000, 30, 3, 6);
    ASSERT_TRUE(player.Load(test::Compress(movie)));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"fs:hello|a"}));
    EXPECT_DOUBLE_EQ(player.FrameRate(), 30);
    EXPECT_EQ(player.StageRect(), (Rect{0, 11000, 0, 8000}));
    EXPECT_EQ(player.BackgroundColor(), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(player.Version(), 6);
    EXPECT_EQ(player.FrameCount(), 3u);
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_EQ(host.calls.back(), "fs:second|");
    player.Stop();
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_FALSE(player.IsPlaying());
    player.Play();
    player.AdvanceFrame();
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 0u);
    EXPECT_EQ(host.calls.back(), "fs:hello|a");
    player.GotoFrame(1);
    EXPECT_EQ(host.calls.back(), "fs:second|");
    // A zero frame rate falls back to the default.
    ASSERT_TRUE(player.Load(test::Movie({test::ShowFrame()}, 100, 100, 0)));
    EXPECT_DOUBLE_EQ(player.FrameRate(), 12);
    EXPECT_EQ(player.BackgroundColor(), (Rgba{255, 255, 255, 255}));
}

// A small movie with one of each kind of tag the engine reads.
Bytes RichMovie() {
    BitWriter font;
    font.U16(7);
    font.U16(2);
    font.UB(4, 1);
    font.UB(4, 0);
    test::ShapeRecords g(font, 1, 0);
    g.Move(0, -1024, -1, 1, -1);
    g.Line(1024, 0);
    g.Line(0, 1024);
    g.End();
    BitWriter text;
    text.U16(8);
    test::PutRect(text, 0, 100, 0, 100);
    test::PutTranslate(text, 100, 100);
    text.U8(1);
    text.U8(8);
    text.U8(0x80 | 0x08 | 0x04);
    text.U16(7);
    test::PutRgb(text, 1, 2, 3);
    text.U16(240);
    text.U8(1);
    text.UB(1, 0);
    text.SB(8, 100);
    text.U8(0);
    Place clip;
    clip.depth = 1;
    clip.character = 1;
    clip.clipDepth = 5;
    Place sprite;
    sprite.depth = 2;
    sprite.character = 9;
    sprite.name = "mc";
    Place t;
    t.depth = 3;
    t.character = 8;
    return test::Movie({test::SetBackground(9, 9, 9), test::Tag(32, test::RectangleShape(1, 0, 0, 500, 500, 1, 2, 3)),
                        test::Tag(10, font.bytes()), test::Tag(11, text.bytes()),
                        test::DefineSprite(9, 2,
                                           {test::PlaceObject2([] {
                                                Place p;
                                                p.depth = 1;
                                                p.character = 1;
                                                return p;
                                            }()),
                                            test::ShowFrame(), test::RemoveObject2(1), test::ShowFrame()}),
                        Button({{kCondOverDownToOverUp, FsCommandAction("x", "y")}}), test::PlaceObject2(clip),
                        test::PlaceObject2(sprite), test::PlaceObject2(t), test::FrameLabel("a"),
                        test::DoAction(FsCommandAction("f", "g")), test::ShowFrame(), test::RemoveObject2(3),
                        test::ShowFrame()});
}

TEST(MalformedMovies, EveryTruncationPlaysWhatIsThereWithoutHarm) {
    const Bytes movie = RichMovie();
    Player reference;
    ASSERT_TRUE(reference.Load(movie)) << reference.LoadError();
    EXPECT_TRUE(reference.Warnings().empty());
    raster::Surface s(40, 30);
    for (const Bytes& whole : {movie, test::Compress(movie)}) {
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            Player player;
            // A cut movie loads with a warning, or is refused with a reason
            // when not even its header is whole; either way nothing breaks.
            if (player.Load(Bytes(whole.begin(), whole.begin() + cut))) {
                EXPECT_FALSE(player.Warnings().empty()) << cut;
            } else {
                EXPECT_FALSE(player.LoadError().empty()) << cut;
            }
            for (int i = 0; i < 3; ++i) player.AdvanceFrame();
            player.PointerDown(5, 5);
            player.PointerUp(5, 5);
            player.Render(s);
        }
    }
}

TEST(MalformedMovies, CorruptedTagsAreSkippedOrRefusedNeverCrash) {
    const Bytes movie = RichMovie();
    raster::Surface s(40, 30);
    // Flip every byte after the header in turn; the player must either load
    // (possibly with warnings) or refuse, and keep working either way.
    for (std::size_t i = 8; i < movie.size(); ++i) {
        for (std::uint8_t x : {std::uint8_t{0xFF}, std::uint8_t{0x80}, std::uint8_t{0x01}}) {
            Bytes bad = movie;
            bad[i] ^= x;
            Player player;
            if (player.Load(bad)) {
                for (int f = 0; f < 3; ++f) player.AdvanceFrame();
                player.PointerMove(10, 10);
                player.PointerDown(10, 10);
                player.PointerUp(10, 10);
                player.Render(s);
            } else {
                EXPECT_FALSE(player.LoadError().empty());
            }
        }
    }
    // A definition tag whose contents are cut short is dropped with a warning.
    Bytes shape = test::RectangleShape(1, 0, 0, 100, 100, 1, 2, 3);
    shape.resize(shape.size() - 3);
    auto parsed = ParseMovie(test::Movie({test::Tag(32, shape), test::ShowFrame()}));
    EXPECT_EQ(parsed->dictionary.count(1), 0u);
    ASSERT_EQ(parsed->warnings.size(), 1u);
    EXPECT_NE(parsed->warnings[0].find("tag 32"), std::string::npos);
    // A tag whose long length runs far past the data ends the stream there;
    // the frame before it plays.
    Bytes huge = test::Movie({test::ShowFrame()});
    const Bytes hugeTag = {0x3F, 0x03, 0xF0, 0xFF, 0xFF, 0x7F};
    huge.insert(huge.end() - 2, hugeTag.begin(), hugeTag.end());
    huge[4] = static_cast<std::uint8_t>(huge.size());
    parsed = ParseMovie(huge);
    EXPECT_EQ(parsed->timeline.frames.size(), 1u);
    ASSERT_EQ(parsed->warnings.size(), 1u);
    EXPECT_NE(parsed->warnings[0].find("tag 12 cut short"), std::string::npos) << parsed->warnings[0];
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

TEST(PlayerWarnings, StoppedScriptsAreListedAndTheMovieGoesOn) {
    // Frame 1 jumps to itself forever; frame 2 is plain.
    const Bytes endless = {0x99, 0x02, 0x00, 0xFB, 0xFF, 0x00};
    Player player;
    ASSERT_TRUE(
        player.Load(test::Movie({test::DoAction(endless), test::ShowFrame(), test::ShowFrame()}, 4000, 3000, 12, 2)));
    std::vector<std::string> warnings = player.Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "scripts stopped in a script of _level0 on frame 1: the frame's script budget (steps or time) was spent; "
              "the rest of this frame's scripts were skipped and the movie goes on");
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 1u);

    // The list stays bounded however often scripts are stopped: a jump out of
    // its block stops frame 1's script on every pass of a two-frame loop.
    const Bytes badJump = {0x99, 0x02, 0x00, 0xE8, 0x03, 0x00};
    ASSERT_TRUE(
        player.Load(test::Movie({test::DoAction(badJump), test::ShowFrame(), test::ShowFrame()}, 4000, 3000, 12, 2)));
    for (int i = 0; i < 200; ++i) player.AdvanceFrame();
    warnings = player.Warnings();
    EXPECT_EQ(warnings.size(), 51u);
    EXPECT_EQ(warnings.front(),
              "script stopped in a script of _level0 on frame 1: malformed action code; the movie goes on");
    EXPECT_EQ(warnings.back(), "51 more scripts stopped");
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

// setTimeout and setInterval callbacks run on the frame ticks once due, never
// inside the script that set them.
TEST(PlayerTimers, DueCallbacksRunOnTheFrameTicks) {
    using writer::ActionAssembler;
    using writer::ActionCode;
    ActionAssembler once;
    once.FsCommand("timeout", "");
    ActionAssembler again;
    again.FsCommand("interval", "");
    ActionAssembler script;
    script.PushNumber(0).DefineFunction("", {}, once).PushNumber(2).PushString("setTimeout");
    script.Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    script.PushNumber(1).DefineFunction("", {}, again).PushNumber(2).PushString("setInterval");
    script.Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    script.Action(ActionCode::Stop);
    RecordingHost host;
    Player player;
    player.SetHost(&host);
    ASSERT_TRUE(player.Load(test::Movie({test::DoAction(script.Finish()), test::ShowFrame()})));
    EXPECT_TRUE(host.calls.empty());
    player.AdvanceFrame();
    ASSERT_GE(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], "fs:timeout|");
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        player.AdvanceFrame();
    }
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "fs:timeout|"), 1);
    EXPECT_GE(std::count(host.calls.begin(), host.calls.end(), "fs:interval|"), 4);
}

}  // namespace
}  // namespace swf
