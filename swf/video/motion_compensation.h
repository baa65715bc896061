#pragma once
// H.263's half-pixel prediction: a block copied from the reference picture,
// averaging two or four neighbours (rounding up) where the vector has a half.

#include <cstdint>

namespace swf::video {

// A `size` x `size` block (8 or 16) from `source`, the reference pixel at
// the vector's whole part, to `target`; halfX and halfY are the vector's
// half-pixel bits. Reads one column and one row past the block when halved.
void PredictBlock(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride, int size,
                  bool halfX, bool halfY);

// A luminance vector component (half pixels) as the chrominance one: half as
// long, with quarter positions taken to the half between.
constexpr int ChromaVector(int luma) { return (luma & 3) != 0 ? (luma >> 2) * 2 + 1 : luma >> 1; }

}  // namespace swf::video
