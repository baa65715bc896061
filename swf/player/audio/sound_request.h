#pragma once
// What timelines ask of the movie's sound as they play, queued in order and
// carried out once the step that asked is over: event sound starts and
// stops, each frame a timeline with a stream sound enters or leaves, and
// clips that go.

#include <cstdint>
#include <memory>
#include <variant>

#include "swf/model/movie.h"
#include "swf/model/sound.h"
#include "swf/model/timeline.h"

namespace swf {

// `owner` (a clip, used only as a key; may be null) started or stopped it.
struct SoundStart {
    std::shared_ptr<const MovieDefinition> movie;
    StartSoundCommand command;
    const void* owner = nullptr;
};

// `owner` (a clip, used only as a key) entered `frame` of `timeline`, one
// of `movie`'s; `continues` when it came from the frame before by playing.
struct StreamFrameEntered {
    const void* owner = nullptr;
    std::shared_ptr<const MovieDefinition> movie;
    const Timeline* timeline = nullptr;
    std::uint32_t frame = 0;
    bool continues = false;
};

// The owner's timeline stopped or went away: its stream goes quiet.
struct StreamStopped {
    const void* owner = nullptr;
};

// The owner went away: every sound it started stops, and what was set for it is forgotten.
struct OwnerGone {
    const void* owner = nullptr;
};

using SoundRequest = std::variant<SoundStart, StreamFrameEntered, StreamStopped, OwnerGone>;

}  // namespace swf
