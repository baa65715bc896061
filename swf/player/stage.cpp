#include "swf/player/stage.h"

#include <algorithm>
#include <string>

#include "swf/model/button.h"
#include "swf/model/edit_text.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/video_instance.h"
#include "swf/player/loading/loaded_content.h"

namespace swf {

namespace {

// The linkage name the clip's movie exports its symbol under, if any.
const std::string* ExportNameOf(const MovieClip& clip) {
    const std::uint16_t id = clip.GetPlacement().characterId;
    if (id == 0) return nullptr;
    for (const auto& [name, exported] : clip.Movie().exports) {
        if (exported == id) return &name;
    }
    return nullptr;
}

// The handler member a clip event calls, as scripts name it.
const char* HandlerName(std::uint32_t event) {
    switch (event) {
    case kClipLoad: return "onLoad";
    case kClipEnterFrame: return "onEnterFrame";
    case kClipUnload: return "onUnload";
    case kClipMouseMove: return "onMouseMove";
    case kClipMouseDown: return "onMouseDown";
    case kClipMouseUp: return "onMouseUp";
    case kClipKeyDown: return "onKeyDown";
    case kClipKeyUp: return "onKeyUp";
    case kClipData: return "onData";
    case kClipPress: return "onPress";
    case kClipRelease: return "onRelease";
    case kClipReleaseOutside: return "onReleaseOutside";
    case kClipRollOver: return "onRollOver";
    case kClipRollOut: return "onRollOut";
    case kClipDragOver: return "onDragOver";
    case kClipDragOut: return "onDragOut";
    default: return nullptr;
    }
}

void CollectClips(MovieClip& clip, std::vector<MovieClip*>& out) {
    if (clip.IsStarted()) out.push_back(&clip);
    for (const auto& [depth, child] : clip.Children()) {
        if (child->Kind() == DisplayKind::MovieClip) CollectClips(static_cast<MovieClip&>(*child), out);
    }
}

}  // namespace

Stage::Stage(std::shared_ptr<const MovieDefinition> movie) : movie_(std::move(movie)) {
    root_ = std::make_unique<MovieClip>(*this, movie_, movie_->timeline, Placement{}, nullptr, 0);
    root_->Start();
}

Stage::~Stage() {
    levels_.clear();
    root_.reset();
    retired_.clear();
}

std::vector<MovieClip*> Stage::ClipsNewestFirst() {
    std::vector<MovieClip*> clips;
    CollectClips(*root_, clips);
    for (auto& [level, clip] : levels_) CollectClips(*clip, clips);
    std::sort(clips.begin(), clips.end(),
              [](const MovieClip* a, const MovieClip* b) { return a->Serial() > b->Serial(); });
    return clips;
}

void Stage::Advance() {
    // Variables scripts set since the last tick (first frame, events) show
    // in their fields before this tick's scripts read them.
    RefreshFields();
    const std::uint64_t newestBefore = clipSerial_;
    root_->Advance();
    for (auto& [level, clip] : levels_) clip->Advance();
    // Clips that were on stage before this tick and still are get enterFrame
    // ahead of everything the tick queued (unloads, frame actions, loads).
    std::vector<QueuedAction> tick;
    tick.swap(queue_);
    for (MovieClip* clip : ClipsNewestFirst()) {
        if (clip->Serial() <= newestBefore) QueueClipEvent(*clip, kClipEnterFrame);
    }
    queue_.insert(queue_.end(), tick.begin(), tick.end());
    RunQueuedActions();
    RefreshFields();
}

void Stage::RefreshFields() {
    // A source may change the display list; fields gone meanwhile are skipped.
    const std::vector<EditTextInstance*> fields = fields_;
    for (EditTextInstance* field : fields) {
        if (std::find(fields_.begin(), fields_.end(), field) != fields_.end()) field->RefreshFromVariable();
    }
    for (EditTextInstance* field : fields) {
        if (std::find(fields_.begin(), fields_.end(), field) != fields_.end()) field->CheckScroll();
    }
}

void Stage::SetFieldObserver(FieldRegistry* observer) {
    fieldObserver_ = observer;
    if (observer != nullptr) {
        for (EditTextInstance* field : fields_) observer->FieldCreated(*field);
    }
}

void Stage::FieldCreated(EditTextInstance& field) {
    fields_.push_back(&field);
    if (fieldObserver_ != nullptr) fieldObserver_->FieldCreated(field);
}

void Stage::FieldDestroyed(EditTextInstance& field) {
    std::erase(fields_, &field);
    if (runner_ != nullptr) runner_->ForgetObject(field);
    if (fieldObserver_ != nullptr) fieldObserver_->FieldDestroyed(field);
}

void Stage::SetFontProvider(fonts::DeviceFontProvider* provider) {
    fonts_.SetProvider(provider);
    for (auto& [definition, loaded] : loadedFonts_) loaded.fonts->SetProvider(provider);
}

TextFonts& Stage::FontsFor(const std::shared_ptr<const MovieDefinition>& movie) {
    if (movie == movie_) return fonts_;
    // Fonts of movies no clip plays any more have no fields left to serve.
    if (retired_.empty()) {
        std::erase_if(loadedFonts_, [](const auto& entry) { return entry.second.movie.use_count() == 1; });
    }
    LoadedFonts& loaded = loadedFonts_[movie.get()];
    if (!loaded.fonts) {
        loaded.movie = movie;
        loaded.fonts = std::make_unique<TextFonts>(movie->dictionary);
        loaded.fonts->SetProvider(fonts_.Provider());
    }
    return *loaded.fonts;
}

MovieClip* Stage::Level(int level) {
    if (level == 0) return root_.get();
    const auto it = levels_.find(level);
    return it == levels_.end() ? nullptr : it->second.get();
}

MovieClip& Stage::MakeLevel(int level) {
    if (MovieClip* clip = Level(level)) return *clip;
    Placement placement;
    placement.name = "_level" + std::to_string(level);
    const auto empty = EmptyMovie();
    auto clip = std::make_unique<MovieClip>(*this, empty, empty->timeline, placement, nullptr, 0);
    return *levels_.emplace(level, std::move(clip)).first->second;
}

void Stage::RemoveLevel(int level) {
    const auto it = levels_.find(level);
    if (it == levels_.end()) return;
    std::unique_ptr<MovieClip> clip = std::move(it->second);
    levels_.erase(it);
    Retire(std::move(clip));
}

void Stage::RunQueuedActions() {
    // A host call back into the player while a block runs: the outer loop
    // runs whatever gets queued.
    if (runningAction_) return;
    // Running actions may queue more (a jump queues the target frame's actions).
    std::size_t ran = 0;
    for (std::size_t i = 0; i < queue_.size() && ran < kMaxActionBlocksPerStep; ++i) {
        QueuedAction action = queue_[i];
        if (action.clip == nullptr || runner_ == nullptr) continue;
        if (!action.unload && removed_.count(action.clip) != 0) continue;
        if (action.construct) {
            if (const std::string* symbol = ExportNameOf(*action.clip)) {
                runningAction_ = true;
                runner_->ConstructAs(*action.clip, *symbol);
                runningAction_ = false;
            }
            continue;
        }
        if (!action.code && !runner_->HasHandler(*action.clip, action.handler)) continue;
        ++ran;
        runningAction_ = true;
        if (action.code) {
            runner_->Run(*action.code, *action.clip);
        } else {
            runner_->CallHandler(*action.clip, action.handler);
        }
        runningAction_ = false;
    }
    queue_.clear();
    // What the blocks removed lived on for its unload handlers; destroying it
    // now drops anything it still had queued.
    std::vector<std::unique_ptr<DisplayObject>> retired;
    retired.swap(retired_);
    removed_.clear();
    retired.clear();
}

std::unique_ptr<DisplayObject> Stage::CreateInstance(const std::shared_ptr<const MovieDefinition>& movie,
                                                     const Placement& placement, int nesting) {
    const Character* character = placement.definition.get();
    if (character == nullptr) {
        const auto it = movie->dictionary.find(placement.characterId);
        if (it != movie->dictionary.end()) character = it->second.get();
    }
    if (character == nullptr || nesting > kMaxNesting || instances_ >= kMaxInstances) {
        return std::make_unique<DisplayObject>(placement, nullptr);
    }
    // A character met again inside its own construction (a button whose state
    // shows the button itself, directly or through others) would nest to the
    // depth limit with every level multiplying the count: it shows nothing there.
    if (std::find(constructing_.begin(), constructing_.end(), character) != constructing_.end()) {
        return std::make_unique<DisplayObject>(placement, nullptr);
    }
    constructing_.push_back(character);
    struct Constructed {
        std::vector<const Character*>& stack;
        ~Constructed() { stack.pop_back(); }
    } constructed{constructing_};
    std::unique_ptr<DisplayObject> object;
    switch (character->Kind()) {
    case CharacterKind::Sprite:
        object = std::make_unique<MovieClip>(*this, movie, static_cast<const SpriteDefinition*>(character)->timeline,
                                             placement, character, nesting);
        break;
    case CharacterKind::Button:
        object = std::make_unique<ButtonInstance>(*this, movie, *static_cast<const ButtonDefinition*>(character),
                                                  placement, nesting);
        break;
    case CharacterKind::EditText:
        object = std::make_unique<EditTextInstance>(placement, *static_cast<const EditTextDefinition*>(character),
                                                    FontsFor(movie), this);
        break;
    case CharacterKind::Video:
        object =
            std::make_unique<VideoInstance>(*this, placement, *static_cast<const VideoStreamDefinition*>(character));
        break;
    case CharacterKind::Shape:
    case CharacterKind::Morph:
    case CharacterKind::Text: object = std::make_unique<DisplayObject>(placement, character); break;
    case CharacterKind::Font:
    case CharacterKind::Bitmap:
    case CharacterKind::Sound: return std::make_unique<DisplayObject>(placement, nullptr);
    }
    object->SetInstanceCounter(&instances_);
    return object;
}

std::unique_ptr<MovieClip> Stage::CreateEmptyClip(const std::shared_ptr<const MovieDefinition>& movie,
                                                  const Placement& placement, int nesting) {
    static const Timeline kOneEmptyFrame{std::vector<Frame>(1), {}, {}};
    if (nesting > kMaxNesting || instances_ >= kMaxInstances) return nullptr;
    auto clip = std::make_unique<MovieClip>(*this, movie, kOneEmptyFrame, placement, nullptr, nesting);
    clip->SetInstanceCounter(&instances_);
    return clip;
}

std::unique_ptr<DisplayObject> Stage::CreateTextField(const std::shared_ptr<const MovieDefinition>& movie,
                                                      std::shared_ptr<const EditTextDefinition> definition,
                                                      const Placement& placement) {
    auto field = std::make_unique<EditTextInstance>(placement, std::move(definition), FontsFor(movie), this);
    field->SetInstanceCounter(&instances_);
    return field;
}

void Stage::QueueActions(MovieClip& clip, const ActionCode& code) {
    if (code && !code->empty()) queue_.push_back({&clip, code});
}

void Stage::QueueInitAction(MovieClip& clip, const InitAction& init) {
    InitDone& done = initDone_[clip.MoviePtr().get()];
    if (done.movie.expired()) {
        done.movie = clip.MoviePtr();
        done.sprites.clear();
    }
    if (done.sprites.insert(init.spriteId).second) QueueActions(clip, init.code);
}

void Stage::QueueClipEvent(MovieClip& clip, std::uint32_t event) {
    const bool unload = event == kClipUnload;
    // A clip the timeline placed from a registered symbol is constructed as
    // its class first (attachMovie constructs the clips it makes itself).
    if (event == kClipConstruct && !clip.Script().dynamic) queue_.push_back({&clip, nullptr, nullptr, false, true});
    if (const ClipActions& actions = clip.GetPlacement().clipActions) {
        for (const ClipAction& action : *actions) {
            // A key press handler runs for its own key only (see KeyDown).
            if ((action.events & event) != 0 && event != kClipKeyPress && action.code && !action.code->empty()) {
                queue_.push_back({&clip, action.code, nullptr, unload});
            }
        }
    }
    if (const char* handler = HandlerName(event)) queue_.push_back({&clip, nullptr, handler, unload});
}

void Stage::Retire(std::unique_ptr<DisplayObject> object) {
    // Removed clips get their unload event, inner clips too, and live until
    // the queue has run.
    if (object->Kind() == DisplayKind::MovieClip) {
        std::vector<MovieClip*> clips;
        CollectClips(static_cast<MovieClip&>(*object), clips);
        for (MovieClip* clip : clips) {
            removed_.insert(clip);
            QueueClipEvent(*clip, kClipUnload);
        }
    }
    retired_.push_back(std::move(object));
}

void Stage::ClipDestroyed(MovieClip& clip) {
    drag_.Forget(clip);
    if (hovered_ == &clip) hovered_ = nullptr;
    if (pressed_ == &clip) pressed_ = nullptr;
    if (keyPressed_ == &clip) keyPressed_ = nullptr;
    if (objectGone_) objectGone_(clip);
    for (QueuedAction& action : queue_) {
        if (action.clip == &clip) action.clip = nullptr;
    }
    removed_.erase(&clip);
    if (runner_ != nullptr) runner_->Forget(clip);
}

void Stage::ButtonDestroyed(ButtonInstance& button) {
    if (hovered_ == &button) hovered_ = nullptr;
    if (pressed_ == &button) pressed_ = nullptr;
    if (keyPressed_ == &button) keyPressed_ = nullptr;
    if (objectGone_) objectGone_(button);
    if (runner_ != nullptr) runner_->ForgetObject(button);
}

void Stage::ObjectDestroyed(DisplayTarget& object) {
    if (runner_ != nullptr) runner_->ForgetObject(object);
}

std::shared_ptr<VideoFeed> Stage::StreamFeed(std::uint32_t stream) {
    return streamFeeds_ ? streamFeeds_(stream) : nullptr;
}

ButtonInstance* Stage::ButtonAt(Point p) {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        if (ButtonInstance* button = FindButtonAt(it->second->Children(), it->second->GetPlacement().matrix, p)) {
            return button;
        }
    }
    return FindButtonAt(root_->Children(), Matrix{}, p);
}

