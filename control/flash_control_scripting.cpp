// The player control's scripting interface, IShockwaveFlash: what script and
// compiled hosts read and do by name, and the class information and safety
// answers that let them find it.

#include <olectl.h>

#include <string>
#include <string_view>

#include "control/flash_control.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/com_error.h"
#include "win32/wide_text.h"

namespace control {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

constexpr wchar_t kErrorSource[] = L"ShockwaveFlash.ShockwaveFlash";

// Leaves a description for the host (DispInvoke passes it on as the
// exception's text) and returns `hr`.
HRESULT Fail(HRESULT hr, const wchar_t* description) {
    win32::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Out()))) {
        create->SetGUID(TLB::IID_IShockwaveFlash);
        create->SetSource(const_cast<LPOLESTR>(kErrorSource));
        create->SetDescription(const_cast<LPOLESTR>(description));
        if (const auto info = create.As<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.Get());
    }
    return hr;
}

HRESULT NoClip() { return Fail(E_FAIL, L"No clip is at that target."); }

std::wstring_view View(BSTR text) { return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view(); }
std::string Utf8(BSTR text) { return win32::Utf8FromWideReplacing(View(text)); }
std::u16string Utf16(BSTR text) { return win32::Utf16FromWide(View(text)); }

HRESULT Give(BSTR* out, std::wstring_view text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
HRESULT Give(BSTR* out, const std::u16string& text) { return Give(out, win32::WideFromUtf16(text)); }
HRESULT GiveUtf8(BSTR* out, const std::string& text) { return Give(out, win32::WideFromUtf8Replacing(text)); }

template <typename T>
HRESULT Give(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// The control's version, as its file version resource gives it (the build
// passes it as "major,minor,build,revision"); movies read the same numbers
// in $version.
#define PLAYER_VERSION_TEXT_OF(...) #__VA_ARGS__
#define PLAYER_VERSION_TEXT(...) PLAYER_VERSION_TEXT_OF(__VA_ARGS__)
constexpr int kVersion[] = {PLAYER_VERSION_COMMAS};
const std::string kVersionText = std::string("WIN ") + PLAYER_VERSION_TEXT(PLAYER_VERSION_COMMAS);

// FlashVersion: the major number in the high word, the minor in the low.
LONG VersionNumber() { return static_cast<LONG>(kVersion[0] << 16 | (kVersion[1] & 0xFFFF)); }

}  // namespace

// ---- Settings ----

HRESULT FlashControl::GetSetting(Setting setting, BSTR* text) {
    return win32::HresultOf([&] { return Give(text, Settings().AsText(setting)); });
}

HRESULT FlashControl::PutSetting(Setting setting, BSTR text) {
    return win32::HresultOf([&]() -> HRESULT {
        if (!Settings().SetFromText(setting, Utf16(text))) return Fail(E_INVALIDARG, L"The value does not fit.");
        dirty_ = true;
        ApplyStoredSettings(false);
        return S_OK;
    });
}

// ---- Loading and playback state ----

HRESULT FlashControl::get_ReadyState(LONG* state) { return Give<LONG>(state, readyState_); }

HRESULT FlashControl::get_TotalFrames(LONG* frames) { return Give<LONG>(frames, player_.TotalFrames()); }

HRESULT FlashControl::get_Playing(VARIANT_BOOL* playing) { return Give(playing, Bool(player_.IsPlaying())); }

HRESULT FlashControl::put_Playing(VARIANT_BOOL playing) {
    if (playing)
        player_.Play();
    else
        player_.Stop();
    return S_OK;
}

HRESULT FlashControl::get_Quality(int* quality) {
    return Give(quality, QualityNumber(Settings().Text(Setting::Quality)).value_or(1));
}

HRESULT FlashControl::put_Quality(int quality) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto text = QualityText(quality);
        if (!text) return Fail(E_INVALIDARG, L"Quality is 0 (low), 1 (high), 2 (auto low) or 3 (auto high).");
        Settings().SetText(Setting::Quality, *text);
        dirty_ = true;
        return S_OK;
    });
}

