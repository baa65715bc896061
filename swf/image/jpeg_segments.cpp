#include "swf/image/jpeg_segments.h"

#include <algorithm>

namespace swf {

namespace {

constexpr std::uint8_t kMarker = 0xFF;

bool IsRestart(std::uint8_t code) { return code >= 0xD0 && code <= 0xD7; }

// Markers that stand alone, without a length field.
bool IsStandalone(std::uint8_t code) {
    return code == 0x01 || IsRestart(code) || code == jpeg::kStartOfImage || code == jpeg::kEndOfImage;
}

}  // namespace

std::optional<JpegSegment> JpegSegmentReader::Next() {
    const std::size_t size = data_.size();
    while (pos_ + 1 < size) {
        // Anything but a marker here is padding or damage: skip to the next one.
        if (data_[pos_] != kMarker || data_[pos_ + 1] == kMarker || data_[pos_ + 1] == 0x00) {
            ++pos_;
            continue;
        }
        const std::size_t start = pos_;
        const std::uint8_t code = data_[pos_ + 1];
        if (IsStandalone(code)) {
            pos_ += 2;
            return JpegSegment{code, data_.subspan(start, 2), {}};
        }
        const std::size_t length = pos_ + 4 <= size ? (std::size_t{data_[pos_ + 2]} << 8) | data_[pos_ + 3] : 0;
        if (length < 2 || pos_ + 2 + length > size) {
            pos_ = size;
            const std::size_t payloadStart = std::min(start + 4, size);
            return JpegSegment{code, data_.subspan(start), data_.subspan(payloadStart), true};
        }
        const auto payload = data_.subspan(pos_ + 4, length - 2);
        pos_ += 2 + length;
        if (code == jpeg::kStartOfScan) {
            // Coded data runs to the next marker other than a stuffed 0xFF00
            // or a restart marker.
            while (pos_ < size) {
                if (data_[pos_] == kMarker && pos_ + 1 < size) {
                    const std::uint8_t next = data_[pos_ + 1];
                    if (next != 0x00 && !IsRestart(next)) break;
                }
                ++pos_;
            }
        }
        return JpegSegment{code, data_.subspan(start, pos_ - start), payload};
    }
    pos_ = size;
    return std::nullopt;
}

}  // namespace swf
