#include "toolkit/win/ole_site.h"

#include <olectl.h>

#include "toolkit/win/active_object.h"
#include "toolkit/win/ole_control.h"
#include "win32/gdi_objects.h"

namespace toolkit {

namespace {

template <class I>
HRESULT Hand(I* pointer, void** object) {
    *object = pointer;
    pointer->AddRef();
    return S_OK;
}

void SetBool(VARIANT* result, bool value) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// Live site, frame and sink objects; one thread runs the user interface.
long g_liveComObjects = 0;

}  // namespace

ComObjectBase::ComObjectBase() { ++g_liveComObjects; }

ComObjectBase::~ComObjectBase() { --g_liveComObjects; }

long ComObjectBase::Live() { return g_liveComObjects; }

ULONG ComObjectBase::ReleaseImpl() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// ---- frame ----

STDMETHODIMP OleInPlaceFrame::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        return Hand(static_cast<IOleInPlaceFrame*>(this), object);
    }
    return E_NOINTERFACE;
}

void OleInPlaceFrame::Detach() {
    control_ = nullptr;
    ClearActiveObject(this);
}

STDMETHODIMP OleInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    if (!control_ && object) return E_UNEXPECTED;
    if (object) {
        toolkit::SetActiveObject(this, object);
    } else {
        ClearActiveObject(this);
    }
    return S_OK;
}

STDMETHODIMP OleInPlaceFrame::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = control_ ? control_->FrameWindow() : nullptr;
    return *window ? S_OK : E_FAIL;
}

// ---- client site ----

OleClientSite::OleClientSite(TOleControl* control)
    : control_(control), frame_(win32::ComPtr<OleInPlaceFrame>::Attach(new OleInPlaceFrame(control))) {}

void OleClientSite::Detach() {
    control_ = nullptr;
    frame_->Detach();
}

STDMETHODIMP OleClientSite::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        return Hand(static_cast<IOleClientSite*>(this), object);
    }
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite) ||
        IsEqualIID(iid, IID_IOleInPlaceSiteEx)) {
        return Hand(static_cast<IOleInPlaceSiteEx*>(this), object);
    }
    if (IsEqualIID(iid, IID_IOleControlSite)) return Hand(static_cast<IOleControlSite*>(this), object);
    if (IsEqualIID(iid, IID_IDispatch)) return Hand(static_cast<IDispatch*>(this), object);
    return E_NOINTERFACE;
}

STDMETHODIMP OleClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP OleClientSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP OleClientSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = control_ ? control_->SiteWindow() : nullptr;
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP OleClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (!control_) return E_FAIL;
    frame_.CopyTo(frame);
    *position = control_->PositionRect();
    *clip = control_->ClipRect();
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = control_->FrameWindow();
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP OleClientSite::OnPosRectChange(LPCRECT) {
    // The container decides the control's rectangle: keep ours. A control
    // that answers SetObjectRects with another change request is not asked
    // again from inside that call.
    if (control_ && control_->inPlaceObject_ && !settingRects_) {
        const RECT position = control_->PositionRect();
        const RECT clip = control_->ClipRect();
        settingRects_ = true;
        control_->inPlaceObject_->SetObjectRects(&position, &clip);
        settingRects_ = false;
    }
    return S_OK;
}

STDMETHODIMP OleClientSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
    if (noRedraw) *noRedraw = FALSE;
    return S_OK;
}

STDMETHODIMP OleClientSite::GetExtendedControl(IDispatch** control) {
    if (control) *control = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP OleClientSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    int dpiX = 96, dpiY = 96;
    if (const win32::WindowDC screen(nullptr); screen.Get()) {
        dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
        dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    // 2540 hundredths of a millimetre make an inch.
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x) * dpiX / 2540.0f;
        container->y = static_cast<float>(himetric->y) * dpiY / 2540.0f;
    } else {
        himetric->x = static_cast<LONG>(container->x * 2540.0f / dpiX + 0.5f);
        himetric->y = static_cast<LONG>(container->y * 2540.0f / dpiY + 0.5f);
    }
    return S_OK;
}

STDMETHODIMP OleClientSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP OleClientSite::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (dispid) {
    case DISPID_AMBIENT_USERMODE: SetBool(result, true); return S_OK;
    case DISPID_AMBIENT_AUTOCLIP: SetBool(result, true); return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_DISPLAYASDEFAULT: SetBool(result, false); return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
        if (!control_ || !control_->Parent()) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(ColorToRGB(control_->Parent()->Color()));
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        if (!control_) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(ColorToRGB(control_->EffectiveFont().Color()));
        return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

// ---- event sink ----

STDMETHODIMP OleEventSink::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, eventsIid_)) {
        return Hand(static_cast<IDispatch*>(this), object);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP OleEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP OleEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                  UINT*) {
    if (result) VariantInit(result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (control_) control_->DispatchEvent(dispid, params ? params : &none);
    return S_OK;
}

}  // namespace toolkit
