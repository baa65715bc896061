#pragma once
// The picture header of Sorenson's H.263: H.263's picture layer with a
// 17-bit start code, a version, sizes of its own (fixed ones or 8- or 16-bit
// custom ones) and a disposable kind of inter picture, and no group of
// blocks layer.

#include <string>

#include "swf/video/h263_bit_reader.h"
#include "swf/video/video_decoder.h"

namespace swf::video {

struct SorensonPictureHeader {
    int version = 0;  // 1 has longer escapes for coefficients
    int width = 0;
    int height = 0;
    FrameKind kind = FrameKind::Key;
    bool deblocking = false;
    int quantizer = 1;
};

// Reads the header, leaving `bits` at the first macroblock; the problem when
// it is not a header this decoder can take, else empty.
std::string ReadPictureHeader(h263::BitReader& bits, SorensonPictureHeader& header);

}  // namespace swf::video