HRESULT FlashControl::get_ScaleMode(int* mode) {
    return Give(mode, ScaleNumber(Settings().Text(Setting::Scale)).value_or(0));
}

HRESULT FlashControl::put_ScaleMode(int mode) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto text = ScaleText(mode);
        if (!text)
            return Fail(E_INVALIDARG, L"ScaleMode is 0 (show all), 1 (no border), 2 (exact fit) or 3 (no scale).");
        Settings().SetText(Setting::Scale, *text);
        dirty_ = true;
        ApplyStoredSettings(false);
        return S_OK;
    });
}

HRESULT FlashControl::get_AlignMode(int* flags) {
    return Give(flags, AlignmentFlags(Settings().Text(Setting::SAlign)).value_or(0));
}

HRESULT FlashControl::put_AlignMode(int flags) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto text = AlignmentText(flags);
        if (!text) return Fail(E_INVALIDARG, L"AlignMode adds 1 (left) or 2 (right) and 4 (top) or 8 (bottom).");
        Settings().SetText(Setting::SAlign, *text);
        dirty_ = true;
        ApplyStoredSettings(false);
        return S_OK;
    });
}

HRESULT FlashControl::get_BackgroundColor(LONG* color) {
    return Give<LONG>(color, ColorNumber(Settings().Text(Setting::BGColor)).value_or(-1));
}

HRESULT FlashControl::put_BackgroundColor(LONG color) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto text = ColorText(color);
        if (!text) return Fail(E_INVALIDARG, L"BackgroundColor is 0xRRGGBB, or -1 for the movie's own.");
        Settings().SetText(Setting::BGColor, *text);
        dirty_ = true;
        ApplyStoredSettings(false);
        return S_OK;
    });
}

HRESULT FlashControl::get_Loop(VARIANT_BOOL* loop) { return Give(loop, Bool(Settings().Switch(Setting::Loop))); }

HRESULT FlashControl::put_Loop(VARIANT_BOOL loop) {
    Settings().SetSwitch(Setting::Loop, loop != VARIANT_FALSE);
    dirty_ = true;
    player_.SetLoop(loop != VARIANT_FALSE);
    return S_OK;
}

HRESULT FlashControl::get_Movie(BSTR* movie) {
    return win32::HresultOf([&] { return Give(movie, std::wstring_view(movie_)); });
}

HRESULT FlashControl::put_Movie(BSTR movie) {
    return win32::HresultOf([&]() -> HRESULT {
        const std::wstring location(View(movie));
        Settings().SetText(Setting::Movie, win32::Utf16FromWide(location));
        const auto hold = SelfReference();  // loading may deliver events
        SetMovie(location);
        return S_OK;
    });
}

HRESULT FlashControl::get_FrameNum(LONG* frame) { return Give<LONG>(frame, player_.CurrentFrame()); }

HRESULT FlashControl::put_FrameNum(LONG frame) { return GotoFrame(frame); }

// ---- View ----

HRESULT FlashControl::SetZoomRect(LONG left, LONG top, LONG right, LONG bottom) {
    player_.SetZoomRect(left, top, right, bottom);
    window_.RedrawAll();
    return S_OK;
}

HRESULT FlashControl::Zoom(int factor) {
    player_.Zoom(factor);
    window_.RedrawAll();
    return S_OK;
}

HRESULT FlashControl::Pan(LONG x, LONG y, int mode) {
    if (mode != 0 && mode != 1) return Fail(E_INVALIDARG, L"Pan's mode is 0 (pixels) or 1 (percent).");
    player_.Pan(x, y, mode);
    window_.RedrawAll();
    return S_OK;
}

// ---- Main timeline ----

HRESULT FlashControl::Play() {
    player_.Play();
    return S_OK;
}

HRESULT FlashControl::Stop() {
    player_.Stop();
    return S_OK;
}

HRESULT FlashControl::Back() {
    player_.Back();
    return S_OK;
}

HRESULT FlashControl::Forward() {
    player_.Forward();
    return S_OK;
}

HRESULT FlashControl::Rewind() {
    player_.Rewind();
    return S_OK;
}

HRESULT FlashControl::StopPlay() { return Stop(); }