namespace {

// The clip event a button transition means for a clip acting as a button.
std::uint32_t ClipEventFor(std::uint16_t condition) {
    switch (condition) {
    case kCondIdleToOverUp: return kClipRollOver;
    case kCondOverUpToIdle: return kClipRollOut;
    case kCondOverUpToOverDown: return kClipPress;
    case kCondOverDownToOverUp: return kClipRelease;
    case kCondOverDownToOutDown: return kClipDragOut;
    case kCondOutDownToOverDown: return kClipDragOver;
    case kCondOutDownToIdle: return kClipReleaseOutside;
    default: return 0;
    }
}

constexpr std::uint32_t kButtonClipEvents =
    kClipPress | kClipRelease | kClipReleaseOutside | kClipRollOver | kClipRollOut | kClipDragOver | kClipDragOut;

}  // namespace

int Stage::LevelOf(const MovieClip& clip) const {
    if (&clip == root_.get()) return 0;
    for (const auto& [level, top] : levels_)
        if (top.get() == &clip) return level;
    return -1;
}

DisplayObject* Stage::PointerTargetAt(Point p) {
    const ButtonClipTest test = [this](MovieClip& clip) { return ActsAsButton(clip); };
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        if (DisplayObject* target =
                FindPointerTargetAt(it->second->Children(), it->second->GetPlacement().matrix, p, test)) {
            return target;
        }
    }
    return FindPointerTargetAt(root_->Children(), Matrix{}, p, test);
}

