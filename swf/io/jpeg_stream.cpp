#include "swf/io/jpeg_stream.h"

namespace swf {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

bool IsStandalone(std::uint8_t code) {
    return code == 0x01 || (code >= 0xD0 && code <= 0xD7);  // TEM, RST0..7: no length field
}

bool StartsWith(std::span<const std::uint8_t> data, std::uint8_t code) {
    return data.size() >= 2 && data[0] == kMarker && data[1] == code;
}

// Appends the marker segments of one SOI..EOI sequence (possibly several
// blocks) to `out`, leaving out every SOI and EOI. Stops at the first byte
// that cannot start a marker, or at a segment that runs past the end.
void AppendSegments(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    std::size_t pos = 0;
    const std::size_t size = data.size();
    while (pos + 1 < size) {
        if (data[pos] != kMarker) return;  // not a marker: trailing junk or damage
        const std::uint8_t code = data[pos + 1];
        if (code == kMarker) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (code == kStartOfImage || code == kEndOfImage) {
            pos += 2;
            continue;
        }
        if (IsStandalone(code)) {
            out.insert(out.end(), data.begin() + pos, data.begin() + pos + 2);
            pos += 2;
            continue;
        }
        if (pos + 4 > size) return;
        const std::size_t length = (std::size_t{data[pos + 2]} << 8) | data[pos + 3];
        if (length < 2 || pos + 2 + length > size) return;
        out.insert(out.end(), data.begin() + pos, data.begin() + pos + 2 + length);
        pos += 2 + length;
        if (code != kStartOfScan) continue;
        // Entropy-coded data runs to the next marker other than a stuffed
        // 0xFF00 or a restart marker.
        const std::size_t start = pos;
        while (pos < size) {
            if (data[pos] == kMarker && pos + 1 < size) {
                const std::uint8_t next = data[pos + 1];
                if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) break;
            }
            ++pos;
        }
        out.insert(out.end(), data.begin() + start, data.begin() + pos);
    }
}

std::span<const std::uint8_t> SkipStrayEnds(std::span<const std::uint8_t> data) {
    while (StartsWith(data, kEndOfImage)) data = data.subspan(2);
    return data;
}

}  // namespace

std::vector<std::uint8_t> JoinJpegData(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image) {
    tables = SkipStrayEnds(tables);
    image = SkipStrayEnds(image);
    if (!StartsWith(image, kStartOfImage) || (!tables.empty() && !StartsWith(tables, kStartOfImage))) {
        std::vector<std::uint8_t> unchanged(tables.begin(), tables.end());
        unchanged.insert(unchanged.end(), image.begin(), image.end());
        return unchanged;
    }
    std::vector<std::uint8_t> out = {kMarker, kStartOfImage};
    out.reserve(tables.size() + image.size() + 2);
    AppendSegments(tables, out);
    AppendSegments(image, out);
    out.push_back(kMarker);
    out.push_back(kEndOfImage);
    return out;
}

}  // namespace swf