HRESULT FlashControl::GotoFrame(LONG frame) {
    if (frame < 0) return Fail(E_INVALIDARG, L"Frames count from 0.");
    player_.GotoFrame(frame);
    return S_OK;
}

HRESULT FlashControl::CurrentFrame(LONG* frame) { return Give<LONG>(frame, player_.CurrentFrame()); }

HRESULT FlashControl::IsPlaying(VARIANT_BOOL* playing) { return get_Playing(playing); }

HRESULT FlashControl::PercentLoaded(LONG* percent) { return Give<LONG>(percent, player_.PercentLoaded()); }

HRESULT FlashControl::FrameLoaded(LONG frame, VARIANT_BOOL* loaded) {
    return Give(loaded, Bool(frame >= 0 && frame < player_.TotalFrames()));
}

HRESULT FlashControl::FlashVersion(LONG* version) { return Give(version, VersionNumber()); }

// ---- Settings the page or the saved state gives ----

HRESULT FlashControl::get_WMode(BSTR* mode) { return GetSetting(Setting::WMode, mode); }
HRESULT FlashControl::put_WMode(BSTR mode) { return PutSetting(Setting::WMode, mode); }

HRESULT FlashControl::get_SAlign(BSTR* align) { return GetSetting(Setting::SAlign, align); }

HRESULT FlashControl::put_SAlign(BSTR align) {
    if (!AlignmentFlags(Utf16(align))) return Fail(E_INVALIDARG, L"SAlign is made of the letters L or R and T or B.");
    return PutSetting(Setting::SAlign, align);
}

HRESULT FlashControl::get_Menu(VARIANT_BOOL* menu) { return Give(menu, Bool(Settings().Switch(Setting::Menu))); }

HRESULT FlashControl::put_Menu(VARIANT_BOOL menu) {
    Settings().SetSwitch(Setting::Menu, menu != VARIANT_FALSE);
    dirty_ = true;
    return S_OK;
}

HRESULT FlashControl::get_Base(BSTR* base) { return GetSetting(Setting::Base, base); }
HRESULT FlashControl::put_Base(BSTR base) { return PutSetting(Setting::Base, base); }

HRESULT FlashControl::get_Scale(BSTR* scale) { return GetSetting(Setting::Scale, scale); }

HRESULT FlashControl::put_Scale(BSTR scale) {
    if (!ScaleNumber(Utf16(scale))) return Fail(E_INVALIDARG, L"Scale is ShowAll, NoBorder, ExactFit or NoScale.");
    return PutSetting(Setting::Scale, scale);
}

HRESULT FlashControl::get_DeviceFont(VARIANT_BOOL* deviceFont) {
    return Give(deviceFont, Bool(Settings().Switch(Setting::DeviceFont)));
}

HRESULT FlashControl::put_DeviceFont(VARIANT_BOOL deviceFont) {
    Settings().SetSwitch(Setting::DeviceFont, deviceFont != VARIANT_FALSE);
    dirty_ = true;
    return S_OK;
}

HRESULT FlashControl::get_EmbedMovie(VARIANT_BOOL* embed) {
    return Give(embed, Bool(Settings().Switch(Setting::EmbedMovie)));
}

HRESULT FlashControl::put_EmbedMovie(VARIANT_BOOL embed) {
    Settings().SetSwitch(Setting::EmbedMovie, embed != VARIANT_FALSE);
    dirty_ = true;
    return S_OK;
}

HRESULT FlashControl::get_BGColor(BSTR* color) { return GetSetting(Setting::BGColor, color); }

HRESULT FlashControl::put_BGColor(BSTR color) {
    if (!ColorNumber(Utf16(color))) return Fail(E_INVALIDARG, L"BGColor is #RRGGBB, or empty for the movie's own.");
    return PutSetting(Setting::BGColor, color);
}

HRESULT FlashControl::get_Quality2(BSTR* quality) { return GetSetting(Setting::Quality, quality); }

HRESULT FlashControl::put_Quality2(BSTR quality) {
    if (!QualityNumber(Utf16(quality))) {
        return Fail(E_INVALIDARG, L"Quality2 is Low, Medium, High, Best, AutoLow or AutoHigh.");
    }
    return PutSetting(Setting::Quality, quality);
}

