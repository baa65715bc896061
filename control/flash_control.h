#pragma once
// The player control: a COM object with the faces an ActiveX container uses
// to create, place, persist and script it and to hear its events. It plays
// one movie, named by its Movie property, in a child window of its own.

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <deque>
#include <memory>
#include <string>

#include "control/audio_output.h"
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

class FlashControl final : public IDispatch,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IOleControl,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IConnectionPointContainer,
                           private PlayerWindowHost {
public:
    FlashControl();
    FlashControl(const FlashControl&) = delete;
    FlashControl& operator=(const FlashControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the Movie property only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

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

    // IPersist, IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

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
    void SetMovie(const std::wstring& location);
    // The playback counters as text: "advanced=N drawn=N dropped=N".
    HRESULT GetFrameCounters(WORD flags, DISPPARAMS* parameters, VARIANT* result);
    void ApplySettings();
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
