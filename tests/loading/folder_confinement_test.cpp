// The native file host against a hostile folder: links of every kind, links
// re-pointed by another thread while loads run, a folder swapped for a link,
// a sibling whose name differs only in case, and a pipe that would block.

#include <gtest/gtest.h>

// The native host's own rules on a POSIX file system; the Windows program
// reads through the control's host, tested under Wine.
#if !defined(_WIN32)

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"

namespace loading_test {
namespace {

namespace fs = std::filesystem;

std::string Text(const swf::FileReadResult& result) { return std::string(result.bytes.begin(), result.bytes.end()); }

bool CanLink(const fs::path& at) {
    std::error_code ec;
    fs::create_symlink("nowhere", at / "probe-link", ec);
    fs::remove(at / "probe-link", ec);
    return !ec;
}

TEST(FolderConfinement, NoLinkIsFollowedAndOnlyPlainFilesAreRead) {
    TempFolders folders;
    if (!CanLink(folders.Movie())) GTEST_SKIP() << "no symbolic links here";
    folders.Write("../secret.txt", "secret");
    folders.Write("sub/page.txt", "page");
    // <parent>/MOVIE/ beside <parent>/movie/: the same name but for case.
    const fs::path sibling = folders.Movie().parent_path() / "MOVIE";
    fs::create_directories(sibling);
    folders.Write("../MOVIE/secret.txt", "sibling");
    fs::create_directory_symlink(sibling, folders.Movie() / "case");
    fs::create_symlink(folders.Outside() / "secret.txt", folders.Movie() / "out.txt");
    fs::create_symlink(folders.Movie() / "sub" / "page.txt", folders.Movie() / "alias.txt");
    fs::create_symlink("sub/page.txt", folders.Movie() / "relative.txt");
    ASSERT_EQ(::mkfifo((folders.Movie() / "pipe").c_str(), 0600), 0);

    swf::NativeFileHost files(folders.Movie());
    EXPECT_EQ(Text(files.ReadFile("sub/page.txt", 100)), "page");
    for (const char* path : {"case/secret.txt", "out.txt", "alias.txt", "relative.txt"}) {
        const swf::FileReadResult result = files.ReadFile(path, 100);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_NE(result.error.find("symbolic link"), std::string::npos) << path << ": " << result.error;
    }
    EXPECT_EQ(files.OpenCount(), 1u);  // only the plain file was ever opened
    // A pipe is opened without waiting for a writer and then refused.
    EXPECT_EQ(files.ReadFile("pipe", 100).error, "not a file: pipe");
    EXPECT_EQ(files.ReadFile("sub", 100).error, "not a file: sub");
    EXPECT_EQ(files.ReadFile("sub/page.txt", 3).error, "the file is too large: sub/page.txt");
    for (const char* path : {"", "sub//page.txt", "../secret.txt", "sub/../page.txt", "./sub/page.txt", "sub/"}) {
        EXPECT_FALSE(files.ReadFile(path, 100).ok) << path;
    }
}

// Another process re-points names while loads run: a file flipped between a
// plain file and a link to the outside, a folder swapped for a link to the
// outside. No read may ever return the outside file.
TEST(FolderConfinement, NamesSwappedDuringLoadsNeverLeadOutside) {
    TempFolders folders;
    if (!CanLink(folders.Movie())) GTEST_SKIP() << "no symbolic links here";
    folders.Write("../secret.txt", "secret");
    folders.Write("../outdir/page.txt", "secret");
    folders.Write("flip.txt", "inside");
    folders.Write("dir/page.txt", "inside");
    const fs::path movie = folders.Movie();
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        std::error_code ec;
        while (!stop) {
            fs::remove(movie / "flip.txt", ec);
            fs::create_symlink(folders.Outside() / "secret.txt", movie / "flip.txt", ec);
            fs::rename(movie / "dir", movie / "dir-away", ec);
            fs::create_directory_symlink(folders.Outside() / "outdir", movie / "dir", ec);
            fs::remove(movie / "flip.txt", ec);
            folders.Write("flip.txt", "inside");
            fs::remove(movie / "dir", ec);
            fs::rename(movie / "dir-away", movie / "dir", ec);
        }
    });
    swf::NativeFileHost files(movie);
    int inside = 0;
    int leaked = 0;
    for (int i = 0; i < 20000; ++i) {
        for (const char* path : {"flip.txt", "dir/page.txt"}) {
            const swf::FileReadResult result = files.ReadFile(path, 100);
            // A file being rewritten may read short; only whole texts count.
            if (Text(result) == "inside") ++inside;
            if (Text(result) == "secret") ++leaked;
        }
    }
    stop = true;
    swapper.join();
    EXPECT_EQ(leaked, 0);
    EXPECT_GT(inside, 0);  // the race was really run against readable names
}

}  // namespace
}  // namespace loading_test

#endif