// ---- Loading another movie, timeline targets and variables ----

HRESULT FlashControl::LoadMovie(int layer, BSTR url) {
    if (layer < 0) return Fail(E_INVALIDARG, L"Layers count from 0.");
    if (layer == 0) return put_Movie(url);
    return win32::HresultOf([&] {
        return player_.LoadIntoLevel(layer, Utf8(url)) ? S_OK : Fail(E_FAIL, L"No movie is loaded to load into.");
    });
}

HRESULT FlashControl::TGotoFrame(BSTR target, LONG frame) {
    return win32::HresultOf([&]() -> HRESULT {
        if (frame < 0) return Fail(E_INVALIDARG, L"Frames count from 0.");
        return player_.TargetGotoFrame(Utf8(target), frame) ? S_OK : NoClip();
    });
}

HRESULT FlashControl::TGotoLabel(BSTR target, BSTR label) {
    return win32::HresultOf([&] { return player_.TargetGotoLabel(Utf8(target), Utf8(label)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::TCurrentFrame(BSTR target, LONG* frame) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto current = player_.TargetCurrentFrame(Utf8(target));
        return current ? Give<LONG>(frame, *current) : NoClip();
    });
}

HRESULT FlashControl::TCurrentLabel(BSTR target, BSTR* label) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto current = player_.TargetCurrentLabel(Utf8(target));
        return current ? GiveUtf8(label, *current) : NoClip();
    });
}

