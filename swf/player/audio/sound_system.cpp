#include "swf/player/audio/sound_system.h"

#include <algorithm>
#include <variant>

#include "swf/sound/adpcm_decoder.h"
#include "swf/sound/decode_sound.h"
#include "swf/sound/mp3_frames.h"
#include "swf/sound/pcm_decoder.h"

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

void SoundSystem::Play(const std::shared_ptr<const MovieDefinition>& movie, const StartSoundCommand& command,
                       const void* owner) {
    if (!movie) return;
    const SoundDefinition* sound = Find(*movie, command);
    if (!sound) return;
    const SoundKey key{movie.get(), sound->id};
    std::vector<sound::VoiceId>& playing = voices_[key];
    // Decoded before the mixer is locked: the audio thread must not wait on it.
    const std::uint32_t handle = command.info.stop ? 0 : ScriptSound(movie, *sound);
    const auto samples = handle != 0 ? handles_[handle - 1] : nullptr;
    std::lock_guard lock(mixerMutex_);
    std::erase_if(playing, [&](sound::VoiceId voice) { return !mixer_.Playing(voice); });
    if (command.info.stop) {
        for (sound::VoiceId voice : playing) mixer_.Stop(voice);
        playing.clear();
        return;
    }
    if (command.info.noMultiple && !playing.empty()) return;
    playing.push_back(StartOwned(owner, handle, samples, command.info.play));
}

sound::VoiceId SoundSystem::StartOwned(const void* owner, std::uint32_t handle,
                                       std::shared_ptr<const sound::Samples> samples,
                                       const sound::PlayOptions& options) {
    if (owned_.size() > 256 || handleOfVoice_.size() > 1024) PruneOwned();
    const auto transform = transforms_.find(owner);
    const sound::VoiceId voice = mixer_.Start(
        std::move(samples), options,
        owner != nullptr && transform != transforms_.end() ? transform->second : sound::ChannelTransform{});
    owned_[owner].push_back({voice, handle});
    handleOfVoice_[voice] = handle;
    return voice;
}

void SoundSystem::PruneOwned() {
    for (auto it = owned_.begin(); it != owned_.end();) {
        std::erase_if(it->second, [&](const Owned& o) { return !mixer_.Playing(o.voice); });
        it = it->second.empty() ? owned_.erase(it) : std::next(it);
    }
    std::erase_if(handleOfVoice_, [&](const auto& entry) { return !mixer_.Playing(entry.first); });
}

std::uint32_t SoundSystem::ScriptSound(const std::shared_ptr<const MovieDefinition>& movie,
                                       const SoundDefinition& sound) {
    const SoundKey key{movie.get(), sound.id};
    const auto it = handleOf_.find(key);
    if (it != handleOf_.end() && decoded_.count(key) != 0 && decoded_[key].movie.lock() == movie) return it->second;
    handles_.push_back(Samples(movie, sound));
    const auto handle = static_cast<std::uint32_t>(handles_.size());
    handleOf_[key] = handle;
    return handle;
}

std::uint32_t SoundSystem::LoadMp3(std::span<const std::uint8_t> frames, std::string& problem) {
    const sound::Mp3Frames scanned = sound::ScanMp3Frames(frames);
    if (!scanned.first || scanned.count == 0) {
        problem = "the file holds no MP3 frames";
        return 0;
    }
    const auto channels = static_cast<std::size_t>(scanned.first->channels);
    if (scanned.samples * channels * sizeof(std::int16_t) > kMaxDecodedBytes) {
        problem = "the sound is too long to play (" + std::to_string(scanned.samples / scanned.first->sampleRate) +
                  " seconds)";
        return 0;
    }
    sound::SoundFormat format;
    format.codec = sound::SoundCodec::Mp3;
    sound::DecodedSound decoded =
        sound::DecodeSound(format, frames.first(scanned.bytes), static_cast<std::uint32_t>(scanned.samples), 0, mp3_);
    if (decoded.samples.data.empty()) {
        problem = decoded.problem.empty() ? "the MP3 frames could not be decoded" : decoded.problem;
        return 0;
    }
    handles_.push_back(std::make_shared<const sound::Samples>(std::move(decoded.samples)));
    return static_cast<std::uint32_t>(handles_.size());
}

