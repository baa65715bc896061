#pragma once
// Smoothing across the edges of 8 x 8 blocks, as H.263's deblocking filter
// mode defines it: two pixels on each side of an edge move towards each
// other by an amount that grows with the step across the edge up to a
// strength set by the quantizer, and falls off again for larger steps (those
// are edges of the picture, not of the blocks).

#include <cstdint>

namespace swf::video {

// Filters a plane in place: first the horizontal edges, then the vertical
// ones. `quantizers` holds one quantizer per `blockSize`-pixel square
// (a macroblock), `quantizerStride` to a row; the block below or right of an
// edge gives its strength.
void DeblockPlane(std::uint8_t* plane, int stride, int width, int height, const std::uint8_t* quantizers,
                  int quantizerStride, int blockSize);

}  // namespace swf::video
