// The control's pieces that need no COM: pacing, saved-state reading, movie
// locations and the engine adapter.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <thread>
#include <fstream>

#include "control/folder_file_host.h"
#include "control/frame_clock.h"
#include "control/html_clipboard_format.h"
#include "control/movie_log.h"
#include "control/movie_player.h"
#include "control/movie_source.h"
#include "control/saved_state_reader.h"
#include "flash/control_data.h"
#include "tests/windows/driver/folder_link.h"
#include "win32/owned_handle.h"
#include "swf/writer/action_assembler.h"
#include "tests/control/test_movies.h"

namespace control {
namespace {

TEST(FrameClock, FramesFollowTheClockAndCatchUpWithinTheCap) {
    FrameClock clock;
    EXPECT_EQ(clock.FramesDue(1000), 0);  // not started
    clock.Start(1000, 10, 1000);          // 10 fps, millisecond ticks
    EXPECT_EQ(clock.FramesDue(1000), 0);
    EXPECT_EQ(clock.FramesDue(1099), 0);
    EXPECT_EQ(clock.FramesDue(1100), 1);
    EXPECT_EQ(clock.FramesDue(1150), 0);
    // A late tick plays every frame it missed.
    EXPECT_EQ(clock.FramesDue(1400), 3);
    // Ticks that come a little early or late do not drift: 100 frames in 10 s.
    int total = 4;
    for (std::int64_t t = 1400; t <= 11000; t += 97) total += clock.FramesDue(t);
    total += clock.FramesDue(11000);
    EXPECT_EQ(total, 100);
    EXPECT_EQ(clock.FramesSkipped(), 0);
    // A long stall plays only the cap and drops the rest of the backlog.
    EXPECT_EQ(clock.FramesDue(61000), kMaxCatchUpFrames);
    EXPECT_EQ(clock.FramesSkipped(), 500 - kMaxCatchUpFrames);  // 600 due, 100 played before
    // The timer is asked to wake the thread when the next frame is due.
    EXPECT_EQ(clock.MillisecondsToNextFrame(61000), 100u);
    EXPECT_EQ(clock.MillisecondsToNextFrame(61040), 60u);
    EXPECT_EQ(clock.MillisecondsToNextFrame(61099), 1u);
    EXPECT_EQ(clock.MillisecondsToNextFrame(61250), 1u);  // overdue: at once
    EXPECT_EQ(clock.FramesDue(61050), 0);
    EXPECT_EQ(clock.FramesDue(61100), 1);
    // A counter that goes backwards plays nothing.
    EXPECT_EQ(clock.FramesDue(500), 0);
    clock.Stop();
    EXPECT_EQ(clock.FramesDue(99999), 0);
}

TEST(FrameClock, FrameRatesAndTimerPeriodsArePlayable) {
    EXPECT_EQ(PlayableFrameRate(24), 24);
    EXPECT_EQ(PlayableFrameRate(0), kFallbackFrameRate);
    EXPECT_EQ(PlayableFrameRate(-5), kFallbackFrameRate);
    EXPECT_EQ(PlayableFrameRate(0.0 / 0.0), kFallbackFrameRate);
    EXPECT_EQ(PlayableFrameRate(1000), 120);
    EXPECT_EQ(PlayableFrameRate(0.01), 0.1);
    EXPECT_EQ(TimerPeriodMs(25), 40u);
    EXPECT_EQ(TimerPeriodMs(120), 10u);
    EXPECT_EQ(TimerPeriodMs(0.5), 2000u);
}

struct Source {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    ReadExact Reader() {
        return [this](std::uint8_t* target, std::size_t count) {
            if (bytes.size() - position < count) return false;
            std::memcpy(target, bytes.data() + position, count);
            position += count;
            return true;
        };
    }
};

TEST(HtmlClipboardData, HeaderOffsetsFrameTheDocumentAndTheFragment) {
    const std::string fragment = "<B>caf\xC3\xA9</B> &amp; more";
    const std::string data = HtmlClipboardData(fragment);
    // Each header field: "Name:" then the byte offset, counted from the data's start.
    auto offset = [&](const std::string& name) -> std::size_t {
        const std::size_t at = data.find(name + ":");
        if (at == std::string::npos) return std::string::npos;
        return std::stoul(data.substr(at + name.size() + 1, 10));
    };
    EXPECT_EQ(data.rfind("Version:0.9\r\n", 0), 0u);
    const std::size_t startHtml = offset("StartHTML"), endHtml = offset("EndHTML");
    const std::size_t startFragment = offset("StartFragment"), endFragment = offset("EndFragment");
    ASSERT_LE(endHtml, data.size());
    EXPECT_EQ(endHtml, data.size());
    EXPECT_EQ(data.substr(startHtml, 6), "<html>");
    EXPECT_EQ(data.substr(startFragment, endFragment - startFragment), fragment);
    EXPECT_EQ(data.substr(startFragment - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(data.substr(endFragment, 18), "<!--EndFragment-->");
}

TEST(SavedStateReader, ReadsExactlyOneBlockAndRejectsDamage) {
    const auto block = flash::BuildDefaultControlData();
    Source source{block};
    source.bytes.push_back(0x42);
    const auto read = ReadSavedStateBlock(source.Reader());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, block);
    EXPECT_EQ(source.position, block.size());
    EXPECT_EQ(flash::ParseControlData(*read).WMode(), u"Window");

    for (std::size_t cut = 0; cut < block.size(); ++cut) {
        Source shorter{std::vector<std::uint8_t>(block.begin(), block.begin() + cut)};
        EXPECT_FALSE(ReadSavedStateBlock(shorter.Reader())) << cut;
    }
    Source wrongTag{block};
    wrongTag.bytes[16] = 3;  // the first value must be a text
    EXPECT_FALSE(ReadSavedStateBlock(wrongTag.Reader()));
    Source longText{block};
    longText.bytes[18] = 0x02, longText.bytes[19] = 0x00, longText.bytes[20] = 0x01, longText.bytes[21] = 0x00;
    longText.bytes.resize(longText.bytes.size() + 0x10002, 0);
    EXPECT_FALSE(ReadSavedStateBlock(longText.Reader()));
}

TEST(MovieSource, LocationsNameLocalFilesOnly) {
    EXPECT_EQ(MovieLocationToPath(L"D:\\Guides\\Intro.swf"), L"D:\\Guides\\Intro.swf");
    EXPECT_EQ(MovieLocationToPath(L"file:///C:/My%20Guides/Intro.swf"), L"C:\\My Guides\\Intro.swf");
    EXPECT_EQ(MovieLocationToPath(L"FILE://C:/a.swf"), L"C:\\a.swf");
    EXPECT_EQ(MovieLocationToPath(L"file://server/share/a.swf"), L"\\\\server\\share\\a.swf");
    EXPECT_EQ(MovieLocationToPath(L"http://example.com/a.swf"), L"");
    EXPECT_FALSE(ReadMovieBytes(L"C:\\no such folder\\a.swf"));
    const auto bytes = control_test::SolidMovie(10, 10, 0x112233);
    const auto path = control_test::WriteTempFile(L"control_source.swf", bytes);
    const auto read = ReadMovieBytes(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, bytes);
}

// The whole file as bytes; empty when it cannot be read.
std::string FileText(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

TEST(MovieLog, TraceAndWarningsAreAppendedBesideTheMovieWhenSwitchedOn) {
    // Lines are UTF-8 as the player gives them; the file keeps their bytes.
    const auto path = control_test::WriteTempFile(L"control_log.swf", control_test::SolidMovie(10, 10, 0x112233));
    const std::wstring logPath = path + L".log";
    DeleteFileW(logPath.c_str());

    SetEnvironmentVariableW(L"GUIDEPLAYER_LOG", L"0");
    EXPECT_FALSE(MovieLogFileWanted());
    {
        MovieLog log;
        log.Open(path);
        log.Write(false, "not written");
    }
    EXPECT_EQ(GetFileAttributesW(logPath.c_str()), INVALID_FILE_ATTRIBUTES) << "no file while switched off";

    SetEnvironmentVariableW(L"GUIDEPLAYER_LOG", L"1");
    EXPECT_TRUE(MovieLogFileWanted());
    for (int session = 0; session < 2; ++session) {  // appended, not replaced
        MovieLog log;
        log.Open(path);
        log.Write(false, "caf\xC3\xA9 \xE2\x82\xAC");
        log.Write(true, "script stopped");
        // Written through: readable before the log closes.
        if (session == 0) {
            EXPECT_EQ(FileText(logPath), "caf\xC3\xA9 \xE2\x82\xAC\r\nwarning: script stopped\r\n");
        }
    }
    EXPECT_EQ(FileText(logPath), std::string("caf\xC3\xA9 \xE2\x82\xAC\r\nwarning: script stopped\r\n") +
                                     "caf\xC3\xA9 \xE2\x82\xAC\r\nwarning: script stopped\r\n");
    SetEnvironmentVariableW(L"GUIDEPLAYER_LOG", nullptr);
    EXPECT_FALSE(MovieLogFileWanted());
    DeleteFileW(logPath.c_str());
}

std::string Text(const swf::FileReadResult& result) { return {result.bytes.begin(), result.bytes.end()}; }

// Makes `at` a link to `target`: one the system makes, or else a host link
// (Wine's CreateSymbolicLinkW reports success and makes nothing).
bool MakeLink(const std::string& at, const std::string& target, bool folder) {
    const std::wstring wideAt(at.begin(), at.end()), wideTarget(target.begin(), target.end());
    const bool systemLink =
        CreateSymbolicLinkW(wideAt.c_str(), wideTarget.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) &&
        GetFileAttributesW(wideAt.c_str()) != INVALID_FILE_ATTRIBUTES;
    return systemLink || driver::MakeHostLink(at, target);
}

TEST(FolderFileHost, ReadsBelowTheFolderAndNothingThatResolvesOutside) {
    const std::wstring folder = control_test::MakeMovieFolders(L"control_files");
    FolderFileHost files(folder);
    const auto inside = files.ReadFile("pages/inside.txt", 1000);
    ASSERT_TRUE(inside.ok) << inside.error;
    EXPECT_EQ(Text(inside), "v=hello");
    // The confinement refuses "..", and the host refuses it on its own too.
    const auto outside = files.ReadFile("../outside.txt", 1000);
    EXPECT_FALSE(outside.ok);
    EXPECT_TRUE(Text(outside).empty());
    EXPECT_FALSE(files.ReadFile("missing.txt", 1000).ok);
    EXPECT_FALSE(files.ReadFile("pages", 1000).ok);
    EXPECT_FALSE(files.ReadFile("pages/inside.txt", 3).ok);  // over the size limit
    EXPECT_FALSE(FolderFileHost(L"").ReadFile("pages/inside.txt", 1000).ok);
    EXPECT_TRUE(files.ReadFile("PAGES/Inside.TXT", 1000).ok);  // names ignore case, as the file system's do

    // Links inside the folder are not followed, wherever they lead: links the
    // system makes, and host links, which Wine follows when asked not to.
    const std::wstring parent = FolderOfPath(folder);
    const std::string narrowFolder(folder.begin(), folder.end()), narrowParent(parent.begin(), parent.end());
    struct Link {
        const char* name;
        std::string target;
        const char* read;
    };
    const Link links[] = {{"link.txt", narrowParent + "\\outside.txt", "link.txt"},
                          {"up", narrowParent, "up/outside.txt"},
                          {"alias.txt", narrowFolder + "\\pages\\inside.txt", "alias.txt"}};
    int made = 0;
    for (const Link& link : links) {
        const bool folderLink = std::string(link.name) == "up" || std::string(link.name) == "case";
        if (!MakeLink(narrowFolder + "\\" + link.name, link.target, folderLink)) continue;
        ++made;
        const auto read = files.ReadFile(link.read, 1000);
        EXPECT_FALSE(read.ok) << link.read << " read " << Text(read);
        EXPECT_NE(read.error.find("link or junction"), std::string::npos) << link.read << ": " << read.error;
    }
    EXPECT_GT(made, 0) << "no link could be made here";

    // Under Wine the host's file system tells case apart: a folder beside the
    // movie's whose name differs only in case, reached by a host link.
    const std::string hostFolder = driver::HostPath(narrowFolder);
    if (hostFolder.empty()) return;
    const std::string sibling = hostFolder.substr(0, hostFolder.rfind('/')) + "/MOVIE";
    // Host programs started from Wine may still run when their start returns:
    // each step stands alone, and the test waits until both are done.
    ASSERT_TRUE(driver::RunHostCommand("Z:\\bin\\ln -s " + sibling + " " + hostFolder + "/case"));
    ASSERT_TRUE(driver::RunHostCommand("Z:\\bin\\cp -rT " + hostFolder + "/pages " + sibling));
    const std::string through = narrowFolder + "\\case\\inside.txt";
    for (int wait = 0; wait < 100 && GetFileAttributesA(through.c_str()) == INVALID_FILE_ATTRIBUTES; ++wait) Sleep(50);
    ASSERT_NE(GetFileAttributesA(through.c_str()), INVALID_FILE_ATTRIBUTES) << "the sibling and its link were not made";
    const auto read = files.ReadFile("case/inside.txt", 1000);
    EXPECT_FALSE(read.ok) << Text(read);
    EXPECT_NE(read.error.find("link or junction"), std::string::npos) << read.error;
}

// The bytes `file` gives for `count` bytes at `offset`, read into the middle
// of a larger buffer whose other bytes must stay as they were.
std::vector<std::uint8_t> Piece(swf::OpenedFile& file, std::uint64_t offset, std::size_t count) {
    constexpr std::uint8_t kGuard = 0xA5;
    std::vector<std::uint8_t> buffer(count + 64, kGuard);
    const std::optional<std::size_t> got = file.ReadAt(offset, std::span(buffer).subspan(32, count));
    EXPECT_TRUE(got.has_value()) << "at " << offset;
    const std::size_t read = std::min(got.value_or(0), count);
    EXPECT_EQ(read, got.value_or(0)) << "more than asked at " << offset;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (i < 32 || i >= 32 + read) {
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " reading at " << offset;
        }
    }
    return {buffer.begin() + 32, buffer.begin() + 32 + static_cast<std::ptrdiff_t>(read)};
}

TEST(FolderFileHost, OpensFilesToReadInPiecesUnderTheSameRules) {
    const std::wstring folder = control_test::MakeMovieFolders(L"control_opened");
    // A megabyte in which every offset holds a byte its neighbours do not repeat.
    std::vector<std::uint8_t> bytes(std::size_t{1} << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 11);
    const auto at = [&](std::size_t from, std::size_t count) {
        return std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
    };
    const std::wstring clipPath = control_test::WriteTempFile(L"control_opened\\movie\\pages\\clip.flv", bytes);
    ASSERT_FALSE(clipPath.empty());

    FolderFileHost files(folder);
    const swf::FileOpenResult opened = files.OpenFile("pages/clip.flv");
    ASSERT_NE(opened.file, nullptr) << opened.error;
    swf::OpenedFile& clip = *opened.file;
    EXPECT_EQ(clip.Size(), bytes.size());
    EXPECT_EQ(Piece(clip, 0, 10), at(0, 10));
    EXPECT_EQ(Piece(clip, 500001, 4096), at(500001, 4096));
    EXPECT_EQ(Piece(clip, 3, 7), at(3, 7));  // backwards: each piece at its own offset
    EXPECT_EQ(Piece(clip, bytes.size() - 5, 16), at(bytes.size() - 5, 5));
    EXPECT_TRUE(Piece(clip, bytes.size(), 8).empty());
    EXPECT_TRUE(Piece(clip, std::uint64_t{5} << 32, 8).empty());
    EXPECT_TRUE(Piece(clip, std::numeric_limits<std::uint64_t>::max() - 3, 8).empty());
    EXPECT_TRUE(Piece(clip, 100, 0).empty());
    EXPECT_EQ(Piece(clip, 0, bytes.size() + 10), bytes);
    // The pieces come from the file itself, not from a copy made when it was opened.
    {
        win32::OwnedHandle writer(CreateFileW(clipPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer);
        OVERLAPPED position{};
        position.Offset = 700000;
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(writer.Get(), "changed", 7, &written, &position));
    }
    EXPECT_EQ(Piece(clip, 700000, 7), (std::vector<std::uint8_t>{'c', 'h', 'a', 'n', 'g', 'e', 'd'}));
    const swf::FileOpenResult anyCase = files.OpenFile("PAGES/Clip.FLV");
    ASSERT_NE(anyCase.file, nullptr) << anyCase.error;
    EXPECT_EQ(anyCase.file->Size(), bytes.size());

    const struct {
        const char* path;
        const char* error;
    } refused[] = {{"pages/missing.flv", "file not found: pages/missing.flv"},
                   {"pages", "not a file: pages"},
                   {"../outside.txt", "no such file: ../outside.txt"},
                   {"pages//clip.flv", "no such file: pages//clip.flv"}};
    for (const auto& path : refused) {
        const swf::FileOpenResult result = files.OpenFile(path.path);
        EXPECT_EQ(result.file, nullptr) << path.path;
        EXPECT_EQ(result.error, path.error);
    }
    EXPECT_EQ(FolderFileHost(L"").OpenFile("pages/clip.flv").file, nullptr);

    // Links to a file or a folder, inside or outside, are not followed.
    const std::wstring parent = FolderOfPath(folder);
    const std::string narrowFolder(folder.begin(), folder.end()), narrowParent(parent.begin(), parent.end());
    int made = 0;
    for (const char* name : {"link.flv", "up", "alias.flv"}) {
        const std::string link = name;
        const bool folderLink = link == "up";
        const std::string target = link == "link.flv" ? narrowParent + "\\outside.txt"
                                   : folderLink       ? narrowParent
                                                      : narrowFolder + "\\pages\\clip.flv";
        if (!MakeLink(narrowFolder + "\\" + link, target, folderLink)) continue;
        ++made;
        const std::string path = folderLink ? "up/outside.txt" : link;
        const swf::FileOpenResult result = files.OpenFile(path);
        EXPECT_EQ(result.file, nullptr) << path;
        EXPECT_NE(result.error.find("link or junction"), std::string::npos) << path << ": " << result.error;
    }
    EXPECT_GT(made, 0) << "no link could be made here";
}

// A host process re-points a name between a plain file and a link to the
// outside while loads run: no load ever returns the outside file.
TEST(FolderFileHost, ANameFlippedToALinkDuringLoadsNeverLeadsOutside) {
    const std::wstring folder = control_test::MakeMovieFolders(L"control_flip");
    const std::string narrowFolder(folder.begin(), folder.end());
    const std::string hostFolder = driver::HostPath(narrowFolder);
    if (hostFolder.empty()) GTEST_SKIP() << "not under Wine";
    {
        std::ofstream flip(narrowFolder + "\\flip.txt");
        flip << "v=inside";
    }
    // Each step replaces the name whole: a link to the outside, then a plain file again.
    const std::string flip = hostFolder + "/flip.txt", secret = hostFolder + "/../outside.txt";
    ASSERT_TRUE(driver::RunHostCommand("Z:\\bin\\cp " + flip + " " + flip + ".plain"));
    std::atomic<bool> done{false};
    std::thread flipper([&] {
        for (int i = 0; i < 150; ++i) {
            driver::RunHostCommand("Z:\\bin\\ln -sfn " + secret + " " + flip + ".link");
            driver::RunHostCommand("Z:\\bin\\mv -fT " + flip + ".link " + flip);
            driver::RunHostCommand("Z:\\bin\\cp " + flip + ".plain " + flip + ".next");
            driver::RunHostCommand("Z:\\bin\\mv -fT " + flip + ".next " + flip);
        }
        done = true;
    });
    FolderFileHost files(folder);
    int inside = 0, leaked = 0, refused = 0;
    while (!done) {
        const auto read = files.ReadFile("flip.txt", 1000);
        if (Text(read) == "v=inside") ++inside;
        if (Text(read) == "v=outside") ++leaked;
        if (read.error.find("link or junction") != std::string::npos) ++refused;
    }
    flipper.join();
    EXPECT_EQ(leaked, 0);
    EXPECT_GT(inside, 0);   // the race was run against a readable name
    EXPECT_GT(refused, 0);  // and against the link
}

TEST(FolderFileHost, FolderOfPathAndMovieFolder) {
    EXPECT_EQ(FolderOfPath(L"C:\\Guides\\Intro.swf"), L"C:\\Guides");
    EXPECT_EQ(FolderOfPath(L"C:\\Intro.swf"), L"C:\\");
    EXPECT_EQ(FolderOfPath(L"Intro.swf"), L"");
    EXPECT_EQ(MovieFolder(L"file:///C:/My%20Guides/Intro.swf"), L"C:\\My Guides");
    EXPECT_EQ(MovieFolder(L"http://example.com/a.swf"), L"");
}

TEST(MoviePlayer, LoadsFromTheMovieFolderOnly) {
    FolderFileHost files(control_test::MakeMovieFolders(L"control_player_files"));
    MoviePlayer player;
    player.SetFileHost(&files);
    ASSERT_TRUE(player.Load(control_test::LoadingMovie("pages/inside.txt", "../outside.txt")));
    EXPECT_TRUE(player.TakeEvents().empty());  // loads complete on a later tick
    player.Advance();
    EXPECT_EQ(player.TakeEvents(),
              (std::vector<PlayerEvent>{{PlayerEvent::Kind::FSCommand, 0, "inside", "true:hello"},
                                        {PlayerEvent::Kind::FSCommand, 0, "outside", "false:undefined"}}));
}

TEST(MoviePlayer, LoadsTheBackgroundAndFrameRateAndRejectsBadBytes) {
    MoviePlayer player;
    EXPECT_FALSE(player.HasMovie());
    EXPECT_EQ(player.BackgroundColor(), kDefaultBackground);
    const auto movie = control_test::SolidMovie(80, 60, 0x3366CC, 25);
    ASSERT_TRUE(player.Load(movie));
    EXPECT_TRUE(player.HasMovie());
    EXPECT_EQ(player.BackgroundColor(), 0x3366CCu);
    EXPECT_DOUBLE_EQ(player.FrameRate(), 25);

    std::vector<std::uint32_t> pixels(40 * 30, 0);
    player.SetViewport(40, 30);
    player.Render(pixels.data(), 40, 30, 40 * 4);
    EXPECT_EQ(pixels[0], 0xFF3366CCu);
    EXPECT_EQ(pixels[15 * 40 + 20], 0xFF3366CCu);
    EXPECT_EQ(pixels[40 * 30 - 1], 0xFF3366CCu);

    EXPECT_FALSE(player.Load(std::vector<std::uint8_t>(movie.begin(), movie.begin() + 10)));
    EXPECT_FALSE(player.HasMovie());
    EXPECT_EQ(player.BackgroundColor(), kDefaultBackground);
    EXPECT_FALSE(player.Load(std::vector<std::uint8_t>(500, 0xEE)));
    EXPECT_FALSE(player.Load({}));
    player.Advance();  // harmless without a movie
    player.Render(pixels.data(), 40, 30, 40 * 4);
    EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
}

TEST(MoviePlayer, RenderChangesDrawsEverythingOnceThenOnlyWhatChanged) {
    MoviePlayer player;
    ASSERT_TRUE(player.Load(control_test::HalfAndHalfMovie(0x3366CC, 0xCC3300)));
    std::vector<std::uint32_t> pixels(40 * 30, 0);
    player.SetViewport(40, 30);
    EXPECT_EQ(player.RenderChanges(pixels.data(), 40, 30, 40 * 4), (std::vector<PixelArea>{{0, 0, 40, 30}}));
    std::vector<std::uint32_t> whole(40 * 30, 0);
    player.Render(whole.data(), 40, 30, 40 * 4);
    EXPECT_EQ(pixels, whole);
    // A still movie: nothing to draw, and the pixels stay as they are.
    player.Advance();
    EXPECT_TRUE(player.RenderChanges(pixels.data(), 40, 30, 40 * 4).empty());
    EXPECT_EQ(pixels, whole);
    // The buffer was lost: all of it again.
    std::fill(pixels.begin(), pixels.end(), 0);
    player.ForgetRenderedFrame();
    EXPECT_EQ(player.RenderChanges(pixels.data(), 40, 30, 40 * 4).size(), 1u);
    EXPECT_EQ(pixels, whole);
    // Another movie: everything.
    ASSERT_TRUE(player.Load(control_test::SolidMovie(80, 60, 0x112233)));
    EXPECT_EQ(player.RenderChanges(pixels.data(), 40, 30, 40 * 4).size(), 1u);
    EXPECT_EQ(pixels[0], 0xFF112233u);
}

}  // namespace
}  // namespace control

namespace control {
namespace {

TEST(MoviePlayer, QueuesMovieRequestsUnlessScriptAccessIsOff) {
    MoviePlayer player;
    ASSERT_TRUE(player.Load(control_test::FSCommandMovie("quit", "x", 0)));
    player.Advance();
    player.Advance();
    auto events = player.TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0], (PlayerEvent{PlayerEvent::Kind::FSCommand, 0, "quit", "x"}));
    EXPECT_TRUE(player.TakeEvents().empty());

