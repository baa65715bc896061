// `guidekit make` end to end on a fake kit: the three files, read back by the
// settings reader and the program's own tail reader, and every refusal
// leaving the output folder as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/payload_tail.h"
#include "settings/Sdftxtparser_unit.h"
#include "tests/guidekit/guidekit_movies.h"
#include "tools/guidekit/make_command.h"
#include "tools/moviegen/movies.h"

namespace guidekit {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Every file below a folder with its contents ('/'-separated names).
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).generic_string();
        files[name] = entry.is_regular_file() ? ReadText(entry.path()) : std::string("<folder>");
    }
    return files;
}

class GuidekitMake : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::absolute("make-tmp") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root_);
        // Stand-ins for the program and the control's package.
        WriteText(root_ / "kit" / "projector.exe", kProgram);
        WriteText(root_ / "kit" / "GuidePlayerControl.msi", kPackage);
    }
    fs::path Movie(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        WriteText(root_ / "movies" / name, std::string(bytes.begin(), bytes.end()));
        return root_ / "movies" / name;
    }
    MakeRequest Request(const fs::path& movie) {
        MakeRequest request;
        request.movie = movie;
        request.out = root_ / "out";
        request.kit = root_ / "kit";
        return request;
    }
    // The made guide's settings as the program reads them.
    SDFTxtParser Settings(const std::string& name) {
        SDFTxtParser parser;
        parser.LoadFromFile(root_ / "out" / (name + "_Page_img") / "Page_var.txt");
        return parser;
    }
    static constexpr const char* kProgram = "MZ stand-in program";
    static constexpr const char* kPackage = "stand-in installer package";
    fs::path root_;
};

TEST_F(GuidekitMake, OurDemoMovieBecomesTheThreeFilesWithItsAssets) {
    const auto demo = moviegen::BuildDemoMovie();
    MakeRequest request = Request(Movie("UserGuide.swf", demo));
    request.assets = root_ / "assets";
    WriteText(root_ / "assets" / "page1.jpg", "jpeg bytes");
    WriteText(root_ / "assets" / "sub" / "deep.png", "png bytes");
    WriteText(root_ / "assets" / "Page_var.txt", "&title=Old&\n&pages=1&\n&page1=page1.jpg&\n");
    const MakeResult result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    // The demo names UserGuide_Page_img/Page_var.txt, which the guide holds.
    EXPECT_TRUE(result.warnings.empty()) << result.warnings[0];

    const auto files = Contents(root_ / "out");
    const std::set<std::string> names = [&] {
        std::set<std::string> n;
        for (const auto& [name, bytes] : files) n.insert(name);
        return n;
    }();
    EXPECT_EQ(names, (std::set<std::string>{"UserGuide.exe", "UserGuide.swf", "UserGuide_Page_img",
                                            "UserGuide_Page_img/Page_var.txt", "UserGuide_Page_img/page1.jpg",
                                            "UserGuide_Page_img/sub", "UserGuide_Page_img/sub/deep.png"}));
    EXPECT_EQ(files.at("UserGuide.swf"), std::string(demo.begin(), demo.end()));
    EXPECT_EQ(files.at("UserGuide_Page_img/sub/deep.png"), "png bytes");

    // The program: its own bytes, then the package the tail reader finds.
    const std::string exe = files.at("UserGuide.exe");
    EXPECT_EQ(exe.substr(0, std::string(kProgram).size()), kProgram);
    std::vector<std::uint8_t> payload;
    ASSERT_EQ(app::ReadPayload(root_ / "out" / "UserGuide.exe", payload), app::ExtractResult::Ok);
    EXPECT_EQ(std::string(payload.begin(), payload.end()), kPackage);

    // The demo's stage is 800 x 600; the title defaults to the name.
    SDFTxtParser settings = Settings("UserGuide");
    EXPECT_EQ(settings.GetValue("title"), "UserGuide");
    EXPECT_EQ(settings.GetValue("width"), "800");
    EXPECT_EQ(settings.GetValue("height"), "600");
    const std::string text = files.at("UserGuide_Page_img/Page_var.txt");
    EXPECT_NE(text.find("&pages=1&"), std::string::npos) << text;
    EXPECT_EQ(text.find("Old"), std::string::npos) << text;
}

