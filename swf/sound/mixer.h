#pragma once
// Mixes any number of playing sounds into 44.1 kHz stereo: each voice is
// resampled, shaped by its envelope, trimmed to its in and out points,
// looped, placed by its transform and the global volume, and the sum is
// clipped to 16 bits. Portable: the player starts and stops voices, the host
// asks for blocks of output.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace swf::sound {

constexpr int kMixRate = 44100;

// A decoded sound: 16-bit samples, interleaved when stereo.
struct Samples {
    int rate = kMixRate;
    int channels = 1;
    std::vector<std::int16_t> data;

    std::size_t frames() const { return channels > 0 ? data.size() / static_cast<std::size_t>(channels) : 0; }
};

// A level change along a sound's playback (SoundInfo's envelope): at
// `position44` (samples at 44.1 kHz from the sound's start) the left and
// right levels are these (32768 is full level); levels move in straight
// lines between points.
struct EnvelopePoint {
    std::uint32_t position44 = 0;
    std::uint16_t left = 32768;
    std::uint16_t right = 32768;
};

// How one start plays its sound (StartSound's SoundInfo, Sound.start).
struct PlayOptions {
    // Where to start and where to stop, in samples at 44.1 kHz from the
    // sound's start; loops repeat the part between them.
    std::uint32_t inPoint44 = 0;
    std::optional<std::uint32_t> outPoint44;
    int loops = 1;
    std::vector<EnvelopePoint> envelope;
};

// Where each input channel goes (Sound.setTransform): ll is the share of the
// left input in the left output, lr of the left input in the right output,
// and so on; volume and pan are a transform too.
struct ChannelTransform {
    double ll = 1, lr = 0, rl = 0, rr = 1;

    // Sound.setVolume / setPan: volume 0..100 %, pan -100 (left) .. 100 (right).
    static ChannelTransform VolumeAndPan(double volumePercent, double pan);
};

using VoiceId = std::uint32_t;

class Mixer {
public:
    // At most this many voices play at once; a start beyond it fades out the
    // oldest, so that a movie starting sounds every frame cannot pile them up.
    static constexpr std::size_t kMaxVoices = 64;

    // Starts a voice; the id is never 0 and never reused.
    VoiceId Start(std::shared_ptr<const Samples> sound, const PlayOptions& options, ChannelTransform transform = {});
    // The voice fades out over a few milliseconds instead of cutting off.
    void Stop(VoiceId voice);
    void StopAll();
    bool Playing(VoiceId voice) const;
    void SetTransform(VoiceId voice, ChannelTransform transform);
    // 0..1, applied to the whole mix.
    void SetVolume(double volume) { volume_ = volume; }
    // Placed over the whole mix, after the voices' own transforms.
    void SetMasterTransform(ChannelTransform transform) { master_ = transform; }
    // Seconds into its sound the voice has played; nothing once it ended.
    std::optional<double> PlayedSeconds(VoiceId voice) const;
    std::size_t VoiceCount() const { return voices_.size(); }

    // A voice whose samples arrive while it plays (a timeline's stream
    // sound): it plays what it was fed, waits in silence when that runs out
    // and ends once EndStream was said and all of it played. `fadeIn` for a
    // stream that starts in mid-sound.
    VoiceId StartStream(int rate, int channels, bool fadeIn = false);
    // Samples for the stream, interleaved as its channels say.
    void Feed(VoiceId stream, std::span<const std::int16_t> samples);
    void EndStream(VoiceId stream);
    // A paused voice keeps its place and adds nothing to the mix until resumed.
    void SetPaused(VoiceId voice, bool paused);
    // The stream's frames played so far and those fed and not yet played;
    // nothing when no such stream plays.
    struct StreamState {
        double played = 0;
        std::size_t buffered = 0;
    };
    std::optional<StreamState> Stream(VoiceId stream) const;

    // Mixes the next frames into `out` (interleaved left, right; its size
    // is twice the frame count).
    void Mix(std::span<std::int16_t> out);
    // Voices that played to their end since the last call (not those stopped).
    std::vector<VoiceId> TakeFinished();

private:
    struct Voice {
        VoiceId id = 0;
        std::shared_ptr<const Samples> sound;
        PlayOptions options;
        ChannelTransform transform;
        double position = 0;        // in the sound's own frames
        double step = 1;            // sound frames per output frame
        double start = 0, end = 0;  // the played part, in the sound's frames
        int loopsLeft = 1;
        std::uint64_t played44 = 0;     // output frames so far, for the envelope
        std::size_t envelopePoint = 0;  // the first point at or after the position (it only moves on)
        int fadeIn = 0;                 // frames of fade-in left
        int fadeOut = -1;               // frames of fade-out left; -1 while not stopping
        // Streams: the samples fed and not yet dropped (`sound` shows them),
        // the frames dropped from their front, and whether more will come.
        std::shared_ptr<Samples> fed;
        std::uint64_t dropped = 0;
        bool streamOpen = false;
        bool paused = false;
    };

    // One output frame of a voice, before its transform; false once it ended.
    bool NextFrame(Voice& voice, double& left, double& right);
    // `next` is the first point at or after the position; positions only grow.
    // Drops a stream's frames that have played (keeping those the resampler still reads).
    static void DropPlayed(Voice& voice);
    static void EnvelopeAt(const std::vector<EnvelopePoint>& envelope, std::uint64_t position44, std::size_t& next,
                           double& left, double& right);

    std::vector<Voice> voices_;
    std::vector<VoiceId> finished_;
    VoiceId nextId_ = 1;
    double volume_ = 1;
    ChannelTransform master_;
    std::vector<double> mix_;
};

}  // namespace swf::sound
