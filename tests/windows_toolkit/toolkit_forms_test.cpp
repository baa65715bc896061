// Forms built from test descriptions in this executable's resources: every
// component kind, alignment, minimum size, painting, pointer routing,
// cursors, focus events, the colour key, image lists, and the reader's errors.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/windows/driver/gui_driver.h"
#include "toolkit/core/form_description.h"
#include "toolkit/win/application.h"
#include "toolkit/win/form.h"
#include "toolkit/win/image.h"
#include "toolkit/win/image_list.h"
#include "toolkit/win/label.h"
#include "toolkit/win/panel.h"

std::string g_controlPath;  // the test control's server, for player_window_test.cpp

namespace {

using namespace toolkit;

struct MouseCall {
    std::string what;
    int x;
    int y;
};

// The window is layered with this colour key and no constant opacity.
void ExpectColourKeyOnly(HWND window, COLORREF expectedKey) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, expectedKey);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
}

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner, const char* className = "TTestForm") : TForm(owner, className) {
        ReadDescription(Published());
    }

    TPanel* TopPanel = nullptr;
    TImage* Strip = nullptr;
    TImage* Silent = nullptr;
    TLabel* TitleText = nullptr;
    TImage* Hidden = nullptr;
    TPanel* Body = nullptr;
    TImage* Logo = nullptr;
    TImageList* Icons = nullptr;

    int creations = 0;
    int resizes = 0;
    int exits = 0;
    std::vector<MouseCall> calls;

    void FormCreate(TComponent*) { creations++; }
    void FormResize(TComponent*) { resizes++; }
    void TopPanelMouseDown(TComponent*, TMouseButton, TShiftState, int x, int y) { calls.push_back({"panel", x, y}); }
    void TopPanelMouseMove(TComponent*, TShiftState, int x, int y) { calls.push_back({"panel-move", x, y}); }
    void PanelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
    void StripMouseDown(TComponent*, TMouseButton button, TShiftState, int x, int y) {
        calls.push_back({button == TMouseButton::mbRight ? "strip-right" : "strip", x, y});
    }
    void StripClick(TComponent*) { calls.push_back({"click", 0, 0}); }
    void TitleTextMouseDown(TComponent*, TMouseButton, TShiftState, int x, int y) { calls.push_back({"label", x, y}); }
    void HiddenMouseDown(TComponent*, TMouseButton, TShiftState, int, int) { calls.push_back({"hidden", 0, 0}); }
    void BodyExit(TComponent*) { exits++; }

    static const TPublishedTable& Published() {
        static const TPublishedTable table = TPublisher<TTestForm>()
                                                 .Field("TopPanel", &TTestForm::TopPanel)
                                                 .Field("Strip", &TTestForm::Strip)
                                                 .Field("Silent", &TTestForm::Silent)
                                                 .Field("TitleText", &TTestForm::TitleText)
                                                 .Field("Hidden", &TTestForm::Hidden)
                                                 .Field("Body", &TTestForm::Body)
                                                 .Field("Logo", &TTestForm::Logo)
                                                 .Field("Icons", &TTestForm::Icons)
                                                 .Method("FormCreate", &TTestForm::FormCreate)
                                                 .Method("FormResize", &TTestForm::FormResize)
                                                 .Method("TopPanelMouseDown", &TTestForm::TopPanelMouseDown)
                                                 .Method("TopPanelMouseMove", &TTestForm::TopPanelMouseMove)
                                                 .Method("PanelMouseDown", &TTestForm::PanelMouseDown)
                                                 .Method("StripMouseDown", &TTestForm::StripMouseDown)
                                                 .Method("StripClick", &TTestForm::StripClick)
                                                 .Method("TitleTextMouseDown", &TTestForm::TitleTextMouseDown)
                                                 .Method("HiddenMouseDown", &TTestForm::HiddenMouseDown)
                                                 .Method("BodyExit", &TTestForm::BodyExit)
                                                 .Table();
        return table;
    }
};

