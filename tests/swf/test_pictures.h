#pragma once
// The pictures the build makes with ImageMagick (pictures/ beside the test
// program) and ImageMagick's own decoding of each, for comparison.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/swf/swf_bytes.h"

namespace swf::test {

// The picture file's bytes (fails the test when it is missing).
Bytes ReadPicture(const std::string& name);

// ImageMagick's decoding of the picture (its first frame), premultiplied
// 0xAARRGGBB pixels: x * a / 255 rounded, per colour channel.
std::vector<std::uint32_t> ReferencePixels(const std::string& name, int width, int height);

// The largest difference of any channel between pixels at the same place;
// 256 when the counts differ.
int MaxChannelDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

}  // namespace swf::test
