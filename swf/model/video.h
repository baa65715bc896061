#pragma once
// An embedded video stream (DefineVideoStream) and its frames' codec data
// (VideoFrame tags, which may come in the movie's timeline or a sprite's).

#include <cstdint>
#include <map>
#include <vector>

#include "swf/model/character.h"

namespace swf {

struct VideoStreamDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Video;
    CharacterKind Kind() const override { return kKind; }
    std::uint16_t frameCount = 0;  // as declared
    std::uint16_t width = 0;       // the box the frames fill, in pixels
    std::uint16_t height = 0;
    std::uint8_t deblocking = 0;  // 0: as each frame says, 1: off, above: on
    bool smoothing = false;
    std::uint8_t codecId = 0;  // as FLV files number codecs
    // Each frame's codec data by frame number; a placement's ratio names the frame shown.
    std::map<std::uint16_t, std::vector<std::uint8_t>> frames;
};

}  // namespace swf