TEST_F(GuidekitMake, FfmpegsMovieGetsTheTitleAndSizeAsked) {
    MakeRequest request = Request("media/testsrc.swf");
    request.name = "Clip";
    request.title = "Caf\xC3\xA9 tour";  // UTF-8 on the command line
    MakeResult result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    // 160 x 120 is below the window's least size, which it gets instead.
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_NE(result.notes[0].find("160x120"), std::string::npos) << result.notes[0];
    SDFTxtParser settings = Settings("Clip");
    EXPECT_EQ(settings.GetValue("title"), "Caf\xE9 tour");  // the program's code page
    EXPECT_EQ(settings.GetValue("width"), "300");
    EXPECT_EQ(settings.GetValue("height"), "329");
    EXPECT_EQ(ReadText(root_ / "out" / "Clip.swf"), ReadText("media/testsrc.swf"));

    // Again with --force and a size: everything is replaced.
    request.force = true;
    request.size = WindowSize{-1, 0};
    result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(Settings("Clip").GetValue("width"), "-1");
    std::vector<std::uint8_t> payload;
    EXPECT_EQ(app::ReadPayload(root_ / "out" / "Clip.exe", payload), app::ExtractResult::Ok);
    EXPECT_EQ(std::string(payload.begin(), payload.end()), kPackage);
    for (const auto& [name, bytes] : Contents(root_ / "out")) {
        EXPECT_EQ(name.find(".guidekit-"), std::string::npos) << name << " left behind";
    }
}

TEST_F(GuidekitMake, EachRefusalSaysWhyAndWritesNothing) {
    const fs::path movie = Movie("Guide.swf", ReferencesMovie());
    const fs::path notMovie = Movie("notes.swf", {'n', 'o', 't', 'e', 's'});
    WriteText(root_ / "out" / "keep.txt", "the author's own file");
    WriteText(root_ / "halfkit" / "projector.exe", kProgram);
    const auto before = Contents(root_ / "out");
    struct Case {
        const char* what;
        std::function<void(MakeRequest&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"not a movie", [&](MakeRequest& r) { r.movie = notMovie; }, "is not a movie the player can read"},
        {"missing movie", [&](MakeRequest& r) { r.movie = root_ / "none.swf"; }, "cannot read"},
        {"reserved name", [](MakeRequest& r) { r.name = "CON"; }, "device name"},
        {"forbidden character", [](MakeRequest& r) { r.name = "a:b"; }, "':'"},
        {"trailing dot", [](MakeRequest& r) { r.name = "Guide."; }, "ends in '.'"},
        {"ampersand title", [](MakeRequest& r) { r.title = "Tips & tricks"; }, "'&'"},
        {"two-line title", [](MakeRequest& r) { r.title = "one\ntwo"; }, "line break"},
        {"equals title", [](MakeRequest& r) { r.title = "a=b"; }, "'='"},
        {"title outside the code page", [](MakeRequest& r) { r.title = "\xD1\x84"; }, "code page"},
        {"small size",
         [](MakeRequest& r) {
             r.size = WindowSize{200, 600};
         },
         "below the window's smallest"},
        {"huge size",
         [](MakeRequest& r) {
             r.size = WindowSize{800, 40000};
         },
         "above"},
        {"half a kit", [&](MakeRequest& r) { r.kit = root_ / "halfkit"; }, "has no GuidePlayerControl.msi"},
        {"missing assets", [&](MakeRequest& r) { r.assets = root_ / "noassets"; }, "not a folder"},
        {"long path",
         [&](MakeRequest& r) {
             r.out = root_ / std::string(200, 'd') / std::string(200, 'd') / std::string(200, 'd') /
                     std::string(200, 'd') / std::string(200, 'd');
         },
         "the program opens paths of at most 1023"},
    };
    for (const Case& c : cases) {
        MakeRequest request = Request(movie);
        c.change(request);
        const MakeResult result = MakeGuide(request);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.error.find(c.message), std::string::npos) << c.what << ": " << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(Contents(root_ / "out"), before) << c.what;
    }
    // A failure while writing (the packing tool refuses an empty package)
    // leaves no folder it made behind either.
    WriteText(root_ / "emptykit" / "projector.exe", kProgram);
    WriteText(root_ / "emptykit" / "GuidePlayerControl.msi", "");
    MakeRequest request = Request(movie);
    request.out = root_ / "fresh" / "out";
    request.kit = root_ / "emptykit";
    const MakeResult result = MakeGuide(request);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("is empty"), std::string::npos) << result.error;
    EXPECT_FALSE(fs::exists(root_ / "fresh"));
}

