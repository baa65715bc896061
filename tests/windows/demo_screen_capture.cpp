// Plays the demo guide as a user would (the program copied into a folder of
// its own with its movie and pages) and, once page 1 has shown and a few
// seconds have played, writes what the player control's window shows on the
// screen to a 24-bit BMP file. demo_screen_test.sh compares that picture with
// a whole drawing of the same movie.
//   demo_screen_capture DEMO_FOLDER OUT.bmp
// Exits with 0 when the picture was written, 1 (with the reason) when not.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;

int Fail(const char* reason) {
    std::fprintf(stderr, "demo_screen_capture: %s\n", reason);
    return 1;
}

// The control's drawing surface in screen coordinates.
RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: demo_screen_capture DEMO_FOLDER OUT.bmp");
    const std::string demo = argv[1];
    ProgramFolder folder("demo_screen", demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    if (!folder.Ready()) return Fail("the program folder could not be made");
    for (const char* file :
         {"UserGuide.swf", "UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\page1.jpg",
          "UserGuide_Page_img\\page2.jpg", "UserGuide_Page_img\\page3.png", "UserGuide_Page_img\\page1.html",
          "UserGuide_Page_img\\page2.html", "UserGuide_Page_img\\page3.html"}) {
        if (!folder.CopyIn(demo + "\\" + file, file)) return Fail("a demo file could not be copied");
    }
    // The pointer away from the movie, so that no button shows its hover state.
    MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    Process program(folder.Exe());
    if (!program.Started()) return Fail("the program did not start");
    // The first start installs the control from the program's own package.
    const HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 180s);
    if (!player) return Fail("the player window did not open");
    const HWND control = FindChildOf(player, "GuidePlayerControlWindow");
    if (!control) return Fail("the player window holds no control");

    // Page 1's picture is loaded by the movie in its own time; its blue band
    // (the top of the page, at 92, 170 on the 800 x 600 stage) shows it is there.
    const auto pageShown = [&] {
        const RECT r = ClientOnScreen(control);
        const double width = r.right - r.left, height = r.bottom - r.top;
        const double scale = std::min(width / 800, height / 600);
        const int x = static_cast<int>(r.left + (width - 800 * scale) / 2 + 92 * scale);
        const int y = static_cast<int>(r.top + (height - 600 * scale) / 2 + 170 * scale);
        const COLORREF c = ScreenPixel(x, y);
        return GetBValue(c) > GetRValue(c) + 80 && GetBValue(c) > GetGValue(c) + 30;
    };
    for (int wait = 0; wait < 150 && !pageShown(); ++wait) Pause(100ms);
    if (!pageShown()) return Fail("page 1 did not show");
    // A few seconds of play, drawn frame by frame with only what changed.
    Pause(3s);
    if (!SaveScreenArea(argv[2], ClientOnScreen(control))) return Fail("the screen could not be written");
    return 0;
}
