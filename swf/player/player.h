#pragma once
// The engine's face for the control: load a movie, tick it at its frame rate,
// draw it at any size (ShowAll unless the movie or the host asks otherwise),
// and feed it pointer events in pixels.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/fonts/serialized_font_provider.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"
#include "swf/player/audio/sound_system.h"
#include "swf/player/fields/caret_blink.h"
#include "swf/player/render/damage.h"
#include "swf/raster/coverage_mask.h"
#include "swf/raster/geometry.h"
#include "swf/raster/surface.h"

namespace swf {

class Clipboard;
class FileHost;
class HelperThread;
class Renderer;
class MovieClip;
class Stage;
class VmActionRunner;
namespace actions {
class Vm;
}
namespace fonts {
class DeviceFontProvider;
}

// The pointer's look over what lies under it.
enum class PointerCursor { Arrow, Hand, IBeam };

class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Replaces the current movie. On failure no movie is loaded, LoadError()
    // says why, and rendering shows the plain background. `url` is the
    // movie's address for scripts' _url and for movies it loads (FileUrl).
    bool Load(std::span<const std::uint8_t> bytes, std::string url = {});
    // Loads a file; its _url is the file's URL.
    bool LoadFile(const std::string& path);
    void Unload();
    bool IsLoaded() const { return session_ != nullptr; }
    const std::string& LoadError() const { return error_; }
    // What was repaired or left out: tags skipped or cut while reading,
    // scripts stopped while playing, and files the movie could not load.
    std::vector<std::string> Warnings() const;

    // Frames per second as the movie declares it; 12 when none is loaded or it declares 0.
    double FrameRate() const;
    // The stage in twips (0 x 0 when none is loaded).
    Rect StageRect() const;
    // The movie's background; white when it sets none or none is loaded.
    Rgba BackgroundColor() const;
    int Version() const;

    // The main timeline (nullptr when none is loaded).
    MovieClip* Root();
    std::uint32_t FrameCount() const;
    std::uint32_t CurrentFrame() const;
    bool IsPlaying() const;
    void Play();
    void Stop();
    // Frames counted from 0, then runs the frame's actions.
    void GotoFrame(std::uint32_t frame);

    // One frame tick: loads asked for before it complete, timelines move on,
    // then their actions run.
    void AdvanceFrame();

    // Draws the whole surface: background, then the stage as the movie's
    // scale mode and alignment place it (ShowAll, centred, unless it sets others).
    // Also makes the surface's size the viewport for pointer events.
    void Render(raster::Surface& surface);
    // Draws into a surface that still holds the frame this call drew last time
    // only what changed since, and returns the rectangles drawn (few, not
    // overlapping much). The whole surface is drawn the first time, after a
    // change of size, movie or background, when most of it changed, and after
    // ForgetRenderedFrame. The pixels come out as Render would draw them.
    std::vector<raster::PixelRect> RenderChanges(raster::Surface& surface);
    // The next RenderChanges draws everything (its surface was drawn over).
    void ForgetRenderedFrame() { rendered_.valid = false; }
    // The pixel size pointer coordinates refer to.
    void SetViewportSize(int width, int height);
    // 2: large areas are drawn as two bands of rows, one on a helper thread
    // kept for it, pixel for pixel as one thread draws them. 1: one thread.
    // By default 2 when the machine has two cores or more.
    void SetDrawThreads(int threads) { drawThreads_ = threads; }
    // Steps all script work of one frame (or one input event) may take
    // before the rest is stopped with a warning (0: the player's usual
    // limit). Applies to movies loaded afterwards.
    void SetScriptStepLimit(std::uint64_t steps) { scriptStepLimit_ = steps; }
    // Wall time in milliseconds the same work may take (0: the player's
    // usual limit; negative: none). Applies to movies loaded afterwards.
    void SetScriptTimeLimit(double milliseconds) { scriptTimeLimit_ = milliseconds; }
    // Bytes the movie's scripts may hold (0: the player's usual limit).
    // Applies to movies loaded afterwards.
    void SetScriptMemoryLimit(std::size_t bytes) { scriptMemoryLimit_ = bytes; }
    // The wall time one frame's scripts get by default, in milliseconds.
    static double DefaultScriptMilliseconds();
    // Steps the current movie's scripts have taken so far, and the bytes they
    // hold by the script heap's estimate (0 without a movie).
    std::uint64_t ScriptSteps() const;
    std::size_t ScriptMemoryBytes() const;
    // How many areas were drawn in two bands so far.
    std::uint64_t BandedAreas() const { return bandedAreas_; }
    // How many times layers kept between frames (bitmap caching, filters) were drawn again.
    std::uint64_t KeptLayerRedraws() const;

