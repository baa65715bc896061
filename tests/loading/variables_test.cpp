// loadVariables, loadVariablesNum and LoadVars through real movies: what
// arrives, when, and in which order the callbacks come.

#include <gtest/gtest.h>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/player/player.h"

namespace loading_test {
namespace {

using swf::writer::ActionCode;

constexpr char kSettings[] = "&title=User Guide&width=956&height=700&pages=3&\r\n";

struct Fixture {
    TempFolders folders;
    swf::NativeFileHost files{folders.Movie()};
    ReportHost host;
    swf::Player player;

    Fixture() {
        player.SetHost(&host);
        player.SetFileHost(&files);
    }
    void Load(const Bytes& movie) { ASSERT_TRUE(player.Load(movie)) << player.LoadError(); }
    bool Warned(const std::string& part) const {
        for (const std::string& w : player.Warnings()) {
            if (w.find(part) != std::string::npos) return true;
        }
        return false;
    }
};

TEST(LoadVariables, VariablesArriveOnTheNextTickInFileOrder) {
    Fixture t;
    t.folders.Write("UserGuide_Page_img/Page_var.txt", kSettings);
    ActionAssembler first, second;
    // loadVariablesNum("UserGuide_Page_img/Page_var.txt", 0)
    first.PushString("UserGuide_Page_img/Page_var.txt").PushString("_level0").GetURL2(0x80);
    Report(first, "now", Var("title"));  // not yet: never inside the asking script
    Report(second, "title", Var("title"));
    Report(second, "width", Var("width"));
    Report(second, "pages", Var("pages"));
    t.Load(ScriptMovie({}, {first, second}));
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"now=undefined"}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"now=undefined", "title=User Guide", "width=956", "pages=3"}));
}

TEST(LoadVariables, IntoANamedClipAndThroughTheClipMethod) {
    Fixture t;
    t.folders.Write("a.txt", "x=from a&y=1");
    t.folders.Write("b.txt", "x=from b");
    ActionAssembler first, second, empty;
    // loadVariables("a.txt", "box") and box.loadVariables("b.txt") on another clip.
    first.PushString("a.txt").PushString("box").GetURL2(0xC0);
    CallAndDrop(first, MethodCall("other", "loadVariables", {Str("b.txt")}));
    Report(second, "box", Member("box", "x"));
    Report(second, "y", Member("box", "y"));
    Report(second, "other", Member("other", "x"));
    Report(second, "root", Var("x"));
    auto definitions = [&](swf::writer::TagStream& tags) {
        tags.DefineSprite(10, swf::writer::TagStream{});
        swf::writer::PlaceObject box;
        box.depth = 1;
        box.characterId = 10;
        box.name = "box";
        tags.PlaceObject2(box);
        box.depth = 2;
        box.name = "other";
        tags.PlaceObject2(box);
    };
    t.Load(ScriptMovie(definitions, {first, second}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"box=from a", "y=1", "other=from b", "root=undefined"}));
}

// Variables arriving in a clip raise its data event (onClipEvent(data) and
// onData), after they are set; nothing fires for a file that is missing.
TEST(LoadVariables, ArrivalRaisesTheClipsDataEvent) {
    Fixture t;
    t.folders.Write("a.txt", "x=arrived");
    ActionAssembler first, onData;
    Report(onData, "onData", Member("this", "x"));
    SetMethod(first, "box", "onData", {}, onData);
    first.PushString("a.txt").PushString("box").GetURL2(0xC0);
    first.PushString("missing.txt").PushString("box").GetURL2(0xC0);
    first.Action(ActionCode::Stop);
    ActionAssembler clipData;
    Report(clipData, "clip data", Var("x"));
    auto definitions = [&](swf::writer::TagStream& tags) {
        tags.DefineSprite(10, swf::writer::TagStream{});
        swf::writer::PlaceObject box;
        box.depth = 1;
        box.characterId = 10;
        box.name = "box";
        box.clipActions = {swf::writer::ClipEventHandler{1u << 8, 0, clipData.Finish()}};
        tags.PlaceObject2(box);
    };
    t.Load(ScriptMovie(definitions, {first}));
    EXPECT_TRUE(t.host.reports.empty());
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"clip data=arrived", "onData=arrived"}));
}

TEST(LoadVars, LoadQueuesThenOnLoadSeesTheDecodedVariables) {
    Fixture t;
    t.folders.Write("UserGuide_Page_img/Page_var.txt", kSettings);
    ActionAssembler first, onLoad;
    Report(onLoad, "onLoad", Var("ok"));
    Report(onLoad, "title", Member("this", "title"));
    Report(onLoad, "loaded", Member("this", "loaded"));
    Report(onLoad, "total", MethodCall("this", "getBytesTotal", {}));
    New(first, "lv", "LoadVars");
    SetMethod(first, "lv", "onLoad", {"ok"}, onLoad);
    Report(first, "queued", MethodCall("lv", "load", {Str("UserGuide_Page_img/Page_var.txt")}));
    Report(first, "before", Member("lv", "title"));
    t.Load(ScriptMovie({}, {first, ActionAssembler{}}));
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"queued=true", "before=undefined"}));
    t.host.reports.clear();
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"onLoad=true", "title=User Guide", "loaded=true",
                                                        "total=" + std::to_string(sizeof(kSettings) - 1)}));
}

