#include "toolkit/win/ole_control.h"

#include "toolkit/core/exception.h"
#include "toolkit/win/application.h"
#include "toolkit/win/ole_site.h"
#include "toolkit/win/property_values.h"
#include "toolkit/win/system_error.h"

namespace toolkit {

namespace {

// A stream holding a copy of the bytes, positioned at its start.
win32::ComPtr<IStream> StreamOf(const std::vector<std::uint8_t>& bytes) {
    win32::ComPtr<IStream> stream;
    OleCheck(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()));
    ULONG written = 0;
    OleCheck(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    LARGE_INTEGER start{};
    OleCheck(stream->Seek(start, STREAM_SEEK_SET, nullptr));
    return stream;
}

// Holds a VARIANT and clears it.
struct Variant {
    VARIANT value;
    Variant() { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

const VARIANT& Argument(const DISPPARAMS& params, unsigned index) {
    if (index >= params.cArgs || !params.rgvarg) throw Exception("The control raised an event with too few arguments");
    return params.rgvarg[params.cArgs - 1 - index];
}

}  // namespace

TOleControl::TOleControl(TComponent* owner, const CLSID& classId, const IID& eventsIid)
    : TWinControl(owner), classId_(classId), eventsIid_(eventsIid) {
    bounds_ = {0, 0, 100, 50};
}

TOleControl::~TOleControl() { DestroyControl(); }

void TOleControl::DestroyControl() {
    if (connectionPoint_ && adviseCookie_) connectionPoint_->Unadvise(adviseCookie_);
    adviseCookie_ = 0;
    connectionPoint_.Reset();
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    inPlaceObject_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    dispatch_.Reset();
    object_.Reset();
    if (sink_) {
        sink_->Detach();
        sink_.Reset();
    }
    if (site_) {
        site_->Detach();
        site_.Reset();
    }
    window_ = nullptr;
}

void TOleControl::CreateControl() {
    if (object_) return;
    // The control lives in place in its parent's window; without one it could
    // never be seen, so that is the form's error, reported like any other.
    if (!SiteWindow()) throw Exception("The control " + Name + " has no parent window");
    win32::ComPtr<IUnknown> unknown;
    OleCheck(CoCreateInstance(classId_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, unknown.OutVoid()));
    object_ = unknown.As<IOleObject>(IID_IOleObject);
    if (!object_) OleCheck(E_NOINTERFACE);
    site_ = win32::ComPtr<OleClientSite>::Attach(new OleClientSite(this));

    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) OleCheck(object_->SetClientSite(site_.Get()));

    // The saved state, or a fresh start when there is none.
    if (auto persist = unknown.As<IPersistStreamInit>(IID_IPersistStreamInit)) {
        if (controlData_.empty()) {
            OleCheck(persist->InitNew());
        } else {
            OleCheck(persist->Load(StreamOf(controlData_).Get()));
        }
    } else if (!controlData_.empty()) {
        auto stream = unknown.As<IPersistStream>(IID_IPersistStream);
        if (!stream) OleCheck(E_NOINTERFACE);
        OleCheck(stream->Load(StreamOf(controlData_).Get()));
    }
    if (!siteFirst) OleCheck(object_->SetClientSite(site_.Get()));

    dispatch_ = unknown.As<IDispatch>(IID_IDispatch);

    // Events, when the control offers them.
    if (auto container = unknown.As<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
        if (SUCCEEDED(container->FindConnectionPoint(eventsIid_, connectionPoint_.Out()))) {
            sink_ = win32::ComPtr<OleEventSink>::Attach(new OleEventSink(this, eventsIid_));
            OleCheck(connectionPoint_->Advise(sink_.Get(), &adviseCookie_));
        }
    }

