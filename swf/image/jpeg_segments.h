#pragma once
// Walks the marker segments of JPEG data the way a decoder reads them: bytes
// between segments that start no marker are skipped, and the entropy-coded
// data after a start-of-scan segment belongs to that segment.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf {

namespace jpeg {
inline constexpr std::uint8_t kStartOfImage = 0xD8;
inline constexpr std::uint8_t kEndOfImage = 0xD9;
inline constexpr std::uint8_t kStartOfScan = 0xDA;
inline constexpr std::uint8_t kHuffmanTables = 0xC4;
}  // namespace jpeg

struct JpegSegment {
    std::uint8_t code = 0;                  // the marker's second byte
    std::span<const std::uint8_t> bytes;    // marker to the segment's end (after a scan: its coded data too)
    std::span<const std::uint8_t> payload;  // after the length field; empty for markers without one
    bool cut = false;                       // the length runs past the data: bytes and payload stop at its end
};

class JpegSegmentReader {
public:
    explicit JpegSegmentReader(std::span<const std::uint8_t> data) : data_(data) {}
    // The next segment, or nothing at the end of the data. A segment cut
    // short by the data's end is the last.
    std::optional<JpegSegment> Next();

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace swf
