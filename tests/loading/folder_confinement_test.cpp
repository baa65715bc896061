// The native file host against a hostile folder: links of every kind, links
// re-pointed by another thread while loads run, a folder swapped for a link,
// a sibling whose name differs only in case, and a pipe that would block;
// whole reads and files opened to read in pieces.

#include <gtest/gtest.h>

// The native host's own rules on a POSIX file system; the Windows program
// reads through the control's host, tested under Wine.
#if !defined(_WIN32)

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

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

// The bytes `file` gives for `count` bytes at `offset`, read into the middle
// of a larger buffer whose other bytes must stay as they were.
std::vector<std::uint8_t> Piece(swf::OpenedFile& file, std::uint64_t offset, std::size_t count) {
    constexpr std::uint8_t kGuard = 0xA5;
    std::vector<std::uint8_t> buffer(count + 64, kGuard);
    const std::optional<std::size_t> got = file.ReadAt(offset, std::span(buffer).subspan(32, count));
    EXPECT_TRUE(got.has_value()) << "at " << offset;
    const std::size_t read = got.value_or(0);
    EXPECT_LE(read, count);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (i < 32 || i >= 32 + read) {
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " reading at " << offset;
        }
    }
    return {buffer.begin() + 32, buffer.begin() + 32 + static_cast<std::ptrdiff_t>(std::min(read, count))};
}

TEST(FolderConfinement, OpenedFilesReadOnlyThePiecesAskedForUnderTheSameRules) {
    TempFolders folders;
    if (!CanLink(folders.Movie())) GTEST_SKIP() << "no symbolic links here";
    // A megabyte in which every offset holds a byte its neighbours do not repeat.
    Bytes bytes(std::size_t{1} << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 11);
    const auto at = [&](std::size_t from, std::size_t count) {
        return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
    };
    folders.Write("media/clip.flv", bytes);
    folders.Write("../secret.txt", "secret");
    fs::create_directory_symlink(folders.Outside(), folders.Movie() / "up");
    fs::create_symlink(folders.Outside() / "secret.txt", folders.Movie() / "out.txt");
    fs::create_symlink(folders.Movie() / "media", folders.Movie() / "alias");
    ASSERT_EQ(::mkfifo((folders.Movie() / "pipe").c_str(), 0600), 0);

    swf::NativeFileHost files(folders.Movie());
    const swf::FileOpenResult opened = files.OpenFile("media/clip.flv");
    ASSERT_NE(opened.file, nullptr) << opened.error;
    swf::OpenedFile& clip = *opened.file;
    EXPECT_EQ(clip.Size(), bytes.size());
    EXPECT_EQ(Piece(clip, 0, 10), at(0, 10));
    EXPECT_EQ(Piece(clip, 500001, 4096), at(500001, 4096));
    EXPECT_EQ(Piece(clip, 3, 7), at(3, 7));  // backwards: each piece at its own offset
    EXPECT_EQ(Piece(clip, bytes.size() - 5, 16), at(bytes.size() - 5, 5));
    EXPECT_TRUE(Piece(clip, bytes.size(), 8).empty());
    EXPECT_TRUE(Piece(clip, bytes.size() + 100, 8).empty());
    EXPECT_TRUE(Piece(clip, std::numeric_limits<std::uint64_t>::max() - 3, 8).empty());
    EXPECT_TRUE(Piece(clip, 100, 0).empty());
    EXPECT_EQ(Piece(clip, 0, bytes.size() + 10), bytes);
    // The pieces come from the file itself, not from a copy made when it was opened.
    {
        std::fstream writer(folders.Movie() / "media" / "clip.flv", std::ios::in | std::ios::out | std::ios::binary);
        writer.seekp(700000);
        writer.write("changed", 7);
    }
    EXPECT_EQ(Piece(clip, 700000, 7), (Bytes{'c', 'h', 'a', 'n', 'g', 'e', 'd'}));
    EXPECT_EQ(files.OpenCount(), 1u);

    // The same refusals as whole reads, and nothing opened for them.
    const struct {
        const char* path;
        const char* error;
    } refused[] = {{"up/secret.txt", "a symbolic link on the way is not followed: up/secret.txt"},
                   {"alias/clip.flv", "a symbolic link on the way is not followed: alias/clip.flv"},
                   {"out.txt", "a symbolic link on the way is not followed: out.txt"},
                   {"media/missing.flv", "file not found: media/missing.flv"},
                   {"../secret.txt", "not a path below the movie's folder: ../secret.txt"},
                   {"media//clip.flv", "not a path below the movie's folder: media//clip.flv"}};
    for (const auto& path : refused) {
        const swf::FileOpenResult result = files.OpenFile(path.path);
        EXPECT_EQ(result.file, nullptr) << path.path;
        EXPECT_EQ(result.error, path.error);
    }
    EXPECT_EQ(files.OpenCount(), 1u);
    // A folder or a pipe is opened without waiting and then found to be no file.
    for (const char* path : {"media", "pipe"}) {
        const swf::FileOpenResult result = files.OpenFile(path);
        EXPECT_EQ(result.file, nullptr) << path;
        EXPECT_EQ(result.error, std::string("not a file: ") + path);
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