TEST(LoadVars, OnDataGetsTheRawTextAndReplacesDecoding) {
    Fixture t;
    t.folders.Write("v.txt", "a=1&b=two%20words");
    ActionAssembler first, onData, onLoad, second;
    Report(onData, "raw", Var("src"));
    Report(onLoad, "onLoad", Var("ok"));
    New(first, "lv", "LoadVars");
    SetMethod(first, "lv", "onData", {"src"}, onData);
    SetMethod(first, "lv", "onLoad", {"ok"}, onLoad);
    CallAndDrop(first, MethodCall("lv", "load", {Str("v.txt")}));
    // decode() and toString() on an object of its own.
    New(first, "other", "LoadVars");
    CallAndDrop(first, MethodCall("other", "decode", {Str("k=v%26w&n=1")}));
    Report(first, "k", Member("other", "k"));
    Report(first, "string", MethodCall("other", "toString", {}));
    Report(second, "a", Member("lv", "a"));
    t.Load(ScriptMovie({}, {first, second}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports,
              (std::vector<std::string>{"k=v&w", "string=k=v%26w&n=1", "raw=a=1&b=two%20words", "a=undefined"}));
}

TEST(LoadVars, MissingAndRefusedFilesGiveOnLoadFalseAndAWarning) {
    Fixture t;
    t.folders.Write("../secret.txt", "secret=leaked");
    const std::string absolute = (t.folders.Outside() / "secret.txt").string();
    ActionAssembler first, onLoad, second;
    Report(onLoad, "onLoad", Var("ok"));
    for (const std::string url : {"missing.txt", "../secret.txt", absolute.c_str(), "%2e%2e/secret.txt",
                                  "http://example.com/x.txt", "file:../secret.txt"}) {
        const std::string name = "lv" + std::to_string(first.Bytes().size());
        New(first, name, "LoadVars");
        SetMethod(first, name, "onLoad", {"ok"}, onLoad);
        CallAndDrop(first, MethodCall(name, "load", {Str(url)}));
    }
    // The plain action into the main timeline too.
    first.PushString("../secret.txt").PushString("_level0").GetURL2(0x80);
    Report(second, "secret", Var("secret"));
    t.Load(ScriptMovie({}, {first, second}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"onLoad=false", "onLoad=false", "onLoad=false", "onLoad=false",
                                                        "onLoad=false", "onLoad=false", "secret=undefined"}));
    EXPECT_EQ(t.files.OpenCount(), 0u);  // nothing outside was even opened
    EXPECT_TRUE(t.Warned("missing.txt"));
    EXPECT_TRUE(t.Warned("'..' is not allowed"));
    EXPECT_TRUE(t.Warned("only files beside the movie"));
    // The movie goes on.
    EXPECT_EQ(t.player.CurrentFrame(), 1u);
}

// No symbolic link is followed, not even one that stays inside the folder:
// what a link names can change between any check and the read.
TEST(LoadVars, SymbolicLinksAreNotFollowed) {
    Fixture t;
    t.folders.Write("../secret.txt", "secret=leaked");
    t.folders.Write("inside.txt", "fine=yes");
    std::error_code ec;
    std::filesystem::create_symlink(t.folders.Outside() / "secret.txt", t.folders.Movie() / "link.txt", ec);
    if (ec) GTEST_SKIP() << "no symbolic links here";
    std::filesystem::create_directory_symlink(t.folders.Outside(), t.folders.Movie() / "up", ec);
    std::filesystem::create_symlink(t.folders.Movie() / "inside.txt", t.folders.Movie() / "alias.txt", ec);
    ActionAssembler first, second;
    for (const char* url : {"link.txt", "up/secret.txt", "alias.txt"}) {
        first.PushString(url).PushString("_level0").GetURL2(0x80);
    }
    Report(second, "secret", Var("secret"));
    Report(second, "fine", Var("fine"));
    t.Load(ScriptMovie({}, {first, second}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"secret=undefined", "fine=undefined"}));
    EXPECT_TRUE(t.Warned("a symbolic link on the way is not followed: link.txt"));
    EXPECT_TRUE(t.Warned("a symbolic link on the way is not followed: up/secret.txt"));
    EXPECT_TRUE(t.Warned("a symbolic link on the way is not followed: alias.txt"));
}

TEST(XmlLoad, DocumentsArriveParsedAndMissingOnesReportFailure) {
    Fixture t;
    t.folders.Write("pages.xml", "<guide><page title=\"Intro\">one</page></guide>");
    ActionAssembler first, onLoad;
    Report(onLoad, "onLoad", Var("ok"));
    onLoad.PushString("FSCommand:first");
    Member("this", "firstChild")(onLoad);
    onLoad.PushString("nodeName").Action(ActionCode::GetMember).GetURL2(0);
    Report(onLoad, "loaded", Member("this", "loaded"));
    for (const char* name : {"doc", "missing"}) {
        New(first, name, "XML");
        SetMethod(first, name, "onLoad", {"ok"}, onLoad);
    }
    Report(first, "queued", MethodCall("doc", "load", {Str("pages.xml")}));
    CallAndDrop(first, MethodCall("missing", "load", {Str("../pages.xml")}));
    first.Action(ActionCode::Stop);
    t.Load(ScriptMovie({}, {first}));
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"queued=true"}));
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"queued=true", "onLoad=true", "first=guide", "loaded=true",
                                                        "onLoad=false", "first=undefined", "loaded=false"}));
}

TEST(LoadVars, WithoutAFileHostEveryLoadFails) {
    ReportHost host;
    swf::Player player;
    player.SetHost(&host);
    ActionAssembler first, onLoad;
    Report(onLoad, "onLoad", Var("ok"));
    New(first, "lv", "LoadVars");
    SetMethod(first, "lv", "onLoad", {"ok"}, onLoad);
    CallAndDrop(first, MethodCall("lv", "load", {Str("v.txt")}));
    ASSERT_TRUE(player.Load(ScriptMovie({}, {first, ActionAssembler{}})));
    player.AdvanceFrame();
    EXPECT_EQ(host.reports, (std::vector<std::string>{"onLoad=false"}));
}

}  // namespace
}  // namespace loading_test
