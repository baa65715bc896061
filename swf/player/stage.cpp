#include "swf/player/stage.h"

#include <algorithm>
#include <string>

#include "swf/model/button.h"
#include "swf/model/edit_text.h"
#include "swf/player/hit_test.h"
#include "swf/player/loaded_content.h"

namespace swf {

Stage::Stage(std::shared_ptr<const MovieDefinition> movie) : movie_(std::move(movie)) {
    root_ = std::make_unique<MovieClip>(*this, movie_, movie_->timeline, Placement{}, nullptr, 0);
    root_->Start();
}

Stage::~Stage() {
    levels_.clear();
    root_.reset();
    retired_.clear();
}

void Stage::Advance() {
    root_->Advance();
    for (auto& [level, clip] : levels_) clip->Advance();
    RunQueuedActions();
    RefreshFields();
}

void Stage::RefreshFields() {
    // A source may change the display list; fields gone meanwhile are skipped.
    const std::vector<EditTextInstance*> fields = fields_;
    for (EditTextInstance* field : fields) {
        if (std::find(fields_.begin(), fields_.end(), field) != fields_.end()) field->RefreshFromVariable();
    }
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
        ++ran;
        runningAction_ = true;
        runner_->Run(*action.code, *action.clip);
        runningAction_ = false;
        // Destroying what the block removed drops their queued actions too.
        std::vector<std::unique_ptr<DisplayObject>> retired;
        retired.swap(retired_);
        retired.clear();
    }
    queue_.clear();
}

std::unique_ptr<DisplayObject> Stage::CreateInstance(const std::shared_ptr<const MovieDefinition>& movie,
                                                     const Placement& placement, int nesting) {
    const auto it = movie->dictionary.find(placement.characterId);
    const Character* character = it == movie->dictionary.end() ? nullptr : it->second.get();
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
            object = std::make_unique<MovieClip>(*this, movie,
                                                 static_cast<const SpriteDefinition*>(character)->timeline, placement,
                                                 character, nesting);
            break;
        case CharacterKind::Button:
            object = std::make_unique<ButtonInstance>(*this, movie, *static_cast<const ButtonDefinition*>(character),
                                                      placement, nesting);
            break;
        case CharacterKind::EditText:
            object = std::make_unique<EditTextInstance>(placement, *static_cast<const EditTextDefinition*>(character),
                                                        FontsFor(movie), this);
            break;
        case CharacterKind::Shape:
        case CharacterKind::Morph:
        case CharacterKind::Text:
            object = std::make_unique<DisplayObject>(placement, character);
            break;
        case CharacterKind::Font:
        case CharacterKind::Bitmap:
            return std::make_unique<DisplayObject>(placement, nullptr);
    }
    object->SetInstanceCounter(&instances_);
    return object;
}

std::unique_ptr<MovieClip> Stage::CreateEmptyClip(const std::shared_ptr<const MovieDefinition>& movie,
                                                  const Placement& placement, int nesting) {
    static const Timeline kOneEmptyFrame{std::vector<Frame>(1), {}};
    if (nesting > kMaxNesting || instances_ >= kMaxInstances) return nullptr;
    auto clip = std::make_unique<MovieClip>(*this, movie, kOneEmptyFrame, placement, nullptr, nesting);
    clip->SetInstanceCounter(&instances_);
    return clip;
}

void Stage::QueueActions(MovieClip& clip, const ActionCode& code) {
    if (code && !code->empty()) queue_.push_back({&clip, code});
}

void Stage::Retire(std::unique_ptr<DisplayObject> object) {
    if (runningAction_) retired_.push_back(std::move(object));
}

void Stage::ClipDestroyed(MovieClip& clip) {
    for (QueuedAction& action : queue_) {
        if (action.clip == &clip) action.clip = nullptr;
    }
    if (runner_ != nullptr) runner_->Forget(clip);
}

void Stage::ButtonDestroyed(ButtonInstance& button) {
    if (hovered_ == &button) hovered_ = nullptr;
    if (pressed_ == &button) pressed_ = nullptr;
}

ButtonInstance* Stage::ButtonAt(Point p) {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        if (ButtonInstance* button = FindButtonAt(it->second->Children(), it->second->GetPlacement().matrix, p)) {
            return button;
        }
    }
    return FindButtonAt(root_->Children(), Matrix{}, p);
}

void Stage::Transition(ButtonInstance& button, ButtonState state, std::uint16_t condition) {
    button.SetState(state);
    MovieClip* target = button.Parent();
    if (target == nullptr) target = root_.get();
    for (const ButtonAction& action : button.Definition().actions) {
        if ((action.conditions & condition) != 0) QueueActions(*target, action.code);
    }
}

int Stage::LevelOf(const MovieClip& clip) const {
    if (&clip == root_.get()) return 0;
    for (const auto& [level, top] : levels_)
        if (top.get() == &clip) return level;
    return -1;
}

void Stage::PointerMove(Point p) {
    pointer_ = p;
    ButtonInstance* under = ButtonAt(p);
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
    PointerMove(p);
    if (hovered_ != nullptr && pressed_ == nullptr) {
        pressed_ = hovered_;
        pressedInside_ = true;
        Transition(*pressed_, ButtonState::Down, kCondOverUpToOverDown);
    }
    RunQueuedActions();
}

void Stage::PointerUp(Point p) {
    if (pressed_ != nullptr) {
        ButtonInstance* button = pressed_;
        pressed_ = nullptr;
        if (ButtonAt(p) == button) {
            Transition(*button, ButtonState::Over, kCondOverDownToOverUp);
            hovered_ = button;
        } else {
            Transition(*button, ButtonState::Up, kCondOutDownToIdle);
            hovered_ = nullptr;
        }
        RunQueuedActions();
    }
    // The actions may have changed what lies under the pointer.
    PointerMove(p);
}

}  // namespace swf
