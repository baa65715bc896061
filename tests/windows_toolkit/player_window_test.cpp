// The player and grip windows built from their real descriptions, with the
// test control registered under the player control's class id.

#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "tests/windows_toolkit/class_registration.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "flash/control_data.h"
#include "tests/windows_toolkit/test_control/test_control_ids.h"
#include "toolkit/win/application.h"
#include "toolkit/win/ole_site.h"
#include "ui/Handleform_unit.h"
#include "ui/Playerform_unit.h"

extern std::string g_controlPath;

namespace {

using namespace toolkit;
using testing_support::ControlRegistration;

LONG LiveControlObjects() {
    HMODULE server = GetModuleHandleA("test_control9.ocx");
    if (!server) return 0;
    auto count =
        reinterpret_cast<LONG(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(server, "TestControlLiveObjects")));
    return count ? count() : -1;
}

// Reads a property of the hosted test control through its IDispatch.
VARIANT GetControlProperty(TPlayerForm& form, DISPID dispid) {
    VARIANT result;
    VariantInit(&result);
    IDispatch* dispatch = nullptr;
    form.FlashPlayer->OleObject()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    dispatch->Release();
    return result;
}

void FireFlashCall(TPlayerForm& form, const wchar_t* request) {
    IDispatch* dispatch = nullptr;
    form.FlashPlayer->OleObject()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(request);
    DISPPARAMS params{&argument, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(kFireFlashCallDispid, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              S_OK);
    SysFreeString(argument.bstrVal);
    dispatch->Release();
}

Bounds ScreenBoundsInForm(TForm& form, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST(PlayerWindow, HostsTheControlWithItsSavedStateMovieAndEvents) {
    ControlRegistration registration(g_controlPath);
    ASSERT_TRUE(registration.Succeeded());
    {
        TPlayerForm form(Application);
        ASSERT_TRUE(form.FlashPlayer && form.FlashPlayer->Created());
        EXPECT_EQ(form.HoverButton, 0);
        EXPECT_EQ(form.GripForm, nullptr);

        // The saved state arrives byte for byte.
        VARIANT state = GetControlProperty(form, kReceivedStateDispid);
        ASSERT_EQ(state.vt, VT_ARRAY | VT_UI1);
        const std::vector<std::uint8_t> expected = flash::BuildDefaultControlData();
        void* data = nullptr;
        SafeArrayAccessData(state.parray, &data);
        const std::vector<std::uint8_t> received(
            static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + state.parray->rgsabound[0].cElements);
        SafeArrayUnaccessData(state.parray);
        VariantClear(&state);
        EXPECT_EQ(received, expected);

        // In place, as a child window of the content panel.
        HWND controlWindow = form.FlashPlayer->Handle();
        ASSERT_TRUE(controlWindow);
        EXPECT_EQ(GetParent(controlWindow), form.BackPanel->Handle());
        form.FlashPlayer->SetBounds(3, 0, form.BackPanel->Width() - 6, form.BackPanel->Height() - 3);
        RECT r{};
        GetWindowRect(controlWindow, &r);
        MapWindowPoints(HWND_DESKTOP, form.BackPanel->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 3);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right - r.left, 956 - 6);
        EXPECT_EQ(r.bottom - r.top, 593 - 3);

        // The movie path, exactly as given, non-ASCII characters included.
        const std::wstring movie = L"C:\\Gu\u00EFdes\\\u00C9t\u00E9 \u2713 \u4E2D.swf";
        form.FlashPlayer->SetMovie(movie);
        VARIANT put = GetControlProperty(form, ShockwaveFlashObjects_TLB::DISPID_Movie);
        ASSERT_EQ(put.vt, VT_BSTR);
        EXPECT_EQ(std::wstring(put.bstrVal, SysStringLen(put.bstrVal)), movie);
        VariantClear(&put);
        // A buffer with zeros after the text hands over the text alone.
        form.FlashPlayer->SetMovie(std::wstring(L"D:\\a.swf\0\0\0", 11));
        put = GetControlProperty(form, ShockwaveFlashObjects_TLB::DISPID_Movie);
        EXPECT_EQ(std::wstring(put.bstrVal, SysStringLen(put.bstrVal)), L"D:\\a.swf");
        VariantClear(&put);

        // A call from the control reaches OnFlashCall with its request.
        std::wstring request;
        int calls = 0;
        auto bound = form.FlashPlayer->OnFlashCall;
        form.FlashPlayer->OnFlashCall = [&](TComponent* sender, const std::wstring& text) {
            EXPECT_EQ(sender, form.FlashPlayer);
            request = text;
            calls++;
        };
        FireFlashCall(form, L"<invoke name=\"quit\">\u00E9</invoke>");
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(request, L"<invoke name=\"quit\">\u00E9</invoke>");

        // The description binds FlashPlayerFlashCall, which closes the window.
        form.FlashPlayer->OnFlashCall = bound;
        form.Show();
        ASSERT_TRUE(IsWindowVisible(form.Handle()));
        FireFlashCall(form, L"anything");
        EXPECT_FALSE(IsWindowVisible(form.Handle()));
        EXPECT_GT(LiveControlObjects(), 0);
        // The client site, its frame and the event sink.
        EXPECT_EQ(ComObjectBase::Live(), 3);
    }
    EXPECT_EQ(LiveControlObjects(), 0);   // destroying the form released the control
    EXPECT_EQ(ComObjectBase::Live(), 0);  // and the control released the container's objects
}

TEST(PlayerWindow, AlignmentFollowsTheTableAtEverySize) {
    ControlRegistration registration(g_controlPath);
    TPlayerForm form(Application);
    EXPECT_EQ(form.Caption(), "PlayerForm");
    EXPECT_EQ(form.ClientWidth(), 956);
    EXPECT_EQ(form.ClientHeight(), 622);
    for (auto [w, h] : {std::pair{956, 622}, std::pair{300, 329}, std::pair{1100, 700}, std::pair{640, 480}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        form.SetClientSize(w, h);
        EXPECT_EQ(ScreenBoundsInForm(form, form.TitlePanel->Handle()), (Bounds{0, 0, w, 29}));
        EXPECT_EQ(ScreenBoundsInForm(form, form.BackPanel->Handle()), (Bounds{0, 29, w, h - 29}));
        EXPECT_EQ(form.Panel1->BoundsRect(), (Bounds{w - 123, 0, 107, 29}));
        EXPECT_EQ(form.Image4->BoundsRect(), (Bounds{w - 16, 0, 16, 29}));
        EXPECT_EQ(form.TitleImage->BoundsRect(), (Bounds{0, 0, w - 123, 29}));
        EXPECT_EQ(form.Image2->BoundsRect(), (Bounds{0, 0, 107, 29}));
        EXPECT_EQ(form.Image3->BoundsRect(), (Bounds{0, 0, 10, 29}));
        EXPECT_EQ(form.Image5->BoundsRect(), (Bounds{5, 1, 61, 27}));
        EXPECT_EQ(form.TitleLabel->BoundsRect(), (Bounds{83, 9, 385, 16}));
        EXPECT_EQ(form.CloseButton->BoundsRect(), (Bounds{80, 8, 16, 16}));
        EXPECT_EQ(form.Image1->BoundsRect(), (Bounds{344, 256, 105, 105}));
    }
    MINMAXINFO info{};
    SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 329);

    // Every message goes through the hook into the form's own handling.
    EXPECT_EQ(form.Perform(WM_GETTEXTLENGTH, 0, 0), 10);
    const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(PlayerWindow, GripWindowIsShownCentredTranslucentAndOnTop) {
    ControlRegistration registration(g_controlPath);
    TPlayerForm player(Application);
    auto* grip = new THandleForm(&player);
    ASSERT_TRUE(grip->Image1);
    EXPECT_TRUE(IsWindowVisible(grip->Handle()));
    EXPECT_EQ(grip->Caption(), "HandleForm");
    const LONG exStyle = GetWindowLongA(grip->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(grip->Handle(), &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(alpha, 220);
    // No main form yet: centred on the screen at its stored size.
    EXPECT_EQ(grip->Left(), (GetSystemMetrics(SM_CXSCREEN) - 119) / 2);
    EXPECT_EQ(grip->Top(), (GetSystemMetrics(SM_CYSCREEN) - 17) / 2);
    EXPECT_EQ(grip->Image1->BoundsRect(), (Bounds{107, 0, 12, 17}));
    grip->SetWidth(12);
    grip->SetHeight(12);
    EXPECT_EQ(grip->Image1->BoundsRect(), (Bounds{0, 0, 12, 12}));
    // Owned by the player window: destroyed with it.
    EXPECT_EQ(grip->Owner(), &player);
}

TEST(PlayerWindow, BandCursorsLayoutGuardAndFocus) {
    ControlRegistration registration(g_controlPath);
    TPlayerForm form(Application);
    PlayerForm = &form;
    struct ResetReference {
        ~ResetReference() { PlayerForm = nullptr; }
    } reset;

    // While the window is hidden a resize leaves the movie where it is.
    form.FlashPlayer->SetBounds(5, 5, 50, 40);
    form.SetClientSize(800, 500);
    EXPECT_EQ(form.FlashPlayer->BoundsRect(), (Bounds{5, 5, 50, 40}));
    // Shown, every resize and move lays it out and hands it the focus.
    form.Show();
    form.SetClientSize(810, 520);
    const int W = form.BackPanel->Width(), H = form.BackPanel->Height();
    EXPECT_EQ(form.FlashPlayer->BoundsRect(), (Bounds{3, 0, W - 6, H - 3}));
    EXPECT_EQ(GetFocus(), form.FlashPlayer->Handle());
    form.FlashPlayer->SetBounds(5, 5, 50, 40);
    form.SetLeft(form.Left() + 7);
    EXPECT_EQ(form.FlashPlayer->BoundsRect(), (Bounds{3, 0, W - 6, H - 3}));
    // A disabled movie is left alone.
    form.FlashPlayer->SetEnabled(false);
    form.FlashPlayer->SetBounds(5, 5, 50, 40);
    form.SetLeft(form.Left() + 7);
    EXPECT_EQ(form.FlashPlayer->BoundsRect(), (Bounds{5, 5, 50, 40}));
    form.FlashPlayer->SetEnabled(true);

    // The band's cursors by zone.
    const struct {
        int x, y;
        TCursor cursor;
    } zones[] = {{W - 3, H - 8, crSizeNWSE}, {2, H - 1, crSizeNESW}, {W / 2, H - 2, crSizeNS},
                 {W - 2, H - 9, crSizeWE},   {0, 10, crSizeWE},      {W / 2, 10, crSizeWE}};
    for (const auto& zone : zones) {
        SCOPED_TRACE(std::to_string(zone.x) + "," + std::to_string(zone.y));
        form.BackPanelMouseMove(form.BackPanel, 0, zone.x, zone.y);
        EXPECT_EQ(form.BackPanel->Cursor(), zone.cursor);
    }
    // Losing the focus gives the band its ordinary cursor back.
    form.BackPanelMouseMove(form.BackPanel, 0, W / 2, H - 2);
    form.BackPanel->SetFocus();
    EXPECT_EQ(form.BackPanel->Cursor(), crSizeNS);
    form.FlashPlayer->SetFocus();
    EXPECT_EQ(form.BackPanel->Cursor(), crDefault);

    // The hover state changes only when another part is entered.
    form.MaximizeButtonMouseMove(form.MaximizeButton, 0, 1, 1);
    EXPECT_EQ(form.HoverButton, 2);
    form.MaximizeButtonClick(form.MaximizeButton);
    EXPECT_EQ(form.HoverButton, 2);
    form.Image2MouseMove(form.Image2, 0, 1, 1);
    EXPECT_EQ(form.HoverButton, 0);
    form.CloseButtonMouseMove(form.CloseButton, 0, 1, 1);
    EXPECT_EQ(form.HoverButton, 3);

    // The grip's cursor is the diagonal one from the first move on.
    auto* grip = new THandleForm(&form);
    EXPECT_EQ(grip->Cursor(), crDefault);
    grip->Image1MouseMove(grip->Image1, 0, 3, 3);
    EXPECT_EQ(grip->Cursor(), crSizeNWSE);
    form.Hide();
}

TEST(PlayerWindow, UnregisteredControlFailsTheWindowWithTheSystemsText) {
    ControlRegistration registration("");
    ASSERT_TRUE(registration.Succeeded());
    const std::size_t before = Application->Components().size();
    try {
        TPlayerForm form(Application);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), testing_support::ClassNotRegisteredText());
    }
    EXPECT_EQ(Application->Components().size(), before);
}

TEST(PlayerWindow, AControlWithoutAParentWindowIsAnError) {
    ControlRegistration registration(g_controlPath);
    ASSERT_TRUE(registration.Succeeded());
    ShockwaveFlashObjects_OCX::TShockwaveFlash orphan(nullptr);
    orphan.Name = "Orphan";
    try {
        orphan.Loaded();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The control Orphan has no parent window");
    }
    EXPECT_FALSE(orphan.Created());
}

}  // namespace
