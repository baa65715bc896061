// The player control: identity, scripting, persistence and events.

#include "control/flash_control.h"

#include <olectl.h>

#include <exception>
#include <string>
#include <utility>

#include "control/acm_mp3_codec.h"
#include "control/link_opener.h"
#include "control/module.h"
#include "control/movie_source.h"
#include "control/saved_state_reader.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/com_error.h"
#include "win32/wide_text.h"

namespace control {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

// Set on the reference count while the object is being destroyed, so that
// references taken and dropped by the destructor's own work cannot start a
// second destruction.
constexpr LONG kDestroying = 1 << 28;

BSTR Utf8ToBstr(const std::string& text) {
    const std::wstring wide = win32::WideFromUtf8Replacing(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

bool SameText(const std::u16string& text, const char* expected) {
    std::size_t i = 0;
    for (; expected[i]; ++i) {
        if (i >= text.size()) return false;
        const char16_t c = text[i];
        const char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
        const char e =
            (expected[i] >= 'A' && expected[i] <= 'Z') ? static_cast<char>(expected[i] - 'A' + 'a') : expected[i];
        if (lower != static_cast<char16_t>(e)) return false;
    }
    return i == text.size();
}

}  // namespace

FlashControl::FlashControl()
    : window_(player_, *this), events_(*static_cast<IDispatch*>(this), *this), state_(flash::DefaultControlData()) {
    ObjectCreated();
    player_.SetFontProvider(&fonts_);
    player_.SetClipboard(&clipboard_);
    mp3_ = MakeAcmMp3Codec();
    player_.SetMp3Codec(mp3_.get());
    // Videos keep to the clock also where no sound device plays their sound.
    player_.SetRealTime(true);
    ApplySettings();
}

FlashControl::~FlashControl() {
    window_.Destroy();
    audio_.Stop();
    events_.UnadviseAll();
    // The host's objects go before the module may be counted as unused.
    activeFrame_.Reset();
    inPlaceSite_.Reset();
    clientSite_.Reset();
    adviseHolder_.Reset();
    viewSink_.Reset();
    ObjectDestroyed();
}

// ---- IUnknown ----

HRESULT FlashControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* face = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch)
        face = static_cast<IDispatch*>(this);
    else if (iid == IID_IOleObject)
        face = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        face = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        face = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        face = static_cast<IOleControl*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        face = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        face = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IConnectionPointContainer)
        face = static_cast<IConnectionPointContainer*>(this);
    *out = face;
    if (!face) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FlashControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG FlashControl::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) {
        references_ = kDestroying;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

win32::ComPtr<IUnknown> FlashControl::SelfReference() {
    return win32::ComPtr<IUnknown>::Share(static_cast<IDispatch*>(this));
}

// ---- IDispatch ----

HRESULT FlashControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FlashControl::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT FlashControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // Named arguments are not supported: only a lone member name resolves.
    if (count == 1 && names[0] && lstrcmpiW(names[0], L"Movie") == 0) {
        ids[0] = TLB::DISPID_Movie;
        return S_OK;
    }
    if (count == 1 && names[0] && lstrcmpiW(names[0], kFrameCountersName) == 0) {
        ids[0] = kDispidFrameCounters;
        return S_OK;
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT FlashControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                             EXCEPINFO*, UINT* argumentError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (id == kDispidFrameCounters) return GetFrameCounters(flags, parameters, result);
    if (id != TLB::DISPID_Movie) return DISP_E_MEMBERNOTFOUND;
    return win32::HresultOf([&]() -> HRESULT {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!parameters || parameters->cArgs != 1 || !parameters->rgvarg) return DISP_E_BADPARAMCOUNT;
            VARIANT text;
            VariantInit(&text);
            if (FAILED(VariantChangeType(&text, &parameters->rgvarg[0], 0, VT_BSTR))) {
                if (argumentError) *argumentError = 0;
                return DISP_E_TYPEMISMATCH;
            }
            const std::wstring location =
                text.bstrVal ? std::wstring(text.bstrVal, SysStringLen(text.bstrVal)) : std::wstring();
            VariantClear(&text);
            const auto hold = SelfReference();  // loading may deliver events
            SetMovie(location);
            return S_OK;
        }
        if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
            if (parameters && parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            if (!result) return E_POINTER;
            VariantInit(result);
            BSTR value = SysAllocStringLen(movie_.data(), static_cast<UINT>(movie_.size()));
            if (!value) return E_OUTOFMEMORY;
            result->vt = VT_BSTR;
            result->bstrVal = value;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FlashControl::GetFrameCounters(WORD flags, DISPPARAMS* parameters, VARIANT* result) {
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (parameters && parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (!result) return E_POINTER;
    const FrameCounters& c = window_.Counters();
    const std::wstring text = L"advanced=" + std::to_wstring(c.advanced) + L" drawn=" + std::to_wstring(c.drawn) +
                              L" dropped=" + std::to_wstring(c.dropped);
    VariantInit(result);
    result->bstrVal = SysAllocString(text.c_str());
    if (!result->bstrVal) return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    return S_OK;
}

// ---- Movie and events ----

void FlashControl::SetMovie(const std::wstring& location) {
    movie_ = location;
    dirty_ = true;
    player_.Unload();
    pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateLoading, {}, {}});
    // The movie loads its pages from its own folder and nowhere else.
    files_ = std::make_unique<FolderFileHost>(MovieFolder(location));
    player_.SetFileHost(files_.get());
    log_.Open(location);
    player_.SetLogSink([this](bool warning, const std::string& text) { log_.Write(warning, text); });
    const auto bytes = ReadMovieBytes(location);
    if (bytes && player_.Load(*bytes, MovieUrl(location))) {
        pending_.push_back({PlayerEvent::Kind::Progress, 100, {}, {}});
        pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateInteractive, {}, {}});
        pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateComplete, {}, {}});
    }
    UpdateAudio();
    window_.Restart();
    window_.RequestDelivery();
}

