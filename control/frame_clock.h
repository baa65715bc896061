#pragma once
// Paces playback by a monotonic tick counter rather than by counting timer
// ticks: the number of frames due is derived from the time elapsed since the
// start, so late or dropped timer ticks are caught up and never accumulate as
// drift. After a long stall only a few frames are played at once and the rest
// of the backlog is dropped.

#include <cstdint>

namespace control {

// Frames played at most for one tick; the remainder of a longer backlog is dropped.
inline constexpr int kMaxCatchUpFrames = 4;

// Frame rate used when a movie declares none that can be played.
inline constexpr double kFallbackFrameRate = 12.0;

// A declared frame rate made playable: unusable values (zero, negative, not a
// number) give kFallbackFrameRate; the rest is kept within 0.1 to 120 frames
// per second.
double PlayableFrameRate(double declared);

// The period of the timer that drives playback, in milliseconds (at least 10).
unsigned TimerPeriodMs(double frameRate);

class FrameClock {
public:
    // frameRate frames per second, ticksPerSecond the counter's frequency.
    void Start(std::int64_t now, double frameRate, std::int64_t ticksPerSecond);
    void Stop() { running_ = false; }
    bool Running() const { return running_; }

    // Frames to play at `now`: those due since the last call, at most
    // kMaxCatchUpFrames. A counter that goes backwards yields 0.
    int FramesDue(std::int64_t now);
    // Frames left out since Start because the backlog was longer than the cap.
    std::int64_t FramesSkipped() const { return skipped_; }
    // Milliseconds from `now` until the next frame is due (rounded up, at
    // least 1, at most one frame's period).
    unsigned MillisecondsToNextFrame(std::int64_t now) const;

private:
    bool running_ = false;
    std::int64_t start_ = 0;
    std::int64_t ticksPerSecond_ = 1;
    double frameRate_ = kFallbackFrameRate;
    std::int64_t framesCounted_ = 0;  // frames accounted for since start_
    std::int64_t skipped_ = 0;
};

}  // namespace control
