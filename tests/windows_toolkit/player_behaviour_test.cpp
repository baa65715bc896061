// The player window's behaviour, seen from outside the real program with real
// mouse input: start-up sizing and movie, the grip, the title bar and its
// buttons, the sizing band, and the failures of start-up.
//   player_behaviour_test PROJECTOR.EXE TEST_CONTROL ICONLIST.BMP ICONLIST_MASK.BMP

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/windows_toolkit/class_registration.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/program_folder.h"
#include "tests/windows_toolkit/test_control/test_control_ids.h"

namespace {

using namespace driver;
using testing_support::ControlRegistration;

std::string g_projector;
std::string g_control;
std::string g_iconList;
std::string g_iconMask;

constexpr COLORREF kBehind = RGB(0, 200, 0);
constexpr COLORREF kColourKey = RGB(0xFE, 0x00, 0x01);
constexpr int kTitleHeight = 29;

struct Box {
    int Left, Top, Width, Height;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& b, std::ostream* os) {
    *os << "{" << b.Left << ", " << b.Top << ", " << b.Width << ", " << b.Height << "}";
}

Box ScreenBox(HWND window) {
    const RECT r = BoundsOf(window);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A window's bounds in the client coordinates of another.
Box BoxIn(HWND window, HWND reference) {
    RECT r = BoundsOf(window);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int Centred(int screen, int window) { return (screen - window) / 2; }

// The program answers input in its own time: reads until the value is the
// expected one or five seconds have passed, and returns the last reading.
template <class Read, class Expected>
auto Eventually(Read read, const Expected& expected) {
    auto value = read();
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!(value == expected) && std::chrono::steady_clock::now() < end) {
        Pause(50ms);
        value = read();
    }
    return value;
}
#define EXPECT_SOON_EQ(actual, expected) EXPECT_EQ(Eventually([&] { return actual; }, expected), expected)

// The button pictures as the skin defines them: opaque pixels per image.
class IconList {
public:
    IconList() {
        strip_ = Read(g_iconList);
        mask_ = Read(g_iconMask);
    }
    bool Loaded() const { return !strip_.empty() && strip_.size() == mask_.size(); }

    // Which of the eight pictures the 16 x 16 square at x, y on screen shows:
    // the one whose every opaque pixel is there; nothing if none or several.
    std::optional<int> PictureAt(int x, int y) const {
        std::array<COLORREF, 256> screen{};
        HDC dc = GetDC(nullptr);
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) screen[row * 16 + column] = GetPixel(dc, x + column, y + row);
        }
        ReleaseDC(nullptr, dc);
        std::optional<int> found;
        for (int index = 0; index < 8; ++index) {
            bool matches = true;
            for (int row = 0; row < 16 && matches; ++row) {
                for (int column = 0; column < 16 && matches; ++column) {
                    const std::size_t at = static_cast<std::size_t>(row) * 128 + index * 16 + column;
                    if (mask_[at] == RGB(255, 255, 255)) continue;  // transparent
                    matches = strip_[at] == screen[row * 16 + column];
                }
            }
            if (matches) {
                if (found) return std::nullopt;
                found = index;
            }
        }
        return found;
    }

private:
    static std::vector<COLORREF> Read(const std::string& path) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (!bitmap) return {};
        std::vector<COLORREF> pixels;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 128; ++column) pixels.push_back(GetPixel(dc, column, row));
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return pixels;
    }
    std::vector<COLORREF> strip_;
    std::vector<COLORREF> mask_;
};

// The running program and what it shows, found from outside.
class Player {
public:
    Player(const std::string& exe) : process_(exe) {}

    bool Open() {
        // A report box stands in the way of the window: no use waiting then.
        HWND found = WaitFor(
            [&] {
                HWND box = FindWindowOf(process_.Id(), "#32770");
                return box ? box : FindWindowOf(process_.Id(), "TPlayerForm");
            },
            60s);
        if (!found || ClassOf(found) != "TPlayerForm") {
            ADD_FAILURE() << "no player window" << (found ? ", a report instead: " + ReadMessageBox(found)->text : "");
            return false;
        }
        window_ = found;
        grip_ = FindWindowOf(process_.Id(), "THandleForm", false);
        control_ = FindChildOf(window_, "TestFlashControl");
        Pause(800ms);
        return grip_ && control_;
    }

