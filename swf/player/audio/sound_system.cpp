#include "swf/player/audio/sound_system.h"

#include <algorithm>

#include "swf/sound/decode_sound.h"

namespace swf {

const SoundDefinition* SoundSystem::Find(const MovieDefinition& movie, const StartSoundCommand& command) const {
    if (command.className.empty()) return FindCharacter<SoundDefinition>(movie.dictionary, command.soundId);
    // StartSound2 names the sound by the name it is exported under.
    const auto exported = movie.exports.find(command.className);
    return exported == movie.exports.end() ? nullptr
                                           : FindCharacter<SoundDefinition>(movie.dictionary, exported->second);
}

std::shared_ptr<const sound::Samples> SoundSystem::Samples(const std::shared_ptr<const MovieDefinition>& movie,
                                                           const SoundDefinition& sound) {
    const SoundKey key{movie.get(), sound.id};
    auto it = decoded_.find(key);
    if (it != decoded_.end() && it->second.movie.lock() == movie) return it->second.samples;
    sound::DecodedSound decoded =
        sound::DecodeSound(sound.format, sound.data ? *sound.data : std::vector<std::uint8_t>{}, sound.sampleCount,
                           sound.seekSamples, mp3_);
    if (!decoded.problem.empty()) Warn(decoded.problem);
    auto samples = std::make_shared<const sound::Samples>(std::move(decoded.samples));
    decoded_[key] = Decoded{movie, samples};
    return samples;
}

void SoundSystem::Play(const std::shared_ptr<const MovieDefinition>& movie, const StartSoundCommand& command) {
    if (!movie) return;
    const SoundDefinition* sound = Find(*movie, command);
    if (!sound) return;
    const SoundKey key{movie.get(), sound->id};
    std::vector<sound::VoiceId>& playing = voices_[key];
    // Decoded before the mixer is locked: the audio thread must not wait on it.
    const auto samples = command.info.stop ? nullptr : Samples(movie, *sound);
    std::lock_guard lock(mixerMutex_);
    std::erase_if(playing, [&](sound::VoiceId voice) { return !mixer_.Playing(voice); });
    if (command.info.stop) {
        for (sound::VoiceId voice : playing) mixer_.Stop(voice);
        playing.clear();
        return;
    }
    if (command.info.noMultiple && !playing.empty()) return;
    playing.push_back(mixer_.Start(samples, command.info.play));
}

void SoundSystem::StopAll() {
    std::lock_guard lock(mixerMutex_);
    mixer_.StopAll();
    voices_.clear();
}

void SoundSystem::SetVolume(double volume) {
    std::lock_guard lock(mixerMutex_);
    mixer_.SetVolume(volume);
}

void SoundSystem::Mix(std::span<std::int16_t> out) {
    std::lock_guard lock(mixerMutex_);
    mixer_.Mix(out);
    mixer_.TakeFinished();  // nothing listens for the end of event sounds yet
}

void SoundSystem::Warn(std::string warning) {
    if (warned_.insert(warning).second) warnings_.push_back(std::move(warning));
}

std::vector<std::string> SoundSystem::TakeWarnings() { return std::exchange(warnings_, {}); }

}  // namespace swf