sound::VoiceId SoundSystem::StartFor(const void* owner, std::uint32_t handle, double offsetSeconds, int loops) {
    if (handle == 0 || handle > handles_.size()) return 0;
    sound::PlayOptions options;
    options.inPoint44 = static_cast<std::uint32_t>(std::min(offsetSeconds * sound::kMixRate, 4.0e9));
    options.loops = loops;
    std::lock_guard lock(mixerMutex_);
    return StartOwned(owner, handle, handles_[handle - 1], options);
}

void SoundSystem::StopFor(const void* owner, std::uint32_t handle) {
    if (owner == nullptr && handle == 0) {
        StopAll();
        return;
    }
    std::lock_guard lock(mixerMutex_);
    for (auto& [who, voices] : owned_) {
        if (owner != nullptr && who != owner) continue;
        for (const Owned& o : voices)
            if (handle == 0 || o.handle == handle) mixer_.Stop(o.voice);
    }
}

void SoundSystem::SetTransformFor(const void* owner, const sound::ChannelTransform& transform) {
    std::lock_guard lock(mixerMutex_);
    if (owner == nullptr) {
        mixer_.SetMasterTransform(transform);
        return;
    }
    transforms_[owner] = transform;
    const auto it = owned_.find(owner);
    if (it == owned_.end()) return;
    for (const Owned& o : it->second) mixer_.SetTransform(o.voice, transform);
}

double SoundSystem::DurationMs(std::uint32_t handle) const {
    if (handle == 0 || handle > handles_.size()) return 0;
    const sound::Samples& samples = *handles_[handle - 1];
    const double rate = samples.rate == 5512 ? sound::kMixRate / 8.0 : samples.rate;
    return rate > 0 ? 1000.0 * static_cast<double>(samples.frames()) / rate : 0;
}

double SoundSystem::PositionMs(sound::VoiceId voice) {
    std::uint32_t handle = 0;
    {
        std::lock_guard lock(mixerMutex_);
        if (const auto seconds = mixer_.PlayedSeconds(voice)) return 1000 * *seconds;
        const auto it = handleOfVoice_.find(voice);
        if (it != handleOfVoice_.end()) handle = it->second;
    }
    // Ended: where it ended, at the end of its sound.
    return DurationMs(handle);
}

bool SoundSystem::Playing(sound::VoiceId voice) {
    std::lock_guard lock(mixerMutex_);
    return mixer_.Playing(voice);
}

std::vector<sound::VoiceId> SoundSystem::TakeFinished() {
    std::lock_guard lock(mixerMutex_);
    return std::exchange(finished_, {});
}

void SoundSystem::Handle(const SoundRequest& request) {
    if (const auto* start = std::get_if<SoundStart>(&request)) {
        Play(start->movie, start->command, start->owner);
    } else if (const auto* entered = std::get_if<StreamFrameEntered>(&request)) {
        const auto it = streams_.find(entered->owner);
        // Playing on within what was fed goes on; anything else starts again here.
        if (entered->continues && it != streams_.end() && it->second.timeline == entered->timeline &&
            entered->frame >= it->second.first && (entered->frame < it->second.next || it->second.ended)) {
            if (!Feed(it->second)) streams_.erase(it);
            return;
        }
        StartStream(*entered);
    } else if (const auto* stopped = std::get_if<StreamStopped>(&request)) {
        StopStream(stopped->owner);
    } else if (const auto* gone = std::get_if<OwnerGone>(&request)) {
        StopStream(gone->owner);
        if (gone->owner == nullptr) return;
        StopFor(gone->owner, 0);
        std::lock_guard lock(mixerMutex_);
        owned_.erase(gone->owner);
        transforms_.erase(gone->owner);
    }
}

namespace {

// The first frame of the timeline that carries a stream block.
std::uint32_t FirstBlockFrame(const Timeline& timeline) {
    for (std::uint32_t f = 0; f < timeline.frames.size(); ++f)
        if (timeline.frames[f].streamBlock) return f;
    return 0;
}

// "5.5 kHz" is 44.1 kHz / 8.
double TrueRate(int rate) { return rate == 5512 ? sound::kMixRate / 8.0 : rate; }

}  // namespace

