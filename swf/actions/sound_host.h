#pragma once
// The movie's sound as scripts reach it (the Sound class, stopAllSounds).
// The player implements it over its mixer; without one, Sound objects stay
// silent.

#include <cstdint>
#include <string>

namespace swf {
class ActionTarget;
}

namespace swf::actions {

// Where each input channel goes, in percent (Sound.setTransform): ll is the
// share of the left input in the left output, lr of the left input in the
// right output, and so on.
struct SoundTransform {
    double ll = 100, lr = 0, rl = 0, rr = 100;
};

class SoundHost {
public:
    virtual ~SoundHost() = default;
    // The sound `owner`'s movie (the main movie for none) exports as
    // `linkage`; 0 when there is none.
    virtual std::uint32_t FindSound(ActionTarget* owner, const std::string& linkage) = 0;
    // Starts `sound` for `owner` at `offsetSeconds` into it, `loops` times;
    // the voice playing it (0 when none started).
    virtual std::uint32_t StartSound(ActionTarget* owner, std::uint32_t sound, double offsetSeconds, int loops) = 0;
    // Stops the voices `owner` started (every voice for none), only those of
    // `sound` unless it is 0.
    virtual void StopSounds(ActionTarget* owner, std::uint32_t sound) = 0;
    // How `owner`'s sounds are placed (for none: the whole mix).
    virtual void SetTransform(ActionTarget* owner, const SoundTransform& transform) = 0;
    virtual double DurationMs(std::uint32_t sound) = 0;
    // Whether the voice still plays (not ended, not stopped).
    virtual bool Playing(std::uint32_t voice) = 0;
    // How far the voice has played into its sound; where it stopped once it ended.
    virtual double PositionMs(std::uint32_t voice) = 0;
};

}  // namespace swf::actions
