#pragma once
// The movie's NetStreams: each handle scripts hold plays one FLV file at a
// time (FlvPlayback), opened from the movie's folder under the same
// confinement as every other load. The player moves them on every frame
// tick and passes what they tell to their script objects.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/actions/net_stream_host.h"
#include "swf/files/file_host.h"
#include "swf/player/audio/sound_system.h"
#include "swf/player/media/flv_playback.h"

namespace swf {

class NetStreams final : public actions::NetStreamHost {
public:
    // `files` may be null: every play then fails. `mp3` may be null.
    NetStreams(SoundSystem& sounds, FileHost* files, sound::Mp3Codec* mp3)
        : sounds_(sounds), files_(files), mp3_(mp3) {}

    void SetFileHost(FileHost* files) { files_ = files; }

    std::uint32_t CreateStream() override;
    void Play(std::uint32_t stream, const std::string& url) override;
    void Pause(std::uint32_t stream, std::optional<bool> pause) override;
    void Seek(std::uint32_t stream, double seconds) override;
    void Close(std::uint32_t stream) override;
    void SetBufferTime(std::uint32_t stream, double seconds) override;
    actions::StreamFigures Figures(std::uint32_t stream) override;
    void AttachAudio(std::uint32_t stream, ActionTarget* clip) override;

    // Every playing stream moves on (see FlvPlayback::Advance).
    void Advance(double elapsedSeconds, bool followSound);
    // What each stream told since the last call, by handle, in order.
    std::vector<std::pair<std::uint32_t, StreamEvent>> TakeEvents();
    std::vector<std::string> TakeWarnings() { return std::exchange(warnings_, {}); }
    // The picture a stream shows; null for a handle that has none.
    std::shared_ptr<VideoFeed> FeedOf(std::uint32_t stream);

    // Streams with a file open at once, at most; a play beyond it is refused.
    static constexpr std::size_t kMaxOpenStreams = 16;

private:
    FlvPlayback* Find(std::uint32_t stream);
    // The stream's playback, made on first use; null for a handle never given.
    FlvPlayback* Ensure(std::uint32_t stream);
    static constexpr std::size_t kMaxKeptStreams = 256;

    SoundSystem& sounds_;
    FileHost* files_;
    sound::Mp3Codec* mp3_;
    std::uint32_t next_ = 1;
    std::map<std::uint32_t, std::unique_ptr<FlvPlayback>> streams_;
    std::vector<std::string> warnings_;
};

}  // namespace swf
