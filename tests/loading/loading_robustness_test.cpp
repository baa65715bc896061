// Hostile and odd loads: movies that load themselves without end, scripts
// that ask for thousands of files, empty and damaged files.

#include <gtest/gtest.h>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/raster/surface.h"

namespace loading_test {
namespace {

using swf::writer::ActionCode;

// A movie with an empty sprite "holder" whose first frame loads `url` into it.
Bytes SelfLoadingMovie(const std::string& url) {
    ActionAssembler first;
    CallAndDrop(first, MethodCall("holder", "loadMovie", {Str(url)}));
    return ScriptMovie(
        [](swf::writer::TagStream& tags) {
            tags.DefineSprite(10, swf::writer::TagStream{});
            swf::writer::PlaceObject place;
            place.depth = 1;
            place.characterId = 10;
            place.name = "holder";
            tags.PlaceObject2(place);
        },
        {first});
}

int Depth(const swf::MovieClip& clip) {
    int deepest = clip.Nesting();
    for (const auto& [depth, child] : clip.Children()) {
        if (child->Kind() == swf::DisplayKind::MovieClip) {
            deepest = std::max(deepest, Depth(static_cast<const swf::MovieClip&>(*child)));
        }
    }
    return deepest;
}

TEST(LoadingRobustness, AMovieLoadingItselfIntoItselfStopsAtTheNestingLimit) {
    TempFolders folders;
    folders.Write("self.swf", SelfLoadingMovie("self.swf"));
    swf::NativeFileHost files(folders.Movie());
    swf::Player player;
    player.SetFileHost(&files);
    ASSERT_TRUE(player.Load(SelfLoadingMovie("self.swf")));
    for (int i = 0; i < 3 * swf::kMaxNesting; ++i) player.AdvanceFrame();
    // One level deeper per tick until instances may nest no further; then loads stop.
    EXPECT_LE(Depth(*player.Root()), swf::kMaxNesting + 1);
    EXPECT_GE(Depth(*player.Root()), swf::kMaxNesting - 1);
    const std::size_t opened = files.OpenCount();
    for (int i = 0; i < 10; ++i) player.AdvanceFrame();
    EXPECT_EQ(files.OpenCount(), opened);
    swf::raster::Surface surface(100, 50);
    player.Render(surface);
}

TEST(LoadingRobustness, ThousandsOfRequestsInOneScriptAreBounded) {
    TempFolders folders;
    folders.Write("v.txt", "n=1");
    swf::NativeFileHost files(folders.Movie());
    swf::Player player;
    player.SetFileHost(&files);
    // for (i = 0; i < 5000; i++) loadVariablesNum("v.txt", 0);
    ActionAssembler first;
    Set(first, "i", [](ActionAssembler& a) { a.PushNumber(0); });
    first.Label("loop");
    first.PushString("v.txt").PushString("_level0").GetURL2(0x80);
    Set(first, "i",
        [](ActionAssembler& a) { a.PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Increment); });
    first.PushString("i").Action(ActionCode::GetVariable).PushNumber(5000).Action(ActionCode::Less2).If("loop");
    first.Action(ActionCode::Stop);
    ASSERT_TRUE(player.Load(ScriptMovie({}, {first})));
    player.AdvanceFrame();
    EXPECT_GT(files.OpenCount(), 0u);
    EXPECT_LE(files.OpenCount(), 1024u);
    player.AdvanceFrame();
    EXPECT_LE(files.OpenCount(), 1024u);  // the rest were dropped, not postponed
}

TEST(LoadingRobustness, EmptyDamagedAndOddFiles) {
    TempFolders folders;
    folders.Write("empty.txt", std::string());
    folders.Write("bom.txt", std::string("\xEF\xBB\xBF"
                                         "first=1&second=2"));
    folders.Write("binary.txt", std::string("\0\xFF&=\0=&a=b\0c", 12));
    folders.Write("empty.swf", std::string());
    folders.Write("cut.swf", std::string("CWS\x08\xFF\xFF\xFF\x7F\x78\x9C", 10));
    folders.Write("folder/x.txt", "x=1");
    swf::NativeFileHost files(folders.Movie());
    ReportHost host;
    swf::Player player;
    player.SetHost(&host);
    player.SetFileHost(&files);
    ActionAssembler first, onLoad, second;
    Report(onLoad, "onLoad", Var("ok"));
    New(first, "lv", "LoadVars");
    SetMethod(first, "lv", "onLoad", {"ok"}, onLoad);
    CallAndDrop(first, MethodCall("lv", "load", {Str("empty.txt")}));
    New(first, "dir", "LoadVars");
    SetMethod(first, "dir", "onLoad", {"ok"}, onLoad);
    CallAndDrop(first, MethodCall("dir", "load", {Str("folder")}));
    for (const char* url : {"bom.txt", "binary.txt"}) first.PushString(url).PushString("_level0").GetURL2(0x80);
    first.GetURL("empty.swf", "_level1");
    first.GetURL("cut.swf", "_level2");
    Report(second, "first", Var("first"));
    Report(second, "a", Var("a"));
    Report(second, "level1", Var("_level1"));
    second.Action(ActionCode::Stop);
    ASSERT_TRUE(player.Load(ScriptMovie({}, {first, second})));
    player.AdvanceFrame();
    EXPECT_EQ(host.reports,
              (std::vector<std::string>{"onLoad=true", "onLoad=false", "first=1", "a=b", "level1=undefined"}));
    EXPECT_GE(player.Warnings().size(), 3u);  // the folder and both movies
}

}  // namespace
}  // namespace loading_test
