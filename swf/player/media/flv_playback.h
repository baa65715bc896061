#pragma once
// One FLV file played as NetStream plays it: read piece by piece from the
// movie's folder a little ahead of the playhead, its video decoded when each
// frame's time comes (late frames are decoded but not shown, and a due key
// frame lets the ones before it go), its sound fed to the mixer, its script
// data handed to the stream's handlers. The playhead follows the sound while
// the host plays it live, else the time it is given.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/files/file_host.h"
#include "swf/player/audio/sound_system.h"
#include "swf/player/media/flv_audio.h"
#include "swf/player/media/video_feed.h"
#include "swf/video/amf0.h"
#include "swf/video/flv_index.h"
#include "swf/video/flv_reader.h"
#include "swf/video/video_decoder.h"

namespace swf {

// What the stream tells its script object, in order: onStatus with a code
// and level, or a script data tag's handler ("onMetaData", "onCuePoint")
// with its value.
struct StreamEvent {
    std::string handler;
    std::string code;   // onStatus
    std::string level;  // onStatus: "status" or "error"
    video::AmfValue value;
};

class FlvPlayback {
public:
    // `sounds` may be null (the stream then plays silent); `mp3` too.
    FlvPlayback(SoundSystem* sounds, sound::Mp3Codec* mp3);
    ~FlvPlayback();
    FlvPlayback(const FlvPlayback&) = delete;
    FlvPlayback& operator=(const FlvPlayback&) = delete;

    // Plays a file from its start (closing what played before); a file
    // that could not be opened tells NetStream.Play.StreamNotFound.
    void Play(FileOpenResult opened, const std::string& name);
    // true pauses, false resumes, nothing toggles.
    void Pause(std::optional<bool> pause);
    // To the last key frame at or before `seconds` (the first when none is).
    void Seek(double seconds);
    void Close();
    void SetBufferTime(double seconds);
    // The clip whose Sound sets the stream's volume (null: the whole movie's).
    void SetAudioOwner(const void* owner);

    // Moves on: reads ahead, feeds the sound, shows the frame that is due.
    // The playhead moves by `elapsedSeconds`, or with the sound when
    // `followSound` and the sound is playing.
    void Advance(double elapsedSeconds, bool followSound);

    double Time() const;
    double BufferLength() const;
    double BufferTime() const { return bufferTime_; }
    // Frames shown over the last second of play; 0 while paused or stopped.
    double CurrentFps() const;
    std::uint64_t BytesLoaded() const { return file_ ? file_->Size() : 0; }
    std::uint64_t BytesTotal() const { return file_ ? file_->Size() : 0; }
    const std::shared_ptr<VideoFeed>& Feed() const { return feed_; }
    // Whether the stream holds a file (from play to close or a failed open).
    bool Open() const { return file_ != nullptr; }
    // Frames shown and frames let go for being late, since the last play.
    std::uint64_t FramesShown() const { return framesShown_; }
    std::uint64_t FramesDropped() const { return framesDropped_; }

    std::vector<StreamEvent> TakeEvents() { return std::exchange(events_, {}); }
    // Whether events or warnings wait to be taken.
    bool Telling() const { return !events_.empty() || !warnings_.empty(); }
    std::vector<std::string> TakeWarnings() { return std::exchange(warnings_, {}); }

    // Bounds on what one stream holds and does per tick.
    static constexpr double kReadAheadSeconds = 1.0;
    static constexpr std::size_t kMaxQueuedBytes = 32u << 20;
    static constexpr std::size_t kMaxReadPerAdvance = 4u << 20;
    static constexpr int kMaxDecodesPerAdvance = 30;
    // Sound gaps longer than this are filled with silence, to keep the sound
    // on the file's timestamps; longer ones than the cap are not filled.
    static constexpr double kFilledGapMs = 40;
    static constexpr double kMaxFilledGapMs = 5000;

private:
    enum class State { Idle, Buffering, Playing, Ended };

    void Status(const char* code, const char* level = "status");
    void Warn(std::string warning);
    void Reset();
    // Reads and hands out tags until the read-ahead is covered.
    void ReadAhead();
    void Take(video::FlvTag tag);
    void TakeAudio(const video::FlvTag& tag);
    void TakeScript(const video::FlvTag& tag);
    // Decodes the video frames that are due and shows the last; runs the
    // script data that is due.
    void ShowDue();
    bool DecodeFrame(const video::FlvTag& tag);
    void StopVoice();
    // Tells how many frames were let go for being late, if any, since the last telling.
    void ReportLateFrames();
    // Milliseconds of sound fed and not yet played.
    double SoundAheadMs() const;
    // Key frames of the file past what was read, from the tags' headers,
    // until one at or after `ms` is known.
    void ScanKeyframes(std::uint32_t ms);
    double ReadAheadMs() const;
    bool AtEnd(bool followSound) const;

    SoundSystem* sounds_;
    FlvAudioDecoder audio_;
    std::shared_ptr<VideoFeed> feed_ = std::make_shared<VideoFeed>();

    std::unique_ptr<OpenedFile> file_;
    std::string name_;
    video::FlvReader reader_;
    video::FlvIndex index_;
    std::uint64_t readPosition_ = 0;   // of the next byte handed to the reader
    std::uint64_t scannedTo_ = 0;      // tag headers known to the index up to here
    std::deque<video::FlvTag> queue_;  // video and timed script tags, in file order
    std::size_t queuedBytes_ = 0;
    std::optional<std::uint32_t> lastReadTime_;  // the latest timestamp read
    std::uint32_t lastTagTime_ = 0;              // the last tag's, for the stream's end

    State state_ = State::Idle;
    bool paused_ = false;
    bool flushTold_ = false;
    double playhead_ = 0;  // milliseconds
    double bufferTime_ = 0.1;
    const void* audioOwner_ = nullptr;

    std::unique_ptr<video::VideoDecoder> decoder_;
    std::optional<std::uint8_t> decoderCodec_;
    std::vector<std::uint8_t> toldCodecs_;

    sound::VoiceId voice_ = 0;
    int voiceRate_ = 0;
    int voiceChannels_ = 0;
    double voiceStartMs_ = 0;  // the playhead time of the voice's first sample
    double soundFedMs_ = 0;    // the playhead time fed sound reaches

    std::deque<double> shownTimes_;  // playhead times of frames shown
    std::uint64_t framesShown_ = 0;
    std::uint64_t framesDropped_ = 0;

    std::vector<StreamEvent> events_;
    std::vector<std::string> warnings_;
    std::vector<std::string> told_;
};

}  // namespace swf