    // Pointer at pixel coordinates of the viewport.
    void PointerMove(double x, double y);
    // `clicks`: 2 for a double click, 3 for a triple one (text fields select
    // the word or the line there).
    void PointerDown(double x, double y, int clicks = 1);
    void PointerUp(double x, double y);
    // True while the pointer is over a button (the control shows a hand cursor).
    bool PointerOverButton() const;
    // Keys by Windows virtual-key code; `charCode` is the character the key
    // types (0 for none). Key, clip key events and button key presses see them.
    void KeyDown(int keyCode, int charCode);
    void KeyUp(int keyCode, int charCode);
    // Mouse.hide() asked for the pointer to be hidden over the movie.
    bool MouseHidden() const;
    // True while the pointer is over a link in a text field (a hand cursor too).
    bool PointerOverLink() const;
    // What the pointer should look like where it is: the hand over buttons
    // and clips with handlers (unless their useHandCursor is false) and over
    // links, the I-beam over input and selectable text, else the arrow.
    PointerCursor Cursor() const;

    // Keys for the text field with the focus, Tab / Shift+Tab to move the
    // focus among fields, buttons and clips acting as buttons, and Enter or
    // Space to press the focused button or clip (call KeyDown as well: Key's
    // listeners hear every key). Key codes are the window system's virtual
    // keys. True when the focus took the key.
    bool TextKeyDown(int keyCode, bool shift, bool control);
    // A character typed (after the keyboard layout made it); true when a field took it.
    bool TextInput(char32_t c);
    // Whether a text field has the keyboard focus.
    bool HasTextFocus() const;
    // Copy, cut and paste in text fields go through it; may be nullptr (they
    // then do nothing). Not owned; kept across movies.
    void SetClipboard(Clipboard* clipboard);
    // The focused input field's caret blinks, `ms` between showing and hiding
    // it as the system's setting gives it; 0 (the default) keeps it shown.
    // Kept across movies.
    void SetCaretBlinkTime(double ms) { caretBlink_.SetInterval(ms); }
    // Brings the blink to `nowMs` of the host's steady clock; true when the
    // caret appeared or vanished (only its rectangle needs drawing again).
    bool UpdateCaretBlink(double nowMs);
    // Milliseconds from the last update to the next blink; negative: none comes.
    double MillisecondsToCaretBlink() const { return caretBlink_.UntilChange(); }

    // Receives FSCommand, FlashCall and GetURL; may be nullptr. Not owned.
    void SetHost(ActionHost* host);
    // Reads the files the movie loads (pages, pictures, variables) from its
    // folder; without one every load fails. Not owned; kept across movies.
    void SetFileHost(FileHost* files);
    // Hears every trace() line as scripts print it, and every warning (what
    // Warnings() lists) as it arises: those of reading a movie right after it
    // loads, then scripts stopped and loads failed. Kept across movies.
    enum class LogKind { Trace, Warning };
    using LogHandler = std::function<void(LogKind kind, const std::string& text)>;
    void SetLogHandler(LogHandler handler);
    // Draws and measures text set in system fonts; may be nullptr (such text
    // is then not drawn). Not owned; must outlive the player or be reset.
    void SetFontProvider(fonts::DeviceFontProvider* provider);
    // Decodes the movie's MP3 sounds; may be nullptr (they stay silent and
    // a warning says so). Not owned; kept across movies.
    void SetMp3Codec(sound::Mp3Codec* codec) { sounds_.SetMp3Codec(codec); }
    // The next frames of the movie's sound: 44.1 kHz stereo, interleaved,
    // silence when nothing plays. May be called from the host's audio thread.
    void MixAudio(std::span<std::int16_t> out) { sounds_.Mix(out); }
    // True when the host plays MixAudio's output as it is asked for, in real
    // time: a main timeline with a stream sound then follows the sound
    // (waiting for it, or playing several frames in one tick to catch up)
    // instead of one frame a tick. Kept across movies.
    void SetAudioClock(bool live) { audioClock_ = live; }
    // True when the host ticks in real time (the control; not swfrender or
    // tests): videos then keep to the wall clock where no sound leads them,
    // rather than taking each tick as one frame's time. Kept across movies.
    void SetRealTime(bool realTime) { realTime_ = realTime; }

