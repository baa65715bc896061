// Text input through the control under Wine, with real key presses and mouse
// clicks from the system's input queue: typed text shows in the field and
// reaches its bound variable (the movie reports it with fscommand), Tab moves
// between fields, and copy and paste go through the system clipboard.

#include <algorithm>
#include <string>

#include "tests/control/control_fixture.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/control/test_movies.h"
#include "tools/moviegen/movies.h"

namespace control_test {
namespace {

namespace TLB = ShockwaveFlashObjects_TLB;

// The last state the movie reported: "entry|other".
std::wstring LastState(const EventSink& sink) {
    for (auto it = sink.events.rbegin(); it != sink.events.rend(); ++it) {
        if (it->dispid == TLB::DISPID_FSCommand && it->first == L"state") return it->second;
    }
    return L"<none>";
}

// Pixels darker than mid grey in a box of the window (client pixels).
int DarkPixels(HWND window, RECT box) {
    int dark = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const std::uint32_t c = WindowPixel(window, x, y);
            if ((c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF) < 3 * 128) ++dark;
        }
    }
    return dark;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(ControlTextInput, RealKeysTypeIntoBoundFieldsTabAndClipboard) {
    // The stage (400 x 200) shown at its own size.
    HostedControl hosted({0, 0, 400, 200}, 420, 240);
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    HWND child = hosted.ControlWindow();
    ASSERT_TRUE(child);
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_textinput.swf", moviegen::BuildTextInputMovie())),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"|"; }, 5000)) << LastState(*sink);
    SetForegroundWindow(hosted.host);
    PumpFor(200);

    const RECT entryText{24, 64, 376, 86};   // inside the entry field's border
    const RECT statusText{20, 10, 380, 40};  // the dynamic field
    const int statusBefore = DarkPixels(child, statusText);
    EXPECT_EQ(DarkPixels(child, entryText), 0);

    // A real click into the entry field gives the control the keyboard.
    POINT entry{100, 75};
    ClientToScreen(child, &entry);
    driver::Click(entry.x, entry.y);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == child; }, 3000)) << "the click gave the control no focus";
    driver::TypeText(L"Hi there");
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"Hi there|"; }, 5000)) << LastState(*sink);
    PumpFor(200);
    EXPECT_GT(DarkPixels(child, entryText), 40) << "the typed text is not on screen";
    // The script-set field now shows "Typed: Hi there", more ink than "Typed: ".
    EXPECT_GT(DarkPixels(child, statusText), statusBefore + 40);

    // Backspace, then Tab to the other field.
    driver::PressKey(VK_BACK);
    driver::PressKey(VK_TAB);
    driver::TypeText(L"x");
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"Hi ther|x"; }, 5000)) << LastState(*sink);

    // Shift+Tab back (Tab selects the whole text), copy; Tab on, paste over "x".
    driver::PressKey(VK_TAB, true);
    driver::PressKey('C', false, true);
    ASSERT_TRUE(PumpUntil([&] { return ClipboardText() == L"Hi ther"; }, 3000)) << ClipboardText();
    driver::PressKey(VK_TAB);
    driver::PressKey('V', false, true);
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"Hi ther|Hi ther"; }, 5000)) << LastState(*sink);
}

// The cursor the system shows now.
HCURSOR CurrentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

TEST(ControlTextInput, CursorCaretBlinkAndWordKeys) {
    HostedControl hosted({0, 0, 400, 200}, 420, 240);
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    HWND child = hosted.ControlWindow();
    ASSERT_TRUE(child);
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_cursor.swf", moviegen::BuildTextInputMovie())),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"|"; }, 5000)) << LastState(*sink);
    SetForegroundWindow(hosted.host);
    PumpFor(200);

    // The real pointer: an I-beam over the input field, the arrow below the fields.
    const HCURSOR ibeam = LoadCursor(nullptr, IDC_IBEAM);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    POINT entry{100, 75};
    POINT empty{200, 180};
    ClientToScreen(child, &entry);
    ClientToScreen(child, &empty);
    driver::MoveMouse(entry.x, entry.y);
    EXPECT_TRUE(PumpUntil([&] { return CurrentCursor() == ibeam; }, 3000)) << "no I-beam over the input field";
    driver::MoveMouse(empty.x, empty.y);
    EXPECT_TRUE(PumpUntil([&] { return CurrentCursor() == arrow; }, 3000)) << "no arrow over the empty stage";

    // Ctrl+Backspace takes the last word back.
    driver::Click(entry.x, entry.y);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == child; }, 3000));
    driver::TypeText(L"one two");
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"one two|"; }, 5000)) << LastState(*sink);
    driver::PressKey(VK_BACK, false, true);
    ASSERT_TRUE(PumpUntil([&] { return LastState(*sink) == L"one |"; }, 5000)) << LastState(*sink);

    // The caret blinks: over a few blink times the field's ink comes and goes
    // by the caret's pixels. Wine carets blink unless the setting says not to.
    const UINT blink = GetCaretBlinkTime();
    if (blink == 0 || blink == INFINITE) GTEST_SKIP() << "carets do not blink here";
    const RECT entryText{24, 64, 376, 86};
    int least = 1 << 30, most = 0;
    for (int i = 0; i < 30; ++i) {
        PumpFor(blink / 6 + 1);
        const int dark = DarkPixels(child, entryText);
        least = std::min(least, dark);
        most = std::max(most, dark);
    }
    EXPECT_GE(most - least, 8) << "the caret never blinked (ink " << least << " to " << most << ")";
}

}  // namespace
}  // namespace control_test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new control_test::RegisteredControl());
    return RUN_ALL_TESTS();
}
