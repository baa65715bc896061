#include "control/movie_player.h"

#include <algorithm>
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
    std::string FlashCall(const std::string& request) override {
        if (owner_.scriptAccess_) owner_.events_.push_back({PlayerEvent::Kind::FlashCall, 0, request, {}});
        return {};  // no answer: the movie's call yields undefined
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
    try {
        step();
    } catch (const std::exception&) {
        Unload();
    }
}

void MoviePlayer::SetScriptAccess(bool allowed) { scriptAccess_ = allowed; }

std::vector<PlayerEvent> MoviePlayer::TakeEvents() { return std::exchange(events_, {}); }

}  // namespace control
