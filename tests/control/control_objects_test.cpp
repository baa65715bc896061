// What the control holds of its host and of the system, under Wine: every
// reference it took to the host's objects is given back when the host lets
// it go, and the GDI and window objects it makes while it paints and draws
// device text are freed again (its module's own count, which its windows
// report, comes back to where it was).

#include <ostream>

#include "tests/control/control_fixture.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "tests/control/test_movies.h"
#include "tools/moviegen/movies.h"

namespace control_test {
namespace {

namespace TLB = ShockwaveFlashObjects_TLB;

// The references an object has, read without changing them.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// An advise sink that only counts its references.
class CountedAdviseSink final : public IAdviseSink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IAdviseSink) {
            *out = static_cast<IAdviseSink*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override { ++closes; }

    int closes = 0;

private:
    LONG references_ = 1;
};

// The live objects of the control's module, as its window answers them.
struct LiveObjects {
    long gdi = 0;
    long user = 0;
    bool operator==(const LiveObjects&) const = default;
};

LiveObjects AskLiveObjects(HWND controlWindow) {
    const LRESULT answer = SendMessageW(controlWindow, RegisterWindowMessageW(L"GuideLiveObjectCount"), 0, 0);
    return {LOWORD(answer), HIWORD(answer)};
}

void PrintTo(const LiveObjects& live, std::ostream* out) { *out << live.gdi << " GDI, " << live.user << " USER"; }

TEST(ControlObjects, EveryReferenceToTheHostIsGivenBack) {
    auto* viewSink = new CountedAdviseSink();
    auto* closeSink = new CountedAdviseSink();
    TestSite* site = nullptr;
    EventSink* events = nullptr;
    {
        HostedControl hosted;
        site = hosted.site;
        site->AddRef();
        // UI-active: the control also holds the frame (the site here) while it is.
        ASSERT_EQ(hosted.control->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site, 0, hosted.host, nullptr), S_OK);
        events = hosted.AddSink();
        events->AddRef();
        ASSERT_EQ(
            PutMovie(hosted.control.Get(), WriteTempFile(L"control_refs.swf", FSCommandMovie("a", "b", 0x102030))),
            S_OK);
        EXPECT_TRUE(PumpUntil([&] { return events->Count(TLB::DISPID_FSCommand) > 0; }, 5000));

        ComPtr<IViewObject> view;
        ASSERT_EQ(hosted.control.As(&view), S_OK);
        EXPECT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, viewSink), S_OK);
        DWORD connection = 0;
        EXPECT_EQ(hosted.control->Advise(closeSink, &connection), S_OK);
        EXPECT_NE(connection, 0u);

        // What the control hands out is the caller's to release, once.
        const ULONG siteHeld = References(static_cast<IOleClientSite*>(site));
        IOleClientSite* clientSite = nullptr;
        EXPECT_EQ(hosted.control->GetClientSite(&clientSite), S_OK);
        EXPECT_EQ(clientSite, static_cast<IOleClientSite*>(site));
        EXPECT_EQ(References(static_cast<IOleClientSite*>(site)), siteHeld + 1);
        if (clientSite) clientSite->Release();
        const ULONG viewSinkHeld = References(viewSink);
        EXPECT_GE(viewSinkHeld, 2u);
        IAdviseSink* given = nullptr;
        EXPECT_EQ(view->GetAdvise(nullptr, nullptr, &given), S_OK);
        EXPECT_EQ(given, viewSink);
        EXPECT_EQ(References(viewSink), viewSinkHeld + 1);
        if (given) given->Release();

        // Replacing the view sink lets the old one go.
        auto* otherSink = new CountedAdviseSink();
        EXPECT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, otherSink), S_OK);
        EXPECT_EQ(References(viewSink), 1u);
        EXPECT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, viewSink), S_OK);
        EXPECT_EQ(References(otherSink), 1u);
        otherSink->Release();

        // An unadvised sink is let go at once.
        EXPECT_EQ(hosted.control->Unadvise(connection), S_OK);
        EXPECT_EQ(References(closeSink), 1u);
        EXPECT_EQ(hosted.control->Advise(closeSink, &connection), S_OK);
        view.Reset();
        hosted.Shutdown();
    }
    // The control is gone: the test holds the only references left.
    EXPECT_EQ(References(static_cast<IOleClientSite*>(site)), 1u);
    EXPECT_EQ(References(events), 1u);
    EXPECT_EQ(References(viewSink), 1u);
    EXPECT_EQ(References(closeSink), 1u);
    EXPECT_EQ(closeSink->closes, 1);
    site->Release();
    events->Release();
    viewSink->Release();
    closeSink->Release();
}

TEST(ControlObjects, PaintingAndDeviceTextGiveBackEveryGdiObject) {
    // A second control stays up, to be asked once the first is gone.
    HostedControl witness({0, 0, 40, 40}, 60, 60);
    ASSERT_EQ(witness.Activate(), S_OK);
    HWND witnessWindow = witness.ControlWindow();
    ASSERT_TRUE(witnessWindow);
    ASSERT_EQ(PutMovie(witness.control.Get(), WriteTempFile(L"control_witness.swf", SolidMovie(40, 40, 0x446688))),
              S_OK);
    PumpFor(200);
    const LiveObjects before = AskLiveObjects(witnessWindow);
    // Its back buffer (a bitmap in a DC) and its font DC, and its window.
    EXPECT_GE(before.gdi, 3);
    EXPECT_GE(before.user, 1);

    {
        // Text in _sans, drawn with the system's fonts.
        HostedControl hosted({0, 0, 400, 200}, 420, 240);
        ASSERT_EQ(hosted.Activate(), S_OK);
        EventSink* sink = hosted.AddSink();
        HWND child = hosted.ControlWindow();
        ASSERT_TRUE(child);
        ASSERT_EQ(
            PutMovie(hosted.control.Get(), WriteTempFile(L"control_objects_text.swf", moviegen::BuildTextInputMovie())),
            S_OK);
        ASSERT_TRUE(PumpUntil([&] { return sink->Count(TLB::DISPID_FSCommand) >= 2; }, 5000));
        const LiveObjects drawing = AskLiveObjects(child);
        // A second window, back buffer and font DC, and at least one font.
        EXPECT_GE(drawing.gdi, before.gdi + 4);
        EXPECT_EQ(drawing.user, before.user + 1);

        // Many paints, each of its update region, and clip changes, each
        // giving the window a region of its own.
        ComPtr<IOleInPlaceObject> inPlace;
        ASSERT_EQ(hosted.control.As(&inPlace), S_OK);
        const RECT position{0, 0, 400, 200};
        for (int i = 0; i < 100; ++i) {
            const RECT clip{0, 0, 300 + i % 2, 150};
            EXPECT_EQ(inPlace->SetObjectRects(&position, &clip), S_OK);
            InvalidateRect(child, nullptr, FALSE);
            UpdateWindow(child);
        }
        EXPECT_EQ(inPlace->SetObjectRects(&position, &position), S_OK);
        PumpFor(100);
        EXPECT_EQ(AskLiveObjects(child), drawing);
    }
    PumpFor(100);
    EXPECT_EQ(AskLiveObjects(witnessWindow), before);
}

}  // namespace
}  // namespace control_test
