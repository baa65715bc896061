// The player control: identity, scripting, persistence and events.

#include "control/flash_control.h"

#include <olectl.h>

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "control/acm_mp3_codec.h"
#include "control/connection_point_list.h"
#include "control/link_opener.h"
#include "control/module.h"
#include "control/movie_source.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/com_error.h"
#include "win32/module_path.h"
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

// More arguments than the member takes are refused, as the standard
// dispatcher does (some versions pass the extra ones over silently).
HRESULT CheckArgumentCount(ITypeInfo* info, DISPID id, WORD flags, const DISPPARAMS& parameters) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return S_OK;
    const UINT functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    UINT most = 0;
    bool found = false;
    for (UINT index = 0; index < functions; ++index) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(index, &function))) continue;
        if (function->memid == id && (flags & function->invkind)) {
            UINT taken = 0;
            for (SHORT i = 0; i < function->cParams; ++i) {
                if (!(function->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++taken;
            }
            most = std::max(most, taken);
            found = true;
        }
        info->ReleaseFuncDesc(function);
    }
    return found && parameters.cArgs > most ? DISP_E_BADPARAMCOUNT : S_OK;
}

}  // namespace

FlashControl::FlashControl()
    : window_(player_, *this),
      events_(*static_cast<IShockwaveFlash*>(this), *this),
      state_(flash::DefaultControlData()) {
    ObjectCreated();
    player_.SetFontProvider(&fonts_);
    player_.SetClipboard(&clipboard_);
    mp3_ = MakeAcmMp3Codec();
    player_.SetMp3Codec(mp3_.get());
    // Videos keep to the clock also where no sound device plays their sound.
    player_.SetRealTime(true);
    player_.SetFlashCallHandler([this](const std::string& request) { return AnswerFlashCall(request); });
    ApplyStoredSettings(false);
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
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == TLB::IID_IShockwaveFlash)
        face = static_cast<IShockwaveFlash*>(this);
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
    else if (iid == IID_IPersistPropertyBag)
        face = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IPersistStorage)
        face = static_cast<IPersistStorage*>(this);
    else if (iid == IID_IConnectionPointContainer)
        face = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        face = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_IObjectSafety)
        face = static_cast<IObjectSafety*>(this);
    else if (iid == IID_ISupportErrorInfo)
        face = static_cast<ISupportErrorInfo*>(this);
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
    return win32::ComPtr<IUnknown>::Share(static_cast<IShockwaveFlash*>(this));
}

// ---- IDispatch ----

ITypeInfo* FlashControl::TypeInfoOf(REFGUID guid) {
    // Loaded from this DLL's own resources, once per control.
    if (!typeLibrary_) {
        const std::wstring path = win32::ModulePath(ModuleInstance());
        if (path.empty() || FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLibrary_.Out()))) return nullptr;
    }
    win32::ComPtr<ITypeInfo>& cached = guid == TLB::CLSID_ShockwaveFlash ? classType_ : scriptingType_;
    if (!cached && FAILED(typeLibrary_->GetTypeInfoOfGuid(guid, cached.Out()))) return nullptr;
    return cached.Get();
}

HRESULT FlashControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT FlashControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* info = TypeInfoOf(TLB::IID_IShockwaveFlash);
    if (!info) return TYPE_E_CANTLOADLIBRARY;
    info->AddRef();
    *out = info;
    return S_OK;
}

HRESULT FlashControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    if (count == 1 && names[0] && lstrcmpiW(names[0], kFrameCountersName) == 0) {
        ids[0] = kDispidFrameCounters;
        return S_OK;
    }
    ITypeInfo* info = TypeInfoOf(TLB::IID_IShockwaveFlash);
    if (!info) {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return TYPE_E_CANTLOADLIBRARY;
    }
    return DispGetIDsOfNames(info, names, count, ids);
}

HRESULT FlashControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                             EXCEPINFO* exception, UINT* argumentError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (id == kDispidFrameCounters) return GetFrameCounters(flags, parameters, result);
    ITypeInfo* info = TypeInfoOf(TLB::IID_IShockwaveFlash);
    if (!info) return TYPE_E_CANTLOADLIBRARY;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!parameters) parameters = &none;
    if (const HRESULT counted = CheckArgumentCount(info, id, flags, *parameters); FAILED(counted)) return counted;
    // The member may let the host release this object meanwhile.
    const auto hold = SelfReference();
    return DispInvoke(static_cast<IShockwaveFlash*>(this), info, id, flags, parameters, result, exception,
                      argumentError);
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
    if (player_.Busy()) {
        // A host answering the movie's call: the engine is on the stack.
        waitingMovie_ = location;
        movieWaiting_ = true;
        window_.RequestDelivery();
        return;
    }
    LoadMovieNow(location);
}

