#include "swf/image/jpeg_check.h"

#include "swf/image/jpeg_segments.h"

namespace swf {

namespace {

constexpr std::size_t kMaxHuffmanSymbols = 256;

// Start-of-frame markers: C0..CF but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(std::uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != jpeg::kHuffmanTables && code != 0xC8 && code != 0xCC;
}

// A DHT segment holds one or more tables: class and id, 16 code-length
// counts, then that many symbols.
bool HuffmanTablesFit(std::span<const std::uint8_t> payload) {
    std::size_t pos = 0;
    while (pos < payload.size()) {
        if (pos + 17 > payload.size()) return false;
        std::size_t symbols = 0;
        for (std::size_t i = 1; i <= 16; ++i) symbols += payload[pos + i];
        if (symbols > kMaxHuffmanSymbols || pos + 17 + symbols > payload.size()) return false;
        pos += 17 + symbols;
    }
    return true;
}

}  // namespace

std::string FindJpegDefect(std::span<const std::uint8_t> data) {
    JpegSegmentReader reader(data);
    int frames = 0;
    while (const auto segment = reader.Next()) {
        if (segment->code == jpeg::kEndOfImage) break;
        if (segment->code == jpeg::kHuffmanTables && (segment->cut || !HuffmanTablesFit(segment->payload))) {
            return "damaged JPEG Huffman table";
        }
        if (IsFrameHeader(segment->code) && ++frames > 1) return "JPEG data with more than one frame";
    }
    return {};
}

}  // namespace swf