// The test descriptions of faulty forms publish no members, only one handler.
class TFaultyForm : public TForm {
public:
    explicit TFaultyForm(const char* className) : TForm(Application, className) {
        static const TPublishedTable table =
            TPublisher<TFaultyForm>().Method("PanelMouseDown", &TFaultyForm::PanelMouseDown).Table();
        ReadDescription(table);
    }
    void PanelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
};

Bounds BoundsOf(const TControl* control) { return control->BoundsRect(); }

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The client area of a window as painted by its own code, in a 32-bit bitmap.
class Snapshot {
public:
    explicit Snapshot(TWinControl& control) : width_(control.ClientWidth()), height_(control.ClientHeight()) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        control.PaintTo(dc_);
    }
    ~Snapshot() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

TEST(FormFromDescription, BuildsEveryComponentKindWithItsProperties) {
    TTestForm form(Application);
    EXPECT_EQ(form.creations, 0);  // the creation handler waits for the end of the construction
    form.AfterConstruction();
    form.AfterConstruction();
    EXPECT_EQ(form.creations, 1);

    ASSERT_TRUE(form.TopPanel && form.Strip && form.Silent && form.TitleText && form.Hidden && form.Body && form.Logo &&
                form.Icons);
    EXPECT_EQ(form.Name, "TestForm");
    EXPECT_EQ(form.Caption(), "TestForm");
    EXPECT_EQ(form.TopPanel->Name, "TopPanel");
    EXPECT_EQ(form.TopPanel->Parent(), &form);
    EXPECT_EQ(form.Strip->Parent(), form.TopPanel);
    EXPECT_EQ(form.Logo->Parent(), form.Body);
    EXPECT_EQ(GetParent(form.TopPanel->Handle()), form.Handle());

    const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(form.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    ExpectColourKeyOnly(form.Handle(), RGB(254, 0, 1));
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), Application->Handle());

    EXPECT_EQ(form.Left(), 100);
    EXPECT_EQ(form.Top(), 80);
    EXPECT_EQ(form.ClientWidth(), 400);
    EXPECT_EQ(form.ClientHeight(), 300);
    EXPECT_EQ(BoundsOf(form.TopPanel), (Bounds{0, 0, 400, 40}));
    EXPECT_EQ(BoundsOf(form.Body), (Bounds{0, 40, 400, 260}));
    EXPECT_EQ(BoundsOf(form.Strip), (Bounds{200, 0, 200, 29}));
    EXPECT_EQ(form.TitleText->Caption(), "WWWWWWWWWWWWWWWWWWWWWW");
    EXPECT_EQ(form.TitleText->EffectiveFont().Style(), static_cast<unsigned>(fsBold));
    EXPECT_EQ(form.TitleText->EffectiveFont().Height(), -13);
    EXPECT_EQ(form.Logo->EffectiveFont().Height(), -11);  // from the form, through the panel
    EXPECT_FALSE(form.Hidden->Visible());
    EXPECT_TRUE(form.Logo->Picture().IsIcon());
    EXPECT_EQ(form.Logo->Picture().Width(), 32);
    EXPECT_EQ(form.Icons->Count(), 8);
    EXPECT_EQ(form.Body->Cursor(), crSizeWE);
}

TEST(FormFromDescription, AlignsOnEverySizeChangeAndHoldsTheMinimum) {
    TTestForm form(Application);
    const int resizesBefore = form.resizes;
    for (auto [w, h] : {std::pair{640, 480}, std::pair{250, 200}, std::pair{401, 301}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        form.SetClientSize(w, h);
        EXPECT_EQ(BoundsOf(form.TopPanel), (Bounds{0, 0, w, 40}));
        EXPECT_EQ(BoundsOf(form.Body), (Bounds{0, 40, w, h - 40}));
        EXPECT_EQ(BoundsOf(form.Strip), (Bounds{200, 0, 200, 29}));  // unaligned pictures stay put
    }
    EXPECT_GE(form.resizes - resizesBefore, 3);

    MINMAXINFO info{};
    SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 40 + 150);
}

