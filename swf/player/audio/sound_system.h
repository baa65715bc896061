#pragma once
// The movie's sound as the player plays it: the event sound starts and stops
// its timelines reach, each sound character decoded once, and the stream
// sounds of playing timelines, decoded block by block a little ahead of what
// is heard; all mixed for the host's audio output, which asks for blocks
// from its own thread. A stream's progress is the clock its timeline can
// follow.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/movie.h"
#include "swf/model/sound.h"
#include "swf/player/audio/sound_request.h"
#include "swf/sound/mixer.h"
#include "swf/sound/mp3_decoder.h"

namespace swf {

class SoundSystem {
public:
    // The host's MP3 decoder; without one MP3 sounds stay silent (and say so).
    void SetMp3Codec(sound::Mp3Codec* codec) { mp3_ = codec; }
    sound::Mp3Codec* Mp3Codec() const { return mp3_; }
    // A StartSound or StartSound2 that `movie`'s timelines reached, for `owner`.
    void Play(const std::shared_ptr<const MovieDefinition>& movie, const StartSoundCommand& command,
              const void* owner = nullptr);
    void Handle(const SoundRequest& request);
    // Decodes stream blocks ahead of what the output has taken, up to
    // kStreamLead; the player calls it every frame.
    void FeedStreams();
    // The frame of `owner`'s timeline its stream sound has reached
    // (fractional), while one plays.
    std::optional<double> StreamFrame(const void* owner);
    // The frame rate stream blocks are timed by (the movie's).
    void SetFrameRate(double framesPerSecond) { frameRate_ = framesPerSecond; }
    void StopAll();
    // StopAll, and everything known of the movie's sounds is let go.
    void Reset();
    static constexpr double kStreamLeadSeconds = 0.5;

    // Sounds for scripts: a handle (never 0) for a sound character, the same
    // each time; started, stopped and placed for an owner (a clip, used as a
    // key only; null: the whole movie).
    std::uint32_t ScriptSound(const std::shared_ptr<const MovieDefinition>& movie, const SoundDefinition& sound);
    // A handle for an MP3 file's frames, decoded whole; 0 (and `problem`
    // says why) when they cannot be played.
    std::uint32_t LoadMp3(std::span<const std::uint8_t> frames, std::string& problem);
    // Sounds longer than this are not decoded: 64 MB of samples, six
    // minutes of 44.1 kHz stereo.
    static constexpr std::size_t kMaxDecodedBytes = 64u << 20;
    sound::VoiceId StartFor(const void* owner, std::uint32_t sound, double offsetSeconds, int loops);
    // The owner's voices (every sound for no owner), only those of `sound` unless 0.
    void StopFor(const void* owner, std::uint32_t sound);
    // How the owner's sounds are placed, those playing and those to come
    // (for no owner: the whole mix).
    void SetTransformFor(const void* owner, const sound::ChannelTransform& transform);
    double DurationMs(std::uint32_t sound) const;
    double PositionMs(sound::VoiceId voice);
    bool Playing(sound::VoiceId voice);
    // Voices that played to their end since the last call.
    std::vector<sound::VoiceId> TakeFinished();
    // 0..1 over the whole mix.
    void SetVolume(double volume);

    // Sound that a source outside the timelines feeds as it plays (a video
    // file's), for `owner`: placed by the owner's transform and stopped with
    // its sounds, like the sounds scripts start for it.
    sound::VoiceId StartMediaStream(const void* owner, int rate, int channels);
    void FeedMediaStream(sound::VoiceId voice, std::span<const std::int16_t> samples);
    // No more samples come: the voice ends once it played what it has.
    void EndMediaStream(sound::VoiceId voice);
    void PauseMediaStream(sound::VoiceId voice, bool paused);
    void StopMediaStream(sound::VoiceId voice);
    // The voice now belongs to `owner` and takes its transform.
    void SetMediaStreamOwner(sound::VoiceId voice, const void* owner);
    // Frames played and waiting; nothing once the voice has gone.
    std::optional<sound::Mixer::StreamState> MediaStreamState(sound::VoiceId voice);

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

    // A timeline's stream sound, playing from `first` on; blocks up to
    // `next` have been fed.
    struct Stream {
        std::weak_ptr<const MovieDefinition> movie;
        const Timeline* timeline = nullptr;
        sound::VoiceId voice = 0;
        std::uint32_t first = 0;
        std::uint32_t next = 0;
        double rate = 0;  // the sound's frames a second
        int channels = 1;
        std::unique_ptr<sound::Mp3Decoder> mp3;
        std::size_t skip = 0;  // frames still to drop at the start (MP3 encoder delay)
        bool ended = false;
    };
    void StartStream(const StreamFrameEntered& entered);
    void StopStream(const void* owner);
    // Decodes and feeds blocks while less than the lead is waiting; false
    // once the stream's movie is gone.
    bool Feed(Stream& stream);
    // One block's samples; empty when it has none or cannot be decoded.
    std::vector<std::int16_t> DecodeBlock(Stream& stream, const StreamSoundBlock& block);

    sound::Mp3Codec* mp3_ = nullptr;
    std::map<SoundKey, Decoded> decoded_;
    // The voices each sound has playing, for stops and no-multiple starts.
    std::map<SoundKey, std::vector<sound::VoiceId>> voices_;
    std::map<const void*, Stream> streams_;
    // Script handles: handles_[h - 1] is handle h's samples.
    std::map<SoundKey, std::uint32_t> handleOf_;
    std::vector<std::shared_ptr<const sound::Samples>> handles_;
    struct Owned {
        sound::VoiceId voice = 0;
        std::uint32_t handle = 0;
    };
    std::map<const void*, std::vector<Owned>> owned_;
    std::map<const void*, sound::ChannelTransform> transforms_;
    std::map<sound::VoiceId, std::uint32_t> handleOfVoice_;
    std::vector<sound::VoiceId> finished_;  // under mixerMutex_
    // Starts a voice for an owner with its transform (the mixer is locked).
    sound::VoiceId StartOwned(const void* owner, std::uint32_t handle, std::shared_ptr<const sound::Samples> samples,
                              const sound::PlayOptions& options);
    // Forgets voices that ended (the mixer is locked).
    void PruneOwned();
    double frameRate_ = 12;
    std::set<std::string> warned_;
    std::vector<std::string> warnings_;
    std::mutex mixerMutex_;  // the mixer is shared with the host's audio thread
    sound::Mixer mixer_;
};

}  // namespace swf
