#pragma once
// `guidekit check`: plays a movie headless, as the control would, and tells
// every warning the player logs with the frame it came in.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace guidekit {

struct CheckRequest {
    std::filesystem::path movie;
    std::filesystem::path files;  // the folder loads read from; empty: the movie's own
    std::optional<long> frames;   // none: the main timeline's, at least 10 s of ticks
};

struct FrameWarning {
    long frame = 0;  // 1: the first frame as loaded (reading the movie included)
    std::string text;
};

struct CheckResult {
    bool readable = false;
    std::string error;  // when not readable
    long framesPlayed = 0;
    std::vector<FrameWarning> warnings;
};

// The frames a check plays by default: all of the main timeline's, and at
// least ten seconds' worth at the movie's rate.
long DefaultCheckFrames(std::uint32_t frameCount, double frameRate);

struct CheckListeners {
    std::function<void(const FrameWarning&)> warning;  // as each arises
    std::function<void(long, long)> progress;          // (frame, of frames) after each frame
};

CheckResult CheckMovie(const CheckRequest& request, const CheckListeners& listeners = {});

// 0: nothing reported; 1: warnings; 2: the movie cannot be read or the command is wrong.
int RunCheck(const std::vector<std::string>& words);
extern const char* const kCheckHelp;

}  // namespace guidekit
