#pragma once
// What the control needs of the SWF engine, in one small portable class: load
// a movie from its bytes, step it frame by frame, draw it into a pixel buffer,
// hand it the pointer, and collect what the movie asks of its host. The COM
// and window code of the control talks only to this class.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {
class Clipboard;
class FileHost;
}  // namespace swf
namespace swf::fonts {
class DeviceFontProvider;
}
namespace swf::sound {
class Mp3Codec;
}

namespace control {

// Something the control reports to its event sinks, in the order it happened.
struct PlayerEvent {
    // OpenUrl: a web or mail link the user clicked, for the system's default handler.
    enum class Kind { ReadyStateChange, Progress, FSCommand, FlashCall, OpenUrl };
    Kind kind = Kind::ReadyStateChange;
    std::int32_t number = 0;  // ReadyStateChange: state; Progress: percent
    std::string first;        // FSCommand: command; FlashCall: request; OpenUrl: URL (UTF-8)
    std::string second;       // FSCommand: arguments (UTF-8)

    bool operator==(const PlayerEvent&) const = default;
};

// Ready states as the control reports them.
inline constexpr std::int32_t kReadyStateLoading = 0;
inline constexpr std::int32_t kReadyStateInteractive = 3;
inline constexpr std::int32_t kReadyStateComplete = 4;

// A rectangle of pixels, left and top inside, right and bottom outside.
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PixelArea&) const = default;
};

// The system cursor the pointer should show over the movie.
enum class CursorShape { Arrow, Hand, IBeam };

// Shown when there is no movie, or the movie names no background.
inline constexpr std::uint32_t kDefaultBackground = 0xFFFFFF;

class MoviePlayer {
public:
    MoviePlayer();
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Replaces the current movie. False when the bytes hold no playable movie;
    // the player then has none and shows the default background. `url` is the
    // movie's address as its scripts read it (_url).
    bool Load(std::span<const std::uint8_t> bytes, std::string url = {});
    void Unload();
    bool HasMovie() const;

    // Frames per second the movie asks for (already made playable).
    double FrameRate() const;
    // 0xRRGGBB.
    std::uint32_t BackgroundColor() const;

    // Whether the movie may reach its host (FSCommand, ExternalInterface).
    // Refused, ExternalInterface.call answers undefined without asking the
    // host, addCallback returns false and CallFunction gives an error.
    void SetScriptAccess(bool allowed);
    // Where the movie's pages, pictures and variables are read from (its
    // folder); nullptr: nowhere. Not owned; kept across movies.
    void SetFileHost(swf::FileHost* files);
    // The system fonts text in device fonts is drawn with; not owned, may be nullptr.
    void SetFontProvider(swf::fonts::DeviceFontProvider* provider);

    // Decodes the movies' MP3 sounds; not owned, may be nullptr. Kept across movies.
    void SetMp3Codec(swf::sound::Mp3Codec* codec);
    // The next samples of the movie's sound (44.1 kHz stereo, interleaved);
    // silence when nothing plays. Called from the audio output's thread.
    void MixAudio(std::span<std::int16_t> samples);
    // Whether the sound is played as it is mixed: stream sounds then pace
    // the timeline. Kept across movies.
    void SetAudioClock(bool live);
    // The control ticks in real time: videos keep to the wall clock.
    void SetRealTime(bool realTime);

    // Hears the scripts' trace() lines and the player's warnings (UTF-8) as
    // they arise; `warning` tells which. Kept across movies.
    using LogSink = std::function<void(bool warning, const std::string& text)>;
    void SetLogSink(LogSink sink);

    // One frame of the movie's timeline, with its actions.
    void Advance();

