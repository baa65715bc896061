#pragma once
// The player control: a COM object with the faces an ActiveX container uses
// to create, place, persist and script it and to hear its events. It plays
// one movie, named by its Movie property, in a child window of its own.

#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>
#include <oleidl.h>

#include <ShockwaveFlashObjects_h.h>  // generated from control/idl/

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "control/audio_output.h"
#include "control/control_settings.h"
#include "control/event_connection_point.h"
#include "control/folder_file_host.h"
#include "control/gdi_font_provider.h"
#include "control/movie_log.h"
#include "control/movie_player.h"
#include "control/player_window.h"
#include "control/windows_clipboard.h"
#include "flash/control_data.h"
#include "swf/sound/mp3_decoder.h"
#include "win32/com_ptr.h"

namespace control {

// A read-only property of our own (not in the control's type library): how
// many frames playback advanced, drew and dropped, for tests and benchmarks.
inline constexpr DISPID kDispidFrameCounters = 0x4600;
inline constexpr wchar_t kFrameCountersName[] = L"FrameCounters";

class FlashControl final : public IShockwaveFlash,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IOleControl,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IPersistPropertyBag,
                           public IPersistStorage,
                           public IConnectionPointContainer,
                           public IProvideClassInfo2,
                           public IObjectSafety,
                           public ISupportErrorInfo,
                           private PlayerWindowHost {
public:
    FlashControl();
    FlashControl(const FlashControl&) = delete;
    FlashControl& operator=(const FlashControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the members of IShockwaveFlash, through the type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IShockwaveFlash (flash_control_scripting.cpp)
    HRESULT STDMETHODCALLTYPE get_ReadyState(LONG* state) override;
    HRESULT STDMETHODCALLTYPE get_TotalFrames(LONG* frames) override;
    HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) override;
    HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) override;
    HRESULT STDMETHODCALLTYPE get_Quality(int* quality) override;
    HRESULT STDMETHODCALLTYPE put_Quality(int quality) override;
    HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) override;
    HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) override;
    HRESULT STDMETHODCALLTYPE get_AlignMode(int* flags) override;
    HRESULT STDMETHODCALLTYPE put_AlignMode(int flags) override;
    HRESULT STDMETHODCALLTYPE get_BackgroundColor(LONG* color) override;
    HRESULT STDMETHODCALLTYPE put_BackgroundColor(LONG color) override;
    HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) override;
    HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) override;
    HRESULT STDMETHODCALLTYPE get_Movie(BSTR* movie) override;
    HRESULT STDMETHODCALLTYPE put_Movie(BSTR movie) override;
    HRESULT STDMETHODCALLTYPE get_FrameNum(LONG* frame) override;
    HRESULT STDMETHODCALLTYPE put_FrameNum(LONG frame) override;
    HRESULT STDMETHODCALLTYPE SetZoomRect(LONG left, LONG top, LONG right, LONG bottom) override;
    HRESULT STDMETHODCALLTYPE Zoom(int factor) override;
    HRESULT STDMETHODCALLTYPE Pan(LONG x, LONG y, int mode) override;
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Back() override;
    HRESULT STDMETHODCALLTYPE Forward() override;
    HRESULT STDMETHODCALLTYPE Rewind() override;
    HRESULT STDMETHODCALLTYPE StopPlay() override;
    HRESULT STDMETHODCALLTYPE GotoFrame(LONG frame) override;
    HRESULT STDMETHODCALLTYPE CurrentFrame(LONG* frame) override;
    HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) override;
    HRESULT STDMETHODCALLTYPE PercentLoaded(LONG* percent) override;
    HRESULT STDMETHODCALLTYPE FrameLoaded(LONG frame, VARIANT_BOOL* loaded) override;
    HRESULT STDMETHODCALLTYPE FlashVersion(LONG* version) override;
    HRESULT STDMETHODCALLTYPE get_WMode(BSTR* mode) override;
    HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) override;
    HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* align) override;
    HRESULT STDMETHODCALLTYPE put_SAlign(BSTR align) override;
    HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* menu) override;
    HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL menu) override;
    HRESULT STDMETHODCALLTYPE get_Base(BSTR* base) override;
    HRESULT STDMETHODCALLTYPE put_Base(BSTR base) override;
    HRESULT STDMETHODCALLTYPE get_Scale(BSTR* scale) override;
    HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) override;
    HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* deviceFont) override;
    HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL deviceFont) override;
    HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* embed) override;
    HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) override;
    HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* color) override;
    HRESULT STDMETHODCALLTYPE put_BGColor(BSTR color) override;
    HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* quality) override;
    HRESULT STDMETHODCALLTYPE put_Quality2(BSTR quality) override;
    HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) override;
    HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, LONG frame) override;
    HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) override;
    HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, LONG* frame) override;
    HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) override;
    HRESULT STDMETHODCALLTYPE TPlay(BSTR target) override;
    HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) override;
    HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) override;
    HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property, BSTR value) override;
    HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) override;
    HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) override;
    HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property, double value) override;
    HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property, double* value) override;
    HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR target, int property, double* value) override;
    HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* vars) override;
    HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR vars) override;
    HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* access) override;
    HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR access) override;
    HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* data) override;
    HRESULT STDMETHODCALLTYPE put_MovieData(BSTR data) override;
    HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* seamless) override;
    HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL seamless) override;
    HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) override;
    HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR returnValue) override;
    HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* networking) override;
    HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR networking) override;
    HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* fullScreen) override;
    HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR fullScreen) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR document) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                                     LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                                   HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   BOOL(STDMETHODCALLTYPE* proceed)(ULONG_PTR), ULONG_PTR proceedArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                          HDC targetDevice, LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
    // (flash_control_persistence.cpp). All three keep the same settings.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IObjectSafety: safe for scripting and for initialising from pages.
    HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

    // ISupportErrorInfo: failures of IShockwaveFlash say why.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    ~FlashControl();

    // PlayerWindowHost
    void HoldForCallback() override { AddRef(); }
    void ReleaseAfterCallback() override { Release(); }
    void DeliverEvents() override;
    void ActivateByUser() override;

    // A reference that keeps this object alive across a call into its host,
    // which may let it go meanwhile.
    win32::ComPtr<IUnknown> SelfReference();
    // Loads the movie a Movie value names (relative ones against Base or
    // the container's document); while the engine is busy answering a host
    // call the load waits for it to return.
    void SetMovie(const std::wstring& location);
    void LoadMovieNow(const std::wstring& location);
    std::wstring ResolveMovieLocation(const std::wstring& location);
    // ExternalInterface.call: fired as FlashCall at once while a sink
    // listens, the answer being what the sink gave SetReturnValue.
    std::string AnswerFlashCall(const std::string& request);
    // Settings from the saved state that the player applies; `loadMovie`
    // also loads the movie it names when that differs from the current one.
    void ApplyStoredSettings(bool loadMovie);
    ControlSettings Settings() { return ControlSettings(state_); }
    HRESULT PutSetting(Setting setting, BSTR text);
    HRESULT GetSetting(Setting setting, BSTR* text);
    ITypeInfo* TypeInfoOf(REFGUID guid);
    // The playback counters as text: "advanced=N drawn=N dropped=N".
    HRESULT GetFrameCounters(WORD flags, DISPPARAMS* parameters, VARIANT* result);
    // Plays the movie's sound on the system's output while a movie is loaded;
    // without an output the movie plays silently, said once in its log.
    void UpdateAudio();
    bool audioProblemSaid_ = false;
    void Fire(const PlayerEvent& event);
    HRESULT ActivateInPlace(IOleClientSite* activeSite, HWND parent, LPCRECT position);
    HRESULT ActivateUI();

    LONG references_ = 1;
    std::unique_ptr<FolderFileHost> files_;      // the current movie's folder
    GdiFontProvider fonts_;                      // outlives the player that draws with it
    WindowsClipboard clipboard_;                 // outlives the player that uses it
    MovieLog log_;                               // outlives the player that writes to it
    std::unique_ptr<swf::sound::Mp3Codec> mp3_;  // outlives the player that decodes with it
    MoviePlayer player_;
    AudioOutput audio_;  // goes before the player it mixes from
    PlayerWindow window_;
    EventConnectionPoint events_;
    std::deque<PlayerEvent> pending_;  // waiting for the window and for a thawed host
    int frozen_ = 0;

    flash::ControlData state_;
    bool dirty_ = false;
    std::wstring movie_;
    std::wstring waitingMovie_;  // set while busy
    bool movieWaiting_ = false;
    bool loading_ = false;  // the first frame's actions run while a movie loads
    std::int32_t readyState_ = kReadyStateComplete;
    std::vector<std::string> returnValues_;  // one per FlashCall being answered
    DWORD safetyOptions_ = 0;                // what the host asked of IObjectSafety
    win32::ComPtr<ITypeLib> typeLibrary_;
    win32::ComPtr<ITypeInfo> scriptingType_;
    win32::ComPtr<ITypeInfo> classType_;

    win32::ComPtr<IOleClientSite> clientSite_;
    win32::ComPtr<IOleInPlaceSite> inPlaceSite_;  // set while in-place active
    bool uiActive_ = false;
    win32::ComPtr<IOleInPlaceFrame> activeFrame_;  // told of this object while UI-active
    win32::ComPtr<IOleAdviseHolder> adviseHolder_;
    win32::ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
};

}  // namespace control
