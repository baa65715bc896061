#pragma once
// The video tests' media files, made by the build with ffmpeg: streams, and
// ffmpeg's decoding of them as raw RGB frames.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "swf/raster/image.h"

namespace video_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadMedia(const std::string& name) {
    std::ifstream in(std::string(VIDEO_TEST_MEDIA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing (made by the build with ffmpeg)";
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Peak signal-to-noise ratio in dB over the red, green and blue channels of
// a decoded picture against frame `index` of an rgb24 file of that size;
// infinity when they are equal.
inline double Psnr(const swf::raster::Image& picture, const Bytes& rgb24, std::size_t index) {
    const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
    if (count == 0 || rgb24.size() < (index + 1) * count * 3) return 0;
    const std::uint8_t* frame = rgb24.data() + index * count * 3;
    double squares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = picture.pixels[i];
        const int ours[3] = {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                             static_cast<int>(p & 0xFF)};
        for (int c = 0; c < 3; ++c) {
            const double d = ours[c] - frame[i * 3 + c];
            squares += d * d;
        }
    }
    if (squares == 0) return std::numeric_limits<double>::infinity();
    const double mse = squares / static_cast<double>(count * 3);
    return 10 * std::log10(255.0 * 255.0 / mse);
}

struct VideoTag {
    int frameType = 0;  // 1 key, 2 inter, 3 disposable
    int codec = 0;
    Bytes data;  // after the tag's first byte
};

// The video tags of an FLV file, in order; other tags skipped.
inline std::vector<VideoTag> VideoTags(const Bytes& flv) {
    std::vector<VideoTag> tags;
    if (flv.size() < 13) return tags;
    std::size_t at = (std::size_t{flv[5]} << 24 | std::size_t{flv[6]} << 16 | std::size_t{flv[7]} << 8 | flv[8]) + 4;
    while (at + 11 <= flv.size()) {
        const std::size_t size = std::size_t{flv[at + 1]} << 16 | std::size_t{flv[at + 2]} << 8 | flv[at + 3];
        if (at + 11 + size > flv.size()) break;
        if (flv[at] == 9 && size > 0) {
            const auto body = flv.begin() + static_cast<std::ptrdiff_t>(at + 11);
            tags.push_back({body[0] >> 4, body[0] & 0x0F, Bytes(body + 1, body + static_cast<std::ptrdiff_t>(size))});
        }
        at += 11 + size + 4;
    }
    return tags;
}

}  // namespace video_test