void FlashControl::UpdateAudio() {
    if (!player_.HasMovie()) {
        audio_.Stop();
        player_.SetAudioClock(false);
        return;
    }
    if (audio_.Running()) return;
    const bool playing = audio_.Start([this](std::span<std::int16_t> samples) { player_.MixAudio(samples); });
    player_.SetAudioClock(playing);
    if (!playing && !audioProblemSaid_) {
        audioProblemSaid_ = true;
        log_.Write(true, "the movie plays without sound: " + audio_.Problem());
    }
}

void FlashControl::ApplySettings() {
    // Window mode, quality and scale need nothing here: the control always
    // plays in a window of its own, anti-aliased, showing the whole stage.
    player_.SetScriptAccess(!SameText(state_.AllowScriptAccess(), "never"));
}

void FlashControl::DeliverEvents() {
    // Events reach the sinks from the message loop only, and never while the
    // host has frozen them or before the control has its window.
    if (frozen_ > 0 || !window_.Handle()) return;
    try {
        for (auto& event : player_.TakeEvents()) pending_.push_back(std::move(event));
    } catch (...) {
        return;
    }
    const auto hold = SelfReference();
    while (!pending_.empty() && frozen_ == 0 && window_.Handle()) {
        PlayerEvent event = std::move(pending_.front());
        pending_.pop_front();
        Fire(event);
    }
}

void FlashControl::Fire(const PlayerEvent& event) {
    VARIANT arguments[2];
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    DISPPARAMS parameters = {arguments, nullptr, 1, 0};
    DISPID dispid = 0;
    switch (event.kind) {
    case PlayerEvent::Kind::OpenUrl: {
        // A web or mail link the user clicked: the system's default handler opens it.
        OpenLinkWithShell(win32::WideFromUtf8Replacing(event.first));
        return;
    }
    case PlayerEvent::Kind::ReadyStateChange:
    case PlayerEvent::Kind::Progress:
        dispid = event.kind == PlayerEvent::Kind::Progress ? TLB::DISPID_OnProgress : TLB::DISPID_OnReadyStateChange;
        arguments[0].vt = VT_I4;
        arguments[0].lVal = event.number;
        break;
    case PlayerEvent::Kind::FSCommand:
        // Arguments travel last first: rgvarg[1] is the command.
        dispid = TLB::DISPID_FSCommand;
        arguments[1].vt = VT_BSTR;
        arguments[1].bstrVal = Utf8ToBstr(event.first);
        arguments[0].vt = VT_BSTR;
        arguments[0].bstrVal = Utf8ToBstr(event.second);
        parameters.cArgs = 2;
        if (!arguments[0].bstrVal || !arguments[1].bstrVal) {
            VariantClear(&arguments[0]);
            VariantClear(&arguments[1]);
            return;
        }
        break;
    case PlayerEvent::Kind::FlashCall:
        dispid = TLB::DISPID_FlashCall;
        arguments[0].vt = VT_BSTR;
        arguments[0].bstrVal = Utf8ToBstr(event.first);
        if (!arguments[0].bstrVal) return;
        break;
    }
    events_.Fire(dispid, parameters);
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);
}

// ---- IPersist, IPersistStreamInit ----

HRESULT FlashControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = TLB::CLSID_ShockwaveFlash;
    return S_OK;
}

HRESULT FlashControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT FlashControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    // A malformed state fails the call; the control keeps what it had.
    const HRESULT loaded = win32::HresultOf([&]() -> HRESULT {
        const auto block = ReadSavedStateBlock([stream](std::uint8_t* target, std::size_t count) {
            ULONG got = 0;
            return SUCCEEDED(stream->Read(target, static_cast<ULONG>(count), &got)) && got == count;
        });
        if (!block) return E_FAIL;
        state_ = flash::ParseControlData(*block);
        return S_OK;
    });
    if (FAILED(loaded)) return loaded;
    dirty_ = false;
    ApplySettings();
    return S_OK;
}

HRESULT FlashControl::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const HRESULT saved = win32::HresultOf([&]() -> HRESULT {
        const auto bytes = flash::SerializeControlData(state_);
        ULONG written = 0;
        const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        if (FAILED(hr)) return hr;
        if (written != bytes.size()) return STG_E_MEDIUMFULL;
        return S_OK;
    });
    if (FAILED(saved)) return saved;
    if (clearDirty) dirty_ = false;
    return S_OK;
}

HRESULT FlashControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    return win32::HresultOf([&]() -> HRESULT {
        size->QuadPart = flash::SerializeControlData(state_).size();
        return S_OK;
    });
}

HRESULT FlashControl::InitNew() {
    const HRESULT made = win32::HresultOf([&]() -> HRESULT {
        state_ = flash::DefaultControlData();
        return S_OK;
    });
    if (FAILED(made)) return made;
    dirty_ = false;
    ApplySettings();
    return S_OK;
}

// ---- IConnectionPointContainer ----

HRESULT FlashControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != TLB::DIID_IShockwaveFlashEvents) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace control