    // Draws the current frame, anti-aliased and placed as the scale mode,
    // alignment and zoom below say (the whole stage, centred, by default), into
    // premultiplied 32-bit pixels (bytes B, G, R, A), top row first.
    void Render(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes);
    // Like Render, into pixels that still hold what this call drew last time:
    // draws only what changed since and returns the rectangles drawn (none
    // when nothing changed; all of it the first time or at another size).
    std::vector<PixelArea> RenderChanges(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes);
    // The pixels RenderChanges drew into were lost: the next call draws everything.
    void ForgetRenderedFrame();

    // The size of the window the pointer moves in.
    void SetViewport(int width, int height);
    // Pointer positions in pixels of that viewport.
    void PointerMove(int x, int y);
    // `clicks`: 1, or 2 and 3 for double and triple clicks.
    void PointerDown(int x, int y, int clicks = 1);
    void PointerUp(int x, int y);
    // Whether the pointer is over something clickable (for a hand cursor).
    bool PointerOverButton() const;
    // Keys by Windows virtual-key code, with the character the key types (0 for none).
    void KeyDown(int keyCode, int charCode);
    void KeyUp(int keyCode, int charCode);
    // The movie hid the pointer (Mouse.hide).
    bool MouseHidden() const;
    // Whether the pointer is over a link in a text field (a hand cursor too).
    bool PointerOverLink() const;
    // The cursor for where the pointer is: the hand over buttons and links,
    // the I-beam over text one can select or type into, else the arrow.
    CursorShape Cursor() const;

    // Keys (virtual-key codes) and typed characters for text fields; true when taken.
    bool TextKeyDown(int keyCode, bool shift, bool control);
    bool CharacterTyped(char32_t c);
    // Whether a text field has the keyboard focus.
    bool HasTextFocus() const;
    // Copy and paste in text fields use it; not owned, may be nullptr.
    void SetClipboard(swf::Clipboard* clipboard);
    // The caret blinks `ms` between showing and hiding (the system's caret
    // blink time); 0: it stays shown.
    void SetCaretBlinkTime(double ms);
    // Brings the caret's blink to `nowMs` (a steady clock); true when it
    // appeared or vanished and the frame needs drawing.
    bool UpdateCaretBlink(double nowMs);
    // From the last update to the next blink; negative when none will come.
    double MillisecondsToCaretBlink() const;

    // What the movie asked of its host since the last call, oldest first.
    std::vector<PlayerEvent> TakeEvents();

    // ---- What hosts ask of the movie through the control's scripting interface ----
    // Frames count from 0 here, as hosts count them. Without a movie every
    // query answers 0, false or nothing and every command does nothing.

    // The main timeline.
    int TotalFrames() const;
    int CurrentFrame() const;
    bool IsPlaying() const;
    void Play();
    void Stop();
    // Frame 0, stopped.
    void Rewind();
    // One frame back or on, stopped.
    void Back();
    void Forward();
    // Goes to the frame (clamped to the timeline) and stops there.
    void GotoFrame(int frame);
    // Whether the main timeline starts over after its last frame (the default)
    // or stops there. Kept across movies.
    void SetLoop(bool loop);
    // Whether a movie starts playing when loaded (the default). Kept across movies.
    void SetAutoPlay(bool play);
    // 100 once a movie is loaded, else 0.
    int PercentLoaded() const;

    // Variables by path as scripts write them ("name", "/:name", "/clip:name",
    // "_root.clip.name", "_level0.name", "$version"), as text; nothing when
    // the path names no variable.
    std::optional<std::string> GetVariable(const std::string& path);
    // Sets a variable to the text (a new one where there was none); false
    // when the path's clip does not exist.
    bool SetVariable(const std::string& path, const std::string& value);
    // "a=1&b=two" (URL-encoded): set on the main timeline at each load,
    // before its first frame runs. Kept across movies.
    void SetFlashVars(std::string vars);

