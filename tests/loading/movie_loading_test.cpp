// loadMovie, levels and MovieClipLoader through real movies: the loaded
// content's place, its own dictionary and timeline, callbacks and their
// order, and failures that leave the movie playing.

#include <gtest/gtest.h>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/text.h"

namespace loading_test {
namespace {

using swf::writer::ActionCode;
using Reports = std::vector<std::string>;

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

void Place(swf::writer::TagStream& tags, std::uint16_t depth, std::uint16_t id, const std::string& name = {},
           std::int32_t x = 0, std::int32_t y = 0) {
    swf::writer::PlaceObject place;
    place.depth = depth;
    place.characterId = id;
    place.name = name;
    place.hasMatrix = x != 0 || y != 0;
    place.matrix = swf::writer::Matrix::Translate(x, y);
    tags.PlaceObject2(place);
}

// 50 x 50 px of red (shape 1) at its origin; frame 1 sets marker = "child".
Bytes ChildMovie() {
    ActionAssembler first, second;
    Report(first, "child", Str("frame1"));
    Set(first, "marker", Str("child"));
    Set(first, "_root.seen", Str("yes"));  // the main movie's, or the level's own
    Report(second, "child", Str("frame2"));
    second.Action(ActionCode::Stop);
    return ScriptMovie(
        [](swf::writer::TagStream& tags) {
            AddRectangle(tags, 1, 1000, 1000, 0xFF0000);
            Place(tags, 1, 1);
        },
        {first, second});
}

// Shape 1 is blue here too: the loaded movie must draw from its own dictionary.
// An empty sprite "holder" at (100, 30) px and "holder2" at (0, 80) px.
void HostDefinitions(swf::writer::TagStream& tags) {
    AddRectangle(tags, 1, 1000, 1000, 0x0000FF);
    tags.DefineSprite(10, swf::writer::TagStream{});
    Place(tags, 1, 1);
    Place(tags, 2, 10, "holder", 2000, 600);
    Place(tags, 3, 10, "holder2", 0, 1600);
}

struct Fixture {
    TempFolders folders;
    swf::NativeFileHost files{folders.Movie()};
    ReportHost host;
    swf::Player player;
    swf::raster::Surface surface{200, 100};

    Fixture() {
        player.SetHost(&host);
        player.SetFileHost(&files);
        folders.Write("child.swf", ChildMovie());
    }
    void Load(const std::vector<ActionAssembler>& frames) {
        ASSERT_TRUE(player.Load(ScriptMovie(HostDefinitions, frames))) << player.LoadError();
    }
    std::uint32_t Pixel(int x, int y) {
        player.Render(surface);
        return surface.pixel(x, y);
    }
};

TEST(LoadMovie, ClipTakesTheMovieInPlaceWithItsOwnCharactersAndTimeline) {
    Fixture t;
    ActionAssembler first, second;
    first.PushString("child.swf").PushString("holder").GetURL2(0x40);  // loadMovie("child.swf", "holder")
    Report(second, "marker", Member("holder", "marker"));
    Report(second, "seen", Var("seen"));
    Report(second, "bytes", MethodCall("holder", "getBytesLoaded", {}));
    Report(second, "of", MethodCall("holder", "getBytesTotal", {}));
    second.Action(ActionCode::Stop);
    t.Load({first, second});
    EXPECT_TRUE(t.host.reports.empty());
    EXPECT_EQ(t.Pixel(105, 35), kWhite);

    t.player.AdvanceFrame();
    const std::string size = std::to_string(ChildMovie().size());
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1", "marker=child", "seen=yes", "bytes=" + size, "of=" + size}));
    // 50 x 50 px of red at the holder's place, from the child's shape 1.
    EXPECT_EQ(t.Pixel(101, 31), kRed);
    EXPECT_EQ(t.Pixel(148, 78), kRed);
    EXPECT_EQ(t.Pixel(98, 35), kWhite);
    EXPECT_EQ(t.Pixel(152, 35), kWhite);
    EXPECT_EQ(t.Pixel(5, 5), kBlue);  // the host's own shape 1
    swf::MovieClip* holder = t.player.Root()->FindChild("holder");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->GetPlacement().matrix.tx, 2000);
    EXPECT_EQ(holder->GetPlacement().name, "holder");
    EXPECT_EQ(holder->FrameCount(), 2u);
    EXPECT_EQ(holder->CurrentFrame(), 0u);

