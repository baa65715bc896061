// The distributable as a user receives it, on a machine without the player
// control: the appended package is installed unattended, the skinned window
// opens and plays the demo guide, which reads its variables and shows its
// pages from the folder beside it; Next turns the page, a word typed into its
// search field finds another, and the movie's own Close button ends the program. Run in a prefix of its own, made fresh for
// this test.
//   end_to_end_test DEMO_FOLDER

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "tests/windows/demo_layout.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/installed_control.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;

std::string g_demo;

using namespace demo_layout;

// More of the demo movie's parts, in stage pixels.
constexpr POINT kSearchField{484, 536};
// Right of the guide's title, left of the spinner.
constexpr POINT kHeaderPoint{600, 60};
// Just under the page card, in its drop shadow, and as far down on the
// panel beside it, where nothing casts one.
constexpr POINT kUnderPageCard{400, 461};
constexpr POINT kBesidePageCard{50, 461};
// Just right of the Next button: its glow shows there while it is pointed at.
constexpr POINT kBesideNextButton{733, 492};
// The "Page n of m" counter.
constexpr RECT kCounter{230, 480, 380, 506};
constexpr COLORREF kMovieBackground = RGB(0xF4, 0xF6, 0xFA);

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

TEST(EndToEnd, InstallsTheControlPlaysTheDemoAndClosesFromTheMovie) {
    ASSERT_EQ(RegisteredServerValue(), "") << "the prefix is not fresh: the control is registered already";
    // The demo folder, copied where a user would keep it.
    ProgramFolder folder("end_to_end", g_demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    ASSERT_TRUE(folder.Ready());
    for (const char* file :
         {"UserGuide.swf", "UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\page1.jpg",
          "UserGuide_Page_img\\page2.jpg", "UserGuide_Page_img\\page3.png", "UserGuide_Page_img\\page1.html",
          "UserGuide_Page_img\\page2.html", "UserGuide_Page_img\\page3.html"}) {
        ASSERT_TRUE(folder.CopyIn(g_demo + "\\" + file, file)) << file;
    }
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    HWND player = WaitFor(
        [&]() -> HWND {
            if (FindWindowOf(program.Id(), "#32770")) return HWND_BROADCAST;
            return FindWindowOf(program.Id(), "TPlayerForm");
        },
        180s);
    ASSERT_TRUE(player) << "the player window did not open";
    ASSERT_NE(player, HWND_BROADCAST) << "a message box appeared: "
                                      << ReadMessageBox(FindWindowOf(program.Id(), "#32770"))->text;

    // The package registered the control and its extracted file is gone.
    const std::string server = RegisteredServerValue();
    EXPECT_NE(server, "");
    EXPECT_NE(GetFileAttributesA(server.c_str()), INVALID_FILE_ATTRIBUTES) << server;
    EXPECT_EQ(RegisteredServerValue("ThreadingModel"), "Apartment");
    EXPECT_EQ(GetFileAttributesA(ExtractedPackagePath().c_str()), INVALID_FILE_ATTRIBUTES);

    // The movie is on screen: its blue header where the stage has it, its
    // background in the margins.
    HWND control = FindChildOf(player, "GuidePlayerControlWindow");
    ASSERT_TRUE(control);
    const POINT header = StageToScreen(control, kHeaderPoint);
    const auto isHeaderBlue = [](COLORREF c) { return GetBValue(c) > 0x90 && GetRValue(c) < 0x60; };
    COLORREF headerColour = ScreenPixel(header.x, header.y);
    for (int wait = 0; wait < 100 && !isHeaderBlue(headerColour); ++wait) {  // the movie loads in its own time
        Pause(100ms);
        headerColour = ScreenPixel(header.x, header.y);
    }
    const RECT controlBounds = BoundsOf(control);
    const COLORREF margin = ScreenPixel(controlBounds.left + 2, controlBounds.top + 2);
    EXPECT_EQ(ColourText(margin), ColourText(kMovieBackground));
    EXPECT_TRUE(isHeaderBlue(headerColour)) << ColourText(headerColour);
    if (HasFailure()) SaveScreen("C:\\end_to_end_failure.bmp");

    // Page 1's picture, loaded from the guide's folder: its blue band (the
    // page pictures are drawn by ImageMagick: blue, green, then an orange card).
    const POINT band = StageToScreen(control, kPageBandPoint);
    const auto isPageBlue = [](COLORREF c) {
        return GetBValue(c) > GetRValue(c) + 80 && GetBValue(c) > GetGValue(c) + 30;
    };
    const auto isPageGreen = [](COLORREF c) {
        return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 10;
    };
    COLORREF page = ScreenPixel(band.x, band.y);
    for (int wait = 0; wait < 100 && !isPageBlue(page); ++wait) {
        Pause(100ms);
        page = ScreenPixel(band.x, band.y);
    }
    EXPECT_TRUE(isPageBlue(page)) << "page 1 is not shown: " << ColourText(page);

    // The page card's drop shadow, set by the movie's script: darker than
    // the panel beside it at the same height (the panel's gradient runs downwards).
    const POINT shadow = StageToScreen(control, kUnderPageCard);
    const POINT beside = StageToScreen(control, kBesidePageCard);
    const COLORREF shaded = ScreenPixel(shadow.x, shadow.y), plain = ScreenPixel(beside.x, beside.y);
    EXPECT_LT(GetBValue(shaded) + 25, GetBValue(plain)) << ColourText(shaded) << " next to " << ColourText(plain);

    // The counter's pixels, to see it change.
    const POINT counterTopLeft = StageToScreen(control, {kCounter.left, kCounter.top});
    const POINT counterBottomRight = StageToScreen(control, {kCounter.right, kCounter.bottom});
    const auto counterPixels = [&] {
        std::string pixels;
        for (LONG y = counterTopLeft.y; y < counterBottomRight.y; y += 2) {
            for (LONG x = counterTopLeft.x; x < counterBottomRight.x; x += 2) pixels += ColourText(ScreenPixel(x, y));
        }
        return pixels;
    };
    const std::string counterOnPage1 = counterPixels();

    // Next: page 2's green band, and the counter changes. Pointed at, the
    // button glows yellow around its edge.
    const POINT next = StageToScreen(control, kNextButtonCentre);
    const POINT glow = StageToScreen(control, kBesideNextButton);
    const auto warmth = [](COLORREF c) { return static_cast<int>(GetRValue(c)) - GetBValue(c); };
    const COLORREF unlit = ScreenPixel(glow.x, glow.y);
    MoveMouse(next.x, next.y);
    COLORREF lit = ScreenPixel(glow.x, glow.y);
    for (int wait = 0; wait < 50 && warmth(lit) < warmth(unlit) + 20; ++wait) {
        Pause(100ms);
        lit = ScreenPixel(glow.x, glow.y);
    }
    EXPECT_GE(warmth(lit), warmth(unlit) + 20) << ColourText(lit) << " was " << ColourText(unlit);
    Click(next.x, next.y);
    page = ScreenPixel(band.x, band.y);
    for (int wait = 0; wait < 100 && !isPageGreen(page); ++wait) {
        Pause(100ms);
        page = ScreenPixel(band.x, band.y);
    }
    EXPECT_TRUE(isPageGreen(page)) << "Next did not show page 2: " << ColourText(page);
    EXPECT_TRUE(counterPixels() != counterOnPage1) << "the page counter did not change";
    if (HasFailure()) SaveScreen("C:\\end_to_end_pages_failure.bmp");

    // A word of page 3's title ("Closing the guide") typed into the search
    // field, then Enter: page 3's orange card.
    const POINT search = StageToScreen(control, kSearchField);
    MoveMouse(search.x, search.y);
    Click(search.x, search.y);
    Pause(200ms);
    TypeText(L"closing");
    PressKey(VK_RETURN);
    const auto isPageOrange = [](COLORREF c) { return GetRValue(c) > 0xC0 && GetRValue(c) > GetBValue(c) + 100; };
    page = ScreenPixel(band.x, band.y);
    for (int wait = 0; wait < 100 && !isPageOrange(page); ++wait) {
        Pause(100ms);
        page = ScreenPixel(band.x, band.y);
    }
    EXPECT_TRUE(isPageOrange(page)) << "searching did not show page 3: " << ColourText(page);
    if (HasFailure()) SaveScreen("C:\\end_to_end_search_failure.bmp");

    // Without the mouse: a click on the header leaves the search field, Left
    // turns back to page 2, then Tab walks the buttons in their order on the
    // stage (Sound off, Close, Previous, Next) and Enter presses Next: page 3.
    MoveMouse(header.x, header.y);
    Click(header.x, header.y);
    Pause(200ms);
    PressKey(VK_LEFT);
    page = ScreenPixel(band.x, band.y);
    for (int wait = 0; wait < 100 && !isPageGreen(page); ++wait) {
        Pause(100ms);
        page = ScreenPixel(band.x, band.y);
    }
    EXPECT_TRUE(isPageGreen(page)) << "Left did not turn back to page 2: " << ColourText(page);
    for (int i = 0; i < 4; ++i) {
        PressKey(VK_TAB);
        Pause(100ms);
    }
    PressKey(VK_RETURN);
    page = ScreenPixel(band.x, band.y);
    for (int wait = 0; wait < 100 && !isPageOrange(page); ++wait) {
        Pause(100ms);
        page = ScreenPixel(band.x, band.y);
    }
    EXPECT_TRUE(isPageOrange(page)) << "Tab and Enter did not press Next: " << ColourText(page);
    if (HasFailure()) SaveScreen("C:\\end_to_end_keyboard_failure.bmp");

    // A click on the movie's Close button: the movie calls its host, which
    // closes the window and so ends the program.
    const POINT close = StageToScreen(control, kCloseButtonCentre);
    MoveMouse(close.x, close.y);
    Click(close.x, close.y);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
}

// A movie whose classes are defined as compilers define them (init actions of
// an exported sprite, a registered class, attachMovie) reaches its first call
// to the host, which closes the program: it ends by itself with 0.
TEST(EndToEnd, AClassBasedMovieCallsItsHostAndTheProgramEndsWithZero) {
    ProgramFolder folder("class_movie", g_demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    ASSERT_TRUE(folder.Ready());
    ASSERT_TRUE(folder.CopyIn(g_demo + "\\..\\movies\\classes.swf", "UserGuide.swf"));
    // The program's settings, as the guide ships them.
    ASSERT_TRUE(folder.CopyIn(g_demo + "\\UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\Page_var.txt"));
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(120s), 0u) << "the movie never called its host";
}

// A script that would convert an array holding itself forever: the player
// stops it, the window opens and answers, and its close button ends the program.
TEST(EndToEnd, ASelfReferencingArrayLoopLeavesTheWindowWorking) {
    ProgramFolder folder("self_array", g_demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    ASSERT_TRUE(folder.Ready());
    ASSERT_TRUE(folder.CopyIn(g_demo + "\\..\\movies\\self_array.swf", "UserGuide.swf"));
    ASSERT_TRUE(folder.CopyIn(g_demo + "\\UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\Page_var.txt"));
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 120s);
    ASSERT_TRUE(player) << "the player window did not open";
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0) << "the window hangs";
    // The title bar's close button: the last of three 16-pixel buttons 24
    // pixels apart, their strip starting 123 pixels in from the right edge.
    const RECT r = BoundsOf(player);
    const POINT close{r.right - 123 + 32 + 24 * 2 + 8, r.top + 8 + 8};
    MoveMouse(close.x, close.y);
    Click(close.x, close.y);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
}

