// guidekit's reading of movies: the files their scripts name, what `info`
// tells, and the warnings `check` reports with their frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "swf/io/movie_parser.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/font.h"
#include "tests/guidekit/guidekit_movies.h"
#include "tests/swf/swf_bytes.h"
#include "tools/guidekit/check_command.h"
#include "tools/guidekit/file_references.h"
#include "tools/guidekit/movie_info.h"
#include "tools/moviegen/movies.h"

namespace guidekit {
namespace {

namespace fs = std::filesystem;
using swf::test::Bytes;
using swf::writer::ActionAssembler;

TEST(GuidekitScan, StringConstantsComeFromPushesPoolsAndGetUrl) {
    ActionAssembler a;
    a.ConstantPool({"pooled.xml", "onLoad"});
    a.PushString("pushed.jpg").PushNumber(3).PushBool(true).PushConstant(1).PushString("second.txt");
    a.GetURL("page.html", "_blank");
    ActionAssembler body;
    body.PushString("inside.mp3");
    a.DefineFunction("f", {}, body);
    const auto bytes = a.Finish();
    EXPECT_EQ(StringConstants(bytes), (std::vector<std::string>{"pooled.xml", "onLoad", "pushed.jpg", "second.txt",
                                                                "page.html", "inside.mp3"}));
    // A record cut short reads what is whole and stops.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 8);
    EXPECT_NO_THROW(StringConstants(cut));
}

TEST(GuidekitScan, FileNamesAreStringsWithKnownExtensionsAndNoOtherScheme) {
    for (const char* name : {"page1.jpg", "Pics/Page2.JPEG", "data.txt?x=1", "../up.swf", "C:\\x.png", "file:a.flv",
                             "movie.swf#top", "index.html", "song.mp3", "a.gif", "b.xml", "c.png"}) {
        EXPECT_TRUE(LooksLikeFileName(name)) << name;
    }
    for (const char* name : {"http://example.com/a.jpg", "mailto:x@y.txt", "javascript:go('a.swf')", "onLoad", ".jpg",
                             "page.jpg.bak", "two\nlines.txt", "readme.doc", ""}) {
        EXPECT_FALSE(LooksLikeFileName(name)) << name;
    }
}

TEST(GuidekitScan, ReferencesResolveAgainstTheGuidesFolders) {
    const std::set<std::string> assets = {"page1.jpg", "pics/deep.png", "Beside.txt"};
    const auto refs = ResolveReferences(
        {"Intro_Page_img/page1.jpg", "intro_page_img/PICS/deep.png", "Intro_Page_img/Page_var.txt", "Intro.swf",
         "Intro_Page_img/gone.jpg", "beside.txt", "../secret.swf", "C:\\guides\\x.jpg", "/etc/x.txt"},
        "Intro", assets);
    ASSERT_EQ(refs.size(), 9u);
    using State = FileReference::State;
    const State expected[] = {State::Present, State::Present, State::Present, State::Present, State::Missing,
                              State::Missing, State::Outside, State::Outside, State::Outside};
    for (std::size_t i = 0; i < refs.size(); ++i) EXPECT_EQ(refs[i].state, expected[i]) << refs[i].named;
    EXPECT_NE(refs[4].why.find("no gone.jpg"), std::string::npos) << refs[4].why;
    EXPECT_NE(refs[5].why.find("beside itself"), std::string::npos) << refs[5].why;
}

TEST(GuidekitInfo, TellsWhatAHandBuiltMovieHolds) {
    const Bytes movie = ReferencesMovie();
    const MovieSummary s = Summarize(movie);
    EXPECT_EQ(s.version, 8);
    EXPECT_FALSE(s.compressed);
    EXPECT_EQ(s.fileBytes, movie.size());
    EXPECT_EQ(s.stageWidth, 200);  // 4000 x 3000 twips
    EXPECT_EQ(s.stageHeight, 150);
    EXPECT_EQ(s.frameRate, 12);
    EXPECT_EQ(s.frames, 3u);
    const std::map<std::string, std::size_t> tags =
        {
            {"SetBackgroundColor", 1}, {"DefineFont2", 1},  {"DefineShape3", 1},
            {"ExportAssets", 1},       {"DefineSprite", 1}, {"DoAction", 3},
            {"PlaceObject2", 1},       {"ShowFrame", 4},    {"End", 2},  // the sprite's and the movie's
        };
    EXPECT_EQ(s.tagCounts, tags);
    ASSERT_EQ(s.fonts.size(), 1u);
    EXPECT_EQ(s.fonts[0].id, 1);
    EXPECT_EQ(s.fonts[0].name, "Guide Sans");
    EXPECT_EQ(s.fonts[0].glyphs, swf::writer::MakeBlockFont("Guide Sans", 1024).size());
    EXPECT_EQ(s.exports, (std::map<std::string, std::uint16_t>{{"BoxSymbol", 2}}));
    EXPECT_EQ(s.actionBlocks, 3u);
    EXPECT_EQ(s.actionBytes, ReferencesMovieActionBytes());
    EXPECT_EQ(s.namedFiles, (std::vector<std::string>{"Refs_Page_img/data.txt", "../outside.swf", "clip.swf"}));
    const std::string text = FormatSummary(s);
    EXPECT_NE(text.find("stage: 200 x 150 pixels"), std::string::npos) << text;
    EXPECT_NE(text.find("  1 \"Guide Sans\", "), std::string::npos) << text;
    EXPECT_NE(text.find("  BoxSymbol -> 2"), std::string::npos) << text;
}

TEST(GuidekitInfo, TellsWhatFfmpegWrote) {
    std::string why;
    const auto bytes = ReadWholeFile("media/testsrc.swf");
    ASSERT_TRUE(bytes) << "made by the build with ffmpeg";
    const MovieSummary s = Summarize(*bytes);
    // What ffmpeg was asked for: 160 x 120 at 10 fps for one second, each
    // frame a JPEG picture.
    EXPECT_EQ(s.stageWidth, 160);
    EXPECT_EQ(s.stageHeight, 120);
    EXPECT_EQ(s.frameRate, 10);
    EXPECT_EQ(s.frames, 10u);
    EXPECT_EQ(s.tagCounts.at("ShowFrame"), 10u);
    EXPECT_EQ(s.tagCounts.count("DoAction"), 0u);
    EXPECT_EQ(s.actionBytes, 0u);
    EXPECT_TRUE(s.namedFiles.empty());
}

TEST(GuidekitInfo, TheDemoExportsItsButtonAndNamesItsSettingsFile) {
    const auto demo = moviegen::BuildDemoMovie();
    const MovieSummary s = Summarize(demo);
    EXPECT_TRUE(s.exports.contains("GuideButton"));
    EXPECT_GT(s.actionBytes, 0u);
    EXPECT_NE(std::find(s.namedFiles.begin(), s.namedFiles.end(), "UserGuide_Page_img/Page_var.txt"),
              s.namedFiles.end());
    EXPECT_THROW(Summarize(std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 's', 'w', 'f'}), std::exception);
}

class GuidekitCheck : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::absolute("check-tmp") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(folder_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return folder_ / name;
    }
    fs::path folder_;
};

