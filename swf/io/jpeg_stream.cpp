#include "swf/io/jpeg_stream.h"

#include "swf/image/jpeg_segments.h"

namespace swf {

namespace {

bool StartsWith(std::span<const std::uint8_t> data, std::uint8_t code) {
    return data.size() >= 2 && data[0] == 0xFF && data[1] == code;
}

std::span<const std::uint8_t> SkipStrayEnds(std::span<const std::uint8_t> data) {
    while (StartsWith(data, jpeg::kEndOfImage)) data = data.subspan(2);
    return data;
}

// Appends the segments of consecutive SOI..EOI blocks to `out`, leaving out
// their start and end markers. Whatever follows the last block is padding; a
// segment cut short ends the data (the decoder judges what it can use).
void AppendBlocks(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    JpegSegmentReader reader(data);
    bool blockEnded = false;
    while (const auto segment = reader.Next()) {
        if (segment->code == jpeg::kStartOfImage) {
            blockEnded = false;
        } else if (blockEnded) {
            return;
        } else if (segment->code == jpeg::kEndOfImage) {
            blockEnded = true;
        } else {
            out.insert(out.end(), segment->bytes.begin(), segment->bytes.end());
        }
    }
}

}  // namespace

std::vector<std::uint8_t> JoinJpegData(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image) {
    tables = SkipStrayEnds(tables);
    image = SkipStrayEnds(image);
    if (!StartsWith(image, jpeg::kStartOfImage) || (!tables.empty() && !StartsWith(tables, jpeg::kStartOfImage))) {
        std::vector<std::uint8_t> unchanged(tables.begin(), tables.end());
        unchanged.insert(unchanged.end(), image.begin(), image.end());
        return unchanged;
    }
    std::vector<std::uint8_t> out = {0xFF, jpeg::kStartOfImage};
    out.reserve(tables.size() + image.size() + 2);
    AppendBlocks(tables, out);
    AppendBlocks(image, out);
    out.insert(out.end(), {0xFF, jpeg::kEndOfImage});
    return out;
}

}  // namespace swf
