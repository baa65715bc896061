#include "swf/player/fields/caret_blink.h"

#include <cmath>

namespace swf {

void CaretBlink::SetInterval(double ms) { interval_ = std::isfinite(ms) && ms > 0 ? ms : 0; }

bool CaretBlink::Update(double nowMs, const Where& where) {
    const bool wasShown = shown_;
    // A clock that went back (or jumped absurdly) restarts the phase too.
    if (where != where_ || !std::isfinite(nowMs) || nowMs < phaseStart_) {
        where_ = where;
        phaseStart_ = std::isfinite(nowMs) ? nowMs : 0;
    }
    now_ = std::isfinite(nowMs) ? nowMs : phaseStart_;
    shown_ = !Blinking() || std::fmod(std::floor((now_ - phaseStart_) / interval_), 2.0) == 0;
    return shown_ != wasShown;
}

double CaretBlink::UntilChange() const {
    if (!Blinking()) return -1;
    const double elapsed = now_ - phaseStart_;
    return interval_ - std::fmod(elapsed, interval_);
}

}  // namespace swf