TEST_F(GuidekitMake, AnExistingProgramIsReplacedOnlyWithForceAndAFailedRunPutsItBack) {
    const fs::path movie = Movie("Guide.swf", ReferencesMovie());
    WriteText(root_ / "out" / "Guide.exe", "an earlier guide");
    MakeRequest request = Request(movie);
    MakeResult result = MakeGuide(request);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("give --force"), std::string::npos) << result.error;
    EXPECT_EQ(ReadText(root_ / "out" / "Guide.exe"), "an earlier guide");

    // A run that fails part-way (an asset's folder is a file in the guide)
    // removes what it wrote and keeps what was there.
    request.force = true;
    request.assets = root_ / "assets";
    WriteText(root_ / "assets" / "sub" / "x.png", "png");
    WriteText(root_ / "out" / "Guide_Page_img" / "sub", "a file where a folder goes");
    const auto before = Contents(root_ / "out");
    result = MakeGuide(request);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(Contents(root_ / "out"), before);

    fs::remove(root_ / "out" / "Guide_Page_img" / "sub");
    result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    std::vector<std::uint8_t> payload;
    EXPECT_EQ(app::ReadPayload(root_ / "out" / "Guide.exe", payload), app::ExtractResult::Ok);
}

TEST_F(GuidekitMake, FilesTheScriptsNameButTheGuideLacksAreWarnedAbout) {
    MakeRequest request = Request(Movie("Refs.swf", ReferencesMovie()));
    MakeResult result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.warnings.size(), 3u);
    EXPECT_NE(result.warnings[0].find("\"Refs_Page_img/data.txt\", which is missing"), std::string::npos)
        << result.warnings[0];
    EXPECT_NE(result.warnings[1].find("\"../outside.swf\", outside"), std::string::npos) << result.warnings[1];
    EXPECT_NE(result.warnings[2].find("\"clip.swf\", which is missing"), std::string::npos) << result.warnings[2];

    // With data.txt among the assets only the other two are left.
    request.force = true;
    request.assets = root_ / "assets";
    WriteText(root_ / "assets" / "DATA.TXT", "a=1");  // Windows finds it whatever its case
    result = MakeGuide(request);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.warnings.size(), 2u);
}

TEST_F(GuidekitMake, TheCommandLineRefusesWhatItCannotRead) {
    const fs::path movie = Movie("Guide.swf", ReferencesMovie());
    const std::string kit = (root_ / "kit").string(), out = (root_ / "out").string();
    EXPECT_EQ(RunMake({movie.string(), "--out", out, "--kit", kit, "--size", "800by600"}, "guidekit"), 2);
    EXPECT_EQ(RunMake({movie.string(), "--kit", kit}, "guidekit"), 2);
    EXPECT_EQ(RunMake({movie.string(), "--out", out, "--kit", kit, "--title", "A & B"}, "guidekit"), 2);
    EXPECT_FALSE(fs::exists(root_ / "out"));
    EXPECT_EQ(RunMake({movie.string(), "--out", out, "--kit", kit, "--size", "-1x0", "--title", "Guide"}, "guidekit"),
              0);
    EXPECT_TRUE(fs::exists(root_ / "out" / "Guide.exe"));
}

}  // namespace
}  // namespace guidekit