    // ---- What the host asks through the control's scripting interface ----
    // (player_host_calls.cpp.) Calls that may run scripts work nested in a
    // host's answer to ExternalInterface.call too, on the running frame's
    // budget; actions they queue run before the outermost call returns.

    // Whether the main timeline starts over after its last frame (the
    // default) or stops there. Kept across movies.
    void SetLoop(bool loop);
    // Whether a movie plays from its first frame on when loaded (the
    // default) or waits there. Kept across movies.
    void SetAutoPlay(bool play) { autoPlay_ = play; }
    // "a=1&b=two" (URL-encoded): set as text on the main timeline at each
    // load, before its first frame's actions run. Kept across movies.
    void SetFlashVars(std::string vars) { flashVars_ = std::move(vars); }
    // Whether a call from the outermost host (not nested in a script) may
    // load, unload or tick now: false while the player is inside one.
    bool Busy() const { return busy_ > 0; }

    // Variables by the paths scripts write ("name", "/clip:name",
    // "_root.clip.name", "_level0.name", "$version"), as text.
    std::optional<std::string> GetVariable(const std::string& path);
    bool SetVariable(const std::string& path, const std::string& value);

    // Timelines by target path ("" or "/" the main one, "/clip/inner",
    // "_level0.clip.inner"); false or nothing when the path names none.
    bool TargetGotoFrame(const std::string& target, std::uint32_t frame);       // and stops
    bool TargetGotoLabel(const std::string& target, const std::string& label);  // and stops
    std::optional<std::uint32_t> TargetCurrentFrame(const std::string& target);
    std::optional<std::string> TargetCurrentLabel(const std::string& target);
    bool TargetPlay(const std::string& target);
    bool TargetStop(const std::string& target);
    // Runs the frame's actions on the timeline without moving it.
    bool TargetCallFrame(const std::string& target, std::uint32_t frame);
    bool TargetCallLabel(const std::string& target, const std::string& label);
    // Loads a movie or picture from the movie's folder into _levelN (N > 0)
    // on a later tick, as loadMovieNum does; false without a movie or for level 0.
    bool LoadIntoLevel(int level, const std::string& url);
    // Properties by the GetProperty/SetProperty actions' numbers (0 _x ...
    // 21 _ymouse), as text or as a number (NaN for text that is no number).
    std::optional<std::string> TargetPropertyText(const std::string& target, int property);
    std::optional<double> TargetPropertyNumber(const std::string& target, int property);
    bool SetTargetProperty(const std::string& target, int property, const std::string& value);
    bool SetTargetProperty(const std::string& target, int property, double value);

    // ExternalInterface: `available` is what scripts read (the host answers
    // calls); `allowed` false refuses call, addCallback and CallFunction.
    // Kept across movies.
    void SetExternalInterface(bool available, bool allowed);
    // The host calls a function the movie registered with addCallback: the
    // invoke XML in, the result's XML value form out; nothing with `error`
    // saying why.
    std::optional<std::string> CallFunction(const std::string& request, std::string& error);

    // The background drawn instead of the movie's own; none: the movie's.
    void SetBackgroundOverride(std::optional<Rgba> color) { backgroundOverride_ = color; }
    // The scale mode and alignment the host asks for, as Stage.scaleMode and
    // Stage.align name them (scripts may change them later). Kept across movies.
    void SetScaleMode(const std::string& mode);
    void SetAlignment(const std::string& align);
    // Zooming into the stage, reset by each load: `percent` of the part shown
    // now (50 shows half as much, twice as large; 0 shows the whole stage).
    void ZoomView(double percent);
    // Moves the part shown by pixels of the view, or by percent of the part
    // shown; it stays inside the stage.
    void PanView(double x, double y, bool percent);
    // The part of the stage shown (twips); none: the whole stage.
    void SetViewRect(std::optional<Rect> rect);

private:
    // Everything one loaded movie needs, destroyed together.
    struct Session;
    // Marks a call that may run actions; a movie replaced meanwhile (by a host
    // callback) is destroyed only when the outermost such call returns.
    class BusyScope;

    // Hands the clipboard text scripts set to the host's clipboard.
    void PassClipboardText();
    // Starts and stops the sounds the timelines reached, and tells what
    // could not be played.
    void PlaySoundRequests();
    // How many frames this tick moves on: one, or as many as the main
    // timeline's stream sound says when the audio clock leads.
    int FramesToAdvance();
    // Video streams move on by a frame's time (or the wall clock's, live)
    // and their scripts hear what they told.
    void AdvanceStreams();
    std::optional<std::chrono::steady_clock::time_point> lastStreamTick_;
    static constexpr int kMaxStreamCatchUp = 8;

