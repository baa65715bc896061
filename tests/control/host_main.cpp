// A plain window hosting the registered player control, for looking at a
// movie by hand: control-test-host.exe <movie path>. A FlashCall closes it.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <shellapi.h>

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "flash/control_data.h"
#include "tests/control/test_site.h"

namespace {

namespace TLB = ShockwaveFlashObjects_TLB;

IOleObject* g_control = nullptr;

LRESULT CALLBACK FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && g_control) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(g_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            const RECT r = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&r, &r);
            inPlace->Release();
        }
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        MessageBoxW(nullptr, L"usage: control-test-host <movie>", L"Control test host", MB_OK);
        return 2;
    }
    OleInitialize(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = L"ControlTestFrame";
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
    RECT client;
    GetClientRect(frame, &client);
    auto* site = new control_test::TestSite(frame, client);
    auto* sink = new control_test::EventSink();
    sink->onEvent = [frame](const control_test::EventSink::Event& e) {
        if (e.dispid == TLB::DISPID_FlashCall) PostMessageW(frame, WM_CLOSE, 0, 0);
    };
    int result = 1;
    if (SUCCEEDED(CoCreateInstance(TLB::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                   reinterpret_cast<void**>(&g_control)))) {
        g_control->SetClientSite(site);
        IPersistStreamInit* persist = nullptr;
        IStream* stream = nullptr;
        const auto data = flash::BuildDefaultControlData();
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);
        const LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        if (SUCCEEDED(g_control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
            persist->Load(stream);
            persist->Release();
        }
        stream->Release();
        g_control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, frame, &client);
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        DWORD cookie = 0;
        if (SUCCEEDED(g_control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
            SUCCEEDED(container->FindConnectionPoint(TLB::DIID_IShockwaveFlashEvents, &point)))
            point->Advise(static_cast<IDispatch*>(sink), &cookie);
        IDispatch* dispatch = nullptr;
        if (SUCCEEDED(g_control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
            VARIANT movie;
            movie.vt = VT_BSTR;
            movie.bstrVal = SysAllocString(argv[1]);
            DISPID named = DISPID_PROPERTYPUT;
            DISPPARAMS parameters = {&movie, &named, 1, 1};
            dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters,
                             nullptr, nullptr, nullptr);
            VariantClear(&movie);
            dispatch->Release();
        }
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (point) {
            point->Unadvise(cookie);
            point->Release();
        }
        if (container) container->Release();
        g_control->Close(OLECLOSE_NOSAVE);
        g_control->SetClientSite(nullptr);
        g_control->Release();
        g_control = nullptr;
        result = 0;
    }
    sink->Release();
    site->Release();
    OleUninitialize();
    LocalFree(argv);
    return result;
}
