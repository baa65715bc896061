// The real program seen from outside: without a registered control it
// reports the failure once and ends; with the test control its skinned
// window is on screen, colour-keyed corners included, and a call from the
// control ends it.
//   projector_window_test PROJECTOR.EXE TEST_CONTROL

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/windows_toolkit/class_registration.h"
#include "tests/windows/driver/program_folder.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows_toolkit/test_control/test_control_ids.h"

namespace {

using namespace driver;
using testing_support::ControlRegistration;

std::string g_projector;
std::string g_control;

constexpr COLORREF kBehind = RGB(0, 200, 0);

TEST(ProjectorWindow, WithoutARegisteredControlReportsOnceAndEnds) {
    ControlRegistration registration("");
    ASSERT_TRUE(registration.Succeeded());
    Process program(g_projector);
    ASSERT_TRUE(program.Started());
    auto box = WaitForMessageBox(program.Id(), 30s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    EXPECT_EQ(box->text, testing_support::ClassNotRegisteredText() + ".");
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(FindWindowOf(program.Id(), "TPlayerForm"));
    PressOk(*box);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
}

TEST(ProjectorWindow, SkinnedTitleBarWithColourKeyedCornersOnScreen) {
    ControlRegistration registration(g_control);
    ASSERT_TRUE(registration.Succeeded());
    ProgramFolder folder("projector_window_test", g_projector, "Guide.exe",
                         "&title=Skin test&\r\n&width=956&\r\n&height=622&\r\n");
    ASSERT_TRUE(folder.Ready());
    Backdrop backdrop(kBehind);
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 30s);
    ASSERT_TRUE(player);
    EXPECT_FALSE(FindWindowOf(program.Id(), "#32770"));
    Pause(1500ms);

    const RECT r = BoundsOf(player);
    const int width = r.right - r.left;
    ASSERT_GE(width, 300);

    // The title strip's rows in the middle of the title bar.
    const char* rows[29] = {"#000000", "#E6E6E6", "#F0F0EF", "#E8E8E8", "#D8D8D8", "#D1D1D2", "#D3D3D4", "#D7D7D8",
                            "#DCDCDD", "#E2E2E3", "#EAEAEB", "#F3F3F3", "#FAFAFA", "#FDFDFD", "#FDFDFD", "#FDFDFD",
                            "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD",
                            "#FDFDFD", "#FDFDFD", "#FDFDFD", "#FDFDFD", "#000000"};
    const int middle = r.left + width / 2;
    for (int row = 0; row < 29; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(ColourText(ScreenPixel(middle, r.top + row)), rows[row]);
    }

    // The rounded corners: key-coloured pixels show what lies behind.
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE("column " + std::to_string(column));
        EXPECT_EQ(ColourText(ScreenPixel(r.left + column, r.top)), ColourText(kBehind));
        EXPECT_EQ(ColourText(ScreenPixel(r.right - 1 - column, r.top)), ColourText(kBehind));
    }
    EXPECT_EQ(ColourText(ScreenPixel(r.left, r.top + 1)), ColourText(kBehind));
    EXPECT_EQ(ColourText(ScreenPixel(r.left, r.top + 4)), ColourText(kBehind));
    // The end caps' outline next to them.
    EXPECT_EQ(ColourText(ScreenPixel(r.left + 5, r.top)), "#000000");
    EXPECT_EQ(ColourText(ScreenPixel(r.left + 3, r.top + 1)), "#000000");
    EXPECT_EQ(ColourText(ScreenPixel(r.left + 1, r.top + 3)), "#000000");
    EXPECT_EQ(ColourText(ScreenPixel(r.right - 6, r.top)), "#000000");
    EXPECT_EQ(ColourText(ScreenPixel(r.right - 2, r.top + 3)), "#000000");
    EXPECT_EQ(ColourText(ScreenPixel(r.left, r.top + 28)), "#000000");

    // The control in the content panel paints its own colour.
    EXPECT_EQ(ColourText(ScreenPixel(middle, r.top + 29 + 100)), ColourText(kControlColor));

    // Minimising the main window minimises the application and hides the
    // window; restoring the application shows it again. (Without a window
    // manager the application window itself never shows as iconic here.)
    HWND application = FindWindowOf(program.Id(), "TApplication", false);
    ASSERT_TRUE(application);
    PostMessageA(player, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(player) ? nullptr : player; }, 10s));
    Pause(500ms);
    EXPECT_FALSE(IsWindowVisible(player));  // and it stays hidden
    PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(player) ? player : nullptr; }, 10s));

    // A call from the control closes the window and ends the program.
    HWND control = FindChildOf(player, "TestFlashControl");
    ASSERT_TRUE(control);
    PostMessageA(control, kFireFlashCallMessage, 0, 0);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
}

TEST(ProjectorWindow, FirstShowFollowsTheStartUpShowState) {
    ControlRegistration registration(g_control);
    ASSERT_TRUE(registration.Succeeded());
    ProgramFolder folder("projector_show_state", g_projector, "Guide.exe",
                         "&title=Show state&\r\n&width=640&\r\n&height=480&\r\n");
    ASSERT_TRUE(folder.Ready());

    {
        // Maximised: the window fills the screen.
        Process program(folder.Exe(), "", SW_SHOWMAXIMIZED);
        ASSERT_TRUE(program.Started());
        HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 30s);
        ASSERT_TRUE(player);
        EXPECT_TRUE(WaitFor([&] { return IsZoomed(player) ? player : nullptr; }, 5s)) << "not maximised";
        const RECT r = BoundsOf(player);
        EXPECT_GT(r.right - r.left, 640);
        EXPECT_GT(r.bottom - r.top, 480);
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
    }
    {
        // Minimised: only the taskbar button, the player window hidden; a
        // restore brings it back.
        Process program(folder.Exe(), "", SW_SHOWMINNOACTIVE);
        ASSERT_TRUE(program.Started());
        HWND application = WaitFor([&] { return FindWindowOf(program.Id(), "TApplication", false); }, 30s);
        ASSERT_TRUE(application);
        HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm", false); }, 30s);
        ASSERT_TRUE(player);
        EXPECT_TRUE(WaitFor([&] { return IsIconic(application) ? application : nullptr; }, 10s)) << "not minimised";
        Pause(1000ms);
        EXPECT_FALSE(IsWindowVisible(player));
        PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(player) ? player : nullptr; }, 10s));
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
    }
    {
        // A normal start keeps the settings' size.
        Process program(folder.Exe(), "", SW_SHOWNORMAL);
        ASSERT_TRUE(program.Started());
        HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 30s);
        ASSERT_TRUE(player);
        EXPECT_FALSE(IsZoomed(player));
        const RECT r = BoundsOf(player);
        EXPECT_EQ(r.right - r.left, 640);
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: projector_window_test PROJECTOR.EXE TEST_CONTROL\n");
        return 2;
    }
    g_projector = argv[1];
    g_control = argv[2];
    return RUN_ALL_TESTS();
}
