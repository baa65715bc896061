#pragma once
// The movie's event sounds as the player plays them: the starts and stops
// its timelines reach, each sound character decoded once, all mixed for the
// host's audio output, which asks for blocks from its own thread.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/movie.h"
#include "swf/model/sound.h"
#include "swf/sound/mixer.h"
#include "swf/sound/mp3_decoder.h"

namespace swf {

class SoundSystem {
public:
    // The host's MP3 decoder; without one MP3 sounds stay silent (and say so).
    void SetMp3Codec(sound::Mp3Codec* codec) { mp3_ = codec; }
    // A StartSound or StartSound2 that `movie`'s timelines reached.
    void Play(const std::shared_ptr<const MovieDefinition>& movie, const StartSoundCommand& command);
    void StopAll();
    // 0..1 over the whole mix.
    void SetVolume(double volume);

    // The next frames of the mix: 44.1 kHz stereo, interleaved. Any thread.
    void Mix(std::span<std::int16_t> out);
    // What could not be played, each said once.
    std::vector<std::string> TakeWarnings();

private:
    using SoundKey = std::pair<const MovieDefinition*, std::uint16_t>;
    struct Decoded {
        std::weak_ptr<const MovieDefinition> movie;  // the key's movie, while it lives
        std::shared_ptr<const sound::Samples> samples;
    };

    const SoundDefinition* Find(const MovieDefinition& movie, const StartSoundCommand& command) const;
    std::shared_ptr<const sound::Samples> Samples(const std::shared_ptr<const MovieDefinition>& movie,
                                                  const SoundDefinition& sound);
    void Warn(std::string warning);

    sound::Mp3Codec* mp3_ = nullptr;
    std::map<SoundKey, Decoded> decoded_;
    // The voices each sound has playing, for stops and no-multiple starts.
    std::map<SoundKey, std::vector<sound::VoiceId>> voices_;
    std::set<std::string> warned_;
    std::vector<std::string> warnings_;
    std::mutex mixerMutex_;  // the mixer is shared with the host's audio thread
    sound::Mixer mixer_;
};

}  // namespace swf
