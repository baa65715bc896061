#include "swf/io/video_parser.h"

#include "swf/io/bit_reader.h"
#include "swf/video/video_decoder.h"

namespace swf {

namespace {

// Screen Video frames some writers put in VideoFrame tags still start with
// an FLV video tag's frame type (1 or 2) and codec byte. The packet's own
// header gives the picture width in its first two bytes: the stream's width
// one byte later tells the extra byte; when the box differs from the
// pictures, a byte that reads as a key or inter frame of this codec is taken
// for one (unprefixed, it would mean a picture over 767 pixels wide in
// blocks of 32 or 48).
std::span<const std::uint8_t> WithoutFlvByte(const VideoStreamDefinition& stream, std::span<const std::uint8_t> data) {
    const auto codec = static_cast<video::VideoCodecId>(stream.codecId);
    if (codec != video::VideoCodecId::ScreenVideo && codec != video::VideoCodecId::ScreenVideo2) return data;
    const int frameType = data.empty() ? 0 : data[0] >> 4;
    if (data.size() < 3 || (data[0] & 0x0F) != stream.codecId || frameType == 0) return data;
    const auto widthAt = [&](std::size_t at) { return (data[at] & 0x0F) << 8 | data[at + 1]; };
    if (widthAt(0) == stream.width) return data;
    if (widthAt(1) == stream.width || frameType <= 2) return data.subspan(1);
    return data;
}

}  // namespace

std::shared_ptr<const Character> VideoStreams::Define(std::span<const std::uint8_t> body,
                                                      std::vector<std::string>& warnings) {
    BitReader in(body);
    auto stream = std::make_shared<VideoStreamDefinition>();
    stream->id = in.ReadU16();
    stream->frameCount = in.ReadU16();
    stream->width = in.ReadU16();
    stream->height = in.ReadU16();
    in.ReadUB(4);  // reserved
    stream->deblocking = static_cast<std::uint8_t>(in.ReadUB(3));
    stream->smoothing = in.ReadUB(1) != 0;
    stream->codecId = in.ReadU8();
    const auto codec = static_cast<video::VideoCodecId>(stream->codecId);
    // A stream without frames is a Video object for scripts to attach streams to.
    if (stream->frameCount != 0 && video::MakeVideoDecoder(codec) == nullptr) {
        warnings.push_back("video " + std::to_string(stream->id) + " is in " + video::VideoCodecName(codec) +
                           ", which this player does not decode; it shows nothing");
    }
    streams_[stream->id] = stream;
    return stream;
}

void VideoStreams::AddFrame(std::span<const std::uint8_t> body) {
    BitReader in(body);
    const std::uint16_t streamId = in.ReadU16();
    const std::uint16_t frame = in.ReadU16();
    const auto it = streams_.find(streamId);
    if (it == streams_.end()) return;
    const auto data = WithoutFlvByte(*it->second, in.Rest());
    it->second->frames[frame].assign(data.begin(), data.end());
}

}  // namespace swf