bool Stage::ActsAsButton(MovieClip& clip) {
    if (const ClipActions& actions = clip.GetPlacement().clipActions) {
        for (const ClipAction& action : *actions) {
            if ((action.events & kButtonClipEvents) != 0) return true;
        }
    }
    if (runner_ == nullptr) return false;
    for (const char* name :
         {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"}) {
        if (runner_->HasHandler(clip, name)) return true;
    }
    return false;
}

void Stage::Transition(DisplayObject& target, ButtonState state, std::uint16_t condition) {
    if (target.Kind() == DisplayKind::MovieClip) {
        if (const std::uint32_t event = ClipEventFor(condition)) {
            QueueClipEvent(static_cast<MovieClip&>(target), event);
        }
        return;
    }
    auto& button = static_cast<ButtonInstance&>(target);
    // A button a script disabled neither changes nor acts.
    if (runner_ != nullptr && !runner_->ObjectEnabled(button)) return;
    button.SetState(state);
    PlayButtonSound(button, condition);
    MovieClip* owner = button.Parent();
    if (owner == nullptr) owner = root_.get();
    for (const ButtonAction& action : button.Definition().actions) {
        if ((action.conditions & condition) != 0) QueueActions(*owner, action.code);
    }
    // Handler members (onPress, onRelease, ...) of the button's script object.
    const char* handler = HandlerName(ClipEventFor(condition));
    if (handler != nullptr && runner_ != nullptr) {
        ButtonInstance* b = &button;
        RunScript([&] { runner_->CallObjectHandler(*b, handler); });
    }
}

void Stage::PlayButtonSound(const ButtonInstance& button, std::uint16_t condition) {
    int transition = -1;
    switch (condition) {
    case kCondOverUpToIdle: transition = kSoundOverUpToIdle; break;
    case kCondIdleToOverUp: transition = kSoundIdleToOverUp; break;
    case kCondOverUpToOverDown: transition = kSoundOverUpToOverDown; break;
    case kCondOverDownToOverUp: transition = kSoundOverDownToOverUp; break;
    default: return;
    }
    const ButtonSound& sound = button.Definition().sounds[static_cast<std::size_t>(transition)];
    if (sound.soundId == 0) return;
    StartSoundCommand command;
    command.soundId = sound.soundId;
    command.info = sound.info;
    RequestSound(SoundStart{button.Movie(), command, static_cast<const void*>(button.Parent())});
}

void Stage::BroadcastClipEvent(std::uint32_t event, const char* source, const char* listenerEvent) {
    for (MovieClip* clip : ClipsNewestFirst()) QueueClipEvent(*clip, event);
    RunQueuedActions();
    if (runner_ != nullptr && !runningAction_) {
        runningAction_ = true;
        runner_->Broadcast(source, listenerEvent);
        runningAction_ = false;
    }
    RunQueuedActions();
}

void Stage::KeyDown(int buttonKey) {
    BroadcastClipEvent(kClipKeyDown, "Key", "onKeyDown");
    if (buttonKey <= 0) return;
    // on(keyPress) of buttons and clips anywhere on stage.
    for (MovieClip* clip : ClipsNewestFirst()) {
        if (const ClipActions& actions = clip->GetPlacement().clipActions) {
            for (const ClipAction& action : *actions) {
                if ((action.events & kClipKeyPress) != 0 && action.keyCode == buttonKey)
                    QueueActions(*clip, action.code);
            }
        }
        for (const auto& [depth, child] : clip->Children()) {
            if (child->Kind() != DisplayKind::Button) continue;
            for (const ButtonAction& action : static_cast<ButtonInstance&>(*child).Definition().actions) {
                if (action.keyCode == buttonKey) QueueActions(*clip, action.code);
            }
        }
    }
    RunQueuedActions();
}

void Stage::PressByKey(DisplayObject& target) {
    keyPressed_ = &target;
    Transition(target, ButtonState::Down, kCondOverUpToOverDown);
    RunQueuedActions();
    // The press's actions may have removed it.
    if (keyPressed_ == nullptr) return;
    keyPressed_ = nullptr;
    Transition(target, hovered_ == &target ? ButtonState::Over : ButtonState::Up, kCondOverDownToOverUp);
    RunQueuedActions();
}

void Stage::KeyUp() { BroadcastClipEvent(kClipKeyUp, "Key", "onKeyUp"); }

void Stage::PointerMove(Point p) {
    TrackPointer(p);
    BroadcastClipEvent(kClipMouseMove, "Mouse", "onMouseMove");
}

void Stage::StartDrag(MovieClip& clip, const DragRequest& request) {
    drag_.Start(clip, request, pointer_);
    drag_.Follow(pointer_, Root());
}

void Stage::TrackPointer(Point p) {
    pointer_ = p;
    drag_.Follow(p, Root());
    DisplayObject* under = PointerTargetAt(p);
    if (pressed_ != nullptr) {
        const bool inside = under == pressed_;
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            if (inside) {
                Transition(*pressed_, ButtonState::Down, kCondOutDownToOverDown);
            } else {
                Transition(*pressed_, ButtonState::Up, kCondOverDownToOutDown);
            }
        }
        hovered_ = inside ? pressed_ : nullptr;
    } else if (under != hovered_) {
        if (hovered_ != nullptr) Transition(*hovered_, ButtonState::Up, kCondOverUpToIdle);
        hovered_ = under;
        if (under != nullptr) Transition(*under, ButtonState::Over, kCondIdleToOverUp);
    }
    RunQueuedActions();
}

