// The player control: embedding, in-place activation, drawing for the host.

#include "control/flash_control.h"

#include <olectl.h>

#include <utility>

#include "control/registration.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/com_error.h"
#include "win32/gdi_objects.h"

namespace control {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

// Hundredths of a millimetre to pixels at 96 dots per inch.
LONG HimetricToPixels(LONG himetric) { return MulDiv(himetric, 96, 2540); }

// Clips the window to `region` (none: the whole window shows). The window
// owns the region once it is set.
void SetWindowRegion(HWND hwnd, win32::GdiObject<HRGN> region) {
    if (SetWindowRgn(hwnd, region.Get(), TRUE)) region.HandOver();
}

}  // namespace

// ---- IOleObject ----

HRESULT FlashControl::SetClientSite(IOleClientSite* site) {
    if (site != clientSite_.Get()) clientSite_ = win32::ComPtr<IOleClientSite>::Share(site);
    return S_OK;
}

HRESULT FlashControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    clientSite_.CopyTo(site);
    return S_OK;
}

HRESULT FlashControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT FlashControl::Close(DWORD) {
    const auto hold = SelfReference();
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT FlashControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT FlashControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT FlashControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT position) {
    const auto hold = SelfReference();
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE: return ActivateInPlace(activeSite, parent, position);
    case OLEIVERB_UIACTIVATE: {
        const HRESULT hr = ActivateInPlace(activeSite, parent, position);
        return FAILED(hr) ? hr : ActivateUI();
    }
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (window_.Handle()) ShowWindow(window_.Handle(), SW_HIDE);
        return S_OK;
    default: return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT FlashControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return OLEOBJ_E_NOVERBS;
}

HRESULT FlashControl::Update() { return S_OK; }

HRESULT FlashControl::IsUpToDate() { return S_OK; }

HRESULT FlashControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT FlashControl::GetUserType(DWORD, LPOLESTR* type) {
    if (!type) return E_POINTER;
    const std::size_t bytes = sizeof(kControlName);
    *type = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*type) return E_OUTOFMEMORY;
    CopyMemory(*type, kControlName, bytes);
    return S_OK;
}

HRESULT FlashControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
    state_.ExtentWidth = size->cx;
    state_.ExtentHeight = size->cy;
    dirty_ = true;
    return S_OK;
}

HRESULT FlashControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    size->cx = state_.ExtentWidth;
    size->cy = state_.ExtentHeight;
    return S_OK;
}

HRESULT FlashControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    *connection = 0;
    if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.Out()))) return E_OUTOFMEMORY;
    return adviseHolder_->Advise(sink, connection);
}

HRESULT FlashControl::Unadvise(DWORD connection) {
    if (!adviseHolder_) return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(connection);
}

HRESULT FlashControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!adviseHolder_) return S_OK;
    return adviseHolder_->EnumAdvise(advise);
}

HRESULT FlashControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
              OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

HRESULT FlashControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- In-place activation ----

HRESULT FlashControl::ActivateInPlace(IOleClientSite* activeSite, HWND parent, LPCRECT position) {
    if (window_.Handle()) {
        if (position) window_.SetBounds(*position);
        ShowWindow(window_.Handle(), SW_SHOWNA);
        return S_OK;
    }
    const auto site = clientSite_ ? clientSite_ : win32::ComPtr<IOleClientSite>::Share(activeSite);
    auto inPlaceSite = site.As<IOleInPlaceSite>(IID_IOleInPlaceSite);

    RECT bounds = {0, 0, HimetricToPixels(state_.ExtentWidth), HimetricToPixels(state_.ExtentHeight)};
    if (position) bounds = *position;
    if (inPlaceSite) {
        if (inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlaceSite->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (SUCCEEDED(inPlaceSite->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
        win32::ComPtr<IOleInPlaceFrame> frame;
        win32::ComPtr<IOleInPlaceUIWindow> document;
        RECT sitePosition, siteClip;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        if (SUCCEEDED(inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &sitePosition, &siteClip, &frameInfo)))
            bounds = sitePosition;
    }
    if (!window_.Create(parent, bounds)) {
        if (inPlaceSite) inPlaceSite->OnInPlaceDeactivate();
        return E_FAIL;
    }
    inPlaceSite_ = std::move(inPlaceSite);
    if (clientSite_) clientSite_->ShowObject();
    window_.RequestDelivery();
    return S_OK;
}

HRESULT FlashControl::ActivateUI() {
    if (uiActive_) return S_OK;
    uiActive_ = true;
    // A copy: the site may deactivate this object from inside its calls.
    if (const auto site = inPlaceSite_) {
        site->OnUIActivate();
        // The frame keeps this object and hands it keys before its own loop does.
        win32::ComPtr<IOleInPlaceFrame> frame;
        win32::ComPtr<IOleInPlaceUIWindow> document;
        RECT position, clip;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        if (SUCCEEDED(site->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo)) && frame) {
            frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            activeFrame_ = std::move(frame);
        }
    }
    if (window_.Handle()) SetFocus(window_.Handle());
    return S_OK;
}

void FlashControl::ActivateByUser() {
    if (inPlaceSite_ && !uiActive_) ActivateUI();
}

HRESULT FlashControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_.Handle();
    return *window ? S_OK : E_FAIL;
}

