#pragma once
// Runs one movie: owns its main timeline, creates instances for the
// timelines, queues and runs frame and button actions, and tracks the
// pointer over buttons. Coordinates here are stage twips.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/movie.h"
#include "swf/player/scripting/action_runner.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/display/clip_drag.h"
#include "swf/player/display/clip_environment.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

// Limits that keep a hostile movie from building unbounded instance trees.
inline constexpr int kMaxNesting = 32;
inline constexpr std::size_t kMaxInstances = 100'000;
// Action blocks run per step at most (a frame script that jumps in a circle).
inline constexpr std::size_t kMaxActionBlocksPerStep = 10'000;

class Stage : public ClipEnvironment, public FieldRegistry {
public:
    // Builds the first frame; its actions run only when a runner is set and
    // RunQueuedActions is called (the caller first wires the runner).
    explicit Stage(std::shared_ptr<const MovieDefinition> movie);
    ~Stage() override;

    const MovieDefinition& Movie() const { return *movie_; }
    MovieClip& Root() { return *root_; }
    const MovieClip& Root() const { return *root_; }

    // Movies loaded into _level1 and above, drawn over the main timeline in
    // level order.
    using LevelMap = std::map<int, std::unique_ptr<MovieClip>>;
    const LevelMap& Levels() const { return levels_; }
    // Level 0 is the main timeline; nullptr when the level holds nothing.
    MovieClip* Level(int level);
    // The level's clip, made empty first when there is none.
    MovieClip& MakeLevel(int level);
    void RemoveLevel(int level);

    // Without a runner, actions are dropped.
    void SetActionRunner(ActionRunner* runner) { runner_ = runner; }

    // One frame tick of the whole tree, then its actions.
    void Advance();
    void RunQueuedActions();
    // Runs a script call made from outside the queue (a loading callback) the
    // way queued blocks run: what it removes lives until it returns.
    template <typename Call>
    void RunScript(Call call) {
        if (runningAction_) {
            call();
            return;
        }
        runningAction_ = true;
        struct Done {
            Stage& stage;
            ~Done() {
                stage.runningAction_ = false;
                // Removed clips with queued unload handlers wait for the queue.
                if (stage.queue_.empty()) stage.retired_.clear();
            }
        } done{*this};
        call();
    }

    // Pointer in stage twips. Button transitions queue and run their actions;
    // clips get their mouse events and Mouse's listeners theirs.
    void PointerMove(Point p);
    void PointerDown(Point p);
    void PointerUp(Point p);
    // A key went down or up. Clips get their key events and Key's listeners
    // theirs; on a key going down, buttons and clips whose key press condition
    // names `buttonKey` (button key code numbering; 0 for none) run it.
    void KeyDown(int buttonKey);
    void KeyUp();
    // Enter or Space on the button or clip with the keyboard focus: it is
    // pressed and released as by the mouse (without moving the pointer).
    void PressByKey(DisplayObject& target);
    // Whether a clip acts as a button (it has press, release or roll-over handlers).
    bool ActsAsButton(MovieClip& clip);
    // Hears of every clip and button that goes; may be empty.
    void SetObjectGoneListener(std::function<void(DisplayObject&)> listener) { objectGone_ = std::move(listener); }
    // The clips alive now that have started, newest first (the order events go in).
    std::vector<MovieClip*> ClipsNewestFirst();
    // The button under the pointer, if any.
    const ButtonInstance* HoveredButton() const {
        return hovered_ != nullptr && hovered_->Kind() == DisplayKind::Button ? static_cast<ButtonInstance*>(hovered_)
                                                                              : nullptr;
    }
    // The button or clip acting as one under the pointer (for a hand cursor).
    const DisplayObject* HoveredTarget() const { return hovered_; }
    // The topmost button or clip acting as one (it has press, release or
    // roll-over handlers) whose content contains the point.
    DisplayObject* PointerTargetAt(Point p);
    // The topmost enabled button whose hit area contains the point.
    ButtonInstance* ButtonAt(Point p);

    std::size_t InstanceCount() const { return instances_; }

    // Device fonts for text that names no embedded font; not owned, may be nullptr.
    void SetFontProvider(fonts::DeviceFontProvider* provider);
    // The main movie's fonts.
    TextFonts& Fonts() { return fonts_; }
    // The fonts text fields of `movie` (the main one or a loaded one) use.
    TextFonts& FontsFor(const std::shared_ptr<const MovieDefinition>& movie);
    // The text fields alive now, oldest first.
    const std::vector<EditTextInstance*>& Fields() const { return fields_; }
    // Bound fields take their variables' current text.
    void RefreshFields();