    Process& Program() { return process_; }
    HWND Window() const { return window_; }
    HWND Grip() const { return grip_; }
    HWND Control() const { return control_; }
    HWND BackPanel() const { return GetParent(control_); }
    Box Bounds() const { return ScreenBox(window_); }

    // Centres of the title bar's parts, in screen coordinates.
    POINT Button(int index) const {  // 0 minimise, 1 maximise, 2 close
        const Box b = Bounds();
        return {b.Left + b.Width - 123 + 32 + 24 * index + 8, b.Top + 8 + 8};
    }
    POINT StripBackground() const {
        const Box b = Bounds();
        return {b.Left + b.Width - 123 + 12, b.Top + 4};
    }
    POINT TitleBar() const {
        const Box b = Bounds();
        return {b.Left + b.Width - 140, b.Top + 15};
    }

    // The pictures on the minimise, maximise and close buttons.
    std::array<std::optional<int>, 3> Pictures(const IconList& icons) const {
        std::array<std::optional<int>, 3> pictures;
        for (int index = 0; index < 3; ++index) {
            const POINT centre = Button(index);
            pictures[index] = icons.PictureAt(centre.x - 8, centre.y - 8);
        }
        return pictures;
    }

    // The close button ends the program with exit code 0.
    void CloseWithButton() {
        Click(Button(2).x, Button(2).y);
        EXPECT_EQ(process_.WaitForExit(30s), 0u);
    }

    // The grip sits 15 pixels in from the lower right corner, the movie fills
    // the back panel but for a 3-pixel band, and after a move or resize the
    // movie has the focus.
    void ExpectLaidOut(bool afterMoveOrResize = true) const {
        const Box b = Bounds();
        EXPECT_SOON_EQ(ScreenBox(grip_), (Box{b.Left + b.Width - 15, b.Top + b.Height - 15, 12, 12}));
        EXPECT_SOON_EQ(BoxIn(BackPanel(), window_), (Box{0, kTitleHeight, b.Width, b.Height - kTitleHeight}));
        EXPECT_SOON_EQ(BoxIn(control_, BackPanel()), (Box{3, 0, b.Width - 6, b.Height - kTitleHeight - 3}));
        if (afterMoveOrResize) {
            EXPECT_SOON_EQ(FocusOf(window_), control_);
        }
    }

private:
    Process process_;
    HWND window_ = nullptr;
    HWND grip_ = nullptr;
    HWND control_ = nullptr;
};

using Pictures = std::array<std::optional<int>, 3>;

class PlayerBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registration_.Succeeded());
        ASSERT_TRUE(icons_.Loaded());
    }
    ControlRegistration registration_{g_control};
    Backdrop backdrop_{kBehind};
    IconList icons_;
    const int screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
};

