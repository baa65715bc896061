#include "control/movie_player.h"

#include <algorithm>
#include <climits>
#include <cctype>
#include <exception>
#include <utility>

#include "control/frame_clock.h"
#include "swf/player/player.h"

namespace control {

namespace {

// Marks the handling of the user's own input.
class UserAction {
public:
    explicit UserAction(int& depth) : depth_(depth) { ++depth_; }
    ~UserAction() { --depth_; }
    UserAction(const UserAction&) = delete;
    UserAction& operator=(const UserAction&) = delete;

private:
    int& depth_;
};

void Fill(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes, std::uint32_t rgb) {
    const std::uint32_t pixel = 0xFF000000u | (rgb & 0xFFFFFFu);
    auto* row = reinterpret_cast<std::uint8_t*>(pixels);
    for (int y = 0; y < height; ++y, row += strideBytes) {
        auto* p = reinterpret_cast<std::uint32_t*>(row);
        for (int x = 0; x < width; ++x) p[x] = pixel;
    }
}

}  // namespace

// What the movie asks of its host is queued, not acted on, while the engine
// runs: the control hands it to its sinks once the engine has returned.
class MoviePlayer::ScriptHost final : public swf::ActionHost {
public:
    explicit ScriptHost(MoviePlayer& owner) : owner_(owner) {}
    void FSCommand(const std::string& command, const std::string& args) override {
        if (owner_.scriptAccess_) owner_.events_.push_back({PlayerEvent::Kind::FSCommand, 0, command, args});
    }
    // Without script access nothing reaches the host and the call yields undefined.
    std::string FlashCall(const std::string& request) override {
        if (!owner_.scriptAccess_) return {};
        if (!owner_.flashCallHandler_) {
            owner_.events_.push_back({PlayerEvent::Kind::FlashCall, 0, request, {}});
            return {};  // no answer: the movie's call yields undefined
        }
        // A copy: the handler may replace itself while it runs.
        const FlashCallHandler handler = owner_.flashCallHandler_;
        try {
            return handler(request);
        } catch (const std::exception&) {
            return {};  // the host failed to answer, not the movie
        }
    }
    // Pages of the movie's own are not opened; web and mail links the user
    // clicks go to the system, never a request a script makes by itself.
    void GetURL(const std::string& url, const std::string&) override {
        if (owner_.userAction_ > 0 && IsExternalLink(url)) {
            owner_.events_.push_back({PlayerEvent::Kind::OpenUrl, 0, url, {}});
        }
    }

private:
    static bool IsExternalLink(const std::string& url) {
        std::string scheme = url.substr(0, url.find(':'));
        for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return url.find(':') != std::string::npos && (scheme == "http" || scheme == "https" || scheme == "mailto");
    }

