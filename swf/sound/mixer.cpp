#include "swf/sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace swf::sound {

namespace {

// Fades that keep starts in mid-sound and stops from clicking: 5 ms.
constexpr int kFadeFrames = 220;
constexpr double kFullLevel = 32768;

// The rate a sound's samples are played at: "5.5 kHz" is 44.1 kHz / 8.
double TrueRate(int rate) { return rate == 5512 ? kMixRate / 8.0 : static_cast<double>(rate); }

// Cubic Hermite interpolation through four neighbouring samples, `t` of the
// way from x0 to x1.
double Hermite(double before, double x0, double x1, double after, double t) {
    const double c1 = 0.5 * (x1 - before);
    const double c2 = before - 2.5 * x0 + 2 * x1 - 0.5 * after;
    const double c3 = 0.5 * (after - before) + 1.5 * (x0 - x1);
    return ((c3 * t + c2) * t + c1) * t + x0;
}

}  // namespace

ChannelTransform ChannelTransform::VolumeAndPan(double volumePercent, double pan) {
    const double volume = std::max(0.0, volumePercent) / 100;
    pan = std::clamp(pan, -100.0, 100.0);
    ChannelTransform t;
    t.ll = volume * (pan > 0 ? (100 - pan) / 100 : 1);
    t.rr = volume * (pan < 0 ? (100 + pan) / 100 : 1);
    t.lr = t.rl = 0;
    return t;
}

VoiceId Mixer::Start(std::shared_ptr<const Samples> sound, const PlayOptions& options, ChannelTransform transform) {
    const VoiceId id = nextId_++;
    const std::size_t frames = sound ? sound->frames() : 0;
    if (frames == 0 || sound->rate <= 0 || (sound->channels != 1 && sound->channels != 2)) {
        finished_.push_back(id);
        return id;
    }
    Voice voice;
    voice.id = id;
    voice.step = TrueRate(sound->rate) / kMixRate;
    // In and out points count samples at 44.1 kHz whatever the sound's rate.
    voice.start = std::min(static_cast<double>(frames), options.inPoint44 * voice.step);
    voice.end = static_cast<double>(frames);
    if (options.outPoint44) voice.end = std::min(voice.end, *options.outPoint44 * voice.step);
    if (voice.end <= voice.start) {
        finished_.push_back(id);
        return id;
    }
    voice.position = voice.start;
    voice.loopsLeft = std::max(1, options.loops);
    voice.fadeIn = voice.start > 0 ? kFadeFrames : 0;
    voice.sound = std::move(sound);
    voice.options = options;
    voice.transform = transform;
    // The oldest voices not yet fading make room.
    std::size_t sounding = 0;
    for (const Voice& v : voices_) sounding += v.fadeOut < 0 ? 1 : 0;
    for (Voice& old : voices_) {
        if (sounding < kMaxVoices) break;
        if (old.fadeOut < 0) {
            old.fadeOut = kFadeFrames;
            --sounding;
        }
    }
    voices_.push_back(std::move(voice));
    return id;
}

VoiceId Mixer::StartStream(int rate, int channels, bool fadeIn) {
    const VoiceId id = nextId_++;
    if (rate <= 0 || (channels != 1 && channels != 2)) {
        finished_.push_back(id);
        return id;
    }
    Voice voice;
    voice.id = id;
    voice.fed = std::make_shared<Samples>();
    voice.fed->rate = rate;
    voice.fed->channels = channels;
    voice.sound = voice.fed;
    voice.step = TrueRate(rate) / kMixRate;
    voice.streamOpen = true;
    voice.fadeIn = fadeIn ? kFadeFrames : 0;
    voices_.push_back(std::move(voice));
    return id;
}

void Mixer::Feed(VoiceId id, std::span<const std::int16_t> samples) {
    for (Voice& voice : voices_) {
        if (voice.id != id || !voice.fed || !voice.streamOpen) continue;
        DropPlayed(voice);
        const std::size_t whole = samples.size() - samples.size() % static_cast<std::size_t>(voice.fed->channels);
        voice.fed->data.insert(voice.fed->data.end(), samples.begin(),
                               samples.begin() + static_cast<std::ptrdiff_t>(whole));
        voice.end = static_cast<double>(voice.fed->frames());
    }
}

void Mixer::EndStream(VoiceId id) {
    for (Voice& voice : voices_)
        if (voice.id == id) voice.streamOpen = false;
}

std::optional<Mixer::StreamState> Mixer::Stream(VoiceId id) const {
    for (const Voice& voice : voices_) {
        if (voice.id != id || !voice.fed || voice.fadeOut >= 0) continue;
        const double position = std::min(voice.position, voice.end);
        return StreamState{static_cast<double>(voice.dropped) + position,
                           static_cast<std::size_t>(voice.end - std::floor(position))};
    }
    return std::nullopt;
}

void Mixer::DropPlayed(Voice& voice) {
    // The resampler reads one frame before the position.
    const auto playable = static_cast<std::size_t>(std::max(0.0, std::floor(voice.position) - 1));
    if (playable < 4096) return;
    const auto channels = static_cast<std::size_t>(voice.fed->channels);
    voice.fed->data.erase(voice.fed->data.begin(),
                          voice.fed->data.begin() + static_cast<std::ptrdiff_t>(playable * channels));
    voice.dropped += playable;
    voice.position -= static_cast<double>(playable);
    voice.end -= static_cast<double>(playable);
}

void Mixer::Stop(VoiceId id) {
    for (Voice& voice : voices_)
        if (voice.id == id && voice.fadeOut < 0) voice.fadeOut = kFadeFrames;
}