    // The host's clock drives it from the next tick on.
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports.back(), "child=frame2");
    EXPECT_EQ(holder->CurrentFrame(), 1u);
}

TEST(LoadMovie, ClipMethodsLoadAndUnload) {
    Fixture t;
    ActionAssembler first, second, third;
    CallAndDrop(first, MethodCall("holder", "loadMovie", {Str("child.swf")}));
    CallAndDrop(second, MethodCall("holder", "unloadMovie", {}));
    Report(third, "marker", Member("holder", "marker"));
    third.Action(ActionCode::Stop);
    t.Load({first, second, third});
    t.player.AdvanceFrame();
    EXPECT_EQ(t.Pixel(105, 35), kRed);
    t.player.AdvanceFrame();
    EXPECT_EQ(t.Pixel(105, 35), kWhite);
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1", "marker=undefined"}));
    EXPECT_NE(t.player.Root()->FindChild("holder"), nullptr);  // emptied, not removed
}

TEST(LoadMovie, LevelsDrawAboveTheMainMovieAndScriptsReachThem) {
    Fixture t;
    ActionAssembler first, second, third;
    first.GetURL("child.swf", "_level1");  // loadMovieNum("child.swf", 1)
    Report(second, "level1", Member("_level1", "marker"));
    Report(second, "seen", Var("seen"));
    Report(second, "level seen", Member("_level1", "seen"));
    second.GetURL("", "_level1");  // unloadMovieNum(1)
    Report(third, "after", Member("_level1", "marker"));
    third.Action(ActionCode::Stop);
    t.Load({first, second, third});
    EXPECT_EQ(t.Pixel(5, 5), kBlue);
    t.player.AdvanceFrame();
    EXPECT_EQ(t.Pixel(5, 5), kRed);  // level 1 over the host's blue square
    EXPECT_EQ(t.Pixel(55, 5), kWhite);
    t.player.AdvanceFrame();
    EXPECT_EQ(t.Pixel(5, 5), kBlue);
    EXPECT_EQ(t.host.reports,
              (Reports{"child=frame1", "level1=child", "seen=undefined", "level seen=yes", "after=undefined"}));
}

// Init actions run once per movie: a loaded movie's block for a sprite id
// the main movie has already initialised still runs, once, however often the
// loaded movie's frame comes round.
TEST(LoadMovie, EachMovieRunsItsOwnInitActionsOnce) {
    Fixture t;
    auto initialising = [](const std::string& who) {
        return [who](swf::writer::TagStream& tags) {
            ActionAssembler init;
            Report(init, "init", Str(who));
            tags.DoInitAction(10, init.Finish());
        };
    };
    ActionAssembler childFrame, childLoop;
    Report(childFrame, "child", Str("frame"));
    t.folders.Write("initialising.swf", ScriptMovie(initialising("child"), {childFrame, childLoop}));
    ActionAssembler first, second;
    first.GetURL("initialising.swf", "_level1");
    second.Action(ActionCode::Stop);
    ASSERT_TRUE(t.player.Load(ScriptMovie(initialising("main"), {first, second})));
    for (int i = 0; i < 4; ++i) t.player.AdvanceFrame();  // the child loops over its two frames
    EXPECT_EQ(t.host.reports, (Reports{"init=main", "init=child", "child=frame", "child=frame"}));
}

