#pragma once
// DefineVideoStream and VideoFrame: a stream's frames come in tags after its
// definition, so the streams defined so far stay open to them.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/model/video.h"

namespace swf {

class VideoStreams {
public:
    // Reads a DefineVideoStream; notes a codec the player cannot show.
    std::shared_ptr<const Character> Define(std::span<const std::uint8_t> body, std::vector<std::string>& warnings);
    // Files a VideoFrame with its stream; frames of unknown streams are dropped.
    void AddFrame(std::span<const std::uint8_t> body);

private:
    std::unordered_map<std::uint16_t, std::shared_ptr<VideoStreamDefinition>> streams_;
};

}  // namespace swf
