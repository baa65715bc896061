#pragma once
// What timelines need from the player that runs them: characters turned into
// instances, a queue for the actions their frames carry, and word when a
// clip or button goes away.

#include <cstdint>
#include <memory>

#include "swf/actions/action_target.h"
#include "swf/model/movie.h"
#include "swf/model/timeline.h"
#include "swf/player/audio/sound_request.h"
#include "swf/player/display/display_object.h"

namespace swf {

class MovieClip;
class ButtonInstance;
class TextFonts;
class EditTextInstance;
class VideoFeed;
struct EditTextDefinition;

class ClipEnvironment {
public:
    virtual ~ClipEnvironment() = default;
    // An instance of the placement's character from `movie`'s dictionary (an
    // empty object when the character is missing or the nesting and instance
    // limits are reached). `nesting` is the depth of the timeline that places it.
    virtual std::unique_ptr<DisplayObject> CreateInstance(const std::shared_ptr<const MovieDefinition>& movie,
                                                          const Placement& placement, int nesting) = 0;
    // A text field (an EditTextInstance) made by script from `definition`,
    // with `movie`'s fonts; null when the environment makes none.
    virtual std::unique_ptr<DisplayObject> CreateTextField(const std::shared_ptr<const MovieDefinition>& movie,
                                                           std::shared_ptr<const EditTextDefinition> definition,
                                                           const Placement& placement) {
        (void)movie, (void)definition, (void)placement;
        return nullptr;
    }
    // Actions to run on behalf of `clip` once the current step is over.
    virtual void QueueActions(MovieClip& clip, const ActionCode& code) = 0;
    // A DoInitAction block `clip`'s timeline reached: queued before the frame's
    // actions, the first time the movie reaches a block for that sprite.
    virtual void QueueInitAction(MovieClip& clip, const InitAction& init) = 0;
    // Sound a timeline asks for: its frames' StartSound tags, its stream.
    virtual void RequestSound(SoundRequest request) { (void)request; }
    // Queues a clip event (ClipEvent bits): the placement's onClipEvent blocks
    // for it, then the matching handler member (onLoad, onEnterFrame, ...).
    virtual void QueueClipEvent(MovieClip& clip, std::uint32_t event) = 0;
    // Numbers clips in creation order: events go to the newest first.
    virtual std::uint64_t NextClipSerial() = 0;
    // Takes an object a timeline removed. While actions run it is kept until
    // the running block ends, so a script never loses the clip it runs on.
    virtual void Retire(std::unique_ptr<DisplayObject> object) = 0;
    // Called from destructors: drop every reference to the object.
    virtual void ClipDestroyed(MovieClip& clip) = 0;
    virtual void ButtonDestroyed(ButtonInstance& button) = 0;
    // Another object scripts may hold (a Video) is going.
    virtual void ObjectDestroyed(DisplayTarget& object) { (void)object; }
    // The pictures of a NetStream (by its handle); null when there is none.
    virtual std::shared_ptr<VideoFeed> StreamFeed(std::uint32_t stream) {
        (void)stream;
        return nullptr;
    }
    // A clip with no frames for createEmptyMovieClip; null past the instance limits.
    virtual std::unique_ptr<MovieClip> CreateEmptyClip(const std::shared_ptr<const MovieDefinition>& movie,
                                                       const Placement& placement, int nesting) {
        (void)movie;
        (void)placement;
        (void)nesting;
        return nullptr;
    }
    // A script made `clip` (attachMovie, createEmptyMovieClip, or
    // duplicateMovieClip from `original`); it has its place and its first
    // frame. Where load events of script-made clips are raised.
    virtual void ClipCreatedByScript(MovieClip& clip, const MovieClip* original) {
        (void)clip;
        (void)original;
    }
    // Where the pointer is on the stage (twips), for _xmouse and _ymouse.
    virtual Point PointerPosition() const { return {}; }
    // startDrag / stopDrag: the clip follows the pointer until stopped.
    virtual void StartDrag(MovieClip& clip, const DragRequest& request) {
        (void)clip;
        (void)request;
    }
    virtual void StopDrag() {}
    // Counts an object made outside CreateInstance (an attached bitmap) among
    // the stage's instances; false past the instance limit.
    virtual bool AdmitInstance(DisplayObject& object) {
        (void)object;
        return true;
    }
    // The fonts the stage draws text with (BitmapData.draw draws clips
    // with them); null when text is not drawn.
    virtual const TextFonts* DrawingFonts() { return nullptr; }
    // The _level number of a clip at the top of a level; -1 for others.
    virtual int LevelOf(const MovieClip& clip) const {
        (void)clip;
        return -1;
    }
};

}  // namespace swf
