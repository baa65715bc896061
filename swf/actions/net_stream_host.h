#pragma once
// The movie's video streams as scripts reach them (NetStream, and the clips
// and Video objects they attach to). The player implements it; a stream's
// status and data calls come back through Vm::StreamCall.

#include <cstdint>
#include <optional>
#include <string>

namespace swf {
class ActionTarget;
}

namespace swf::actions {

// What NetStream's properties read.
struct StreamFigures {
    double time = 0;  // seconds
    double bufferLength = 0;
    double bufferTime = 0.1;
    double currentFps = 0;
    double bytesLoaded = 0;
    double bytesTotal = 0;
};

class NetStreamHost {
public:
    virtual ~NetStreamHost() = default;
    // A new stream's handle (never 0); 0 when no more may be made.
    virtual std::uint32_t CreateStream() = 0;
    // Plays `url` (relative to the movie, confined to its folder) from its start.
    virtual void Play(std::uint32_t stream, const std::string& url) = 0;
    // true pauses, false resumes, nothing toggles.
    virtual void Pause(std::uint32_t stream, std::optional<bool> pause) = 0;
    virtual void Seek(std::uint32_t stream, double seconds) = 0;
    virtual void Close(std::uint32_t stream) = 0;
    virtual void SetBufferTime(std::uint32_t stream, double seconds) = 0;
    virtual StreamFigures Figures(std::uint32_t stream) = 0;
    // The stream's sound belongs to `clip` (MovieClip.attachAudio), whose
    // Sound sets its volume; null gives it back to the whole movie.
    virtual void AttachAudio(std::uint32_t stream, ActionTarget* clip) = 0;
};

}  // namespace swf::actions