    // Runs the work of one call from the host. When memory runs out it is
    // left out (false) with a warning, told once per movie, and the movie
    // goes on: no allocation failure reaches the host.
    template <typename Work>
    bool Outlast(const char* what, Work&& work);
    // RenderChanges without that guard.
    std::vector<raster::PixelRect> DrawChanges(raster::Surface& surface);

    // Runs `work` on the movie's timelines and scripts for the host, then
    // the actions it queued; false without a movie or when it failed.
    bool RunForHost(const char* what, const std::function<void(Stage&, VmActionRunner&)>& work);
    // The loaded movie's script VM; null without one.
    actions::Vm* ScriptVm() const;
    // RunForHost on the timeline `target` names; false when it names none.
    bool WithTimeline(const char* what, const std::string& target, const std::function<void(ActionTarget&)>& use);
    // The host's settings a newly loaded movie starts with.
    void ApplyHostSettings();
    // The part of the stage the view shows, in twips (the whole stage unless zoomed).
    struct ViewArea {
        double left = 0, top = 0, width = 0, height = 0;
    };
    ViewArea ShownArea() const;
    // Keeps the zoomed area on the stage where it is smaller than the stage.
    void KeepZoomOnStage();

    Point ToStage(double x, double y) const;
    // Stage twips to pixels of a view of that size.
    Matrix ViewMatrix(int width, int height) const;
    // Tells scripts the movie's and the view's size; Stage's listeners hear
    // onResize when the view changes under the noScale mode.
    void UpdateStageSize();
    Stage* CurrentStage() const;
    // The movie's levels drawn onto the surface (only inside the renderer's area, if set).
    void DrawMovie(Renderer& renderer, raster::Surface& surface, int width, int height,
                   const raster::CoverageMask* stageMask);
    // Background and movie inside `area` (nullptr: everywhere), in two bands
    // on two threads when it is large enough.
    void DrawFrame(raster::Surface& surface, const raster::PixelRect* area);
    // Background and movie inside `area` on this thread with `renderer`
    // (nullptr: no movie, background only).
    void DrawArea(raster::Surface& surface, const raster::PixelRect* area, const raster::CoverageMask* stageMask,
                  Renderer* renderer);
    // The mask of the stage's area on a width x height surface, made again
    // when the size or the stage's place changes.
    const raster::CoverageMask& StageMask(int width, int height);

    std::unique_ptr<Session> session_;
    std::vector<std::unique_ptr<Session>> retired_;
    int busy_ = 0;
    std::string error_;
    LogHandler log_;
    ActionHost* host_ = nullptr;
    FileHost* files_ = nullptr;
    SoundSystem sounds_;
    bool audioClock_ = false;
    bool realTime_ = false;
    fonts::DeviceFontProvider* fontProvider_ = nullptr;
    // What the stage's text asks: the host's provider, one call at a time.
    fonts::SerializedFontProvider serializedFonts_;
    Clipboard* clipboard_ = nullptr;
    CaretBlink caretBlink_;
    Point pointer_;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    // Counts loads and unloads, so that a frame of another movie is never compared.
    std::uint64_t movieSerial_ = 0;

    // What the last RenderChanges drew.
    struct RenderedFrame {
        bool valid = false;
        int width = 0;
        int height = 0;
        std::uint64_t movieSerial = 0;
        Rgba background;
        Rect stage;
        Matrix view;
        std::vector<DrawnItem> items;
    };
    RenderedFrame rendered_;
    DamageRecorder recorder_;
    raster::CoverageMask stageMask_;
    Rect stageMaskStage_;
    Matrix stageMaskView_;
    int drawThreads_ = 2;
    std::uint64_t scriptStepLimit_ = 0;
    double scriptTimeLimit_ = 0;
    std::size_t scriptMemoryLimit_ = 0;
    std::uint64_t bandedAreas_ = 0;
    // What the host asked for through the scripting interface.
    bool loop_ = true;
    bool autoPlay_ = true;
    std::string flashVars_;
    bool externalAvailable_ = true;
    bool externalAllowed_ = true;
    std::optional<Rgba> backgroundOverride_;
    std::optional<std::string> hostScaleMode_;
    std::optional<std::string> hostAlign_;
    std::optional<ViewArea> zoom_;
    // Started by the first frame drawn in bands, kept until the player goes.
    std::unique_ptr<HelperThread> helper_;
};

}  // namespace swf
