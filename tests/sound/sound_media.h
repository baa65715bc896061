#pragma once
// The sound tests' media files, made by the build with ffmpeg (and moviegen
// for the noise codes): FLV files and ffmpeg's decoding of them.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sound_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadMedia(const std::string& name) {
    std::ifstream in(std::string(SOUND_TEST_MEDIA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing (made by the build with ffmpeg)";
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// ffmpeg's answer: 16-bit little-endian samples.
inline std::vector<std::int16_t> ReadSamples(const std::string& name) {
    const Bytes raw = ReadMedia(name);
    std::vector<std::int16_t> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    return samples;
}

// The bodies of an FLV file's audio tags (format byte first); other tags skipped.
inline std::vector<Bytes> AudioTags(const Bytes& flv) {
    std::vector<Bytes> tags;
    if (flv.size() < 13) return tags;
    std::size_t at = (std::size_t{flv[5]} << 24 | std::size_t{flv[6]} << 16 | std::size_t{flv[7]} << 8 | flv[8]) + 4;
    while (at + 11 <= flv.size()) {
        const std::size_t size = std::size_t{flv[at + 1]} << 16 | std::size_t{flv[at + 2]} << 8 | flv[at + 3];
        if (at + 11 + size > flv.size()) break;
        if (flv[at] == 8)
            tags.emplace_back(flv.begin() + static_cast<std::ptrdiff_t>(at + 11),
                              flv.begin() + static_cast<std::ptrdiff_t>(at + 11 + size));
        at += 11 + size + 4;
    }
    return tags;
}

}  // namespace sound_test