void Stage::PointerDown(Point p) {
    TrackPointer(p);
    if (hovered_ != nullptr && pressed_ == nullptr) {
        pressed_ = hovered_;
        pressedInside_ = true;
        Transition(*pressed_, ButtonState::Down, kCondOverUpToOverDown);
    }
    RunQueuedActions();
    BroadcastClipEvent(kClipMouseDown, "Mouse", "onMouseDown");
}

void Stage::PointerUp(Point p) {
    if (pressed_ != nullptr) {
        DisplayObject* button = pressed_;
        pressed_ = nullptr;
        if (PointerTargetAt(p) == button) {
            Transition(*button, ButtonState::Over, kCondOverDownToOverUp);
            hovered_ = button;
        } else {
            Transition(*button, ButtonState::Up, kCondOutDownToIdle);
            hovered_ = nullptr;
        }
        RunQueuedActions();
    }
    // The actions may have changed what lies under the pointer.
    TrackPointer(p);
    BroadcastClipEvent(kClipMouseUp, "Mouse", "onMouseUp");
}

void Stage::RequestSound(SoundRequest request) { soundRequests_.push_back(std::move(request)); }

std::vector<SoundRequest> Stage::TakeSoundRequests() { return std::exchange(soundRequests_, {}); }

}  // namespace swf