TEST_F(PlayerBehaviour, StartUpSizesTheWindowLoadsTheMovieAndPlacesTheGrip) {
    ProgramFolder folder("player_startup", g_projector, "Guide.exe",
                         "&title=Quick tour&\r\n&width=801&\r\n&height=499&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    EXPECT_FALSE(FindWindowOf(player.Program().Id(), "#32770"));

    // Width, height, then centred on the whole screen, halves dropped.
    EXPECT_SOON_EQ(player.Bounds(), (Box{Centred(screenWidth_, 801), Centred(screenHeight_, 499), 801, 499}));
    EXPECT_EQ(TextOf(player.Control()), folder.Folder() + "\\Guide.swf");
    player.ExpectLaidOut(false);

    // The grip: its own translucent, always-on-top window.
    EXPECT_TRUE(GetWindowLongA(player.Grip(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(player.Grip(), nullptr, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(alpha, 220);
    EXPECT_EQ(TextOf(player.Grip()), "HandleForm");
    {
        // Another program's window over the corner: the grip stays above it in
        // the system's stacking. (Wine without a window manager does not
        // restack the X windows to match, so the screen is not compared.)
        const Box grip = ScreenBox(player.Grip());
        Backdrop cover(RGB(200, 0, 200));
        EXPECT_EQ(WindowFromPoint({grip.Left + 6, grip.Top + 6}), player.Grip());
    }

    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 2, 4}));

    // The caption is drawn, in the title font, on the title strip.
    const Box b = player.Bounds();
    HDC screen = GetDC(nullptr);
    int firstInk = -1, lastInk = -1;
    for (int x = b.Left + 83; x < b.Left + 83 + 385; ++x) {
        for (int y = b.Top + 9; y < b.Top + 25; ++y) {
            const COLORREF c = GetPixel(screen, x, y);
            if (GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80) {
                if (firstInk < 0) firstInk = x - b.Left;
                lastInk = x - b.Left;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_GE(firstInk, 83);
    EXPECT_LE(firstInk, 86);
    EXPECT_GT(lastInk, 83 + 40);  // "Quick tour" is some 60 pixels long at 13 pixels
    EXPECT_LT(lastInk, 83 + 100);

    // A call from the movie closes the window and ends the program.
    PostMessageA(player.Control(), kFireFlashCallMessage, 0, 0);
    EXPECT_EQ(player.Program().WaitForExit(30s), 0u);
}

// Each channel of `c` lies between those of `a` and `b`, give or take 2.
bool Between(COLORREF c, COLORREF a, COLORREF b) {
    const auto inside = [](int v, int x, int y) { return v >= (std::min)(x, y) - 2 && v <= (std::max)(x, y) + 2; };
    return inside(GetRValue(c), GetRValue(a), GetRValue(b)) && inside(GetGValue(c), GetGValue(a), GetGValue(b)) &&
           inside(GetBValue(c), GetBValue(a), GetBValue(b));
}

TEST_F(PlayerBehaviour, GripIsSeenAndDraggedOverTheShownWindow) {
    ProgramFolder folder("player_grip_top", g_projector, "Guide.exe",
                         "&title=Grip&\r\n&width=640&\r\n&height=400&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());

    // On screen, the grip's face shows through its translucency over the
    // movie, which shows unmixed just beside it.
    const Box grip = ScreenBox(player.Grip());
    const POINT centre{grip.Left + 6, grip.Top + 6};
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF movie = ScreenPixel(grip.Left - 4, centre.y);
    ASSERT_NE(movie, face) << ColourText(movie);
    const COLORREF seen = ScreenPixel(centre.x, centre.y);
    EXPECT_NE(seen, movie) << "the grip lies under the window: " << ColourText(seen);
    EXPECT_TRUE(Between(seen, movie, face))
        << ColourText(seen) << " movie " << ColourText(movie) << " face " << ColourText(face);

    // And a drag on it sizes the window.
    const Box b = player.Bounds();
    Drag(centre, {centre.x + 30, centre.y + 20});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left, b.Top, b.Width + 30, b.Height + 20}));
    player.ExpectLaidOut();
    player.CloseWithButton();
}

TEST_F(PlayerBehaviour, ExtremeSizesLeaveTheProgramIdleAndClosable) {
    ProgramFolder folder("player_extreme", g_projector, "Guide.exe",
                         "&title=Huge&\r\n&width=2147483647&\r\n&height=-2147483648&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    EXPECT_FALSE(FindWindowOf(player.Program().Id(), "#32770"));
    const Box b = player.Bounds();
    EXPECT_EQ(b.Width, 32767);
    EXPECT_EQ(b.Height, 0);

    // Nothing to do but wait for input: next to no processor time.
    Pause(1s);
    const auto before = player.Program().CpuTime();
    Pause(3s);
    const auto used = player.Program().CpuTime() - before;
    EXPECT_LT(used.count(), 300) << "ms of processor time while idle";

    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.Program().WaitForExit(30s), 0u);
}

TEST_F(PlayerBehaviour, NegativeWidthFillsTheWorkAreaWithoutReadingTheHeight) {
    ProgramFolder folder("player_workarea", g_projector, "Guide.exe",
                         "&title=Full&\r\n&width=-1&\r\n&height=tall&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    EXPECT_FALSE(FindWindowOf(player.Program().Id(), "#32770"));
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_SOON_EQ(player.Bounds(), (Box{0, 0, work.right - work.left, work.bottom - work.top}));
    player.ExpectLaidOut(false);
    player.CloseWithButton();
}

TEST_F(PlayerBehaviour, ZeroWidthIsRequestedAndCentredAsTheWindowThenIs) {
    ProgramFolder folder("player_zero", g_projector, "Guide.exe", "&title=Zero&\r\n&width=0&\r\n&height=0&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    EXPECT_FALSE(FindWindowOf(player.Program().Id(), "#32770"));
    const Box b = player.Bounds();
    EXPECT_EQ(b.Left, Centred(screenWidth_, b.Width));
    EXPECT_EQ(b.Top, Centred(screenHeight_, b.Height));
    EXPECT_EQ(TextOf(player.Control()), folder.Folder() + "\\Guide.swf");
    PostMessageA(player.Control(), kFireFlashCallMessage, 0, 0);
    EXPECT_EQ(player.Program().WaitForExit(30s), 0u);
}

TEST_F(PlayerBehaviour, HoverPicturesMaximiseRestoreAndMinimise) {
    ProgramFolder folder("player_buttons", g_projector, "Guide.exe",
                         "&title=Buttons&\r\n&width=800&\r\n&height=500&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    const Box normal = player.Bounds();

    MoveMouse(player.StripBackground().x, player.StripBackground().y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 2, 4}));
    MoveMouse(player.Button(0).x, player.Button(0).y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{1, 2, 4}));
    MoveMouse(player.Button(1).x, player.Button(1).y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 3, 4}));
    MoveMouse(player.Button(2).x, player.Button(2).y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 2, 5}));
    // Leaving a button onto the title bar keeps its hover picture.
    MoveMouse(player.TitleBar().x, player.TitleBar().y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 2, 5}));
    MoveMouse(player.StripBackground().x, player.StripBackground().y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 2, 4}));

    // Maximise through the button: restore picture, not its hover variant,
    // and the colour key is on again.
    Click(player.Button(1).x, player.Button(1).y);
    Pause(500ms);
    EXPECT_SOON_EQ(IsZoomed(player.Window()) != 0, true);
    EXPECT_GT(player.Bounds().Width, normal.Width);
    EXPECT_SOON_EQ(player.Pictures(icons_)[1], 6);
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(player.Window(), &key, nullptr, &flags));
    EXPECT_TRUE(flags & LWA_COLORKEY);
    EXPECT_EQ(key, kColourKey);
    player.ExpectLaidOut();
    // Hover pictures now follow the maximised state.
    MoveMouse(player.StripBackground().x, player.StripBackground().y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 6, 4}));
    MoveMouse(player.Button(1).x, player.Button(1).y);
    EXPECT_SOON_EQ(player.Pictures(icons_), (Pictures{0, 7, 4}));

    // Restore through the same button.
    Click(player.Button(1).x, player.Button(1).y);
    Pause(500ms);
    EXPECT_SOON_EQ(IsZoomed(player.Window()) != 0, false);
    EXPECT_SOON_EQ(player.Bounds(), normal);
    EXPECT_SOON_EQ(player.Pictures(icons_)[1], 2);
    ASSERT_TRUE(GetLayeredWindowAttributes(player.Window(), &key, nullptr, &flags));
    EXPECT_TRUE(flags & LWA_COLORKEY);
    player.ExpectLaidOut();

    // Minimise hides the window with the application; restoring the
    // application brings it back with the minimise hover picture still on.
    MoveMouse(player.Button(0).x, player.Button(0).y);
    Click(player.Button(0).x, player.Button(0).y);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(player.Window()) ? nullptr : player.Window(); }, 10s));
    EXPECT_FALSE(IsWindowVisible(player.Grip()));
    HWND application = FindWindowOf(player.Program().Id(), "TApplication", false);
    ASSERT_TRUE(application);
    PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(player.Window()) ? player.Window() : nullptr; }, 10s));
    Pause(500ms);
    EXPECT_TRUE(IsWindowVisible(player.Grip()));
    EXPECT_TRUE(GetWindowLongA(player.Grip(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_SOON_EQ(player.Pictures(icons_)[0], 1);

    player.CloseWithButton();
}

TEST_F(PlayerBehaviour, TitleBarMovesAndGripAndBandResize) {
    ProgramFolder folder("player_moves", g_projector, "Guide.exe", "&title=Moves&\r\n&width=800&\r\n&height=500&\r\n");
    ASSERT_TRUE(folder.Ready());
    Player player(folder.Exe());
    ASSERT_TRUE(player.Open());
    Box b = player.Bounds();

    // Drags on the left end cap (left of the logo) and on the button strip's
    // background move nothing.
    Drag({b.Left + 2, b.Top + 15}, {b.Left + 42, b.Top + 45});
    EXPECT_EQ(player.Bounds(), b);
    Drag(player.StripBackground(), {player.StripBackground().x - 40, player.StripBackground().y + 30});
    EXPECT_EQ(player.Bounds(), b);

    // Dragging the title bar, its caption or the logo moves the window; the
    // grip follows.
    Drag(player.TitleBar(), {player.TitleBar().x - 40, player.TitleBar().y + 30});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left - 40, b.Top + 30, b.Width, b.Height}));
    player.ExpectLaidOut();
    b = player.Bounds();
    Drag({b.Left + 100, b.Top + 15}, {b.Left + 120, b.Top + 5});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left + 20, b.Top - 10, b.Width, b.Height}));
    b = player.Bounds();
    Drag({b.Left + 30, b.Top + 15}, {b.Left + 10, b.Top + 35});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left - 20, b.Top + 20, b.Width, b.Height}));
    player.ExpectLaidOut();

    // Dragging the grip sizes from the lower right corner.
    b = player.Bounds();
    const Box grip = ScreenBox(player.Grip());
    const POINT onGrip{grip.Left + 6, grip.Top + 6};
    Drag(onGrip, {onGrip.x + 60, onGrip.y + 50});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left, b.Top, b.Width + 60, b.Height + 50}));
    player.ExpectLaidOut();

    // Not below 300 x 329.
    b = player.Bounds();
    const Box grip2 = ScreenBox(player.Grip());
    Drag({grip2.Left + 6, grip2.Top + 6}, {b.Left + 10, b.Top + 10});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left, b.Top, 300, 329}));
    player.ExpectLaidOut();

    // The band below the movie sizes by the bottom edge, the one at the left
    // by the left edge.
    b = player.Bounds();
    // The band shows the sizing arrows of its zone. (Cursor handles differ
    // between processes under Wine, so the zones are compared with each other.)
    const auto cursorAt = [](POINT at) {
        MoveMouse(at.x, at.y);
        MoveMouse(at.x, at.y + 1);
        CURSORINFO info{};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
        return info.hCursor;
    };
    const HCURSOR title = cursorAt(player.TitleBar());
    const HCURSOR bottom = cursorAt({b.Left + b.Width / 2, b.Top + b.Height - 3});
    const HCURSOR lowerLeft = cursorAt({b.Left + 1, b.Top + b.Height - 3});
    const HCURSOR right = cursorAt({b.Left + b.Width - 2, b.Top + b.Height - 30});
    const HCURSOR left = cursorAt({b.Left + 1, b.Top + 100});
    EXPECT_EQ(left, right);
    for (HCURSOR sizing : {bottom, lowerLeft, right}) EXPECT_NE(sizing, title);
    EXPECT_NE(bottom, right);
    EXPECT_NE(lowerLeft, bottom);
    EXPECT_NE(lowerLeft, right);
    {
        // The pointer keeps the band's arrows all through the drag, while
        // every step resizes the window and moves the focus through the band.
        const POINT from{b.Left + b.Width / 2, b.Top + b.Height - 2};
        MoveMouse(from.x, from.y);
        PressButton();
        std::vector<HCURSOR> during;
        for (int step = 1; step <= 5; ++step) {
            MoveMouse(from.x, from.y + step * 20);
            Pause(150ms);
            CURSORINFO info{};
            info.cbSize = sizeof info;
            GetCursorInfo(&info);
            during.push_back(info.hCursor);
        }
        ReleaseButton();
        Pause(300ms);
        for (std::size_t i = 0; i < during.size(); ++i) EXPECT_EQ(during[i], bottom) << "step " << i + 1;
    }
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left, b.Top, b.Width, b.Height + 100}));
    player.ExpectLaidOut();
    b = player.Bounds();
    Drag({b.Left + 1, b.Top + 100}, {b.Left - 79, b.Top + 100});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left - 80, b.Top, b.Width + 80, b.Height}));
    player.ExpectLaidOut();

    player.CloseWithButton();
}

