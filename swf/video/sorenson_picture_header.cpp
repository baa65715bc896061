#include "swf/video/sorenson_picture_header.h"

#include <array>

namespace swf::video {

namespace {

struct Size {
    int width;
    int height;
};

// Picture size codes 2 to 6.
constexpr std::array<Size, 5> kFixedSizes = {{{352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}}};

}  // namespace

std::string ReadPictureHeader(h263::BitReader& bits, SorensonPictureHeader& header) {
    if (bits.Read(17) != 1) return "the frame does not begin with a picture start code";
    header.version = static_cast<int>(bits.Read(5));
    if (header.version > 1) return "version " + std::to_string(header.version) + " of the format is not known";
    bits.Skip(8);  // temporal reference
    const unsigned sizeCode = bits.Read(3);
    if (sizeCode == 0 || sizeCode == 1) {
        const int fieldBits = sizeCode == 0 ? 8 : 16;
        header.width = static_cast<int>(bits.Read(fieldBits));
        header.height = static_cast<int>(bits.Read(fieldBits));
    } else if (sizeCode <= 6) {
        header.width = kFixedSizes[sizeCode - 2].width;
        header.height = kFixedSizes[sizeCode - 2].height;
    } else {
        return "picture size code 7 is reserved";
    }
    const unsigned type = bits.Read(2);
    if (type == 3) return "picture type 3 is reserved";
    header.kind = type == 0 ? FrameKind::Key : type == 1 ? FrameKind::Inter : FrameKind::DisposableInter;
    header.deblocking = bits.Read(1) != 0;
    header.quantizer = static_cast<int>(bits.Read(5));
    while (bits.Read(1) != 0 && !bits.Overrun()) bits.Skip(8);  // extra information, unused
    if (bits.Overrun()) return "the frame ends inside its picture header";
    if (header.width == 0 || header.height == 0) return "the picture has no pixels (size 0)";
    if (header.width > kMaxVideoSide || header.height > kMaxVideoSide)
        return "the picture is larger than " + std::to_string(kMaxVideoSide) + " pixels on a side (" +
               std::to_string(header.width) + " x " + std::to_string(header.height) + ")";
    if (header.quantizer == 0) return "the picture's quantizer is 0";
    return {};
}

}  // namespace swf::video
