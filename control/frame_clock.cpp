#include "control/frame_clock.h"

#include <algorithm>
#include <cmath>

namespace control {

double PlayableFrameRate(double declared) {
    if (!std::isfinite(declared) || declared <= 0) return kFallbackFrameRate;
    return std::clamp(declared, 0.1, 120.0);
}

unsigned TimerPeriodMs(double frameRate) {
    const double period = 1000.0 / PlayableFrameRate(frameRate);
    return std::max(10u, static_cast<unsigned>(period));
}

void FrameClock::Start(std::int64_t now, double frameRate, std::int64_t ticksPerSecond) {
    running_ = true;
    start_ = now;
    ticksPerSecond_ = std::max<std::int64_t>(1, ticksPerSecond);
    frameRate_ = PlayableFrameRate(frameRate);
    framesCounted_ = 0;
    skipped_ = 0;
}

int FrameClock::FramesDue(std::int64_t now) {
    if (!running_ || now <= start_) return 0;
    const long double elapsed = static_cast<long double>(now - start_) / ticksPerSecond_;
    const auto dueTotal = static_cast<std::int64_t>(std::floor(elapsed * frameRate_));
    const std::int64_t backlog = dueTotal - framesCounted_;
    if (backlog <= 0) return 0;
    // Whatever is beyond the cap is dropped, not postponed.
    framesCounted_ = dueTotal;
    const std::int64_t played = std::min<std::int64_t>(backlog, kMaxCatchUpFrames);
    skipped_ += backlog - played;
    return static_cast<int>(played);
}

unsigned FrameClock::MillisecondsToNextFrame(std::int64_t now) const {
    const double period = 1000.0 / frameRate_;
    if (!running_) return static_cast<unsigned>(std::ceil(period));
    // The next frame is the one after those already counted.
    const long double nextAt = static_cast<long double>(framesCounted_ + 1) / frameRate_;
    const long double elapsed = static_cast<long double>(now - start_) / ticksPerSecond_;
    const long double wait = std::ceil((nextAt - elapsed) * 1000);
    return static_cast<unsigned>(std::clamp<long double>(wait, 1, std::ceil(period)));
}

}  // namespace control