void FlashControl::LoadMovieNow(const std::wstring& location) {
    movieWaiting_ = false;
    player_.Unload();
    readyState_ = kReadyStateLoading;
    pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateLoading, {}, {}});
    const std::wstring resolved = ResolveMovieLocation(location);
    // The movie loads its pages from its own folder and nowhere else.
    files_ = std::make_unique<FolderFileHost>(MovieFolder(resolved));
    player_.SetFileHost(files_.get());
    log_.Open(resolved);
    player_.SetLogSink([this](bool warning, const std::string& text) { log_.Write(warning, text); });
    const auto bytes = resolved.empty() ? std::nullopt : ReadMovieBytes(resolved);
    // What the first frame's actions ask of the host is told after the
    // movie reports itself complete.
    const std::size_t before = pending_.size();
    loading_ = true;
    const bool loaded = bytes && player_.Load(*bytes, MovieUrl(resolved));
    loading_ = false;
    std::deque<PlayerEvent> asked(pending_.begin() + static_cast<std::ptrdiff_t>(before), pending_.end());
    pending_.resize(before);
    if (loaded) {
        readyState_ = kReadyStateComplete;
        pending_.push_back({PlayerEvent::Kind::Progress, 100, {}, {}});
        pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateInteractive, {}, {}});
        pending_.push_back({PlayerEvent::Kind::ReadyStateChange, kReadyStateComplete, {}, {}});
    }
    for (auto& event : asked) pending_.push_back(std::move(event));
    UpdateAudio();
    window_.Restart();
    window_.RequestDelivery();
}

std::wstring FlashControl::ResolveMovieLocation(const std::wstring& location) {
    if (location.empty() || !IsRelativeLocation(location)) return location;
    // Relative to Base, else to the container's document, as pages expect.
    std::wstring base =
        Settings().Text(Setting::Base).empty() ? std::wstring() : win32::WideFromUtf16(Settings().Text(Setting::Base));
    if (base.empty() && clientSite_) {
        win32::ComPtr<IMoniker> moniker;
        if (SUCCEEDED(clientSite_->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_CONTAINER, moniker.Out())) &&
            moniker) {
            LPOLESTR name = nullptr;
            if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, &name)) && name) {
                base = DocumentFolder(name);
                CoTaskMemFree(name);
            }
        }
    }
    return base.empty() ? location : ResolveAgainst(location, base);
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

void FlashControl::ApplyStoredSettings(bool loadMovie) {
    ControlSettings settings = Settings();
    player_.SetScriptAccess(ScriptAccessAllowed(settings.Text(Setting::AllowScriptAccess)));
    player_.SetLoop(settings.Switch(Setting::Loop));
    player_.SetAutoPlay(settings.Switch(Setting::Play));
    player_.SetScaleMode(static_cast<MoviePlayer::ScaleMode>(ScaleNumber(settings.Text(Setting::Scale)).value_or(0)));
    player_.SetAlignment(AlignmentFlags(settings.Text(Setting::SAlign)).value_or(0));
    player_.SetBackgroundOverride(ColorNumber(settings.Text(Setting::BGColor)).value_or(-1));
    player_.SetFlashVars(win32::Utf8FromWideReplacing(win32::WideFromUtf16(settings.Text(Setting::FlashVars))));
    window_.RedrawAll();
    if (!loadMovie) return;
    // "movie" names the movie; "src" is the name some pages use instead.
    const std::u16string& named =
        settings.Text(Setting::Movie).empty() ? settings.Text(Setting::Src) : settings.Text(Setting::Movie);
    const std::wstring location = win32::WideFromUtf16(named);
    if (!location.empty() && location != movie_) {
        const auto hold = SelfReference();
        SetMovie(location);
        dirty_ = false;
    }
}

std::string FlashControl::AnswerFlashCall(const std::string& request) {
    if (loading_ || frozen_ > 0 || !window_.Handle() || events_.SinkCount() == 0) {
        // Nobody can answer now (or the host is still inside its Movie
        // call): the call is told later and answers undefined.
        pending_.push_back({PlayerEvent::Kind::FlashCall, 0, request, {}});
        window_.RequestDelivery();
        return {};
    }
    const auto hold = SelfReference();
    DeliverEvents();  // what the movie asked before reaches the host first
    returnValues_.emplace_back();
    Fire({PlayerEvent::Kind::FlashCall, 0, request, {}});
    std::string answer = std::move(returnValues_.back());
    returnValues_.pop_back();
    return answer;
}

void FlashControl::DeliverEvents() {
    // Events reach the sinks from the message loop only, and never while the
    // host has frozen them or before the control has its window.
    if (movieWaiting_ && !player_.Busy()) {
        const auto hold = SelfReference();
        LoadMovieNow(waitingMovie_);
    }
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

// ---- IConnectionPointContainer ----

HRESULT FlashControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points) return E_POINTER;
    *points = new (std::nothrow) ConnectionPointList(&events_);
    return *points ? S_OK : E_OUTOFMEMORY;
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