// Start-up failures: one report, then the window opens as far as start-up got.
struct FailureRow {
    const char* name;
    const char* exeName;
    std::optional<std::string> settings;
    std::string message;
    int width;  // the window's width afterwards
};

class StartUpFailure : public PlayerBehaviour, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(StartUpFailure, ReportsOnceAndOpensTheWindow) {
    const FailureRow& row = GetParam();
    ProgramFolder folder(std::string("player_failure_") + row.name, g_projector, row.exeName, row.settings);
    ASSERT_TRUE(folder.Ready());
    if (std::string(row.exeName).find('.') == std::string::npos && folder.Folder().find('.') != std::string::npos) {
        GTEST_SKIP() << "the temporary folder's path has a '.': " << folder.Folder();
    }
    Player player(folder.Exe());
    auto box = WaitForMessageBox(player.Program().Id(), 60s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    EXPECT_EQ(box->text, row.message);
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    PressOk(*box);
    ASSERT_TRUE(WaitFor([&] { return IsWindow(box->window) ? nullptr : box->window; }, 10s));
    ASSERT_TRUE(player.Open());
    EXPECT_FALSE(WaitFor([&] { return FindWindowOf(player.Program().Id(), "#32770"); }, 1500ms));

    // The size and place of the description, no movie, the grip where it first
    // appeared and no pictures on the buttons.
    EXPECT_SOON_EQ(player.Bounds(), (Box{234, 233, row.width, 622}));
    EXPECT_EQ(TextOf(player.Control()), "");
    EXPECT_SOON_EQ(ScreenBox(player.Grip()), (Box{Centred(screenWidth_, 119), Centred(screenHeight_, 17), 12, 12}));
    EXPECT_SOON_EQ(BoxIn(player.Control(), player.BackPanel()), (Box{0, 0, 956, 635}));
    for (const auto& picture : player.Pictures(icons_)) EXPECT_FALSE(picture.has_value());

    // The grip still sizes the window; then everything is laid out.
    const Box b = player.Bounds();
    const Box grip = ScreenBox(player.Grip());
    Drag({grip.Left + 6, grip.Top + 6}, {grip.Left + 46, grip.Top + 36});
    EXPECT_SOON_EQ(player.Bounds(), (Box{b.Left, b.Top, b.Width + 40, b.Height + 30}));
    player.ExpectLaidOut();
    player.CloseWithButton();
}

INSTANTIATE_TEST_SUITE_P(Rows, StartUpFailure,
                         ::testing::Values(
                             // A file name without '.' in a folder path without one either.
                             FailureRow{"nodot", "Guide", "&width=800&\r\n&height=500&\r\n", "Range check error.", 956},
                             FailureRow{"width", "Guide.exe", "&title=T&\r\n&width=800px&\r\n&height=500&\r\n",
                                        "'800px' is not a valid integer value.", 956},
                             FailureRow{"height", "Guide.exe", "&title=T&\r\n&width=640&\r\n&height=500 &\r\n",
                                        "'500 ' is not a valid integer value.", 640},
                             FailureRow{"nosettings", "Guide.exe", std::nullopt, "'' is not a valid integer value.",
                                        956}),
                         [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: player_behaviour_test PROJECTOR.EXE TEST_CONTROL ICONLIST.BMP ICONLIST_MASK.BMP\n");
        return 2;
    }
    g_projector = argv[1];
    g_control = argv[2];
    g_iconList = argv[3];
    g_iconMask = argv[4];
    return RUN_ALL_TESTS();
}