TEST(LoadMovie, LevelZeroReplacesTheMainMovie) {
    Fixture t;
    ActionAssembler first, second;
    first.PushString("child.swf").PushString("_level0").GetURL2(0);  // loadMovieNum("child.swf", 0)
    Report(second, "host", Str("frame2"));
    t.Load({first, second});
    t.player.AdvanceFrame();
    EXPECT_EQ(t.Pixel(5, 5), kRed);
    EXPECT_EQ(t.Pixel(105, 35), kWhite);  // the host's clips are gone
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1"}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1", "child=frame2"}));
}

// Red "HH" in font 5, a font the host movie does not have.
Bytes TextMovie() {
    const swf::writer::FontBuilder font = swf::writer::MakeBlockFont("Loaded Block", 20480);
    return ScriptMovie(
        [&](swf::writer::TagStream& tags) {
            tags.Add(swf::writer::TagCode::DefineFont3, font.DefineFontBody(5));
            tags.Add(swf::writer::TagCode::DefineText,
                     swf::writer::DefineTextBody(6, font, 5, {swf::writer::TextLine{"HH", 0, 800, 1000, {255, 0, 0}}}));
            Place(tags, 1, 6);
        },
        {ActionAssembler{}});
}

// A text field showing red "HH" in embedded font 5, which the host lacks.
Bytes FieldMovie() {
    const swf::writer::FontBuilder font = swf::writer::MakeBlockFont("Loaded Field Block", 20480);
    return ScriptMovie(
        [&](swf::writer::TagStream& tags) {
            tags.Add(swf::writer::TagCode::DefineFont3, font.DefineFontBody(5));
            swf::writer::EditTextField field;
            field.bounds = {0, 1600, 0, 1200};
            field.useOutlines = true;
            field.readOnly = true;
            field.fontId = 5;
            field.fontHeight = 1000;
            field.textColor = swf::writer::Rgba{255, 0, 0};
            field.initialText = "HH";
            tags.Add(swf::writer::TagCode::DefineEditText, swf::writer::DefineEditTextBody(6, field));
            Place(tags, 1, 6);
        },
        {ActionAssembler{}});
}

int RedPixels(const swf::raster::Surface& surface) {
    int count = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) count += surface.pixel(x, y) == kRed ? 1 : 0;
    }
    return count;
}

class LoadedText : public testing::TestWithParam<bool> {};

TEST_P(LoadedText, DrawsWithTheLoadedMoviesFonts) {
    Fixture t;
    t.folders.Write("text.swf", GetParam() ? FieldMovie() : TextMovie());
    ActionAssembler first;
    first.PushString("text.swf").PushString("holder").GetURL2(0x40);
    first.GetURL("text.swf", "_level1");
    first.Action(ActionCode::Stop);
    t.Load({first});
    t.player.AdvanceFrame();
    t.player.Render(t.surface);
    // The text at the holder (x from 100 px) and on level 1 (from 0 px), nowhere else.
    int inHolder = 0, onLevel = 0, elsewhere = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (t.surface.pixel(x, y) != kRed) continue;
            if (x >= 100 && y >= 30) {
                ++inHolder;
            } else if (x < 100 && y < 50) {
                ++onLevel;
            } else {
                ++elsewhere;
            }
        }
    }
    EXPECT_GT(inHolder, 50);
    EXPECT_EQ(inHolder, onLevel);  // the same text, drawn twice
    EXPECT_EQ(elsewhere, 0);
    EXPECT_EQ(RedPixels(t.surface), inHolder + onLevel);
}

INSTANTIATE_TEST_SUITE_P(StaticAndField, LoadedText, testing::Bool());

// Listener methods that report their second argument, or the target's marker.
ActionAssembler Listener(const std::string& event, bool reportMarker) {
    ActionAssembler body;
    Report(body, event, reportMarker ? Member("target", "marker") : Var("value"));
    return body;
}