HRESULT FlashControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT FlashControl::InPlaceDeactivate() {
    const auto hold = SelfReference();
    UIDeactivate();
    window_.Destroy();
    if (const auto site = std::move(inPlaceSite_)) site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT FlashControl::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (const auto frame = std::move(activeFrame_)) frame->SetActiveObject(nullptr, nullptr);
    if (const auto site = inPlaceSite_) {
        const auto hold = SelfReference();
        site->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT FlashControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
    if (!position) return E_POINTER;
    HWND hwnd = window_.Handle();
    if (!hwnd) return S_OK;
    window_.SetBounds(*position);
    // Only what lies inside the clip rectangle may show.
    RECT visible;
    if (clip && IntersectRect(&visible, position, clip) && !EqualRect(&visible, position)) {
        OffsetRect(&visible, -position->left, -position->top);
        win32::GdiObject<HRGN> region(CreateRectRgnIndirect(&visible));
        if (region) SetWindowRegion(hwnd, std::move(region));
    } else if (clip && !IntersectRect(&visible, position, clip)) {
        win32::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
        if (region) SetWindowRegion(hwnd, std::move(region));
    } else {
        SetWindowRegion(hwnd, {});
    }
    return S_OK;
}

HRESULT FlashControl::ReactivateAndUndo() { return E_NOTIMPL; }

HRESULT FlashControl::TranslateAccelerator(LPMSG message) {
    // Keys meant for the control's window go straight to it, so that a
    // container's dialog handling cannot take Tab, Enter or the arrows.
    HWND hwnd = window_.Handle();
    if (!message || !hwnd || message->hwnd != hwnd) return S_FALSE;
    if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return S_FALSE;
    TranslateMessage(message);
    DispatchMessageW(message);
    return S_OK;
}

HRESULT FlashControl::OnFrameWindowActivate(BOOL) { return S_OK; }

HRESULT FlashControl::OnDocWindowActivate(BOOL) { return S_OK; }

HRESULT FlashControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

HRESULT FlashControl::EnableModeless(BOOL) { return S_OK; }

// ---- IOleControl ----

HRESULT FlashControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT FlashControl::OnMnemonic(MSG*) { return E_NOTIMPL; }

HRESULT FlashControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT FlashControl::FreezeEvents(BOOL freeze) {
    if (freeze) {
        ++frozen_;
    } else if (frozen_ > 0 && --frozen_ == 0) {
        window_.RequestDelivery();
    }
    return S_OK;
}

// ---- IViewObject2 ----

HRESULT FlashControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                           BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    const RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    if (area.right <= area.left || area.bottom <= area.top) return S_OK;
    return win32::HresultOf([&]() -> HRESULT {
        DrawPlayer(player_, dc, area);
        return S_OK;
    });
}

HRESULT FlashControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::Freeze(DWORD, LONG, void*, DWORD* cookie) {
    if (cookie) *cookie = 0;
    return E_NOTIMPL;
}

HRESULT FlashControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT FlashControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewSink_ = win32::ComPtr<IAdviseSink>::Share(sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

HRESULT FlashControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) viewSink_.CopyTo(sink);
    return S_OK;
}

HRESULT FlashControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

}  // namespace control