TEST(FormFromDescription, PaintsPicturesAndClippedLabelsInStoredOrder) {
    TTestForm form(Application);
    Snapshot top(*form.TopPanel);
    // The title strip stretched sideways keeps its row colours.
    EXPECT_EQ(driver::ColourText(top.At(300, 0)), "#000000");
    EXPECT_EQ(driver::ColourText(top.At(300, 1)), "#E6E6E6");
    EXPECT_EQ(driver::ColourText(top.At(399, 14)), "#FDFDFD");
    EXPECT_EQ(driver::ColourText(top.At(300, 28)), "#000000");
    // Below the strip and beside the pictures: the panel's own colour.
    EXPECT_EQ(driver::ColourText(top.At(300, 35)), "#0000FF");
    EXPECT_EQ(driver::ColourText(top.At(5, 5)), "#0000FF");
    // The label's letters stay inside its 60-pixel box: no ellipsis, no overflow.
    int inside = 0;
    int outside = 0;
    for (int y = 10; y < 26; ++y) {
        for (int x = 50; x < 110; ++x) inside += top.At(x, y) == RGB(0, 0, 0);
        for (int x = 110; x < 200; ++x) outside += top.At(x, y) != RGB(0, 0, 255);
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    Snapshot body(*form.Body);
    // The icon at its own 32 x 32 size in the box's top left corner; the rest
    // of the 105 x 105 box shows the panel.
    EXPECT_NE(driver::ColourText(body.At(5 + 16, 5 + 16)), "#00C000");
    EXPECT_EQ(driver::ColourText(body.At(5 + 40, 5 + 40)), "#00C000");
    EXPECT_EQ(driver::ColourText(body.At(5 + 100, 5 + 10)), "#00C000");
}

TEST(FormFromDescription, RoutesPointerEventsToTheTopmostPicture) {
    TTestForm form(Application);
    HWND panel = form.TopPanel->Handle();
    auto press = [&](UINT msg, int x, int y, WPARAM keys = MK_LBUTTON) {
        SendMessageA(panel, msg, keys, MAKELPARAM(x, y));
    };

    press(WM_LBUTTONDOWN, 55, 12);  // the label lies over the panel
    ASSERT_EQ(form.calls.size(), 1u);
    EXPECT_EQ(form.calls[0].what, "label");
    EXPECT_EQ(form.calls[0].x, 5);
    EXPECT_EQ(form.calls[0].y, 2);
    EXPECT_EQ(GetCapture(), panel);  // a press takes the mouse
    press(WM_LBUTTONUP, 55, 12, 0);
    EXPECT_NE(GetCapture(), panel);

    form.calls.clear();
    press(WM_LBUTTONDOWN, 15, 10);  // a picture without a handler swallows the press
    press(WM_LBUTTONUP, 15, 10, 0);
    EXPECT_TRUE(form.calls.empty());

    press(WM_LBUTTONDOWN, 150, 33);  // no picture: the panel itself, in its coordinates
    press(WM_LBUTTONUP, 150, 33, 0);
    press(WM_MOUSEMOVE, 151, 34, 0);
    ASSERT_EQ(form.calls.size(), 2u);
    EXPECT_EQ(form.calls[0].what, "panel");
    EXPECT_EQ(form.calls[0].x, 150);
    EXPECT_EQ(form.calls[1].what, "panel-move");
    EXPECT_EQ(form.calls[1].y, 34);

    form.calls.clear();
    press(WM_RBUTTONDOWN, 260, 5, MK_RBUTTON);  // the hidden picture takes nothing: the strip below does
    ASSERT_EQ(form.calls.size(), 1u);
    EXPECT_EQ(form.calls[0].what, "strip-right");
    EXPECT_EQ(form.calls[0].x, 60);
    EXPECT_NE(GetCapture(), panel);  // only the left button captures

    form.calls.clear();
    press(WM_LBUTTONDOWN, 300, 10);  // press and release on the strip: a click
    press(WM_LBUTTONUP, 301, 11, 0);
    press(WM_LBUTTONDOWN, 300, 10);  // released over the label: no click
    press(WM_LBUTTONUP, 60, 12, 0);
    ASSERT_EQ(form.calls.size(), 3u);
    EXPECT_EQ(form.calls[0].what, "strip");
    EXPECT_EQ(form.calls[1].what, "click");
    EXPECT_EQ(form.calls[2].what, "strip");
}

TEST(FormFromDescription, CursorsFocusAndTheSwitchableColourKey) {
    TTestForm form(Application);
    form.Show();
    Pump();

    // The panel's cursor shows while the pointer is over it.
    POINT point{200, 150};
    ClientToScreen(form.Body->Handle(), &point);
    SetCursorPos(point.x, point.y);
    EXPECT_EQ(SendMessageA(form.Body->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Body->Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
    form.Body->SetCursor(crSizeNWSE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZENWSE));
    form.Body->SetCursor(crDefault);
    EXPECT_EQ(SendMessageA(form.Body->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Body->Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              FALSE);

    // Losing the focus raises OnExit.
    form.Body->SetFocus();
    EXPECT_TRUE(form.Body->Focused());
    form.TopPanel->SetFocus();
    EXPECT_EQ(form.exits, 1);

    form.SetTransparentColor(false);
    EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    form.SetTransparentColor(true);
    EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ExpectColourKeyOnly(form.Handle(), RGB(254, 0, 1));

    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
    form.SetWindowState(TWindowState::wsMaximized);
    EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
    form.SetWindowState(TWindowState::wsNormal);
    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
}

TEST(FormFromDescription, ImageListCopiesMaskedImagesIntoPictures) {
    TTestForm form(Application);
    TImage* button = form.Strip;
    form.Icons->GetBitmap(6, button->Picture());
    EXPECT_EQ(button->Picture().Width(), 16);
    EXPECT_TRUE(button->Picture().HasMask());

    // Drawn over red: the transparent corner pixels of picture 6 show the red.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT box{0, 0, 16, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &box, red);
    button->Picture().Draw(dc, box, false);
    EXPECT_EQ(driver::ColourText(GetPixel(dc, 0, 15)), "#FF0000");
    EXPECT_EQ(driver::ColourText(GetPixel(dc, 15, 4)), "#FF0000");
    EXPECT_NE(driver::ColourText(GetPixel(dc, 8, 8)), "#FF0000");
    EXPECT_NE(driver::ColourText(GetPixel(dc, 4, 15)), "#FF0000");

    // Picture 0 has no transparent pixels.
    FillRect(dc, &box, red);
    form.Icons->GetBitmap(0, button->Picture());
    button->Picture().Draw(dc, box, false);
    EXPECT_NE(driver::ColourText(GetPixel(dc, 0, 15)), "#FF0000");
    SelectObject(dc, old);
    DeleteObject(red);
    DeleteObject(bitmap);
    DeleteDC(dc);

    EXPECT_THROW(form.Icons->GetBitmap(8, button->Picture()), Exception);
    EXPECT_THROW(form.Icons->GetBitmap(-1, button->Picture()), Exception);
}

TEST(FormFromDescription, FaultsNameTheirLine) {
    struct Case {
        const char* className;
        int line;
        const char* text;
    };
    const Case cases[] = {
        {"TBadClassForm", 6, "line 6: unknown class TButton"},
        {"TBadPropertyForm", 6, "line 6: TPanel has no property Colour"},
        {"TBadHandlerForm", 5, "line 5: unknown handler NoSuchHandler"},
        {"TWrongHandlerForm", 4, "line 4: handler PanelMouseDown does not have the parameters of event OnClick"},
        {"TBadPictureForm", 4, "line 4: Bitmap resource NOSUCHBITMAP not found"},
        {"TBadValueForm", 3, "line 3: property Align: 'alMiddle' is not a valid value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        const std::size_t before = Application->Components().size();
        try {
            TFaultyForm form(c.className);
            ADD_FAILURE() << "no exception";
        } catch (const FormDescriptionError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_EQ(e.Message(), c.text);
        }
        EXPECT_EQ(Application->Components().size(), before);  // nothing left behind
    }
    // A missing description is reported by its resource name.
    try {
        TTestForm form(Application, "TBadValueForm2");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Resource TBADVALUEFORM2 not found");
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: toolkit_forms_test TEST_CONTROL\n");
        return 2;
    }
    g_controlPath = argv[1];
    TApplication application;
    application.Initialize();
    application.SetTitle("Toolkit test");
    return RUN_ALL_TESTS();
}