    MoviePlayer& owner_;
};

struct MoviePlayer::Engine {
    swf::Player player;
};

MoviePlayer::MoviePlayer() : host_(std::make_unique<ScriptHost>(*this)), engine_(std::make_unique<Engine>()) {
    engine_->player.SetHost(host_.get());
}

MoviePlayer::~MoviePlayer() { engine_->player.SetHost(nullptr); }

bool MoviePlayer::Load(std::span<const std::uint8_t> bytes, std::string url) {
    Unload();
    try {
        if (engine_->player.Load(bytes, std::move(url))) return true;
    } catch (const std::exception&) {}
    Unload();
    return false;
}

void MoviePlayer::Unload() {
    try {
        engine_->player.Unload();
    } catch (const std::exception&) {}
    events_.clear();
}

void MoviePlayer::SetMp3Codec(swf::sound::Mp3Codec* codec) { engine_->player.SetMp3Codec(codec); }

void MoviePlayer::MixAudio(std::span<std::int16_t> samples) {
    try {
        engine_->player.MixAudio(samples);
    } catch (const std::exception&) {
        std::fill(samples.begin(), samples.end(), std::int16_t{0});
    }
}

void MoviePlayer::SetAudioClock(bool live) { engine_->player.SetAudioClock(live); }

void MoviePlayer::SetRealTime(bool realTime) { engine_->player.SetRealTime(realTime); }

bool MoviePlayer::HasMovie() const { return engine_->player.IsLoaded(); }

void MoviePlayer::SetFileHost(swf::FileHost* files) { engine_->player.SetFileHost(files); }

void MoviePlayer::SetLogSink(LogSink sink) {
    if (!sink) {
        engine_->player.SetLogHandler(nullptr);
        return;
    }
    engine_->player.SetLogHandler([sink = std::move(sink)](swf::Player::LogKind kind, const std::string& text) {
        sink(kind == swf::Player::LogKind::Warning, text);
    });
}

double MoviePlayer::FrameRate() const {
    return HasMovie() ? PlayableFrameRate(engine_->player.FrameRate()) : kFallbackFrameRate;
}

std::uint32_t MoviePlayer::BackgroundColor() const {
    if (backgroundOverride_ >= 0) return static_cast<std::uint32_t>(backgroundOverride_);
    if (!HasMovie()) return kDefaultBackground;
    const swf::Rgba c = engine_->player.BackgroundColor();
    return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

void MoviePlayer::Advance() {
    if (!HasMovie()) return;
    Guard([&] { engine_->player.AdvanceFrame(); });
}

void MoviePlayer::Render(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes) {
    if (!pixels || width <= 0 || height <= 0) return;
    if (HasMovie()) {
        bool drawn = false;
        Guard([&] {
            swf::raster::Surface surface(pixels, width, height, strideBytes);
            engine_->player.Render(surface);
            drawn = true;
        });
        // Rendering for another size (a host's Draw) must not move the pointer's viewport.
        engine_->player.SetViewportSize(viewportWidth_, viewportHeight_);
        if (drawn) return;
    }
    Fill(pixels, width, height, strideBytes, BackgroundColor());
}

std::vector<PixelArea> MoviePlayer::RenderChanges(std::uint32_t* pixels, int width, int height,
                                                  std::ptrdiff_t strideBytes) {
    if (!pixels || width <= 0 || height <= 0) return {};
    std::vector<PixelArea> areas;
    bool drawn = false;
    Guard([&] {
        swf::raster::Surface surface(pixels, width, height, strideBytes);
        for (const swf::raster::PixelRect& r : engine_->player.RenderChanges(surface)) {
            areas.push_back({r.left, r.top, r.right, r.bottom});
        }
        drawn = true;
    });
    if (drawn) return areas;
    // The movie failed and was dropped: the plain background, everywhere.
    engine_->player.ForgetRenderedFrame();
    Fill(pixels, width, height, strideBytes, BackgroundColor());
    return {{0, 0, width, height}};
}

void MoviePlayer::ForgetRenderedFrame() { engine_->player.ForgetRenderedFrame(); }

void MoviePlayer::SetViewport(int width, int height) {
    viewportWidth_ = width;
    viewportHeight_ = height;
    engine_->player.SetViewportSize(width, height);
}

void MoviePlayer::PointerMove(int x, int y) {
    if (HasMovie()) Guard([&] { engine_->player.PointerMove(x, y); });
}

void MoviePlayer::PointerDown(int x, int y, int clicks) {
    UserAction action(userAction_);
    if (HasMovie()) Guard([&] { engine_->player.PointerDown(x, y, clicks); });
}

void MoviePlayer::PointerUp(int x, int y) {
    UserAction action(userAction_);
    if (HasMovie()) Guard([&] { engine_->player.PointerUp(x, y); });
}

bool MoviePlayer::PointerOverButton() const { return HasMovie() && engine_->player.PointerOverButton(); }

bool MoviePlayer::MouseHidden() const { return HasMovie() && engine_->player.MouseHidden(); }

void MoviePlayer::KeyDown(int keyCode, int charCode) {
    if (HasMovie()) Guard([&] { engine_->player.KeyDown(keyCode, charCode); });
}

void MoviePlayer::KeyUp(int keyCode, int charCode) {
    if (HasMovie()) Guard([&] { engine_->player.KeyUp(keyCode, charCode); });
}

bool MoviePlayer::PointerOverLink() const { return HasMovie() && engine_->player.PointerOverLink(); }

CursorShape MoviePlayer::Cursor() const {
    if (!HasMovie()) return CursorShape::Arrow;
    switch (engine_->player.Cursor()) {
    case swf::PointerCursor::Hand: return CursorShape::Hand;
    case swf::PointerCursor::IBeam: return CursorShape::IBeam;
    case swf::PointerCursor::Arrow: break;
    }
    return CursorShape::Arrow;
}

bool MoviePlayer::TextKeyDown(int keyCode, bool shift, bool control) {
    UserAction action(userAction_);
    bool taken = false;
    if (HasMovie()) Guard([&] { taken = engine_->player.TextKeyDown(keyCode, shift, control); });
    return taken;
}

bool MoviePlayer::CharacterTyped(char32_t c) {
    UserAction action(userAction_);
    bool taken = false;
    if (HasMovie()) Guard([&] { taken = engine_->player.TextInput(c); });
    return taken;
}

bool MoviePlayer::HasTextFocus() const { return HasMovie() && engine_->player.HasTextFocus(); }

void MoviePlayer::SetClipboard(swf::Clipboard* clipboard) { engine_->player.SetClipboard(clipboard); }

void MoviePlayer::SetCaretBlinkTime(double ms) { engine_->player.SetCaretBlinkTime(ms); }

bool MoviePlayer::UpdateCaretBlink(double nowMs) { return HasMovie() && engine_->player.UpdateCaretBlink(nowMs); }

double MoviePlayer::MillisecondsToCaretBlink() const {
    return HasMovie() ? engine_->player.MillisecondsToCaretBlink() : -1;
}

void MoviePlayer::SetFontProvider(swf::fonts::DeviceFontProvider* provider) {
    engine_->player.SetFontProvider(provider);
}

template <typename Step>
void MoviePlayer::Guard(Step step) {
    // A movie the engine fails on is dropped; the background stays.
    ++engineDepth_;
    try {
        step();
    } catch (const std::exception&) {
        engineFailed_ = true;
    }
    --engineDepth_;
    if (engineDepth_ == 0 && std::exchange(engineFailed_, false)) Unload();
}

void MoviePlayer::SetScriptAccess(bool allowed) {
    scriptAccess_ = allowed;
    ApplyExternalInterface();
}

void MoviePlayer::ApplyExternalInterface() {
    engine_->player.SetExternalInterface(scriptAccess_ && flashCallHandler_ != nullptr, scriptAccess_);
}

std::vector<PlayerEvent> MoviePlayer::TakeEvents() { return std::exchange(events_, {}); }

// ---- What hosts ask of the movie through the control's scripting interface ----

namespace {

// Hosts count frames from 0 as the engine does; anything past either end is clamped.
std::uint32_t ClampFrame(int frame, std::uint32_t count) {
    if (frame <= 0 || count == 0) return 0;
    return std::min(static_cast<std::uint32_t>(frame), count - 1);
}

}  // namespace

int MoviePlayer::TotalFrames() const {
    return HasMovie() ? static_cast<int>(std::min<std::uint32_t>(engine_->player.FrameCount(), INT_MAX)) : 0;
}

int MoviePlayer::CurrentFrame() const {
    return HasMovie() ? static_cast<int>(std::min<std::uint32_t>(engine_->player.CurrentFrame(), INT_MAX)) : 0;
}

bool MoviePlayer::IsPlaying() const { return HasMovie() && engine_->player.IsPlaying(); }

void MoviePlayer::Play() {
    if (HasMovie()) Guard([&] { engine_->player.Play(); });
}

void MoviePlayer::Stop() {
    if (HasMovie()) Guard([&] { engine_->player.Stop(); });
}

void MoviePlayer::Rewind() { GotoFrame(0); }

void MoviePlayer::Back() { GotoFrame(CurrentFrame() - 1); }

void MoviePlayer::Forward() { GotoFrame(CurrentFrame() + 1); }

void MoviePlayer::GotoFrame(int frame) {
    if (!HasMovie()) return;
    const std::uint32_t target = ClampFrame(frame, engine_->player.FrameCount());
    Guard([&] { engine_->player.TargetGotoFrame("/", target); });
}

void MoviePlayer::SetLoop(bool loop) { engine_->player.SetLoop(loop); }

void MoviePlayer::SetAutoPlay(bool play) { engine_->player.SetAutoPlay(play); }

int MoviePlayer::PercentLoaded() const { return HasMovie() ? 100 : 0; }

std::optional<std::string> MoviePlayer::GetVariable(const std::string& path) {
    std::optional<std::string> value;
    if (HasMovie()) Guard([&] { value = engine_->player.GetVariable(path); });
    return value;
}

bool MoviePlayer::SetVariable(const std::string& path, const std::string& value) {
    bool set = false;
    if (HasMovie()) Guard([&] { set = engine_->player.SetVariable(path, value); });
    return set;
}

void MoviePlayer::SetFlashVars(std::string vars) { engine_->player.SetFlashVars(std::move(vars)); }

bool MoviePlayer::TargetGotoFrame(const std::string& target, int frame) {
    bool found = false;
    if (HasMovie() && frame >= 0)
        Guard([&] { found = engine_->player.TargetGotoFrame(target, static_cast<std::uint32_t>(frame)); });
    return found;
}

bool MoviePlayer::TargetGotoLabel(const std::string& target, const std::string& label) {
    bool found = false;
    if (HasMovie()) Guard([&] { found = engine_->player.TargetGotoLabel(target, label); });
    return found;
}

std::optional<int> MoviePlayer::TargetCurrentFrame(const std::string& target) {
    std::optional<std::uint32_t> frame;
    if (HasMovie()) Guard([&] { frame = engine_->player.TargetCurrentFrame(target); });
    if (!frame) return std::nullopt;
    return static_cast<int>(std::min<std::uint32_t>(*frame, INT_MAX));
}

std::optional<std::string> MoviePlayer::TargetCurrentLabel(const std::string& target) {
    std::optional<std::string> label;
    if (HasMovie()) Guard([&] { label = engine_->player.TargetCurrentLabel(target); });
    return label;
}

bool MoviePlayer::TargetPlay(const std::string& target) {
    bool found = false;
    if (HasMovie()) Guard([&] { found = engine_->player.TargetPlay(target); });
    return found;
}

bool MoviePlayer::TargetStop(const std::string& target) {
    bool found = false;
    if (HasMovie()) Guard([&] { found = engine_->player.TargetStop(target); });
    return found;
}

bool MoviePlayer::TargetCallFrame(const std::string& target, int frame) {
    bool called = false;
    if (HasMovie() && frame >= 0)
        Guard([&] { called = engine_->player.TargetCallFrame(target, static_cast<std::uint32_t>(frame)); });
    return called;
}

bool MoviePlayer::LoadIntoLevel(int level, const std::string& url) {
    bool queued = false;
    if (HasMovie()) Guard([&] { queued = engine_->player.LoadIntoLevel(level, url); });
    return queued;
}

bool MoviePlayer::TargetCallLabel(const std::string& target, const std::string& label) {
    bool called = false;
    if (HasMovie()) Guard([&] { called = engine_->player.TargetCallLabel(target, label); });
    return called;
}

std::optional<std::string> MoviePlayer::TargetGetProperty(const std::string& target, int property) {
    std::optional<std::string> value;
    if (HasMovie()) Guard([&] { value = engine_->player.TargetPropertyText(target, property); });
    return value;
}

bool MoviePlayer::TargetSetProperty(const std::string& target, int property, const std::string& value) {
    bool set = false;
    if (HasMovie()) Guard([&] { set = engine_->player.SetTargetProperty(target, property, value); });
    return set;
}

std::optional<double> MoviePlayer::TargetGetPropertyNumber(const std::string& target, int property) {
    std::optional<double> value;
    if (HasMovie()) Guard([&] { value = engine_->player.TargetPropertyNumber(target, property); });
    return value;
}

bool MoviePlayer::TargetSetPropertyNumber(const std::string& target, int property, double value) {
    bool set = false;
    if (HasMovie()) Guard([&] { set = engine_->player.SetTargetProperty(target, property, value); });
    return set;
}

void MoviePlayer::SetFlashCallHandler(FlashCallHandler handler) {
    flashCallHandler_ = std::move(handler);
    ApplyExternalInterface();
}

std::optional<std::string> MoviePlayer::CallFunction(const std::string& request, std::string& error) {
    error.clear();
    if (!HasMovie()) {
        error = "no movie is loaded";
        return std::nullopt;
    }
    if (!scriptAccess_) {
        error = "the movie's script access does not allow calls from the host";
        return std::nullopt;
    }
    std::optional<std::string> result;
    Guard([&] { result = engine_->player.CallFunction(request, error); });
    if (!result && error.empty()) error = "the movie failed and was unloaded";
    return result;
}

bool MoviePlayer::Busy() const { return engineDepth_ > 0 || engine_->player.Busy(); }

void MoviePlayer::SetBackgroundOverride(std::int32_t rgb) {
    backgroundOverride_ = rgb < 0 ? -1 : (rgb & 0xFFFFFF);
    if (backgroundOverride_ < 0) {
        engine_->player.SetBackgroundOverride(std::nullopt);
        return;
    }
    const auto channel = [&](int shift) { return static_cast<std::uint8_t>((backgroundOverride_ >> shift) & 0xFF); };
    engine_->player.SetBackgroundOverride(swf::Rgba{channel(16), channel(8), channel(0), 255});
}

void MoviePlayer::SetScaleMode(ScaleMode mode) {
    switch (mode) {
    case ScaleMode::ShowAll: engine_->player.SetScaleMode("showAll"); return;
    case ScaleMode::NoBorder: engine_->player.SetScaleMode("noBorder"); return;
    case ScaleMode::ExactFit: engine_->player.SetScaleMode("exactFit"); return;
    case ScaleMode::NoScale: engine_->player.SetScaleMode("noScale"); return;
    }
}

void MoviePlayer::SetAlignment(int flags) {
    // As Stage.align writes it: the edges the stage keeps to.
    std::string align;
    if (flags & 4) align += 'T';
    if (flags & 8) align += 'B';
    if (flags & 1) align += 'L';
    if (flags & 2) align += 'R';
    engine_->player.SetAlignment(align);
}

void MoviePlayer::Zoom(int percent) { engine_->player.ZoomView(percent); }

void MoviePlayer::Pan(int x, int y, int mode) { engine_->player.PanView(x, y, mode == 1); }

void MoviePlayer::SetZoomRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        engine_->player.SetViewRect(std::nullopt);
        return;
    }
    swf::Rect rect;
    rect.xMin = left;
    rect.yMin = top;
    rect.xMax = right;
    rect.yMax = bottom;
    engine_->player.SetViewRect(rect);
}

}  // namespace control
