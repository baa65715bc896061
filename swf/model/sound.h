#pragma once
// Sounds a movie carries: sound characters (DefineSound), the starts and
// stops its timelines and buttons ask for (StartSound, StartSound2,
// DefineButtonSound) and a timeline's stream sound (SoundStreamHead and the
// blocks of each frame).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/character.h"
#include "swf/sound/mixer.h"
#include "swf/sound/sound_format.h"

namespace swf {

using SoundBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

struct SoundDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Sound;
    CharacterKind Kind() const override { return kKind; }
    sound::SoundFormat format;
    std::uint32_t sampleCount = 0;  // frames, per channel
    // MP3: samples to skip at the start (the encoder's delay); else 0.
    std::int16_t seekSamples = 0;
    SoundBytes data;  // the coded sound, after the MP3 seek count
};

// The SoundInfo record: how one start plays a sound.
struct SoundInfo {
    bool stop = false;        // stop the sound's voices instead of starting one
    bool noMultiple = false;  // do not start it while it is already playing
    sound::PlayOptions play;
};

// StartSound names a sound character, StartSound2 an exported class name.
struct StartSoundCommand {
    std::uint16_t soundId = 0;
    std::string className;
    SoundInfo info;
};

// A timeline's stream sound: how its blocks are coded (`stream`) and the
// player's suggestion for playing it (`playback`).
struct StreamSoundHead {
    sound::SoundFormat playback;
    sound::SoundFormat stream;
    std::uint16_t samplesPerBlock = 0;  // frames a block holds on average
    std::int16_t latencySeek = 0;       // MP3: samples to skip at the start
};

// One frame's SoundStreamBlock. MP3 blocks start with their frame count and
// seek samples, which `data` leaves out.
struct StreamSoundBlock {
    std::uint16_t sampleCount = 0;
    std::int16_t seekSamples = 0;
    SoundBytes data;
};

// A button's sounds for its four transitions (DefineButtonSound); id 0 is none.
struct ButtonSound {
    std::uint16_t soundId = 0;
    SoundInfo info;
};
enum ButtonSoundTransition { kSoundOverUpToIdle, kSoundIdleToOverUp, kSoundOverUpToOverDown, kSoundOverDownToOverUp };

}  // namespace swf