void SoundSystem::StartStream(const StreamFrameEntered& entered) {
    StopStream(entered.owner);
    const Timeline* timeline = entered.timeline;
    if (!entered.movie || !timeline || !timeline->streamHead || entered.frame >= timeline->frames.size()) return;
    const std::optional<StreamSoundBlock>& block = timeline->frames[entered.frame].streamBlock;
    if (!block) return;
    const StreamSoundHead& head = *timeline->streamHead;
    Stream stream;
    stream.movie = entered.movie;
    stream.timeline = timeline;
    stream.first = stream.next = entered.frame;
    const bool atStart = entered.frame == FirstBlockFrame(*timeline);
    int rate = head.stream.rate;
    int channels = head.stream.channels();
    switch (head.stream.codec) {
    case sound::SoundCodec::UncompressedNativeEndian:
    case sound::SoundCodec::UncompressedLittleEndian:
    case sound::SoundCodec::Adpcm: break;
    case sound::SoundCodec::Mp3: {
        // The frames' own header says how they are coded; a block may hold none.
        std::optional<sound::Mp3FrameHeader> header;
        for (std::uint32_t f = entered.frame; !header && f < timeline->frames.size(); ++f) {
            const auto& b = timeline->frames[f].streamBlock;
            if (!b) break;
            if (b->data) header = sound::ReadMp3FrameHeader(*b->data);
        }
        if (!header) return;
        stream.mp3 = mp3_ ? mp3_->Open(*header) : nullptr;
        if (!stream.mp3) {
            Warn("MP3 sounds cannot be decoded on this system");
            return;
        }
        rate = header->sampleRate;
        channels = header->channels;
        const int seek = block->seekSamples > 0 ? block->seekSamples : atStart ? head.latencySeek : 0;
        stream.skip = static_cast<std::size_t>(std::max(0, seek));
        break;
    }
    default: {
        sound::DecodedSound probe = sound::DecodeSound(head.stream, {}, 0, 0, nullptr);
        if (!probe.problem.empty()) Warn(probe.problem);
        return;
    }
    }
    stream.rate = TrueRate(rate);
    stream.channels = channels;
    {
        std::lock_guard lock(mixerMutex_);
        stream.voice = mixer_.StartStream(rate, channels, !atStart);
    }
    auto [it, inserted] = streams_.insert_or_assign(entered.owner, std::move(stream));
    if (!Feed(it->second)) streams_.erase(it);
}

void SoundSystem::StopStream(const void* owner) {
    const auto it = streams_.find(owner);
    if (it == streams_.end()) return;
    {
        std::lock_guard lock(mixerMutex_);
        mixer_.Stop(it->second.voice);
    }
    streams_.erase(it);
}

bool SoundSystem::Feed(Stream& stream) {
    const auto movie = stream.movie.lock();
    if (!movie) return false;
    const auto lead = static_cast<std::size_t>(stream.rate * kStreamLeadSeconds);
    while (!stream.ended) {
        {
            std::lock_guard lock(mixerMutex_);
            const auto state = mixer_.Stream(stream.voice);
            if (!state) return false;
            if (state->buffered >= lead) return true;
        }
        const auto& frames = stream.timeline->frames;
        if (stream.next >= frames.size() || !frames[stream.next].streamBlock) {
            // The stream ends where its blocks do.
            stream.ended = true;
            std::lock_guard lock(mixerMutex_);
            mixer_.EndStream(stream.voice);
            break;
        }
        const std::vector<std::int16_t> samples = DecodeBlock(stream, *frames[stream.next].streamBlock);
        ++stream.next;
        std::lock_guard lock(mixerMutex_);
        mixer_.Feed(stream.voice, samples);
    }
    std::lock_guard lock(mixerMutex_);
    return mixer_.Stream(stream.voice).has_value();
}

std::vector<std::int16_t> SoundSystem::DecodeBlock(Stream& stream, const StreamSoundBlock& block) {
    const std::vector<std::uint8_t> none;
    const std::vector<std::uint8_t>& data = block.data ? *block.data : none;
    const sound::SoundFormat& format = stream.timeline->streamHead->stream;
    std::vector<std::int16_t> samples;
    if (format.codec == sound::SoundCodec::Mp3) {
        if (!data.empty() && !stream.mp3->Decode(data, samples))
            Warn("a stream sound has bad MP3 frames; they are left out");
        const auto channels = static_cast<std::size_t>(stream.channels);
        const std::size_t skip = std::min(stream.skip * channels, samples.size());
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(skip));
        stream.skip -= skip / channels;
    } else if (format.codec == sound::SoundCodec::Adpcm) {
        // A block holds what its packets hold: the last one may be short.
        samples = sound::DecodeAdpcm(data, format.stereo, data.size() * 4).samples;
    } else {
        samples = sound::DecodePcm(data, format.sixteenBit, format.stereo, data.size());
    }
    return samples;
}

