#include "tests/control/test_site.h"

#include "flash/ShockwaveFlashObjects_TLB.h"

namespace control_test {

namespace {

LRESULT CALLBACK HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND CreateHostWindow(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"ControlTestHost";
        registered = RegisterClassW(&wc) != 0;
    }
    HWND hwnd = CreateWindowExW(0, L"ControlTestHost", L"Control test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd) UpdateWindow(hwnd);
    return hwnd;
}

void PumpFor(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    PumpUntil([end] { return GetTickCount64() >= end; }, ms + 1000);
}

// ---- TestSite ----

HRESULT TestSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG TestSite::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
}

HRESULT TestSite::GetMoniker(DWORD, DWORD, IMoniker** m) {
    if (m) *m = nullptr;
    return E_NOTIMPL;
}

HRESULT TestSite::GetContainer(IOleContainer** c) {
    if (c) *c = nullptr;
    return E_NOINTERFACE;
}

HRESULT TestSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT TestSite::OnInPlaceActivate() {
    ++inPlaceActivations;
    return S_OK;
}

HRESULT TestSite::OnInPlaceDeactivate() {
    ++inPlaceDeactivations;
    return S_OK;
}

HRESULT TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                   LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = position_;
    *clip = position_;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

// ---- EventSink ----

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == ShockwaveFlashObjects_TLB::DIID_IShockwaveFlashEvents) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG EventSink::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
    Event event;
    event.dispid = id;
    if (parameters) {
        // Arguments arrive last first.
        std::vector<std::wstring> texts;
        for (UINT i = parameters->cArgs; i-- > 0;) {
            const VARIANT& v = parameters->rgvarg[i];
            if (v.vt == VT_I4) event.number = v.lVal;
            if (v.vt == VT_BSTR) texts.emplace_back(v.bstrVal ? v.bstrVal : L"");
        }
        if (!texts.empty()) event.first = texts[0];
        if (texts.size() > 1) event.second = texts[1];
    }
    events.push_back(event);
    if (onEvent) onEvent(event);
    return S_OK;
}

std::size_t EventSink::Count(DISPID dispid) const {
    std::size_t n = 0;
    for (const auto& e : events) n += e.dispid == dispid;
    return n;
}

}  // namespace control_test