    // Timeline targets: "/" or "" is the main timeline, "/clip/inner" and
    // "_level0.clip.inner" name clips. False or nothing when the target
    // names no clip.
    bool TargetGotoFrame(const std::string& target, int frame);                 // and stops
    bool TargetGotoLabel(const std::string& target, const std::string& label);  // and stops
    std::optional<int> TargetCurrentFrame(const std::string& target);
    // The label of the current frame or the last labelled one before it ("" when none).
    std::optional<std::string> TargetCurrentLabel(const std::string& target);
    bool TargetPlay(const std::string& target);
    bool TargetStop(const std::string& target);
    // Runs that frame's actions in the clip, as call() does, without moving it.
    bool TargetCallFrame(const std::string& target, int frame);
    bool TargetCallLabel(const std::string& target, const std::string& label);
    // Loads a movie from the movie's folder into _levelN (N > 0) on a later
    // frame, as loadMovieNum does; false without a movie or for level 0.
    bool LoadIntoLevel(int level, const std::string& url);
    // Properties by the scripts' property numbers (0 _x, 1 _y, ... 21 _ymouse).
    std::optional<std::string> TargetGetProperty(const std::string& target, int property);
    bool TargetSetProperty(const std::string& target, int property, const std::string& value);
    std::optional<double> TargetGetPropertyNumber(const std::string& target, int property);
    bool TargetSetPropertyNumber(const std::string& target, int property, double value);

    // ExternalInterface.call is answered by this handler while the movie's
    // script waits: it gets the invoke XML request and returns the answer
    // in the same XML value form ("" for none). Without a handler calls are
    // queued as FlashCall events and answer undefined. Kept across movies;
    // ExternalInterface.available tells whether one is set.
    using FlashCallHandler = std::function<std::string(const std::string& request)>;
    void SetFlashCallHandler(FlashCallHandler handler);
    // Calls a function the movie registered with ExternalInterface.addCallback:
    // `request` is the invoke XML, the answer the result's XML value form.
    // Nothing, with `error` saying why, for a malformed request, a name no
    // callback has, or no movie.
    std::optional<std::string> CallFunction(const std::string& request, std::string& error);

    // Whether the engine is inside a frame, event or script right now (a host
    // answering ExternalInterface.call is): loading, unloading and Advance
    // must wait until it has returned.
    bool Busy() const;

    // The stage's background instead of the movie's own (0xRRGGBB); -1: the movie's.
    void SetBackgroundOverride(std::int32_t rgb);
    // How the stage fills the view and where it sits in it. Kept across movies.
    enum class ScaleMode { ShowAll, NoBorder, ExactFit, NoScale };
    void SetScaleMode(ScaleMode mode);
    // Alignment flags: 1 left, 2 right, 4 top, 8 bottom; 0 centres.
    void SetAlignment(int flags);
    // Zoom and pan within the stage as the scripting interface gives them:
    // percent 0 shows the whole stage again, 50 doubles the size, 200 halves it.
    void Zoom(int percent);
    // mode 0: pixels of the view; mode 1: percent of the part shown. Only a
    // zoomed view moves, and the part shown stays on the stage.
    void Pan(int x, int y, int mode);
    // The part of the stage to show, in twips; all zero: the whole stage.
    void SetZoomRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

private:
    struct Engine;
    class ScriptHost;
    // Runs one call into the engine. A movie the engine fails on is dropped,
    // but only once no engine call is left on the stack: a host answering
    // the movie may call back in, and the outer call must find its movie.
    template <typename Step>
    void Guard(Step step);
    // ExternalInterface.available and what script access allows, to the engine.
    void ApplyExternalInterface();

    std::unique_ptr<ScriptHost> host_;
    std::unique_ptr<Engine> engine_;
    std::vector<PlayerEvent> events_;
    bool scriptAccess_ = true;
    // Set while the user's own click or key is being handled: only then may a
    // link open in the system's handler.
    int userAction_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    FlashCallHandler flashCallHandler_;
    // Engine calls on the stack, and whether one of them failed.
    int engineDepth_ = 0;
    bool engineFailed_ = false;
    std::int32_t backgroundOverride_ = -1;
};

}  // namespace control
