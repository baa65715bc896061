#pragma once
// `guidekit shot` and `guidekit info`: one frame as a PNG picture, and what
// a movie file holds.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/guidekit/guide_rules.h"

namespace guidekit {

struct ShotRequest {
    std::filesystem::path movie;
    long frame = 1;                  // 1: the first frame as loaded
    std::optional<WindowSize> size;  // none: the stage's size
    std::filesystem::path out;
};

// The PNG file's bytes, or nothing with *why set.
std::optional<std::vector<std::uint8_t>> ShootFrame(const ShotRequest& request, std::string* why);

int RunShot(const std::vector<std::string>& words);
int RunInfo(const std::vector<std::string>& words);
std::string ShotHelp();
extern const char* const kInfoHelp;

}  // namespace guidekit
