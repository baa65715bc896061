// The distributable as a user receives it, on a machine without the player
// control: the appended package is installed unattended, the skinned window
// opens and plays the demo movie, and the movie's own Close button ends the
// program. Run in a prefix of its own, made fresh for this test.
//   end_to_end_test DEMO_FOLDER

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "gui_driver.h"

namespace {

using namespace driver;

std::string g_demo;

const char kServerKey[] = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// The demo movie's stage and where its parts are on it, in pixels.
constexpr double kStageWidth = 800, kStageHeight = 600;
constexpr POINT kCloseButtonCentre{142, 492};
constexpr POINT kHeaderPoint{400, 70};
constexpr COLORREF kMovieBackground = RGB(0xF4, 0xF6, 0xFA);

std::string Hex(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string RegisteredValue(const char* name) {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CLASSES_ROOT, kServerKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return "";
    }
    return value;
}

std::string InstallerPackagePath() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system, 2) + "\\temp\\flash8.msi";
}

// The demo folder copied into a folder of the user's.
std::string Deploy() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "end_to_end";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\UserGuide_Page_img").c_str(), nullptr);
    for (const char* file : {"UserGuide.exe", "UserGuide.swf", "UserGuide_Page_img\\Page_var.txt"}) {
        EXPECT_TRUE(CopyFileA((g_demo + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE)) << file;
    }
    return folder + "\\UserGuide.exe";
}

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
    ASSERT_EQ(RegisteredValue(""), "") << "the prefix is not fresh: the control is registered already";
    Process program(Deploy());
    ASSERT_TRUE(program.Started());
    HWND player = WaitFor(
        [&]() -> HWND {
            if (FindWindowOf(program.Id(), "#32770")) return HWND_BROADCAST;
            return FindWindowOf(program.Id(), "TPlayerForm");
        },
        180s);
    ASSERT_TRUE(player) << "the player window did not open";
    ASSERT_NE(player, HWND_BROADCAST) << "a message box appeared: " << ReadMessageBox(FindWindowOf(program.Id(), "#32770"))->text;

    // The package registered the control and its extracted file is gone.
    const std::string server = RegisteredValue("");
    EXPECT_NE(server, "");
    EXPECT_NE(GetFileAttributesA(server.c_str()), INVALID_FILE_ATTRIBUTES) << server;
    EXPECT_EQ(RegisteredValue("ThreadingModel"), "Apartment");
    EXPECT_EQ(GetFileAttributesA(InstallerPackagePath().c_str()), INVALID_FILE_ATTRIBUTES);

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
    EXPECT_EQ(Hex(margin), Hex(kMovieBackground));
    EXPECT_TRUE(isHeaderBlue(headerColour)) << Hex(headerColour);
    if (HasFailure()) SaveScreen("C:\\end_to_end_failure.bmp");

    // A click on the movie's Close button: the movie calls its host, which
    // closes the window and so ends the program.
    const POINT close = StageToScreen(control, kCloseButtonCentre);
    MoveMouse(close.x, close.y);
    Click(close.x, close.y);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
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
