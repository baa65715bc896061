#include "swf/player/player.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <thread>

#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/player/audio/script_sounds.h"
#include "swf/player/fields/focus.h"
#include "swf/player/fields/focus_selection.h"
#include "swf/player/render/helper_thread.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/loading/movie_url.h"
#include "swf/player/fields/clipboard.h"
#include "swf/player/render/renderer.h"
#include "swf/player/render/stage_scale.h"
#include "swf/base/sanitizer.h"
#include "swf/player/stage.h"
#include "swf/player/fields/text_extent.h"
#include "swf/player/loading/content_loader.h"
#include "swf/player/media/net_streams.h"
#include "swf/player/media/stream_events.h"
#include "swf/actions/vm.h"
#include "swf/player/fields/field_binding.h"
#include "swf/player/scripting/vm_action_runner.h"

namespace swf {

namespace {

// The drawing quality _quality names.
Renderer::Quality QualityNamed(const std::string& quality) {
    if (quality == "LOW") return Renderer::Quality::Low;
    if (quality == "MEDIUM") return Renderer::Quality::Medium;
    return quality == "BEST" ? Renderer::Quality::Best : Renderer::Quality::High;
}
constexpr double kDefaultFrameRate = 12;
// Rectangles a partial redraw is cut into at most; each costs a walk of the movie.
constexpr std::size_t kMaxRedrawAreas = 4;
// Beyond this share of the surface a partial redraw costs about as much as a whole one.
constexpr double kFullRedrawShare = 0.6;
// Areas smaller than this are drawn on one thread: waking the helper and
// walking the movie twice would cost more than the second core saves.
constexpr long long kMinBandedPixels = 256 * 256;
// Wall time all script work of one frame may take: the window must keep
// painting and answering input whatever the movie's scripts do. Builds with
// the address sanitizer run scripts many times slower, and their tests share
// the machine: the same work gets far more time there.
constexpr double kFrameScriptMilliseconds = base::kAddressSanitizer ? 200 * 20 : 200;
}  // namespace

// Connects each field the stage makes to the scripts and the focus.
class FieldWiring : public FieldRegistry {
public:
    FieldWiring(FocusManager& focus, Stage& stage, VmActionRunner* runner)
        : focus_(focus), stage_(stage), runner_(runner) {}
    void FieldCreated(EditTextInstance& field) override {
        if (runner_ != nullptr) {
            BindFieldVariable(field, *runner_);
            RaiseChangeEvents(field, stage_, *runner_);
        }
    }
    void FieldDestroyed(EditTextInstance& field) override { focus_.FieldDestroyed(field); }

private:
    FocusManager& focus_;
    Stage& stage_;
    VmActionRunner* runner_;
};

// What the focus reads of the movie's scripts, through the runner's VM.
class FocusScriptReader : public FocusScripts {
public:
    FocusScriptReader(Stage& stage, VmActionRunner& runner) : stage_(stage), runner_(runner) {}
    std::optional<bool> Flag(DisplayObject& object, const char* name) override {
        const actions::Value* value = Member(object, name);
        if (value == nullptr || !value->IsBool()) return std::nullopt;
        return value->AsBool();
    }
    std::optional<double> Number(DisplayObject& object, const char* name) override {
        const actions::Value* value = Member(object, name);
        if (value == nullptr || !value->IsNumber() || std::isnan(value->AsNumber())) return std::nullopt;
        return value->AsNumber();
    }
    bool Enabled(DisplayObject& object) override {
        DisplayTarget* face = ScriptFace(object);
        return face == nullptr || runner_.ObjectEnabled(*face);
    }
    bool ActsAsButton(MovieClip& clip) override { return stage_.ActsAsButton(clip); }
    bool ShowsFocusRect(DisplayObject& object) override {
        // The object's own _focusrect, when a script set one, over the movie's.
        return object.Script().focusRect.value_or(runner_.Vm().displaySettings().focusRect);
    }

private:
    // The member on the object or a prototype; plain lookups run no getters,
    // and the walk is bounded, as prototype chains may loop.
    const actions::Value* Member(DisplayObject& object, const char* name) {
        DisplayTarget* face = ScriptFace(object);
        if (face == nullptr) return nullptr;
        actions::Vm& vm = runner_.Vm();
        actions::Object* o = vm.ObjectFor(face);
        for (int links = 0; o != nullptr && links < 256; o = o->proto, ++links) {
            if (actions::Property* p = o->FindProperty(name, vm.swfVersion() <= 6)) return &p->value;
        }
        return nullptr;
    }

