#include "swf/sound/mp3_frames.h"

namespace swf::sound {

namespace {

// Layer III bit rates in kbit/s by index, for MPEG-1 and for MPEG-2 and 2.5;
// index 0 is free format and 15 is not allowed.
constexpr int kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitratesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
// Sample rates by index for MPEG-1; MPEG-2 halves them, MPEG 2.5 quarters them.
constexpr int kRatesMpeg1[3] = {44100, 48000, 32000};

}  // namespace

std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) return std::nullopt;
    const std::uint32_t h =
        std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
    if ((h >> 21) != 0x7FF) return std::nullopt;
    const unsigned version = (h >> 19) & 3;  // 0: MPEG 2.5, 1: reserved, 2: MPEG-2, 3: MPEG-1
    const unsigned layer = (h >> 17) & 3;    // 1: layer III
    const unsigned bitrateIndex = (h >> 12) & 15;
    const unsigned rateIndex = (h >> 10) & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
    const bool mpeg1 = version == 3;
    Mp3FrameHeader header;
    header.sampleRate = kRatesMpeg1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
    header.bitrate = (mpeg1 ? kBitratesMpeg1 : kBitratesMpeg2)[bitrateIndex] * 1000;
    header.channels = ((h >> 6) & 3) == 3 ? 1 : 2;
    header.samplesPerFrame = mpeg1 ? 1152 : 576;
    const std::size_t padding = (h >> 9) & 1;
    // Bytes a frame: samples / 8 bits a second's share of the bit rate.
    header.length = static_cast<std::size_t>(header.samplesPerFrame / 8) * static_cast<std::size_t>(header.bitrate) /
                        static_cast<std::size_t>(header.sampleRate) +
                    padding;
    return header;
}

Mp3Frames ScanMp3Frames(std::span<const std::uint8_t> bytes) {
    Mp3Frames frames;
    while (auto header = ReadMp3FrameHeader(bytes.subspan(frames.bytes))) {
        if (header->length > bytes.size() - frames.bytes) break;
        if (!frames.first) frames.first = header;
        ++frames.count;
        frames.samples += static_cast<std::size_t>(header->samplesPerFrame);
        frames.bytes += header->length;
    }
    return frames;
}

}  // namespace swf::sound