TEST(MovieClipLoader, CallbacksComeInOrderToTheLoaderThenItsListeners) {
    Fixture t;
    t.folders.Write("../outside.swf", ChildMovie());
    t.folders.Write("bad.swf", std::string("FWS\x08garbage", 11));
    ActionAssembler first, second, selfInit;
    New(first, "mcl", "MovieClipLoader");
    New(first, "l", "Object");
    for (const char* event : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadError"}) {
        SetMethod(first, "l", event, {"target", "value"}, Listener(event, false));
    }
    SetMethod(first, "l", "onLoadInit", {"target"}, Listener("onLoadInit", true));
    Report(selfInit, "self.onLoadInit", Member("target", "marker"));
    SetMethod(first, "mcl", "onLoadInit", {"target"}, selfInit);
    Report(first, "added", MethodCall("mcl", "addListener", {Var("l")}));
    Report(first, "queued", MethodCall("mcl", "loadClip", {Str("child.swf"), Str("holder")}));
    CallAndDrop(first, MethodCall("mcl", "loadClip", {Str("missing.swf"), Var("holder2")}));
    CallAndDrop(first, MethodCall("mcl", "loadClip", {Str("../outside.swf"), Str("_root.holder2")}));
    CallAndDrop(first, MethodCall("mcl", "loadClip", {Str("bad.swf"), Str("holder2")}));
    Report(first, "no target", MethodCall("mcl", "loadClip", {Str("child.swf"), Str("nowhere")}));
    // getProgress afterwards: the bytes of child.swf.
    second.PushString("FSCommand:progress");
    MethodCall("mcl", "getProgress", {Var("holder")})(second);
    second.PushString("bytesTotal").Action(ActionCode::GetMember).GetURL2(0);
    second.Action(ActionCode::Stop);
    t.Load({first, second});
    EXPECT_EQ(t.host.reports, (Reports{"added=true", "queued=true", "no target=false"}));
    t.host.reports.clear();

    t.player.AdvanceFrame();
    const std::string size = std::to_string(ChildMovie().size());
    EXPECT_EQ(t.host.reports, (Reports{"onLoadStart=undefined", "onLoadProgress=" + size, "onLoadComplete=0",
                                       "child=frame1", "self.onLoadInit=child", "onLoadInit=child",
                                       "onLoadError=URLNotFound", "onLoadError=URLNotFound", "onLoadStart=undefined",
                                       "onLoadProgress=11", "onLoadError=LoadNeverCompleted", "progress=" + size}));
    EXPECT_EQ(t.files.OpenCount(), 2u);  // child.swf and bad.swf only
    EXPECT_EQ(t.Pixel(5, 85), kWhite);   // holder2 stayed empty
    EXPECT_EQ(t.Pixel(105, 35), kRed);
    bool warned = false;
    for (const std::string& w : t.player.Warnings()) warned = warned || w.find("bad.swf") != std::string::npos;
    EXPECT_TRUE(warned);
}

TEST(MovieClipLoader, RemovedListenersHearNothingAndUnloadClipEmptiesTheTarget) {
    Fixture t;
    ActionAssembler first, second;
    New(first, "mcl", "MovieClipLoader");
    New(first, "l", "Object");
    SetMethod(first, "l", "onLoadInit", {"target"}, Listener("onLoadInit", true));
    CallAndDrop(first, MethodCall("mcl", "addListener", {Var("l")}));
    CallAndDrop(first, MethodCall("mcl", "addListener", {Var("l")}));  // once only
    CallAndDrop(first, MethodCall("mcl", "loadClip", {Str("child.swf"), Str("holder")}));
    Report(second, "removed", MethodCall("mcl", "removeListener", {Var("l")}));
    Report(second, "again", MethodCall("mcl", "removeListener", {Var("l")}));
    CallAndDrop(second, MethodCall("mcl", "loadClip", {Str("child.swf"), Str("holder2")}));
    CallAndDrop(second, MethodCall("mcl", "unloadClip", {Str("holder")}));
    second.Action(ActionCode::Stop);
    t.Load({first, second});
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1", "onLoadInit=child", "removed=true", "again=false"}));
    t.host.reports.clear();
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (Reports{"child=frame1"}));
    EXPECT_EQ(t.Pixel(105, 35), kWhite);
    EXPECT_EQ(t.Pixel(5, 85), kRed);
}

}  // namespace
}  // namespace loading_test
