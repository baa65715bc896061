#include "swf/writer/video.h"

#include <stdexcept>

#include "swf/writer/bit_writer.h"

namespace swf::writer {

std::vector<std::uint8_t> DefineVideoStreamBody(std::uint16_t id, const VideoStream& stream) {
    if (stream.deblocking > 7) throw std::invalid_argument("a video's deblocking value has 3 bits");
    BitWriter w;
    w.U16(id);
    w.U16(stream.frameCount);
    w.U16(stream.width);
    w.U16(stream.height);
    w.UB(4, 0);  // reserved
    w.UB(3, stream.deblocking);
    w.UB(1, stream.smoothing);
    w.U8(static_cast<std::uint8_t>(stream.codec));
    return w.Take();
}

}  // namespace swf::writer
