// A minimal in-process control registered under the player control's class
// id during the window tests. It keeps what its host hands it (the saved
// state, the Movie text) for the tests to read back through extra dispatch
// ids; its window text is the Movie text, for programs outside the process.
// It raises FlashCall on request: through dispatch id kFireFlashCall,
// or when its window receives kFireFlashCallMessage (request "close").

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "tests/windows_toolkit/test_control/test_control_ids.h"
#include "win32/com_ptr.h"
#include "win32/gdi_objects.h"

namespace {

namespace tlb = ShockwaveFlashObjects_TLB;

LONG g_liveObjects = 0;
HINSTANCE g_module = nullptr;
const char kWindowClass[] = "TestFlashControl";

void RegisterWindowClass();

class TestControl final : public IOleObject,
                          public IOleInPlaceObject,
                          public IPersistStreamInit,
                          public IDispatch,
                          public IConnectionPointContainer,
                          public IConnectionPoint {
public:
    TestControl() { InterlockedIncrement(&g_liveObjects); }
    ~TestControl() {
        if (window_) DestroyWindow(window_);
        InterlockedDecrement(&g_liveObjects);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
            *object = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
            *object = static_cast<IOleInPlaceObject*>(this);
        } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
            *object = static_cast<IPersistStreamInit*>(this);
        } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, tlb::IID_IShockwaveFlash)) {
            *object = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        site_ = win32::ComPtr<IOleClientSite>::Share(site);
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        if (!site) return E_POINTER;
        site_.CopyTo(site);
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override {
        InPlaceDeactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) override {
        if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE) {
            return E_NOTIMPL;
        }
        if (window_) return S_OK;
        const auto inPlaceSite = win32::ComPtr<IOleClientSite>::Share(site).As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!inPlaceSite) return E_UNEXPECTED;
        HRESULT result = inPlaceSite->CanInPlaceActivate();
        if (result == S_OK) result = inPlaceSite->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (SUCCEEDED(result)) result = inPlaceSite->GetWindow(&siteWindow);
        win32::ComPtr<IOleInPlaceFrame> frame;
        win32::ComPtr<IOleInPlaceUIWindow> document;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        if (SUCCEEDED(result))
            result = inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &info);
        if (FAILED(result)) return result;
        if (siteWindow != parent) return E_UNEXPECTED;  // the host must name one window for both
        RegisterWindowClass();
        window_ = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left,
                                  position.top, position.right - position.left, position.bottom - position.top,
                                  siteWindow, nullptr, g_module, this);
        if (window_ && !movie_.empty()) SetWindowTextW(window_, movie_.c_str());
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* id) override {
        *id = tlb::CLSID_ShockwaveFlash;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    // Unadvise below serves IOleObject and IConnectionPoint alike.
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override {
        if (window_) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
        if (window_) {
            MoveWindow(window_, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, TRUE);
        }
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* id) override {
        *id = tlb::CLSID_ShockwaveFlash;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override {
        if (!site_) return E_UNEXPECTED;  // the client site comes first, as the misc status asks
        loadedState_.clear();
        BYTE buffer[256];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0) {
            loadedState_.insert(loadedState_.end(), buffer, buffer + read);
        }
        stateLoaded_ = true;
        return S_OK;
    }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override {
        stateLoaded_ = false;
        return S_OK;
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (dispid == tlb::DISPID_Movie && (flags & DISPATCH_PROPERTYPUT)) {
            if (params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
                params->rgvarg[0].vt != VT_BSTR) {
                return DISP_E_TYPEMISMATCH;
            }
            movie_.assign(params->rgvarg[0].bstrVal, SysStringLen(params->rgvarg[0].bstrVal));
            moviePuts_++;
            if (window_) SetWindowTextW(window_, movie_.c_str());
            return S_OK;
        }
        if (dispid == tlb::DISPID_Movie && (flags & DISPATCH_PROPERTYGET) && result) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(movie_.data(), static_cast<UINT>(movie_.size()));
            return S_OK;
        }
        if (dispid == kReceivedStateDispid && (flags & DISPATCH_PROPERTYGET) && result) {
            VariantInit(result);
            if (!stateLoaded_) return S_OK;  // VT_EMPTY: the host asked for a fresh start
            SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(loadedState_.size()));
            void* data = nullptr;
            SafeArrayAccessData(bytes, &data);
            if (!loadedState_.empty()) memcpy(data, loadedState_.data(), loadedState_.size());
            SafeArrayUnaccessData(bytes);
            result->vt = VT_ARRAY | VT_UI1;
            result->parray = bytes;
            return S_OK;
        }
        if (dispid == kMoviePutCountDispid && (flags & DISPATCH_PROPERTYGET) && result) {
            result->vt = VT_I4;
            result->lVal = moviePuts_;
            return S_OK;
        }
        if (dispid == kFireFlashCallDispid && (flags & DISPATCH_METHOD)) {
            if (params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
            FireFlashCall(params->rgvarg[0].bstrVal);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        *point = nullptr;
        if (!IsEqualIID(iid, tlb::DIID_IShockwaveFlashEvents)) return CONNECT_E_NOCONNECTION;
        *point = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint: one sink at a time
    STDMETHODIMP GetConnectionInterface(IID* iid) override {
        *iid = tlb::DIID_IShockwaveFlashEvents;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
        *container = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
        if (sink_) return CONNECT_E_ADVISELIMIT;
        sink_ = win32::ComPtr<IUnknown>::Share(sink).As<IDispatch>(tlb::DIID_IShockwaveFlashEvents);
        if (!sink_) return CONNECT_E_CANNOTCONNECT;
        *cookie = 1;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
        if (cookie != 1 || !sink_) return CONNECT_E_NOCONNECTION;
        sink_.Reset();
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    void FireFlashCall(const wchar_t* request) {
        if (!sink_) return;
        VARIANT argument;
        argument.vt = VT_BSTR;
        argument.bstrVal = SysAllocString(request);
        DISPPARAMS params{&argument, nullptr, 1, 0};
        const win32::ComPtr<IDispatch> sink = sink_;  // the call may unadvise
        sink->Invoke(tlb::DISPID_FlashCall, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
        SysFreeString(argument.bstrVal);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            const win32::GdiObject<HBRUSH> brush(CreateSolidBrush(kControlColor));
            FillRect(dc, &ps.rcPaint, brush.Get());
            EndPaint(window, &ps);
            return 0;
        }
        case kFireFlashCallMessage:
            if (self) {
                self->AddRef();
                self->FireFlashCall(L"close");
                self->Release();
            }
            return 0;
        case WM_NCDESTROY: SetWindowLongPtrA(window, GWLP_USERDATA, 0); break;
        default: break;
        }
        return DefWindowProcA(window, msg, wParam, lParam);
    }

private:
    LONG references_ = 1;
    win32::ComPtr<IOleClientSite> site_;
    win32::ComPtr<IDispatch> sink_;
    HWND window_ = nullptr;
    std::vector<BYTE> loadedState_;
    bool stateLoaded_ = false;
    std::wstring movie_;
    LONG moviePuts_ = 0;
};

void RegisterWindowClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(g_module, kWindowClass, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &TestControl::WindowProc;
    windowClass.hInstance = g_module;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
}

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* control = new TestControl;
        const HRESULT result = control->QueryInterface(iid, object);
        control->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** object) {
    if (!IsEqualCLSID(id, tlb::CLSID_ShockwaveFlash)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }

// How many control objects exist now; the tests check that the host released them.
extern "C" LONG WINAPI TestControlLiveObjects() { return g_liveObjects; }
