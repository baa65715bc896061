#include "swf/player/media/net_streams.h"

#include <algorithm>

#include "swf/files/movie_path.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

std::uint32_t NetStreams::CreateStream() {
    if (next_ == 0) return 0;  // every handle was given out
    const std::uint32_t stream = next_++;
    return stream;
}

FlvPlayback* NetStreams::Find(std::uint32_t stream) {
    const auto it = streams_.find(stream);
    return it == streams_.end() ? nullptr : it->second.get();
}

FlvPlayback* NetStreams::Ensure(std::uint32_t stream) {
    if (stream == 0 || stream >= next_) return nullptr;
    if (FlvPlayback* playback = Find(stream)) return playback;
    return streams_.emplace(stream, std::make_unique<FlvPlayback>(&sounds_, mp3_)).first->second.get();
}

void NetStreams::Play(std::uint32_t stream, const std::string& url) {
    FlvPlayback* playback = Ensure(stream);
    if (playback == nullptr) return;
    const auto open =
        std::count_if(streams_.begin(), streams_.end(), [](const auto& entry) { return entry.second->Open(); });
    if (!playback->Open() && static_cast<std::size_t>(open) >= kMaxOpenStreams) {
        playback->Play(FileOpenResult{nullptr, std::to_string(kMaxOpenStreams) + " videos are open already"}, url);
        return;
    }
    std::string why;
    const std::string path = ConfineMoviePath(url, &why);
    FileOpenResult opened;
    if (path.empty())
        opened.error = why;
    else if (files_ == nullptr)
        opened.error = "there is no folder to load from";
    else
        opened = files_->OpenFile(path);
    playback->Play(std::move(opened), url);
}

void NetStreams::Pause(std::uint32_t stream, std::optional<bool> pause) {
    if (FlvPlayback* playback = Find(stream)) playback->Pause(pause);
}

void NetStreams::Seek(std::uint32_t stream, double seconds) {
    if (FlvPlayback* playback = Find(stream)) playback->Seek(seconds);
}

void NetStreams::Close(std::uint32_t stream) {
    // The picture stays for the Video objects showing it, until they clear it.
    if (FlvPlayback* playback = Find(stream)) playback->Close();
}

void NetStreams::SetBufferTime(std::uint32_t stream, double seconds) {
    if (FlvPlayback* playback = Ensure(stream)) playback->SetBufferTime(seconds);
}

actions::StreamFigures NetStreams::Figures(std::uint32_t stream) {
    actions::StreamFigures figures;
    if (const FlvPlayback* playback = Find(stream)) {
        figures.time = playback->Time();
        figures.bufferLength = playback->BufferLength();
        figures.bufferTime = playback->BufferTime();
        figures.currentFps = playback->CurrentFps();
        figures.bytesLoaded = static_cast<double>(playback->BytesLoaded());
        figures.bytesTotal = static_cast<double>(playback->BytesTotal());
    }
    return figures;
}

void NetStreams::AttachAudio(std::uint32_t stream, ActionTarget* clip) {
    // Owners are keyed as the Sound class keys them: by clip.
    if (FlvPlayback* playback = Ensure(stream))
        playback->SetAudioOwner(static_cast<const void*>(dynamic_cast<MovieClip*>(clip)));
}

void NetStreams::Advance(double elapsedSeconds, bool followSound) {
    for (auto& [stream, playback] : streams_) playback->Advance(elapsedSeconds, followSound);
    // Streams that hold no file and whose picture nothing shows are let go,
    // so that a script making streams every frame cannot pile them up.
    if (streams_.size() > kMaxKeptStreams) {
        std::erase_if(streams_, [](const auto& entry) {
            return !entry.second->Open() && entry.second->Feed().use_count() == 1 && !entry.second->Telling();
        });
    }
}

std::vector<std::pair<std::uint32_t, StreamEvent>> NetStreams::TakeEvents() {
    std::vector<std::pair<std::uint32_t, StreamEvent>> events;
    for (auto& [stream, playback] : streams_) {
        for (StreamEvent& event : playback->TakeEvents()) events.emplace_back(stream, std::move(event));
        for (std::string& warning : playback->TakeWarnings()) warnings_.push_back(std::move(warning));
    }
    return events;
}

std::shared_ptr<VideoFeed> NetStreams::FeedOf(std::uint32_t stream) {
    FlvPlayback* playback = Ensure(stream);
    return playback != nullptr ? playback->Feed() : nullptr;
}

}  // namespace swf