    // In place, as a child of the parent's window.
    {
        const HWND parentWindow = SiteWindow();
        RECT position = PositionRect();
        OleCheck(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, parentWindow, &position));
        inPlaceObject_ = unknown.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        if (inPlaceObject_) {
            inPlaceObject_->GetWindow(&window_);
            const RECT clip = ClipRect();
            inPlaceObject_->SetObjectRects(&position, &clip);
        }
        if (window_) {
            if (!TControl::Visible()) ShowWindow(window_, SW_HIDE);
            if (!TControl::Enabled()) EnableWindow(window_, FALSE);
        }
    }
}

void TOleControl::Loaded() { CreateControl(); }

void TOleControl::PutProperty(DISPID dispid, const VARIANT& value) {
    if (!dispatch_) OleCheck(E_NOINTERFACE);
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT argument = value;  // a shallow copy: Invoke does not take ownership
    DISPPARAMS params{&argument, &named, 1, 1};
    EXCEPINFO error{};
    const HRESULT result = dispatch_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                             nullptr, &error, nullptr);
    if (result == DISP_E_EXCEPTION) {
        std::string text;
        if (error.bstrDescription) {
            const int length = WideCharToMultiByte(CP_ACP, 0, error.bstrDescription, -1, nullptr, 0, nullptr, nullptr);
            if (length > 1) {
                text.resize(static_cast<std::size_t>(length));
                WideCharToMultiByte(CP_ACP, 0, error.bstrDescription, -1, text.data(), length, nullptr, nullptr);
                text.resize(static_cast<std::size_t>(length - 1));
            }
        }
        SysFreeString(error.bstrSource);
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrHelpFile);
        throw Exception(text.empty() ? SystemErrorMessage(static_cast<DWORD>(error.scode ? error.scode : result))
                                     : text);
    }
    OleCheck(result);
}

void TOleControl::PutWideStringProperty(DISPID dispid, const std::wstring& value) {
    Variant text;
    text.value.vt = VT_BSTR;
    text.value.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    if (!text.value.bstrVal && !value.empty()) OleCheck(E_OUTOFMEMORY);
    PutProperty(dispid, text.value);
}

RECT TOleControl::PositionRect() const {
    return {bounds_.Left, bounds_.Top, bounds_.Left + bounds_.Width, bounds_.Top + bounds_.Height};
}

RECT TOleControl::ClipRect() const {
    RECT clip{};
    if (HWND parent = SiteWindow()) GetClientRect(parent, &clip);
    return clip;
}

HWND TOleControl::SiteWindow() const { return Parent() ? Parent()->Handle() : nullptr; }

HWND TOleControl::FrameWindow() const {
    HWND site = SiteWindow();
    return site ? GetAncestor(site, GA_ROOT) : nullptr;
}

void TOleControl::SetParent(TWinControl* parent) { TControl::SetParent(parent); }

void TOleControl::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, width, height};
    if (inPlaceObject_) {
        const RECT position = PositionRect();
        const RECT clip = ClipRect();
        inPlaceObject_->SetObjectRects(&position, &clip);
    }
}

void TOleControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void TOleControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (window_) EnableWindow(window_, enabled);
}

void TOleControl::SetFocus() {
    if (window_) ::SetFocus(window_);
}

bool TOleControl::SetProperty(const FormProperty& property, TReader& reader) {
    if (property.Name == "ControlData") {
        SetControlData(BinaryValue(property));
        return true;
    }
    return TWinControl::SetProperty(property, reader);
}

void TOleControl::InvokeEvent(DISPID, DISPPARAMS&) {}

void TOleControl::DispatchEvent(DISPID dispid, DISPPARAMS* params) {
    // Nothing may be thrown back into the control.
    try {
        InvokeEvent(dispid, *params);
    } catch (...) {
        if (Application) Application->HandleException();
    }
}

std::wstring TOleControl::WideStringArgument(const DISPPARAMS& params, unsigned index) {
    Variant text;
    const HRESULT result = VariantChangeType(&text.value, const_cast<VARIANT*>(&Argument(params, index)), 0, VT_BSTR);
    OleCheck(result);
    return std::wstring(text.value.bstrVal, SysStringLen(text.value.bstrVal));
}

int TOleControl::IntegerArgument(const DISPPARAMS& params, unsigned index) {
    Variant number;
    OleCheck(VariantChangeType(&number.value, const_cast<VARIANT*>(&Argument(params, index)), 0, VT_I4));
    return number.value.lVal;
}

}  // namespace toolkit
