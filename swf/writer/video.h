#pragma once
// DefineVideoStream: a video character. Authoring tools place one with no
// frames of its own (a Video object) for scripts to attach a NetStream to.

#include <cstdint>
#include <vector>

namespace swf::writer {

// Codec ids as FLV files number them.
enum class VideoCodec : std::uint8_t { SorensonH263 = 2, ScreenVideo = 3, Vp6 = 4, Vp6Alpha = 5, ScreenVideo2 = 6 };

struct VideoStream {
    std::uint16_t frameCount = 0;  // VideoFrame tags that follow; 0 for a Video object
    std::uint16_t width = 0;       // the box the pictures fill, in pixels
    std::uint16_t height = 0;
    std::uint8_t deblocking = 0;  // 0: as each frame says, 1: off, 2..7: on (3 bits)
    bool smoothing = false;
    VideoCodec codec = VideoCodec::ScreenVideo2;
};

// Throws std::invalid_argument when the deblocking value needs more than its 3 bits.
std::vector<std::uint8_t> DefineVideoStreamBody(std::uint16_t id, const VideoStream& stream);

}  // namespace swf::writer
