#pragma once
// Screen Video (codec id 3) and Screen Video 2 (codec id 6), the two
// screen-capture codecs of SWF and FLV files, written from the SWF and FLV
// file formats' definitions.
//
// Both cut the picture into a grid of blocks (16 to 256 pixels a side, in
// steps of 16) and send each block's pixels compressed with zlib, bottom-up:
// blocks from the bottom left to the top right in rows, the rows of a block
// from its bottom. A block whose DataSize is 0 keeps the previous picture's
// pixels. Version 1 blocks are B, G, R bytes. Version 2 adds, per block:
// colour-palette-coded ("hybrid") pixels, one byte 0..127 indexing the
// palette or two bytes, high bit set, of 15-bit colour (5 bits each of red,
// green, blue); a diff block that sends only some of its rows, the others
// being those of the block's last key block (a block sent whole); and zlib
// priming, where the block's data continues a deflate stream whose earlier
// output was the block's last key block (ZlibPrimeCompressPrevious) or
// another block of this frame (ZlibPrimeCompressCurrent). A frame may also
// carry a palette (128 colours) and a second set of blocks (IFrameImage)
// drawn over the first.

#include <array>
#include <cstdint>
#include <memory>

#include "swf/video/video_decoder.h"

namespace swf::video {

std::unique_ptr<VideoDecoder> MakeScreenVideoDecoder();
std::unique_ptr<VideoDecoder> MakeScreenVideo2Decoder();

// The 128 colours (0xRRGGBB) that version 2's palette-coded pixels index until
// a stream sends a palette of its own.
const std::array<std::uint32_t, 128>& ScreenVideo2DefaultPalette();

}  // namespace swf::video