// Movies written to freeze or exhaust the player, each under the real
// projector: the window shows the movie, answers, paints again after being
// covered, and a close request ends the program with 0 within a second.
TEST(EndToEnd, HostileMoviesLeaveTheWindowWorkingAndCloseWithinASecond) {
    const COLORREF stage = RGB(0x30, 0x90, 0x60);  // the hostile movies' background
    for (const char* movie : {"endless_handlers", "endless_callbacks", "reloading_data", "level_loader"}) {
        SCOPED_TRACE(movie);
        ProgramFolder folder(std::string("hostile_") + movie, g_demo + "\\UserGuide.exe", "UserGuide.exe",
                             std::nullopt);
        ASSERT_TRUE(folder.Ready());
        ASSERT_TRUE(folder.CopyIn(g_demo + "\\..\\movies\\" + movie + ".swf", "UserGuide.swf"));
        ASSERT_TRUE(folder.CopyIn(g_demo + "\\UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\Page_var.txt"));
        {
            std::ofstream big(folder.Folder() + "\\big.txt", std::ios::binary);  // what reloading_data reloads
            big << "a=" << std::string(3u << 20, 'x');
        }
        Process program(folder.Exe());
        ASSERT_TRUE(program.Started());
        HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 120s);
        ASSERT_TRUE(player) << "the player window did not open";
        HWND control = FindChildOf(player, "GuidePlayerControlWindow");
        ASSERT_TRUE(control);
        const RECT r = BoundsOf(control);
        const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        const auto shows = [&] { return ScreenPixel(middle.x, middle.y) == stage; };
        for (int wait = 0; wait < 50 && !shows(); ++wait) Pause(100ms);
        EXPECT_TRUE(shows()) << ColourText(ScreenPixel(middle.x, middle.y));
        Pause(2s);  // let the movie do its worst for a while

        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0) << "the window hangs";
        // Covered by another window and uncovered again: the movie is painted again.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(cover);
        for (int i = 0; i < 30; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Pause(10ms);
        }
        EXPECT_FALSE(shows()) << "the cover did not cover";
        DestroyWindow(cover);
        bool repainted = false;
        for (int wait = 0; wait < 30 && !repainted; ++wait) {
            Pause(100ms);
            repainted = shows();
        }
        EXPECT_TRUE(repainted) << ColourText(ScreenPixel(middle.x, middle.y));

        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        K32GetProcessMemoryInfo(program.Handle(), &memory, sizeof memory);
        const auto asked = std::chrono::steady_clock::now();
        PostMessageA(player, WM_CLOSE, 0, 0);
        const std::optional<DWORD> exit = program.WaitForExit(10s);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
        std::printf("%s: peak working set %zu KB; closed %lld ms after the request\n", movie,
                    static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024), static_cast<long long>(ms.count()));
        EXPECT_EQ(exit, std::optional<DWORD>(0u));
        EXPECT_LT(ms.count(), 1000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: end_to_end_test DEMO_FOLDER\n");
        return 2;
    }
    g_demo = argv[1];
    return RUN_ALL_TESTS();
}
