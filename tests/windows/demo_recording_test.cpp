// The demo guide's recording page in the real program: Next three times shows
// the screen recording (an FLV file beside the movie, played through a
// NetStream), whose pointer keeps moving while it plays; its Pause button
// holds the picture still and pressing it again plays on. Run in a prefix of
// its own, made fresh for this test.
//   demo_recording_test DEMO_FOLDER

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/windows/demo_layout.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;

std::string g_demo;

using namespace demo_layout;

// The recording's box (656 x 240 at 72, 154), less the bottom rows where the
// play button's glow reaches when the pointer is on it.
constexpr RECT kVideoArea{74, 156, 726, 380};
// Near the recording's top edge: its desktop's blue there, the box's dark
// grey before a picture has come.
constexpr POINT kVideoTopPoint{400, 160};
// The play / pause button under the recording, and the time read-out.
constexpr POINT kPlayButtonCentre{142, 422};
constexpr RECT kClock{548, 410, 728, 436};

// Maps a point of the stage to the screen: the whole stage is shown, its
// aspect kept, centred in the control's window.
POINT StageToScreen(HWND control, POINT stage) {
    const RECT r = BoundsOf(control);
    const double width = r.right - r.left, height = r.bottom - r.top;
    const double scale = std::min(width / kStageWidth, height / kStageHeight);
    const double left = r.left + (width - kStageWidth * scale) / 2;
    const double top = r.top + (height - kStageHeight * scale) / 2;
    return {static_cast<LONG>(left + stage.x * scale), static_cast<LONG>(top + stage.y * scale)};
}

// The screen's pixels inside a stage rectangle, row by row (32-bit BGRX).
std::vector<std::uint32_t> StagePixels(HWND control, RECT stage) {
    const POINT topLeft = StageToScreen(control, {stage.left, stage.top});
    const POINT bottomRight = StageToScreen(control, {stage.right, stage.bottom});
    const int width = bottomRight.x - topLeft.x, height = bottomRight.y - topLeft.y;
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, topLeft.x, topLeft.y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::size_t Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

void ClickStage(HWND control, POINT stage) {
    const POINT at = StageToScreen(control, stage);
    MoveMouse(at.x, at.y);
    Pause(100ms);
    Click(at.x, at.y);
}

// Waits until the stage point's colour passes `test`; false when it never does.
template <typename Test>
bool WaitForColour(HWND control, POINT stage, Test test, std::chrono::milliseconds timeout) {
    const POINT at = StageToScreen(control, stage);
    for (auto waited = 0ms; waited < timeout; waited += 100ms) {
        if (test(ScreenPixel(at.x, at.y))) return true;
        Pause(100ms);
    }
    return test(ScreenPixel(at.x, at.y));
}

bool IsBlue(COLORREF c) { return GetBValue(c) > GetRValue(c) + 60 && GetBValue(c) > 0x80; }
bool IsOrange(COLORREF c) { return GetRValue(c) > 0xC0 && GetRValue(c) > GetBValue(c) + 100; }

TEST(DemoRecording, PlaysMovingPicturesPausesAndPlaysOn) {
    ProgramFolder folder("demo_recording", g_demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    ASSERT_TRUE(folder.Ready());
    for (const char* file :
         {"UserGuide.swf", "UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\page1.jpg",
          "UserGuide_Page_img\\page2.jpg", "UserGuide_Page_img\\page3.png", "UserGuide_Page_img\\page1.html",
          "UserGuide_Page_img\\page2.html", "UserGuide_Page_img\\page3.html", "UserGuide_Page_img\\recording.flv"}) {
        ASSERT_TRUE(folder.CopyIn(g_demo + "\\" + file, file)) << file;
    }
    MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    // The first start installs the control from the program's own package.
    const HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 180s);
    ASSERT_TRUE(player) << "the player window did not open";
    const HWND control = FindChildOf(player, "GuidePlayerControlWindow");
    ASSERT_TRUE(control);
    ASSERT_TRUE(WaitForColour(control, kPageBandPoint, IsBlue, 15s)) << "page 1 did not show";

    // Next to page 3 (its orange card), then once more to the recording.
    ClickStage(control, kNextButtonCentre);
    Pause(300ms);
    ClickStage(control, kNextButtonCentre);
    ASSERT_TRUE(WaitForColour(control, kPageBandPoint, IsOrange, 10s)) << "page 3 did not show";
    ClickStage(control, kNextButtonCentre);
    const bool shown = WaitForColour(control, kVideoTopPoint, IsBlue, 10s);
    if (!shown) SaveScreen("C:\\demo_recording_failure.bmp");
    ASSERT_TRUE(shown) << "the recording did not show";
    // The pointer off the video, on the play button (its glow stays out of the sampled area).
    const POINT button = StageToScreen(control, kPlayButtonCentre);
    MoveMouse(button.x, button.y);

    // Playing: a second later the pointer (and later the window) has moved,
    // and the read-out counts.
    const auto playing1 = StagePixels(control, kVideoArea);
    const auto clock1 = StagePixels(control, kClock);
    Pause(1000ms);
    const auto playing2 = StagePixels(control, kVideoArea);
    const auto clock2 = StagePixels(control, kClock);
    ASSERT_FALSE(playing1.empty());
    EXPECT_GT(Differing(playing1, playing2), 20u) << "the recording does not move while it plays";
    EXPECT_GT(Differing(clock1, clock2), 0u) << "the time read-out does not count";

    // Paused: the picture holds still.
    Click(button.x, button.y);
    Pause(500ms);
    const auto paused1 = StagePixels(control, kVideoArea);
    Pause(1000ms);
    const auto paused2 = StagePixels(control, kVideoArea);
    EXPECT_EQ(Differing(paused1, paused2), 0u) << "the recording moves while paused";

    // Pressed again: it plays on.
    Click(button.x, button.y);
    Pause(1000ms);
    const auto resumed = StagePixels(control, kVideoArea);
    EXPECT_GT(Differing(paused2, resumed), 20u) << "the recording did not play on";
    if (HasFailure()) SaveScreen("C:\\demo_recording_failure.bmp");

    // Back a page: the recording's clip is gone, page 3's picture is back.
    ClickStage(control, kPreviousButtonCentre);
    EXPECT_TRUE(WaitForColour(control, kPageBandPoint, IsOrange, 10s)) << "Previous did not leave the recording";
    ClickStage(control, kCloseButtonCentre);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_recording_test DEMO_FOLDER\n");
        return 2;
    }
    g_demo = argv[1];
    return RUN_ALL_TESTS();
}