    // ClipEnvironment
    std::unique_ptr<DisplayObject> CreateInstance(const std::shared_ptr<const MovieDefinition>& movie,
                                                  const Placement& placement, int nesting) override;
    void QueueActions(MovieClip& clip, const ActionCode& code) override;
    void QueueInitAction(MovieClip& clip, const InitAction& init) override;
    void RequestSound(SoundRequest request) override;
    // The button's sound for the transition `condition` names, if it has one.
    void PlayButtonSound(const ButtonInstance& button, std::uint16_t condition);
    // What timelines asked of the sound since the last call, in order.
    std::vector<SoundRequest> TakeSoundRequests();
    void QueueClipEvent(MovieClip& clip, std::uint32_t event) override;
    std::uint64_t NextClipSerial() override { return ++clipSerial_; }
    void Retire(std::unique_ptr<DisplayObject> object) override;
    std::unique_ptr<DisplayObject> CreateTextField(const std::shared_ptr<const MovieDefinition>& movie,
                                                   std::shared_ptr<const EditTextDefinition> definition,
                                                   const Placement& placement) override;
    void ClipDestroyed(MovieClip& clip) override;
    void ButtonDestroyed(ButtonInstance& button) override;
    void ObjectDestroyed(DisplayTarget& object) override;
    std::shared_ptr<VideoFeed> StreamFeed(std::uint32_t stream) override;
    // Where Video objects find the pictures of the streams scripts attach.
    void SetStreamFeeds(std::function<std::shared_ptr<VideoFeed>(std::uint32_t)> feeds) {
        streamFeeds_ = std::move(feeds);
    }
    std::unique_ptr<MovieClip> CreateEmptyClip(const std::shared_ptr<const MovieDefinition>& movie,
                                               const Placement& placement, int nesting) override;
    Point PointerPosition() const override { return pointer_; }
    void StartDrag(MovieClip& clip, const DragRequest& request) override;
    void StopDrag() override { drag_.Stop(); }
    const MovieClip* DraggedClip() const { return drag_.Dragged(); }
    int LevelOf(const MovieClip& clip) const override;
    const TextFonts* DrawingFonts() override { return &fonts_; }
    bool AdmitInstance(DisplayObject& object) override {
        if (instances_ >= kMaxInstances) return false;
        object.SetInstanceCounter(&instances_);
        return true;
    }

    // Hears of every field made and destroyed (those alive now first, at once);
    // not owned, may be nullptr.
    void SetFieldObserver(FieldRegistry* observer);

    // FieldRegistry
    void FieldCreated(EditTextInstance& field) override;
    void FieldDestroyed(EditTextInstance& field) override;

private:
    struct QueuedAction {
        MovieClip* clip;  // nullptr once the clip is gone
        ActionCode code;  // null: call the clip's `handler` member instead
        const char* handler = nullptr;
        bool unload = false;     // runs even though the clip has been removed
        bool construct = false;  // makes the clip an instance of its symbol's registered class
    };
    // Queues `event` for every started clip, newest first, and runs it; then
    // the listeners of the broadcaster `source` hear `listenerEvent`.
    void BroadcastClipEvent(std::uint32_t event, const char* source, const char* listenerEvent);

    // A button changes state and queues its condition actions; a clip acting
    // as a button gets the matching clip event.
    void Transition(DisplayObject& target, ButtonState state, std::uint16_t condition);
    // Button states and transitions for the pointer at `p`.
    void TrackPointer(Point p);

    std::shared_ptr<const MovieDefinition> movie_;
    TextFonts fonts_{movie_->dictionary};
    // Loaded movies' fonts, each kept with the movie whose dictionary it reads.
    struct LoadedFonts {
        std::shared_ptr<const MovieDefinition> movie;
        std::unique_ptr<TextFonts> fonts;
    };
    std::map<const MovieDefinition*, LoadedFonts> loadedFonts_;
    std::vector<EditTextInstance*> fields_;
    FieldRegistry* fieldObserver_ = nullptr;
    ActionRunner* runner_ = nullptr;
    std::function<std::shared_ptr<VideoFeed>(std::uint32_t)> streamFeeds_;
    std::vector<QueuedAction> queue_;
    bool runningAction_ = false;
    std::vector<std::unique_ptr<DisplayObject>> retired_;  // removed, kept until the queue has run
    std::set<const MovieClip*> removed_;                   // clips in retired_: only their unload handlers still run
    std::size_t instances_ = 0;
    std::uint64_t clipSerial_ = 0;
    // Sprite ids whose init actions have run, per movie; an entry whose movie
    // is gone is stale (another movie may come to the same address).
    struct InitDone {
        std::weak_ptr<const MovieDefinition> movie;
        std::set<std::uint16_t> sprites;
    };
    std::map<const MovieDefinition*, InitDone> initDone_;
    std::vector<const Character*> constructing_;  // characters whose instances are being built, outermost first
    Point pointer_;
    ClipDrag drag_;
    DisplayObject* hovered_ = nullptr;  // a ButtonInstance or a MovieClip
    DisplayObject* pressed_ = nullptr;
    bool pressedInside_ = false;
    DisplayObject* keyPressed_ = nullptr;  // pressed by PressByKey, until its release
    std::function<void(DisplayObject&)> objectGone_;
    std::vector<SoundRequest> soundRequests_;
    std::unique_ptr<MovieClip> root_;
    LevelMap levels_;
};

}  // namespace swf