    Stage& stage_;
    VmActionRunner& runner_;
};

struct Player::Session {
    ~Session() {
        // Clips tell the runner when they go, so the stage goes first.
        bandRenderer.reset();
        renderer.reset();
        stage.reset();
        runner.reset();
    }
    std::shared_ptr<const MovieDefinition> movie;
    std::unique_ptr<VmActionRunner> runner;
    // Declared before the stage, so that they outlive the fields it destroys.
    std::unique_ptr<FocusManager> focus;
    std::unique_ptr<FocusSelection> focusSelection;
    std::unique_ptr<FocusScriptReader> focusScripts;
    // Where the focus rectangle goes in the frame being drawn (stage twips).
    std::optional<Rect> focusRect;
    std::unique_ptr<TextExtentMeasurer> textMeasurer;
    std::unique_ptr<ScriptSounds> scriptSounds;
    std::unique_ptr<NetStreams> netStreams;
    std::unique_ptr<FieldWiring> fieldWiring;
    std::unique_ptr<Stage> stage;
    std::unique_ptr<Renderer> renderer;
    // Draws the other band of a frame split in two, on the helper thread.
    std::unique_ptr<Renderer> bandRenderer;
    // Loads that failed, and work left out for want of memory.
    std::vector<std::string> loadWarnings;
    bool outOfMemoryTold = false;
};

// The outermost scope also opens the movie's script budget for what runs
// inside it: a frame tick, an input event, a jump asked for by the host.
class Player::BusyScope {
public:
    explicit BusyScope(Player& player) : player_(player) {
        if (player_.busy_++ == 0 && player_.session_) {
            runner_ = player_.session_->runner.get();
            runner_->BeginFrame();
        }
    }
    ~BusyScope() {
        if (--player_.busy_ != 0) return;
        // A session replaced meanwhile is still kept in retired_ here.
        if (runner_ != nullptr) runner_->EndFrame();
        player_.PassClipboardText();
        player_.PlaySoundRequests();
        player_.retired_.clear();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Player& player_;
    VmActionRunner* runner_ = nullptr;
};

template <typename Work>
bool Player::Outlast(const char* what, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {}
    try {
        if (session_ && !session_->outOfMemoryTold) {
            session_->outOfMemoryTold = true;
            const std::string text =
                std::string("not enough memory to ") + what + ": it was left out and the movie goes on";
            session_->loadWarnings.push_back(text);
            if (log_) log_(LogKind::Warning, text);
        }
    } catch (const std::bad_alloc&) {
        // Not even the warning fits; the movie still goes on.
    }
    return false;
}

Player::Player() : drawThreads_(std::thread::hardware_concurrency() >= 2 ? 2 : 1) {}

Player::~Player() {
    session_.reset();
    retired_.clear();
}

actions::Vm* Player::ScriptVm() const { return session_ ? &session_->runner->Vm() : nullptr; }

Stage* Player::CurrentStage() const { return session_ ? session_->stage.get() : nullptr; }

void Player::Unload() {
    ++movieSerial_;
    sounds_.Reset();
    if (!session_) return;
    if (busy_ > 0) {
        retired_.push_back(std::move(session_));
    } else {
        session_.reset();
    }
}

bool Player::Load(std::span<const std::uint8_t> bytes, std::string url) {
    BusyScope busy(*this);
    Unload();
    error_.clear();
    auto session = std::make_unique<Session>();
    try {
        session->movie = ParseMovie(bytes, std::move(url));
    } catch (const ParseError& e) {
        error_ = e.what();
        return false;
    } catch (const std::bad_alloc&) {
        error_ = "not enough memory to load the movie";
        return false;
    } catch (const std::exception& e) {
        error_ = std::string("cannot load the movie: ") + e.what();
        return false;
    }
    session->stage = std::make_unique<Stage>(session->movie);
    session->stage->SetFontProvider(fontProvider_ != nullptr ? &serializedFonts_ : nullptr);
    session->renderer = std::make_unique<Renderer>(session->movie->dictionary);
    session->renderer->SetFonts(&session->stage->Fonts());
    session->bandRenderer = std::make_unique<Renderer>(session->movie->dictionary);
    session->bandRenderer->SetFonts(&session->stage->Fonts());
    session->bandRenderer->ReadNotesOf(session->renderer.get());
    actions::VmLimits limits;
    limits.maxMilliseconds = scriptTimeLimit_ == 0 ? kFrameScriptMilliseconds : std::max(0.0, scriptTimeLimit_);
    if (scriptStepLimit_ != 0) limits.maxActions = scriptStepLimit_;
    if (scriptMemoryLimit_ != 0) limits.maxMemoryBytes = scriptMemoryLimit_;
    session->runner = std::make_unique<VmActionRunner>(session->movie->header.version, session->stage->Root(), limits);
    session->runner->Vm().ApplyScriptLimits(session->movie->scriptLimits.maxRecursionDepth,
                                            session->movie->scriptLimits.timeoutSeconds);
    session->runner->SetHost(host_);
    session->runner->Vm().SetTraceHandler([this](const std::string& line) {
        if (log_) log_(LogKind::Trace, line);
    });
    session->runner->SetWarningHandler([this](const std::string& warning) {
        if (log_) log_(LogKind::Warning, warning);
    });
    session->stage->SetActionRunner(session->runner.get());
    session->focus = std::make_unique<FocusManager>(*session->stage);
    session->focus->SetClipboard(clipboard_);
    session->focusScripts = std::make_unique<FocusScriptReader>(*session->stage, *session->runner);
    session->focus->SetScripts(session->focusScripts.get());
    {
        Stage* stage = session->stage.get();
        VmActionRunner* runner = session->runner.get();
        FocusManager* focus = session->focus.get();
        session->focus->SetPressHandler([stage](DisplayObject& object) { stage->PressByKey(object); });
        stage->SetObjectGoneListener([focus](DisplayObject& object) { focus->ObjectDestroyed(object); });
        session->focus->SetLinkHandler(
            [stage, runner](EditTextInstance& field, const std::string& url, const std::string& target) {
                FollowLink(*stage, *runner, field, url, target);
            });
    }
    session->fieldWiring = std::make_unique<FieldWiring>(*session->focus, *session->stage, session->runner.get());
    session->focusSelection = std::make_unique<FocusSelection>(*session->focus);
    session->runner->Vm().SetSelectionHost(session->focusSelection.get());
    session->textMeasurer = std::make_unique<TextExtentMeasurer>(session->stage->Fonts());
    session->runner->Vm().SetTextMeasurer(session->textMeasurer.get());
    session->scriptSounds = std::make_unique<ScriptSounds>(sounds_, session->movie);
    session->runner->Vm().SetSoundHost(session->scriptSounds.get());
    session->netStreams = std::make_unique<NetStreams>(sounds_, files_, sounds_.Mp3Codec());
    session->runner->Vm().SetNetStreamHost(session->netStreams.get());
    {
        NetStreams* streams = session->netStreams.get();
        session->stage->SetStreamFeeds([streams](std::uint32_t stream) { return streams->FeedOf(stream); });
    }
    RaiseFocusEvents(*session->focus, *session->stage, *session->runner);
    session->stage->SetFieldObserver(session->fieldWiring.get());
    session_ = std::move(session);
    sounds_.SetFrameRate(FrameRate());
    UpdateStageSize();
    ++movieSerial_;
    lastStreamTick_.reset();
    if (log_) {
        for (const std::string& warning : session_->movie->warnings) log_(LogKind::Warning, warning);
    }
    zoom_.reset();
    ApplyHostSettings();
    // The first frame's actions, on a budget of their own.
    VmActionRunner& runner = *session_->runner;
    runner.BeginFrame();
    session_->stage->RunQueuedActions();
    // The first frame drawn shows what those actions set in bound variables.
    session_->stage->RefreshFields();
    runner.EndFrame();
    return true;
}

bool Player::RunForHost(const char* what, const std::function<void(Stage&, VmActionRunner&)>& work) {
    if (!session_) return false;
    BusyScope busy(*this);
    return Outlast(what, [&] {
        Session* session = session_.get();
        session->stage->RunScript([&] { work(*session->stage, *session->runner); });
        // Frames entered and calls made queue their actions; nested in a
        // running block, the outer loop runs them.
        if (Stage* stage = CurrentStage()) stage->RunQueuedActions();
    });
}

bool Player::LoadFile(const std::string& path) {
    const auto fail = [&](const std::string& why) {
        Unload();
        error_ = why + path;
        return false;
    };
    // A folder opens as a stream on some systems and then throws on the first read.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return fail(ec ? "cannot open movie file: " : "not a movie file: ");
    std::ifstream file(path, std::ios::binary);
    if (!file) return fail("cannot open movie file: ");
    std::vector<std::uint8_t> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return fail("cannot read movie file: ");
    }
    if (file.bad()) return fail("cannot read movie file: ");
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return Load(bytes, FileUrl(ec ? path : absolute.string()));
}

std::vector<std::string> Player::Warnings() const {
    if (!session_) return {};
    std::vector<std::string> all = session_->movie->warnings;
    for (std::string& w : session_->runner->Warnings()) all.push_back(std::move(w));
    all.insert(all.end(), session_->loadWarnings.begin(), session_->loadWarnings.end());
    return all;
}

double Player::DefaultScriptMilliseconds() { return kFrameScriptMilliseconds; }

std::uint64_t Player::ScriptSteps() const { return session_ ? session_->runner->Vm().StepsUsed() : 0; }

std::size_t Player::ScriptMemoryBytes() const { return session_ ? session_->runner->Vm().heap().Bytes() : 0; }

double Player::FrameRate() const {
    if (!session_ || session_->movie->header.frameRate <= 0) return kDefaultFrameRate;
    return session_->movie->header.frameRate;
}

Rect Player::StageRect() const { return session_ ? session_->movie->header.frameSize : Rect{}; }

Rgba Player::BackgroundColor() const {
    if (backgroundOverride_) return *backgroundOverride_;
    if (!session_ || !session_->movie->background) return {255, 255, 255, 255};
    return *session_->movie->background;
}

int Player::Version() const { return session_ ? session_->movie->header.version : 0; }

MovieClip* Player::Root() { return session_ ? &session_->stage->Root() : nullptr; }

std::uint32_t Player::FrameCount() const { return session_ ? session_->stage->Root().FrameCount() : 0; }

std::uint32_t Player::CurrentFrame() const { return session_ ? session_->stage->Root().CurrentFrame() : 0; }

bool Player::IsPlaying() const { return session_ && session_->stage->Root().IsPlaying(); }

void Player::Play() {
    if (session_) session_->stage->Root().Play();
    PlaySoundRequests();
}

void Player::Stop() {
    if (session_) session_->stage->Root().Stop();
    PlaySoundRequests();
}

void Player::GotoFrame(std::uint32_t frame) {
    BusyScope busy(*this);
    Outlast("go to a frame", [&] {
        Stage* stage = CurrentStage();
        if (stage == nullptr) return;
        stage->Root().GotoFrame(frame);
        stage->RunQueuedActions();
    });
}

void Player::AdvanceFrame() {
    BusyScope busy(*this);
    Outlast("play a frame", [&] {
        if (session_) {
            Session* session = session_.get();
            const std::size_t before = session->loadWarnings.size();
            CompleteLoads(*session->stage, *session->runner, files_, &sounds_, session->loadWarnings);
            // A loading callback may have replaced the session; the old one is kept until this call returns.
            for (std::size_t i = before; log_ && i < session->loadWarnings.size(); ++i)
                log_(LogKind::Warning, session->loadWarnings[i]);
        }
        // A loading callback may have replaced the movie through the host.
        Stage* stage = CurrentStage();
        if (stage != nullptr) {
            for (int i = 0, frames = FramesToAdvance(); i < frames; ++i) {
                stage->Advance();
                // The frame's stream block may start the clock the next step follows.
                PlaySoundRequests();
            }
        }
        if (session_) {
            AdvanceStreams();
            session_->runner->AdvanceTimers();
            session_->runner->SoundsFinished(sounds_.TakeFinished());
        }
    });
}

int Player::FramesToAdvance() {
    sounds_.FeedStreams();
    Stage* stage = CurrentStage();
    if (!audioClock_ || stage == nullptr) return 1;
    MovieClip& root = stage->Root();
    const std::optional<double> heard = sounds_.StreamFrame(&root);
    if (!heard) return 1;
    // The timeline shows the frame its stream sound has reached: it waits
    // while the sound is behind and catches up when drawing fell behind
    // (every frame passed still runs its actions).
    const double ahead = std::floor(*heard) - root.CurrentFrame();
    if (ahead < 0) return 0;
    return static_cast<int>(std::clamp(ahead, 0.0, static_cast<double>(kMaxStreamCatchUp)));
}

void Player::AdvanceStreams() {
    // In real time, streams keep to the wall clock (or their sound); otherwise
    // each tick is one frame's time, so that what is drawn at a tick is always the same.
    double elapsed = 1.0 / FrameRate();
    if (realTime_ || audioClock_) {
        const auto now = std::chrono::steady_clock::now();
        if (lastStreamTick_) elapsed = std::chrono::duration<double>(now - *lastStreamTick_).count();
        lastStreamTick_ = now;
    }
    session_->netStreams->Advance(elapsed, audioClock_);
    DeliverStreamEvents(*session_->netStreams, *session_->runner);
}

std::uint64_t Player::KeptLayerRedraws() const { return session_ ? session_->renderer->KeptLayerRedraws() : 0; }

void Player::Render(raster::Surface& surface) {
    SetViewportSize(surface.width(), surface.height());
    Outlast("draw a frame", [&] {
        if (session_) session_->focusRect = session_->focus->FocusRectBounds();
        DrawFrame(surface, nullptr);
    });
}

std::vector<raster::PixelRect> Player::RenderChanges(raster::Surface& surface) {
    std::vector<raster::PixelRect> drawn;
    // A frame left half drawn is drawn whole next time.
    if (!Outlast("draw a frame", [&] { drawn = DrawChanges(surface); })) rendered_.valid = false;
    return drawn;
}

std::vector<raster::PixelRect> Player::DrawChanges(raster::Surface& surface) {
    SetViewportSize(surface.width(), surface.height());
    const raster::PixelRect whole{0, 0, surface.width(), surface.height()};
    std::vector<DrawnItem> items;
    if (session_) {
        // Found once here: both bands of the frame read it.
        session_->focusRect = session_->focus->FocusRectBounds();
        // A walk that draws nothing and notes what each object would draw.
        raster::Surface nothing;
        const raster::CoverageMask noStage;
        recorder_.Clear();
        session_->renderer->SetRecorder(&recorder_);
        DrawMovie(*session_->renderer, nothing, surface.width(), surface.height(), &noStage);
        session_->renderer->SetRecorder(nullptr);
        session_->renderer->EndRecording();
        items = recorder_.Take();
    }
    const bool comparable = rendered_.valid && rendered_.width == surface.width() &&
                            rendered_.height == surface.height() && rendered_.movieSerial == movieSerial_ &&
                            rendered_.background == BackgroundColor() && rendered_.stage == StageRect() &&
                            rendered_.view == ViewMatrix(surface.width(), surface.height());
    std::vector<raster::PixelRect> areas;
    bool full = !comparable;
    if (comparable) {
        areas = MergeAreas(ChangedAreas(rendered_.items, items), kMaxRedrawAreas);
        long long total = 0;
        for (raster::PixelRect& area : areas) {
            area = area.Intersected(whole);
            total += area.Area();
        }
        std::erase_if(areas, [](const raster::PixelRect& r) { return r.empty(); });
        full = static_cast<double>(total) > kFullRedrawShare * static_cast<double>(whole.Area());
    }
    rendered_ = {true,
                 surface.width(),
                 surface.height(),
                 movieSerial_,
                 BackgroundColor(),
                 StageRect(),
                 ViewMatrix(surface.width(), surface.height()),
                 std::move(items)};
    // The layers kept at the walk are this frame's.
    struct KeptLayers {
        Session* session;
        explicit KeptLayers(Session* s) : session(s) { Use(true); }
        ~KeptLayers() { Use(false); }
        void Use(bool use) {
            if (session == nullptr) return;
            session->renderer->UseKeptLayers(use);
            session->bandRenderer->UseKeptLayers(use);
        }
    } keptLayers(session_.get());
    if (full) {
        DrawFrame(surface, nullptr);
        return whole.empty() ? std::vector<raster::PixelRect>{} : std::vector<raster::PixelRect>{whole};
    }
    for (const raster::PixelRect& area : areas) DrawFrame(surface, &area);
    return areas;
}

void Player::DrawFrame(raster::Surface& surface, const raster::PixelRect* area) {
    const raster::PixelRect whole{0, 0, surface.width(), surface.height()};
    const raster::PixelRect target = area != nullptr ? area->Intersected(whole) : whole;
    // Made before any band is drawn: both read it.
    const raster::CoverageMask* stageMask = session_ ? &StageMask(surface.width(), surface.height()) : nullptr;
    if (drawThreads_ < 2 || !session_ || target.Area() < kMinBandedPixels) {
        DrawArea(surface, area, stageMask, session_ ? session_->renderer.get() : nullptr);
        return;
    }
    // Two bands of rows, one per thread. Each walks the whole movie, drawing
    // only its own pixels; they share nothing that either of them changes.
    if (!helper_) helper_ = std::make_unique<HelperThread>();
    ++bandedAreas_;
    const int middle = target.top + (target.bottom - target.top) / 2;
    const raster::PixelRect top{target.left, target.top, target.right, middle};
    const raster::PixelRect bottom{target.left, middle, target.right, target.bottom};
    helper_->RunBeside([&] { DrawArea(surface, &top, stageMask, session_->bandRenderer.get()); },
                       [&] { DrawArea(surface, &bottom, stageMask, session_->renderer.get()); });
}

void Player::DrawArea(raster::Surface& surface, const raster::PixelRect* area, const raster::CoverageMask* stageMask,
                      Renderer* renderer) {
    const Rgba bg = BackgroundColor();
    if (area == nullptr) {
        surface.Clear({bg.r, bg.g, bg.b, bg.a});
    } else {
        const std::uint32_t pixel = raster::Premultiply({bg.r, bg.g, bg.b, bg.a});
        for (int y = area->top; y < area->bottom; ++y) {
            std::fill(surface.row(y) + area->left, surface.row(y) + area->right, pixel);
        }
    }
    if (renderer == nullptr) return;
    renderer->SetArea(area);
    DrawMovie(*renderer, surface, surface.width(), surface.height(), stageMask);
    renderer->SetArea(nullptr);
}

const raster::CoverageMask& Player::StageMask(int width, int height) {
    const Rect stage = StageRect();
    const Matrix toPixels = ViewMatrix(width, height);
    if (stageMask_.width() == width && stageMask_.height() == height && stageMaskStage_ == stage &&
        stageMaskView_ == toPixels) {
        return stageMask_;
    }
    // Content outside the stage stays hidden behind the margins.
    stageMask_ = raster::CoverageMask(width, height);
    stageMaskStage_ = stage;
    stageMaskView_ = toPixels;
    raster::Path stagePath;
    stagePath.AddRect(stage.xMin, stage.yMin, stage.Width(), stage.Height());
    raster::DrawOptions options;
    options.matrix = {toPixels.a, toPixels.b, toPixels.c, toPixels.d, toPixels.tx, toPixels.ty};
    raster::FillMask(stageMask_, stagePath, raster::FillRule::NonZero, options);
    return stageMask_;
}

void Player::DrawMovie(Renderer& renderer, raster::Surface& surface, int width, int height,
                       const raster::CoverageMask* stageMask) {
    const Matrix toPixels = ViewMatrix(width, height);
    renderer.SetQuality(QualityNamed(session_->runner->Vm().displaySettings().quality));
    // Each clip draws text with its own movie's fonts (level 0 may hold a loaded movie).
    renderer.DrawClip(surface, session_->stage->Root(), toPixels, ColorTransform{}, stageMask);
    for (const auto& [level, clip] : session_->stage->Levels()) {
        renderer.DrawClip(surface, *clip, toPixels * clip->GetPlacement().matrix, clip->GetPlacement().colorTransform,
                          stageMask);
    }
    if (session_->focusRect) renderer.DrawFocusRect(surface, *session_->focusRect, toPixels);
}

Matrix Player::ViewMatrix(int width, int height) const {
    ScaleMode mode = ScaleMode::ShowAll;
    std::string align;
    if (session_) {
        const actions::InputState& input = session_->runner->Vm().input();
        mode = ParseScaleMode(input.scaleMode);
        align = input.align;
    }
    const Matrix base = StageMatrix(StageRect(), width, height, mode, align);
    const Rect stage = StageRect();
    if (!zoom_ || stage.Width() <= 0 || stage.Height() <= 0) return base;
    // Zoomed: the area's centre goes where the stage's centre is drawn,
    // enlarged until the area fills the stage's place (its aspect kept).
    const double m = std::min(stage.Width() / zoom_->width, stage.Height() / zoom_->height);
    const Point from = base.Apply({zoom_->left + zoom_->width / 2, zoom_->top + zoom_->height / 2});
    const Point to = base.Apply({stage.xMin + stage.Width() / 2.0, stage.yMin + stage.Height() / 2.0});
    return Matrix::Translate(to.x, to.y) * Matrix::Scale(m, m) * Matrix::Translate(-from.x, -from.y) * base;
}

void Player::SetViewportSize(int width, int height) {
    const bool changed = width != viewportWidth_ || height != viewportHeight_;
    viewportWidth_ = width;
    viewportHeight_ = height;
    if (changed) UpdateStageSize();
}

void Player::UpdateStageSize() {
    if (!session_) return;
    actions::InputState& input = session_->runner->Vm().input();
    const Rect stage = StageRect();
    input.movieWidth = stage.Width() / 20.0;
    input.movieHeight = stage.Height() / 20.0;
    const bool resized = input.viewWidth != viewportWidth_ || input.viewHeight != viewportHeight_;
    input.viewWidth = viewportWidth_;
    input.viewHeight = viewportHeight_;
    if (resized && input.scaleMode == "noScale") {
        BusyScope busy(*this);
        session_->stage->RunScript([&] { session_->runner->Broadcast("Stage", "onResize"); });
        session_->stage->RunQueuedActions();
    }
}

namespace {

// Windows virtual-key codes of the keys button conditions name by number.
int ButtonKeyCode(int keyCode, int charCode) {
    switch (keyCode) {
    case 0x25: return 1;   // left
    case 0x27: return 2;   // right
    case 0x24: return 3;   // home
    case 0x23: return 4;   // end
    case 0x2D: return 5;   // insert
    case 0x2E: return 6;   // delete
    case 0x08: return 8;   // backspace
    case 0x0D: return 13;  // enter
    case 0x26: return 14;  // up
    case 0x28: return 15;  // down
    case 0x21: return 16;  // page up
    case 0x22: return 17;  // page down
    case 0x09: return 18;  // tab
    case 0x1B: return 19;  // escape
    default: break;
    }
    return charCode >= 32 && charCode <= 126 ? charCode : 0;
}

}  // namespace

void Player::KeyDown(int keyCode, int charCode) {
    BusyScope busy(*this);
    Outlast("take a key", [&] {
        Stage* stage = CurrentStage();
        if (stage == nullptr || keyCode < 0 || keyCode > 255) return;
        actions::InputState& input = session_->runner->Vm().input();
        // Lock keys toggle on their press, not on the repeats that follow.
        if ((keyCode == 20 || keyCode == 144 || keyCode == 145) && input.keysDown.count(keyCode) == 0) {
            if (!input.toggled.erase(keyCode)) input.toggled.insert(keyCode);
        }
        input.keysDown.insert(keyCode);
        input.lastKeyCode = keyCode;
        input.lastAscii = charCode;
        stage->KeyDown(ButtonKeyCode(keyCode, charCode));
    });
}

void Player::KeyUp(int keyCode, int charCode) {
    BusyScope busy(*this);
    Outlast("take a key", [&] {
        Stage* stage = CurrentStage();
        if (stage == nullptr || keyCode < 0 || keyCode > 255) return;
        actions::InputState& input = session_->runner->Vm().input();
        input.keysDown.erase(keyCode);
        input.lastKeyCode = keyCode;
        input.lastAscii = charCode;
        stage->KeyUp();
    });
}

bool Player::MouseHidden() const { return session_ && session_->runner->Vm().input().mouseHidden; }

Point Player::ToStage(double x, double y) const {
    Matrix inverse;
    if (!ViewMatrix(viewportWidth_, viewportHeight_).Invert(&inverse)) return {x * 20, y * 20};
    return inverse.Apply({x, y});
}

void Player::PointerMove(double x, double y) {
    BusyScope busy(*this);
    Outlast("follow the pointer", [&] {
        pointer_ = ToStage(x, y);
        if (Stage* stage = CurrentStage()) stage->PointerMove(pointer_);
        if (session_) session_->focus->PointerMove(pointer_);
    });
}

void Player::PointerDown(double x, double y, int clicks) {
    BusyScope busy(*this);
    Outlast("take a click", [&] {
        pointer_ = ToStage(x, y);
        if (Stage* stage = CurrentStage()) stage->PointerDown(pointer_);
        // The button's actions may have replaced the movie meanwhile.
        if (Stage* stage = CurrentStage()) {
            session_->focus->PointerDown(pointer_, stage->HoveredButton() != nullptr, clicks);
        }
    });
}

void Player::PointerUp(double x, double y) {
    BusyScope busy(*this);
    Outlast("take a click", [&] {
        pointer_ = ToStage(x, y);
        if (Stage* stage = CurrentStage()) stage->PointerUp(pointer_);
        if (session_) session_->focus->PointerUp(pointer_);
    });
}

bool Player::PointerOverLink() const {
    const Stage* stage = CurrentStage();
    return stage != nullptr && stage->HoveredButton() == nullptr && session_->focus->PointerOverLink(pointer_);
}

PointerCursor Player::Cursor() const {
    const Stage* stage = CurrentStage();
    if (stage == nullptr) return PointerCursor::Arrow;
    if (const DisplayObject* hovered = stage->HoveredTarget()) {
        // Only a member is read; the object is not changed.
        DisplayTarget* face = ScriptFace(const_cast<DisplayObject&>(*hovered));
        if (face != nullptr && session_->runner && !session_->runner->ObjectUsesHandCursor(*face)) {
            return PointerCursor::Arrow;
        }
        return PointerCursor::Hand;
    }
    if (session_->focus->PointerOverLink(pointer_)) return PointerCursor::Hand;
    if (session_->focus->PointerOverText(pointer_)) return PointerCursor::IBeam;
    return PointerCursor::Arrow;
}

bool Player::TextKeyDown(int keyCode, bool shift, bool control) {
    BusyScope busy(*this);
    bool taken = false;
    Outlast("take a key", [&] { taken = session_ && session_->focus->KeyDown(keyCode, {shift, control}); });
    return taken;
}

bool Player::TextInput(char32_t c) {
    BusyScope busy(*this);
    bool taken = false;
    Outlast("take a key", [&] { taken = session_ && session_->focus->CharacterTyped(c); });
    return taken;
}

bool Player::UpdateCaretBlink(double nowMs) {
    EditTextInstance* field = session_ ? session_->focus->Focused() : nullptr;
    CaretBlink::Where where;
    if (field != nullptr && field->Session().Editable()) {
        where = {field, field->Session().Caret(), field->Session().Anchor(), field->Model().Length()};
    }
    const bool changed = caretBlink_.Update(nowMs, where);
    if (field != nullptr) field->Session().SetCaretShown(caretBlink_.Shown());
    return changed && where.field != nullptr;
}

bool Player::HasTextFocus() const { return session_ && session_->focus->Focused() != nullptr; }

void Player::SetClipboard(Clipboard* clipboard) {
    clipboard_ = clipboard;
    if (session_) session_->focus->SetClipboard(clipboard);
}

bool Player::PointerOverButton() const {
    const Stage* stage = CurrentStage();
    return stage != nullptr && stage->HoveredTarget() != nullptr;
}

void Player::SetFileHost(FileHost* files) {
    files_ = files;
    if (session_) session_->netStreams->SetFileHost(files);
}

void Player::PassClipboardText() {
    if (!session_) return;
    // System.setClipboard: the last text a script set goes to the system's clipboard.
    std::optional<std::string> text = session_->runner->Vm().TakeClipboardText();
    if (text && clipboard_ != nullptr) clipboard_->SetText(*text);
}

void Player::PlaySoundRequests() {
    Stage* stage = CurrentStage();
    if (stage == nullptr) return;
    for (const SoundRequest& request : stage->TakeSoundRequests()) sounds_.Handle(request);
    for (const std::string& warning : sounds_.TakeWarnings())
        if (log_) log_(LogKind::Warning, warning);
}

void Player::SetLogHandler(LogHandler handler) { log_ = std::move(handler); }

void Player::SetHost(ActionHost* host) {
    host_ = host;
    if (session_ && session_->runner) session_->runner->SetHost(host);
}

void Player::SetFontProvider(fonts::DeviceFontProvider* provider) {
    fontProvider_ = provider;
    serializedFonts_.SetTarget(provider);
    if (session_) session_->stage->SetFontProvider(provider != nullptr ? &serializedFonts_ : nullptr);
}

}  // namespace swf
