#pragma once
// The video codecs of SWF and FLV files behind one face: a decoder takes one
// frame's codec data at a time and keeps the last good picture.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "swf/raster/image.h"

namespace swf::video {

// The codec ids of FLV video tags and DefineVideoStream.
enum class VideoCodecId : std::uint8_t {
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
};

enum class FrameKind : std::uint8_t { Key, Inter, DisposableInter };

// What a stream's deblocking setting asks for: the frame's own flag, or
// always off or on (SWF's VideoFlagsDeblocking 0, 1 and anything above).
enum class Deblocking : std::uint8_t { AsStream, Off, On };

struct DecodeResult {
    bool ok = false;  // Picture() now shows this frame
    FrameKind kind = FrameKind::Key;
    std::string problem;  // why not, when !ok
};

// Pictures larger than this on a side are refused, whatever the stream says.
inline constexpr int kMaxVideoSide = 4096;

class VideoDecoder {
public:
    virtual ~VideoDecoder() = default;

    // One frame's codec data: the bytes after an FLV video tag's first byte,
    // or a VideoFrame tag's VideoData. Bad data leaves the picture as it was.
    virtual DecodeResult Decode(std::span<const std::uint8_t> data) = 0;

    // The last good picture, 0 x 0 before the first: opaque pixels, with a
    // new serial after every decoded frame.
    virtual const raster::Image& Picture() const = 0;

    virtual void SetDeblocking(Deblocking) {}

    // Forgets the reference picture (after a seek): the next frame must be a
    // key frame. The last picture stays on show.
    virtual void Reset() = 0;
};

// The kind of frame `data` holds, read from its header without decoding;
// nothing when the header does not say (Screen Video tells only by its
// blocks) or cannot be read.
std::optional<FrameKind> PeekFrameKind(VideoCodecId codec, std::span<const std::uint8_t> data);

// nullptr for a codec this player does not decode (VP6, unknown ids).
std::unique_ptr<VideoDecoder> MakeVideoDecoder(VideoCodecId codec);

// "Sorenson H.263", "Screen Video", "VP6", ... for messages.
const char* VideoCodecName(VideoCodecId codec);

}  // namespace swf::video