    player.SetScriptAccess(false);
    ASSERT_TRUE(player.Load(control_test::ExternalCallMovie("f", "a", 0)));
    player.Advance();
    player.Advance();
    EXPECT_TRUE(player.TakeEvents().empty());
}

TEST(MoviePlayer, OpensWebAndMailLinksOnlyWhenTheUserClicks) {
    namespace w = swf::writer;
    MoviePlayer player;
    player.SetViewport(200, 100);
    // The frame asks for a page by itself; the button for a web page, a mail
    // address and a local file.
    w::ActionAssembler click;
    click.GetURL("http://example.com/a", "_blank")
        .GetURL("MAILTO:someone@example.com", "")
        .GetURL("file:///C:/x.txt", "")
        .GetURL("page.html", "");
    const auto onLoad = w::ActionAssembler().GetURL("https://example.com/onload", "").Finish();
    ASSERT_TRUE(player.Load(control_test::ButtonMovie(click.Finish(), onLoad)));
    player.Advance();
    EXPECT_TRUE(player.TakeEvents().empty());
    player.PointerMove(50, 50);
    player.PointerDown(50, 50);
    player.PointerUp(50, 50);
    const std::vector<PlayerEvent> expected = {{PlayerEvent::Kind::OpenUrl, 0, "http://example.com/a", {}},
                                               {PlayerEvent::Kind::OpenUrl, 0, "MAILTO:someone@example.com", {}}};
    EXPECT_EQ(player.TakeEvents(), expected);
}

}  // namespace
}  // namespace control
