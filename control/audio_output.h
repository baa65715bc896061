#pragma once
// The movie's sound through the system's wave output: a thread of its own
// keeps a few short buffers queued at the device, each filled by the mixer
// as the device hands it back, so that a sound started by a frame is heard
// within a few tens of milliseconds and playback goes on whatever the window
// does. The wave output library is loaded when the first movie starts it.

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>

#include "win32/owned_handle.h"

namespace control {

class AudioOutput {
public:
    // Fills one buffer: 44.1 kHz stereo 16-bit samples, interleaved. Called
    // on the output's thread.
    using Source = std::function<void(std::span<std::int16_t> samples)>;

    // Buffers queued at the device and the time each holds.
    static constexpr int kBuffers = 4;
    static constexpr int kBufferMilliseconds = 20;

    AudioOutput() = default;
    ~AudioOutput() { Stop(); }
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default device and starts playing what `source` gives.
    // False, with Problem() saying why, when there is no device to play on.
    bool Start(Source source);
    // Silences the device and closes it; the source is not called again.
    void Stop();
    bool Running() const { return device_ != nullptr; }
    const std::string& Problem() const { return problem_; }

private:
    void Run();

    HWAVEOUT device_ = nullptr;
    win32::OwnedHandle done_;  // the device signals it for each buffer it hands back
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    Source source_;
    std::string problem_;
};

}  // namespace control
