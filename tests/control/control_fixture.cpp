#include "tests/control/control_fixture.h"

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "flash/control_data.h"

namespace control_test {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

HMODULE g_module = nullptr;

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

HRESULT CallEntry(const char* name) {
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(g_module, name)));
    return entry ? entry() : E_NOTIMPL;
}

}  // namespace

HMODULE ControlModule() { return g_module; }

std::wstring ControlModulePath() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH * 2);
    return path;
}

void RegisteredControl::SetUp() {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    g_module = LoadLibraryW(CONTROL_DLL_PATH);
    ASSERT_NE(g_module, nullptr) << "cannot load the control DLL";
    ASSERT_EQ(CallEntry("DllRegisterServer"), S_OK);
}

void RegisteredControl::TearDown() {
    if (g_module) {
        EXPECT_EQ(CallEntry("DllUnregisterServer"), S_OK);
        CoFreeUnusedLibraries();
        FreeLibrary(g_module);
        g_module = nullptr;
    }
    OleUninitialize();
}

ComPtr<IOleObject> CreateControl() {
    ComPtr<IOleObject> object;
    const HRESULT hr = CoCreateInstance(TLB::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                        reinterpret_cast<void**>(object.GetAddressOf()));
    EXPECT_EQ(hr, S_OK);
    return object;
}

ComPtr<IOleObject> CreateControlByProgId(const wchar_t* progId) {
    CLSID clsid = {};
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    ComPtr<IOleObject> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                        reinterpret_cast<void**>(object.GetAddressOf()));
    EXPECT_EQ(hr, S_OK);
    return object;
}

ComPtr<IStream> StreamOf(const std::vector<std::uint8_t>& bytes) {
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

HRESULT PutMovie(IUnknown* control, const std::wstring& path) {
    ComPtr<IDispatch> dispatch;
    HRESULT hr = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf()));
    if (FAILED(hr)) return hr;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(path.c_str());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {&argument, &named, 1, 1};
    hr = dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                          nullptr, nullptr);
    VariantClear(&argument);
    return hr;
}

HostedControl::HostedControl(RECT position, int hostWidth, int hostHeight, const wchar_t* progId)
    : position_(position) {
    host = CreateHostWindow(hostWidth, hostHeight);
    site = new TestSite(host, position);
    control = progId ? CreateControlByProgId(progId) : CreateControl();
    if (!control) return;
    control->SetClientSite(site);
    ComPtr<IPersistStreamInit> persist;
    control.As(&persist);
    EXPECT_EQ(persist->Load(StreamOf(flash::BuildDefaultControlData()).Get()), S_OK);
}

HRESULT HostedControl::Activate() {
    return control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, host, &position_);
}

HWND HostedControl::ControlWindow() const {
    if (!control) return nullptr;
    ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(control.As(&inPlace))) return nullptr;
    HWND window = nullptr;
    inPlace->GetWindow(&window);
    return window;
}

EventSink* HostedControl::AddSink() {
    auto* sink = new EventSink();
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    EXPECT_EQ(control.As(&container), S_OK);
    EXPECT_EQ(container->FindConnectionPoint(TLB::DIID_IShockwaveFlashEvents, point.GetAddressOf()), S_OK);
    EXPECT_EQ(point->Advise(static_cast<IDispatch*>(sink), &cookie), S_OK);
    sinks_.emplace_back(sink, cookie);
    return sink;
}

void HostedControl::Shutdown() {
    if (control) {
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(control.As(&container)) &&
            SUCCEEDED(container->FindConnectionPoint(TLB::DIID_IShockwaveFlashEvents, point.GetAddressOf()))) {
            for (auto& [sink, cookie] : sinks_) point->Unadvise(cookie);
        }
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
        control.Reset();
    }
    for (auto& [sink, cookie] : sinks_) sink->Release();
    sinks_.clear();
    if (site) site->Release();
    site = nullptr;
    if (host) DestroyWindow(host);
    host = nullptr;
}

HostedControl::~HostedControl() { Shutdown(); }

std::uint32_t WindowPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

}  // namespace control_test