TEST_F(GuidekitCheck, WarningsCarryTheFrameTheyCameIn) {
    // A tag the player does not know is told on reading (frame 1); a load
    // asked for on frame 3 is served on the next tick (frame 4) and fails.
    const fs::path movie = Write("warns.swf", LoadOnFrameMovie(3, "nothing-here.txt"));
    std::vector<FrameWarning> heard;
    CheckListeners listeners;
    listeners.warning = [&](const FrameWarning& w) { heard.push_back(w); };
    long lastProgress = 0;
    listeners.progress = [&](long frame, long frames) {
        EXPECT_EQ(frame, lastProgress + 1);
        EXPECT_EQ(frames, 6);
        lastProgress = frame;
    };
    const CheckResult result = CheckMovie({movie, {}, 6}, listeners);
    ASSERT_TRUE(result.readable) << result.error;
    EXPECT_EQ(result.framesPlayed, 6);
    EXPECT_EQ(lastProgress, 6);
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_EQ(result.warnings[0].frame, 1);
    EXPECT_NE(result.warnings[0].text.find("tag 200"), std::string::npos) << result.warnings[0].text;
    EXPECT_EQ(result.warnings[1].frame, 4);
    EXPECT_NE(result.warnings[1].text.find("nothing-here.txt"), std::string::npos) << result.warnings[1].text;
    EXPECT_EQ(heard.size(), 2u);

    // With the file in the folder loads read from, only the unknown tag is left.
    fs::create_directories(folder_ / "assets");
    std::ofstream(folder_ / "assets" / "nothing-here.txt") << "a=1";
    EXPECT_EQ(CheckMovie({movie, folder_ / "assets", 6}).warnings.size(), 1u);
}

TEST_F(GuidekitCheck, ExitCodesSayWhetherAnythingWasReported) {
    const fs::path clean = Write("solid.swf", moviegen::BuildSolidMovie());
    const fs::path warns = Write("warns.swf", LoadOnFrameMovie(2, "missing.txt"));
    const fs::path broken = Write("broken.swf", {'F', 'W', 'S'});
    EXPECT_EQ(RunCheck({clean.string(), "--frames", "5"}), 0);
    EXPECT_EQ(RunCheck({warns.string(), "--frames", "5"}), 1);
    EXPECT_EQ(RunCheck({broken.string()}), 2);
    EXPECT_EQ(RunCheck({clean.string(), "--frames", "0"}), 2);
    EXPECT_EQ(RunCheck({(folder_ / "absent.swf").string()}), 2);
    // By default all frames, and at least ten seconds' worth of ticks.
    EXPECT_EQ(DefaultCheckFrames(1, 12), 120);
    EXPECT_EQ(DefaultCheckFrames(500, 24), 500);
    EXPECT_EQ(DefaultCheckFrames(3, 0), 120);
}

}  // namespace
}  // namespace guidekit
