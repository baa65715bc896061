// _url: a movie's address as scripts read it. Files are "file:" URLs in the
// Windows form players use ("file:///C|/...", %20 for spaces), and movies a
// movie loads are addressed relative to it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/player/loading/movie_url.h"
#include "swf/player/player.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"

namespace swf {
namespace {

namespace fs = std::filesystem;
using writer::ActionAssembler;
using writer::ActionCode;

TEST(MovieUrl, FilePathsBecomeFileUrls) {
    EXPECT_EQ(FileUrl("C:\\Guides\\My Guide\\guide.swf"), "file:///C|/Guides/My%20Guide/guide.swf");
    EXPECT_EQ(FileUrl("D:/a/b.swf"), "file:///D|/a/b.swf");
    EXPECT_EQ(FileUrl("/tmp/guide.swf"), "file:///tmp/guide.swf");
    EXPECT_EQ(FileUrl("/tmp/100% #1.swf"), "file:///tmp/100%25%20%231.swf");
    EXPECT_EQ(FileUrl("/tmp/\xC3\xA9t\xC3\xA9.swf"), "file:///tmp/%C3%A9t%C3%A9.swf");
}

TEST(MovieUrl, ReferencesResolveAgainstTheLoadingMovie) {
    const std::string base = "file:///C|/Guides/guide.swf";
    EXPECT_EQ(ResolveUrl(base, "pages/page 1.swf"), "file:///C|/Guides/pages/page%201.swf");
    EXPECT_EQ(ResolveUrl(base, "pages\\p2.swf"), "file:///C|/Guides/pages/p2.swf");
    EXPECT_EQ(ResolveUrl(base, "/top.swf"), "file:///C|/top.swf");
    EXPECT_EQ(ResolveUrl(base, "http://example.com/x.swf"), "http://example.com/x.swf");
    EXPECT_EQ(ResolveUrl(base, "E:\\other.swf"), "file:///E|/other.swf");
    EXPECT_EQ(ResolveUrl("http://example.com/dir/m.swf", "/x.swf"), "http://example.com/x.swf");
    EXPECT_EQ(ResolveUrl("http://example.com/dir/m.swf", "y.swf"), "http://example.com/dir/y.swf");
    EXPECT_EQ(ResolveUrl("", "y.swf"), "y.swf");
}

// A movie whose first frame traces _url and the given extra script.
std::vector<std::uint8_t> TracingMovie(const ActionAssembler& extra) {
    ActionAssembler a;
    a.PushString("_url").Action(ActionCode::GetVariable).Action(ActionCode::Trace);
    a.Raw(extra.Bytes()).Action(ActionCode::Stop);
    writer::TagStream tags;
    tags.DoAction(a.Finish());
    tags.ShowFrame();
    writer::MovieHeader header;
    header.frameSize = writer::Rect{0, 2000, 0, 2000};
    return writer::BuildMovie(header, tags);
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(MovieUrl, ScriptsReadTheFileTheyCameFromAndLoadedMoviesTheirs) {
    // Salted: the same test binary from another build tree may be running at the same time.
    const fs::path folder =
        fs::temp_directory_path() / ("swf_movie_url_test_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder / "pages");
    // The root loads pages/child.swf into level 1; the child traces its own _url.
    ActionAssembler load;
    load.GetURL("pages/child.swf", "_level1");
    WriteFile(folder / "main movie.swf", TracingMovie(load));
    WriteFile(folder / "pages" / "child.swf", TracingMovie(ActionAssembler()));

    NativeFileHost files(folder);
    Player player;
    player.SetFileHost(&files);
    std::vector<std::string> lines;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) lines.push_back(text);
    });
    ASSERT_TRUE(player.LoadFile((folder / "main movie.swf").string())) << player.LoadError();
    player.AdvanceFrame();
    // The folder is an absolute path of plain characters: its URL is "file://" and the path, with
    // forward slashes and a drive letter written "/C|".
    std::string folderPath = folder.string();
    std::replace(folderPath.begin(), folderPath.end(), '\\', '/');
    if (folderPath.size() >= 2 && folderPath[1] == ':')
        folderPath = "/" + folderPath.substr(0, 1) + "|" + folderPath.substr(2);
    const std::string folderUrl = "file://" + folderPath;
    EXPECT_EQ(lines, (std::vector<std::string>{folderUrl + "/main%20movie.swf", folderUrl + "/pages/child.swf"}));

    // Loaded from bytes with an address given, that address is the one read.
    lines.clear();
    ASSERT_TRUE(player.Load(TracingMovie(ActionAssembler()), "http://example.com/guide.swf"));
    EXPECT_EQ(lines, (std::vector<std::string>{"http://example.com/guide.swf"}));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace swf
