#include "swf/player/media/flv_playback.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/video/flv_script.h"

namespace swf {

namespace {

constexpr std::size_t kReadChunk = 64u << 10;
constexpr std::uint64_t kTagHeaderBytes = 11;
constexpr std::uint64_t kTagSizeBytes = 4;  // the PreviousTagSize after each tag
// A seek past what was read looks through at most this many tag headers.
constexpr int kMaxScannedTags = 1 << 20;

// "5.5 kHz" is 44.1 kHz / 8.
double TrueRate(int rate) { return rate == 5512 ? sound::kMixRate / 8.0 : rate; }

}  // namespace

FlvPlayback::FlvPlayback(SoundSystem* sounds, sound::Mp3Codec* mp3) : sounds_(sounds), audio_(mp3) {}

FlvPlayback::~FlvPlayback() { StopVoice(); }

void FlvPlayback::Status(const char* code, const char* level) {
    StreamEvent event;
    event.handler = "onStatus";
    event.code = code;
    event.level = level;
    events_.push_back(std::move(event));
}

void FlvPlayback::Warn(std::string warning) {
    if (std::find(told_.begin(), told_.end(), warning) != told_.end()) return;
    told_.push_back(warning);
    warnings_.push_back(std::move(warning));
}

void FlvPlayback::StopVoice() {
    if (voice_ != 0 && sounds_ != nullptr) sounds_->StopMediaStream(voice_);
    voice_ = 0;
}

void FlvPlayback::Reset() {
    StopVoice();
    file_.reset();
    reader_ = video::FlvReader();
    index_ = video::FlvIndex();
    audio_.Reset();
    decoder_.reset();
    decoderCodec_.reset();
    queue_.clear();
    queuedBytes_ = 0;
    readPosition_ = scannedTo_ = 0;
    lastReadTime_.reset();
    lastTagTime_ = 0;
    state_ = State::Idle;
    paused_ = flushTold_ = false;
    playhead_ = 0;
    shownTimes_.clear();
}

void FlvPlayback::ReportLateFrames() {
    if (framesDropped_ == 0) return;
    Warn("the video " + name_ + ": " + std::to_string(framesDropped_) + " of " +
         std::to_string(framesDropped_ + framesShown_) + " frames were let go, late (the machine could not keep up)");
    framesDropped_ = framesShown_ = 0;
}

void FlvPlayback::Close() {
    ReportLateFrames();
    Reset();
}

void FlvPlayback::Play(FileOpenResult opened, const std::string& name) {
    ReportLateFrames();
    Reset();
    name_ = name;
    framesShown_ = framesDropped_ = 0;
    if (!opened.file) {
        Warn("the video " + name + " cannot be played: " + opened.error);
        Status("NetStream.Play.StreamNotFound", "error");
        return;
    }
    std::array<std::uint8_t, 3> signature{};
    const std::optional<std::size_t> got = opened.file->ReadAt(0, signature);
    if (!got || *got != signature.size() || signature != std::array<std::uint8_t, 3>{'F', 'L', 'V'}) {
        Warn("the video " + name + " cannot be played: it is not an FLV file");
        Status("NetStream.Play.StreamNotFound", "error");
        return;
    }
    file_ = std::move(opened.file);
    state_ = State::Buffering;
    Status("NetStream.Play.Start");
}

void FlvPlayback::Pause(std::optional<bool> pause) {
    if (!file_) return;
    paused_ = pause.value_or(!paused_);
    if (voice_ != 0 && sounds_ != nullptr) sounds_->PauseMediaStream(voice_, paused_);
}

void FlvPlayback::SetBufferTime(double seconds) {
    if (std::isfinite(seconds)) bufferTime_ = std::clamp(seconds, 0.0, 3600.0);
}

void FlvPlayback::SetAudioOwner(const void* owner) {
    audioOwner_ = owner;
    if (voice_ != 0 && sounds_ != nullptr) sounds_->SetMediaStreamOwner(voice_, owner);
}

double FlvPlayback::Time() const { return playhead_ / 1000; }

double FlvPlayback::ReadAheadMs() const { return lastReadTime_ ? std::max(0.0, *lastReadTime_ - playhead_) : 0; }

double FlvPlayback::BufferLength() const {
    if (!file_ || (reader_.Done() && queue_.empty() && SoundAheadMs() <= 0)) return 0;
    return ReadAheadMs() / 1000;
}

double FlvPlayback::CurrentFps() const {
    if (state_ != State::Playing || paused_) return 0;
    return static_cast<double>(
        std::count_if(shownTimes_.begin(), shownTimes_.end(), [&](double t) { return t > playhead_ - 1000; }));
}

double FlvPlayback::SoundAheadMs() const {
    if (voice_ == 0 || sounds_ == nullptr || voiceRate_ <= 0) return 0;
    const auto state = sounds_->MediaStreamState(voice_);
    return state ? 1000.0 * static_cast<double>(state->buffered) / TrueRate(voiceRate_) : 0;
}

void FlvPlayback::ReadAhead() {
    if (!file_) return;
    const double wanted = 1000 * std::max(bufferTime_, kReadAheadSeconds);
    std::vector<std::uint8_t> chunk;
    std::size_t read = 0;
    while (true) {
        while (std::optional<video::FlvTag> tag = reader_.Next()) Take(std::move(*tag));
        if (reader_.Done()) break;
        if (lastReadTime_ && *lastReadTime_ - playhead_ >= wanted) break;
        if (queuedBytes_ >= kMaxQueuedBytes || read >= kMaxReadPerAdvance) break;
        chunk.resize(kReadChunk);
        const std::optional<std::size_t> got = file_->ReadAt(readPosition_, chunk);
        if (!got) {
            Warn("the video " + name_ + " could not be read to its end; it plays up to there");
            reader_.End();
            continue;
        }
        if (*got == 0) {
            reader_.End();
            continue;
        }
        reader_.Append(std::span(chunk.data(), *got));
        readPosition_ += *got;
        read += *got;
    }
}

void FlvPlayback::Take(video::FlvTag tag) {
    index_.Add(tag);
    scannedTo_ = std::max(scannedTo_, tag.position + kTagHeaderBytes + tag.body.size() + kTagSizeBytes);
    lastReadTime_ = std::max(lastReadTime_.value_or(0), tag.timestamp);
    lastTagTime_ = std::max(lastTagTime_, tag.timestamp);
    switch (tag.kind) {
    case video::FlvTagKind::Audio: TakeAudio(tag); break;
    case video::FlvTagKind::Script: TakeScript(tag); break;
    case video::FlvTagKind::Video:
        queuedBytes_ += tag.body.size();
        queue_.push_back(std::move(tag));
        break;
    }
}

void FlvPlayback::TakeScript(const video::FlvTag& tag) {
    std::string problem;
    std::optional<video::FlvScriptData> data = video::ReadFlvScriptData(tag.body, &problem);
    if (!data) {
        Warn("the video " + name_ + " has script data that cannot be read (" + problem + "); it is left out");
        return;
    }
    if (data->name == "onMetaData") {
        std::string indexProblem;
        if (!index_.UseMetadata(data->value, &indexProblem) && !indexProblem.empty())
            Warn("the video " + name_ + " has a key frame index that does not hold (" + indexProblem +
                 "); seeking uses the frames read instead");
        // The file's facts come as soon as they are read, before play begins.
        events_.push_back({"onMetaData", {}, {}, std::move(data->value)});
        return;
    }
    // Cue points and other calls come when the playhead reaches them.
    queue_.push_back(tag);
    queuedBytes_ += tag.body.size();
}

void FlvPlayback::TakeAudio(const video::FlvTag& tag) {
    if (sounds_ == nullptr) return;
    std::optional<FlvAudioBlock> block = audio_.Decode(tag.body);
    for (std::string& problem : audio_.TakeProblems()) Warn(std::move(problem));
    if (!block) return;
    const double time = tag.timestamp;
    const bool alive = voice_ != 0 && sounds_->MediaStreamState(voice_).has_value();
    if (!alive || block->rate != voiceRate_ || block->channels != voiceChannels_ ||
        time - soundFedMs_ > kMaxFilledGapMs) {
        // Sound from before the playhead (read after a seek) is not heard.
        if (time + 1 < playhead_ && !alive) return;
        StopVoice();
        voice_ = sounds_->StartMediaStream(audioOwner_, block->rate, block->channels);
        voiceRate_ = block->rate;
        voiceChannels_ = block->channels;
        voiceStartMs_ = soundFedMs_ = time;
        if (paused_) sounds_->PauseMediaStream(voice_, true);
    }
    const double rate = TrueRate(voiceRate_);
    const double gap = time - soundFedMs_;
    if (gap > kFilledGapMs) {
        const auto frames = static_cast<std::size_t>(gap * rate / 1000);
        const std::vector<std::int16_t> silence(frames * static_cast<std::size_t>(voiceChannels_), 0);
        sounds_->FeedMediaStream(voice_, silence);
        soundFedMs_ += 1000.0 * static_cast<double>(frames) / rate;
    }
    sounds_->FeedMediaStream(voice_, block->samples);
    soundFedMs_ +=
        1000.0 * static_cast<double>(block->samples.size() / static_cast<std::size_t>(voiceChannels_)) / rate;
}

bool FlvPlayback::DecodeFrame(const video::FlvTag& tag) {
    if (tag.body.empty() || tag.frameType == video::FlvFrameType::Command) return false;
    if (!decoderCodec_ || *decoderCodec_ != tag.codecId) {
        decoderCodec_ = tag.codecId;
        decoder_ = video::MakeVideoDecoder(static_cast<video::VideoCodecId>(tag.codecId));
        if (!decoder_ && std::find(toldCodecs_.begin(), toldCodecs_.end(), tag.codecId) == toldCodecs_.end()) {
            toldCodecs_.push_back(tag.codecId);
            Warn("the video " + name_ + " is in " +
                 video::VideoCodecName(static_cast<video::VideoCodecId>(tag.codecId)) +
                 ", which this player does not decode; its sound plays");
        }
    }
    if (!decoder_) return false;
    // As the Video showing the stream asks.
    const int deblocking = feed_->Deblocking();
    decoder_->SetDeblocking(deblocking == 0   ? video::Deblocking::AsStream
                            : deblocking == 1 ? video::Deblocking::Off
                                              : video::Deblocking::On);
    const video::DecodeResult result = decoder_->Decode(std::span(tag.body).subspan(1));
    if (!result.ok) {
        Warn("a frame of the video " + name_ + " cannot be decoded (" + result.problem +
             "); the last good picture stays");
    }
    return result.ok;
}

void FlvPlayback::ShowDue() {
    std::size_t due = 0;
    // Timestamps are whole milliseconds; the playhead sums frame times.
    while (due < queue_.size() && queue_[due].timestamp <= playhead_ + 1e-6) ++due;
    if (due == 0) return;
    // A due key frame makes the frames before it needless.
    std::optional<std::size_t> lastKey;
    std::optional<std::size_t> lastVideo;
    for (std::size_t i = 0; i < due; ++i) {
        if (queue_[i].kind != video::FlvTagKind::Video) continue;
        lastVideo = i;
        if (queue_[i].IsKeyFrame()) lastKey = i;
    }
    std::vector<StreamEvent> calls;
    bool shown = false;
    int decodes = 0;
    std::size_t done = 0;
    for (; done < due && decodes < kMaxDecodesPerAdvance; ++done) {
        const video::FlvTag& tag = queue_[done];
        if (tag.kind == video::FlvTagKind::Script) {
            std::optional<video::FlvScriptData> data = video::ReadFlvScriptData(tag.body);
            if (data) events_.push_back({data->name, {}, {}, std::move(data->value)});
            continue;
        }
        const bool last = lastVideo && done == *lastVideo;
        if ((lastKey && done < *lastKey) || (!last && tag.frameType == video::FlvFrameType::DisposableInter)) {
            ++framesDropped_;
            continue;
        }
        if (lastKey && done == *lastKey && decoder_) decoder_->Reset();
        ++decodes;
        const bool decoded = DecodeFrame(tag);
        if (last && decoded) shown = true;
        if (!last && decoded) ++framesDropped_;
        // Out of decodes for this tick: the frame reached is shown, the rest wait.
        if (!last && decoded && decodes == kMaxDecodesPerAdvance) shown = true;
    }
    for (std::size_t i = 0; i < done; ++i) {
        queuedBytes_ -= std::min(queuedBytes_, queue_.front().body.size());
        queue_.pop_front();
    }
    if (shown && decoder_ && decoder_->Picture().width > 0) {
        feed_->Show(std::make_shared<const raster::Image>(decoder_->Picture()));
        ++framesShown_;
        shownTimes_.push_back(playhead_);
        while (shownTimes_.size() > 1 && shownTimes_.front() <= playhead_ - 1000) shownTimes_.pop_front();
    }
}

bool FlvPlayback::AtEnd(bool followSound) const {
    // Followed live, the stream ends once its sound has been heard too.
    return reader_.Done() && queue_.empty() && playhead_ >= lastTagTime_ && (!followSound || SoundAheadMs() <= 0);
}

void FlvPlayback::Advance(double elapsedSeconds, bool followSound) {
    if (state_ == State::Idle || !file_) return;
    ReadAhead();
    // The playhead starts moving on the tick after the buffer filled, so
    // that the first frame is shown first.
    bool starting = false;
    if (state_ == State::Buffering && (reader_.Done() || ReadAheadMs() >= bufferTime_ * 1000)) {
        state_ = State::Playing;
        starting = true;
        Status("NetStream.Buffer.Full");
    }
    if (reader_.Done() && !flushTold_ && state_ != State::Buffering) {
        flushTold_ = true;
        if (!reader_.problem().empty())
            Warn("the video " + name_ + " is cut or damaged (" + reader_.problem() + "); it plays up to there");
        for (const std::string& warning : reader_.warnings()) Warn("the video " + name_ + ": " + warning);
        // The sound ends once it has played what it was fed.
        if (voice_ != 0 && sounds_ != nullptr) sounds_->EndMediaStream(voice_);
        Status("NetStream.Buffer.Flush");
    }
    if (state_ == State::Playing && !paused_ && !starting) {
        // The sound is the clock while it plays and more of it is coming.
        std::optional<double> heard;
        if (followSound && voice_ != 0 && sounds_ != nullptr) {
            const auto state = sounds_->MediaStreamState(voice_);
            const bool more = !reader_.Done() && lastReadTime_ && *lastReadTime_ < soundFedMs_ + 1000;
            if (state && (state->buffered > 0 || more))
                heard = voiceStartMs_ + 1000 * state->played / TrueRate(voiceRate_);
        }
        if (heard) {
            playhead_ = std::max(playhead_, *heard);
        } else if (std::isfinite(elapsedSeconds) && elapsedSeconds > 0) {
            playhead_ += std::min(elapsedSeconds, 10.0) * 1000;
        }
    }
    // Paused, the frame a seek reached still shows.
    ShowDue();
    if (state_ == State::Playing && AtEnd(followSound)) {
        state_ = State::Ended;
        StopVoice();
        ReportLateFrames();
        Status("NetStream.Play.Stop");
        Status("NetStream.Buffer.Empty");
    }
}

void FlvPlayback::ScanKeyframes(std::uint32_t ms) {
    if (!file_ || index_.fromMetadata()) return;
    const auto known = index_.keyframes();
    if (!known.empty() && known.back().time >= ms) return;
    std::uint64_t at = scannedTo_;
    std::array<std::uint8_t, kTagHeaderBytes + 1> head{};
    for (int i = 0; i < kMaxScannedTags; ++i) {
        const std::optional<std::size_t> got = file_->ReadAt(at, head);
        if (!got || *got < kTagHeaderBytes) return;
        const std::uint32_t size = (head[1] << 16) | (head[2] << 8) | head[3];
        video::FlvTag tag;
        tag.kind = static_cast<video::FlvTagKind>(head[0] & 0x1F);
        tag.timestamp = (static_cast<std::uint32_t>(head[7]) << 24) | (head[4] << 16) | (head[5] << 8) | head[6];
        tag.position = at;
        if (tag.kind == video::FlvTagKind::Video && *got > kTagHeaderBytes && size > 0) {
            tag.frameType = static_cast<video::FlvFrameType>(head[kTagHeaderBytes] >> 4);
            tag.codecId = head[kTagHeaderBytes] & 0x0F;
            index_.Add(tag);
            if (tag.IsKeyFrame() && tag.timestamp >= ms) break;
        }
        at += kTagHeaderBytes + size + kTagSizeBytes;
        if (at > file_->Size()) return;
    }
    scannedTo_ = std::max(scannedTo_, at);
}

void FlvPlayback::Seek(double seconds) {
    if (!file_ || !reader_.header()) return;
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    const auto ms = static_cast<std::uint32_t>(std::min(seconds * 1000, 4.0e9));
    ScanKeyframes(ms);
    const std::optional<video::FlvKeyframe> key = index_.KeyframeAtOrBefore(ms);
    const std::uint64_t first = reader_.header()->dataOffset + kTagSizeBytes;
    const std::uint64_t position = key ? key->position : first;
    queue_.clear();
    queuedBytes_ = 0;
    reader_.SeekTo(position);
    readPosition_ = position;
    lastReadTime_.reset();
    StopVoice();
    audio_.Reset();
    if (decoder_) decoder_->Reset();
    playhead_ = key ? key->time : 0;
    soundFedMs_ = playhead_;
    shownTimes_.clear();
    flushTold_ = false;
    Status("NetStream.Seek.Notify");
    if (state_ != State::Idle) state_ = State::Buffering;
}

}  // namespace swf
