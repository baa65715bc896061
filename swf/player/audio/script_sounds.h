#pragma once
// The Sound class's view of the movie's sound: linkage names looked up in
// the movie a Sound's clip comes from, and voices started, stopped and
// placed per clip in the player's sound system.

#include <memory>
#include <string>

#include "swf/actions/sound_host.h"
#include "swf/model/movie.h"
#include "swf/player/audio/sound_system.h"

namespace swf {

class ScriptSounds final : public actions::SoundHost {
public:
    // `movie` is the main movie: clipless Sounds find their sounds there.
    ScriptSounds(SoundSystem& sounds, std::shared_ptr<const MovieDefinition> movie)
        : sounds_(sounds), movie_(std::move(movie)) {}

    std::uint32_t FindSound(ActionTarget* owner, const std::string& linkage) override;
    std::uint32_t StartSound(ActionTarget* owner, std::uint32_t sound, double offsetSeconds, int loops) override;
    void StopSounds(ActionTarget* owner, std::uint32_t sound) override;
    void SetTransform(ActionTarget* owner, const actions::SoundTransform& transform) override;
    double DurationMs(std::uint32_t sound) override { return sounds_.DurationMs(sound); }
    bool Playing(std::uint32_t voice) override { return sounds_.Playing(voice); }
    double PositionMs(std::uint32_t voice) override { return sounds_.PositionMs(voice); }

private:
    SoundSystem& sounds_;
    std::shared_ptr<const MovieDefinition> movie_;
};

}  // namespace swf