void Mixer::StopAll() {
    for (Voice& voice : voices_)
        if (voice.fadeOut < 0) voice.fadeOut = kFadeFrames;
}

bool Mixer::Playing(VoiceId id) const {
    return std::any_of(voices_.begin(), voices_.end(),
                       [id](const Voice& voice) { return voice.id == id && voice.fadeOut < 0; });
}

void Mixer::SetTransform(VoiceId id, ChannelTransform transform) {
    for (Voice& voice : voices_)
        if (voice.id == id) voice.transform = transform;
}

std::optional<double> Mixer::PlayedSeconds(VoiceId id) const {
    for (const Voice& voice : voices_)
        if (voice.id == id && voice.fadeOut < 0)
            return (static_cast<double>(voice.dropped) + voice.position) / TrueRate(voice.sound->rate);
    return std::nullopt;
}

std::vector<VoiceId> Mixer::TakeFinished() { return std::exchange(finished_, {}); }

void Mixer::EnvelopeAt(const std::vector<EnvelopePoint>& envelope, std::uint64_t position44, std::size_t& next,
                       double& left, double& right) {
    if (envelope.empty()) {
        left = right = 1;
        return;
    }
    // Levels hold before the first point and after the last.
    while (next < envelope.size() && envelope[next].position44 < position44) ++next;
    const auto after = envelope.begin() + static_cast<std::ptrdiff_t>(next);
    if (after == envelope.begin() || after == envelope.end()) {
        const EnvelopePoint& p = after == envelope.end() ? envelope.back() : *after;
        left = p.left / kFullLevel;
        right = p.right / kFullLevel;
        return;
    }
    const EnvelopePoint& before = *(after - 1);
    // Points out of order (a bad file) give a level between theirs, never beyond.
    const double span = static_cast<double>(after->position44) - static_cast<double>(before.position44);
    const double into = static_cast<double>(position44) - static_cast<double>(before.position44);
    const double t = span > 0 ? std::clamp(into / span, 0.0, 1.0) : 1;
    left = (before.left + (after->left - before.left) * t) / kFullLevel;
    right = (before.right + (after->right - before.right) * t) / kFullLevel;
}

bool Mixer::NextFrame(Voice& voice, double& left, double& right) {
    if (voice.fadeOut == 0) return false;
    // A stream waits for the frames the resampler needs past its position.
    if (voice.streamOpen && voice.position + 2 >= voice.end) {
        left = right = 0;
        if (voice.fadeOut > 0) --voice.fadeOut;
        return true;
    }
    if (voice.position >= voice.end) {
        if (--voice.loopsLeft <= 0) return false;
        voice.position = voice.start + (voice.position - voice.end);
    }
    const Samples& sound = *voice.sound;
    const auto last = static_cast<std::ptrdiff_t>(sound.frames()) - 1;
    const auto at = static_cast<std::ptrdiff_t>(voice.position);
    const double t = voice.position - static_cast<double>(at);
    const auto sample = [&](std::ptrdiff_t frame, int channel) {
        frame = std::clamp<std::ptrdiff_t>(frame, 0, last);
        return static_cast<double>(sound.data[static_cast<std::size_t>(frame * sound.channels + channel)]);
    };
    const auto channel = [&](int c) {
        return t == 0 ? sample(at, c)
                      : Hermite(sample(at - 1, c), sample(at, c), sample(at + 1, c), sample(at + 2, c), t);
    };
    left = channel(0);
    right = sound.channels == 2 ? channel(1) : left;

    double envelopeLeft, envelopeRight;
    EnvelopeAt(voice.options.envelope, voice.options.inPoint44 + voice.played44, voice.envelopePoint, envelopeLeft,
               envelopeRight);
    double gain = 1;
    if (voice.fadeIn > 0) gain *= static_cast<double>(kFadeFrames - voice.fadeIn--) / kFadeFrames;
    if (voice.fadeOut > 0) gain *= static_cast<double>(voice.fadeOut--) / kFadeFrames;
    left *= envelopeLeft * gain;
    right *= envelopeRight * gain;
    voice.position += voice.step;
    ++voice.played44;
    return true;
}

void Mixer::SetPaused(VoiceId id, bool paused) {
    for (Voice& voice : voices_)
        if (voice.id == id) voice.paused = paused;
}

void Mixer::Mix(std::span<std::int16_t> out) {
    const std::size_t frames = out.size() / 2;
    mix_.assign(frames * 2, 0.0);
    for (Voice& voice : voices_) {
        // A paused voice that is being stopped ends at once: it has nothing to fade.
        if (voice.paused && voice.fadeOut > 0) voice.fadeOut = 0;
        if (voice.paused) continue;
        const ChannelTransform& m = voice.transform;
        for (std::size_t i = 0; i < frames; ++i) {
            double left, right;
            if (!NextFrame(voice, left, right)) {
                // A voice that ran out (not one being stopped) is finished.
                if (voice.fadeOut < 0) finished_.push_back(voice.id);
                voice.fadeOut = 0;
                break;
            }
            mix_[2 * i] += m.ll * left + m.rl * right;
            mix_[2 * i + 1] += m.lr * left + m.rr * right;
        }
    }
    std::erase_if(voices_, [](const Voice& voice) { return voice.fadeOut == 0; });
    const ChannelTransform& m = master_;
    for (std::size_t i = 0; i < frames; ++i) {
        const double left = mix_[2 * i], right = mix_[2 * i + 1];
        mix_[2 * i] = m.ll * left + m.rl * right;
        mix_[2 * i + 1] = m.lr * left + m.rr * right;
    }
    for (std::size_t i = 0; i < frames * 2; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(std::lround(mix_[i] * volume_), -32768L, 32767L));
}

}  // namespace swf::sound