HRESULT FlashControl::TPlay(BSTR target) {
    return win32::HresultOf([&] { return player_.TargetPlay(Utf8(target)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::TStopPlay(BSTR target) {
    return win32::HresultOf([&] { return player_.TargetStop(Utf8(target)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::SetVariable(BSTR name, BSTR value) {
    return win32::HresultOf([&] { return player_.SetVariable(Utf8(name), Utf8(value)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::GetVariable(BSTR name, BSTR* value) {
    return win32::HresultOf([&]() -> HRESULT {
        if (!value) return E_POINTER;
        *value = nullptr;  // no such variable: null
        const std::string path = Utf8(name);
        const auto found = player_.GetVariable(path);
        if (found) return GiveUtf8(value, *found);
        // Pages ask for the version before they give a movie.
        if (!player_.HasMovie() && (path == "$version" || path == "/:$version")) {
            return GiveUtf8(value, kVersionText);
        }
        return S_OK;
    });
}

HRESULT FlashControl::TSetProperty(BSTR target, int property, BSTR value) {
    return win32::HresultOf(
        [&] { return player_.TargetSetProperty(Utf8(target), property, Utf8(value)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::TGetProperty(BSTR target, int property, BSTR* value) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto found = player_.TargetGetProperty(Utf8(target), property);
        return found ? GiveUtf8(value, *found) : NoClip();
    });
}

HRESULT FlashControl::TCallFrame(BSTR target, int frame) {
    return win32::HresultOf([&]() -> HRESULT {
        if (frame < 0) return Fail(E_INVALIDARG, L"Frames count from 0.");
        return player_.TargetCallFrame(Utf8(target), frame) ? S_OK : NoClip();
    });
}

HRESULT FlashControl::TCallLabel(BSTR target, BSTR label) {
    return win32::HresultOf([&] { return player_.TargetCallLabel(Utf8(target), Utf8(label)) ? S_OK : NoClip(); });
}

HRESULT FlashControl::TSetPropertyNum(BSTR target, int property, double value) {
    return win32::HresultOf(
        [&] { return player_.TargetSetPropertyNumber(Utf8(target), property, value) ? S_OK : NoClip(); });
}

HRESULT FlashControl::TGetPropertyNum(BSTR target, int property, double* value) {
    return win32::HresultOf([&]() -> HRESULT {
        const auto found = player_.TargetGetPropertyNumber(Utf8(target), property);
        return found ? Give(value, *found) : NoClip();
    });
}

HRESULT FlashControl::TGetPropertyAsNumber(BSTR target, int property, double* value) {
    return TGetPropertyNum(target, property, value);
}

// ---- Host calls and what the host allows ----

HRESULT FlashControl::get_FlashVars(BSTR* vars) { return GetSetting(Setting::FlashVars, vars); }
HRESULT FlashControl::put_FlashVars(BSTR vars) { return PutSetting(Setting::FlashVars, vars); }

HRESULT FlashControl::get_AllowScriptAccess(BSTR* access) { return GetSetting(Setting::AllowScriptAccess, access); }
HRESULT FlashControl::put_AllowScriptAccess(BSTR access) { return PutSetting(Setting::AllowScriptAccess, access); }

HRESULT FlashControl::get_MovieData(BSTR* data) { return GetSetting(Setting::MovieData, data); }
HRESULT FlashControl::put_MovieData(BSTR data) { return PutSetting(Setting::MovieData, data); }

HRESULT FlashControl::get_SeamlessTabbing(VARIANT_BOOL* seamless) {
    return Give(seamless, Bool(Settings().Switch(Setting::SeamlessTabbing)));
}

HRESULT FlashControl::put_SeamlessTabbing(VARIANT_BOOL seamless) {
    Settings().SetSwitch(Setting::SeamlessTabbing, seamless != VARIANT_FALSE);
    dirty_ = true;
    return S_OK;
}

HRESULT FlashControl::CallFunction(BSTR request, BSTR* response) {
    return win32::HresultOf([&]() -> HRESULT {
        if (!response) return E_POINTER;
        *response = nullptr;
        const auto hold = SelfReference();  // the movie's function may call its host
        std::string error;
        const auto answer = player_.CallFunction(Utf8(request), error);
        if (!answer) return Fail(E_FAIL, win32::WideFromUtf8Replacing(error).c_str());
        return GiveUtf8(response, *answer);
    });
}

HRESULT FlashControl::SetReturnValue(BSTR returnValue) {
    return win32::HresultOf([&]() -> HRESULT {
        if (returnValues_.empty()) return Fail(E_UNEXPECTED, L"No FlashCall is being answered.");
        returnValues_.back() = Utf8(returnValue);
        return S_OK;
    });
}

HRESULT FlashControl::get_AllowNetworking(BSTR* networking) { return GetSetting(Setting::AllowNetworking, networking); }
HRESULT FlashControl::put_AllowNetworking(BSTR networking) { return PutSetting(Setting::AllowNetworking, networking); }

HRESULT FlashControl::get_AllowFullScreen(BSTR* fullScreen) { return GetSetting(Setting::AllowFullScreen, fullScreen); }
HRESULT FlashControl::put_AllowFullScreen(BSTR fullScreen) { return PutSetting(Setting::AllowFullScreen, fullScreen); }

// ---- IProvideClassInfo2 ----

HRESULT FlashControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = TypeInfoOf(TLB::CLSID_ShockwaveFlash);
    if (!*info) return TYPE_E_CANTLOADLIBRARY;
    (*info)->AddRef();
    return S_OK;
}

HRESULT FlashControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = TLB::DIID_IShockwaveFlashEvents;
    return S_OK;
}

// ---- IObjectSafety ----

namespace {

constexpr DWORD kSafeOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

bool SafeFace(REFIID iid) {
    return iid == IID_IDispatch || iid == TLB::IID_IShockwaveFlash || iid == IID_IPersistPropertyBag ||
           iid == IID_IPersistStreamInit || iid == IID_IPersistStorage || iid == IID_IUnknown;
}

}  // namespace

HRESULT FlashControl::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    *supported = 0;
    *enabled = 0;
    if (!SafeFace(iid)) return E_NOINTERFACE;
    *supported = kSafeOptions;
    *enabled = safetyOptions_;
    return S_OK;
}

HRESULT FlashControl::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
    if (!SafeFace(iid)) return E_NOINTERFACE;
    if (mask & ~kSafeOptions) return E_FAIL;
    safetyOptions_ = (safetyOptions_ & ~mask) | (enabled & mask);
    return S_OK;
}

// ---- ISupportErrorInfo ----

HRESULT FlashControl::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == TLB::IID_IShockwaveFlash || iid == IID_IDispatch ? S_OK : S_FALSE;
}

}  // namespace control