void SoundSystem::FeedStreams() {
    for (auto it = streams_.begin(); it != streams_.end();) {
        if (Feed(it->second))
            ++it;
        else
            it = streams_.erase(it);
    }
}

std::optional<double> SoundSystem::StreamFrame(const void* owner) {
    const auto it = streams_.find(owner);
    if (it == streams_.end()) return std::nullopt;
    std::lock_guard lock(mixerMutex_);
    const auto state = mixer_.Stream(it->second.voice);
    if (!state || frameRate_ <= 0) return std::nullopt;
    return it->second.first + state->played / (it->second.rate / frameRate_);
}

void SoundSystem::StopAll() {
    std::lock_guard lock(mixerMutex_);
    mixer_.StopAll();
    voices_.clear();
    streams_.clear();
}

void SoundSystem::Reset() {
    StopAll();
    std::lock_guard lock(mixerMutex_);
    handleOf_.clear();
    handles_.clear();
    owned_.clear();
    transforms_.clear();
    handleOfVoice_.clear();
    finished_.clear();
    mixer_.SetMasterTransform({});
}

sound::VoiceId SoundSystem::StartMediaStream(const void* owner, int rate, int channels) {
    std::lock_guard lock(mixerMutex_);
    if (owned_.size() > 256 || handleOfVoice_.size() > 1024) PruneOwned();
    const sound::VoiceId voice = mixer_.StartStream(rate, channels);
    const auto transform = transforms_.find(owner);
    if (owner != nullptr && transform != transforms_.end()) mixer_.SetTransform(voice, transform->second);
    owned_[owner].push_back({voice, 0});
    return voice;
}

void SoundSystem::FeedMediaStream(sound::VoiceId voice, std::span<const std::int16_t> samples) {
    std::lock_guard lock(mixerMutex_);
    mixer_.Feed(voice, samples);
}

void SoundSystem::EndMediaStream(sound::VoiceId voice) {
    std::lock_guard lock(mixerMutex_);
    mixer_.EndStream(voice);
}

void SoundSystem::PauseMediaStream(sound::VoiceId voice, bool paused) {
    std::lock_guard lock(mixerMutex_);
    mixer_.SetPaused(voice, paused);
}

void SoundSystem::StopMediaStream(sound::VoiceId voice) {
    std::lock_guard lock(mixerMutex_);
    mixer_.Stop(voice);
}

void SoundSystem::SetMediaStreamOwner(sound::VoiceId voice, const void* owner) {
    std::lock_guard lock(mixerMutex_);
    for (auto& [who, voices] : owned_) std::erase_if(voices, [voice](const Owned& o) { return o.voice == voice; });
    owned_[owner].push_back({voice, 0});
    const auto transform = transforms_.find(owner);
    mixer_.SetTransform(
        voice, owner != nullptr && transform != transforms_.end() ? transform->second : sound::ChannelTransform{});
}

std::optional<sound::Mixer::StreamState> SoundSystem::MediaStreamState(sound::VoiceId voice) {
    std::lock_guard lock(mixerMutex_);
    return mixer_.Stream(voice);
}

void SoundSystem::SetVolume(double volume) {
    std::lock_guard lock(mixerMutex_);
    mixer_.SetVolume(volume);
}

void SoundSystem::Mix(std::span<std::int16_t> out) {
    std::lock_guard lock(mixerMutex_);
    mixer_.Mix(out);
    const std::vector<sound::VoiceId> ended = mixer_.TakeFinished();
    // Kept for scripts to hear of; bounded when no script asks.
    if (finished_.size() < 4096) finished_.insert(finished_.end(), ended.begin(), ended.end());
}

void SoundSystem::Warn(std::string warning) {
    if (warned_.insert(warning).second) warnings_.push_back(std::move(warning));
}

std::vector<std::string> SoundSystem::TakeWarnings() { return std::exchange(warnings_, {}); }

}  // namespace swf
