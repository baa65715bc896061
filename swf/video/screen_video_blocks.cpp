#include "swf/video/screen_video_blocks.h"

#include <bit>
#include <cstring>

namespace swf::video::screen_video {

Grid ReadGrid(std::span<const std::uint8_t> data) {
    Grid grid;
    grid.blockWidth = ((data[0] >> 4) + 1) * 16;
    grid.width = (data[0] & 0x0F) << 8 | data[1];
    grid.blockHeight = ((data[2] >> 4) + 1) * 16;
    grid.height = (data[2] & 0x0F) << 8 | data[3];
    grid.columns = (grid.width + grid.blockWidth - 1) / grid.blockWidth;
    grid.rows = (grid.height + grid.blockHeight - 1) / grid.blockHeight;
    return grid;
}

BlockInflater::~BlockInflater() {
    if (ready_) inflateEnd(&stream_);
}

BlockInflater::Outcome BlockInflater::Inflate(std::span<const std::uint8_t> data, std::span<const std::uint8_t> primer1,
                                              std::span<const std::uint8_t> primer2, std::uint8_t* out,
                                              std::size_t capacity, std::size_t& produced) {
    produced = 0;
    const int windowBits = primer1.empty() && primer2.empty() ? 15 : -15;
    if (!ready_) {
        stream_ = {};
        if (inflateInit2(&stream_, windowBits) != Z_OK) return Outcome::NoMemory;
        ready_ = true;
    } else if (inflateReset2(&stream_, windowBits) != Z_OK) {
        return Outcome::NoMemory;
    }
    // A raw stream takes its preset dictionary at any time; a second one is
    // appended to the first, as if both had come out of the stream.
    for (const auto primer : {primer1, primer2}) {
        if (primer.empty()) continue;
        if (inflateSetDictionary(&stream_, primer.data(), static_cast<uInt>(primer.size())) != Z_OK)
            return Outcome::NoMemory;
    }
    stream_.next_in = const_cast<Bytef*>(data.data());
    stream_.avail_in = static_cast<uInt>(data.size());
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(capacity);
    int rc = inflate(&stream_, Z_SYNC_FLUSH);
    produced = capacity - stream_.avail_out;
    if (rc == Z_STREAM_END) return Outcome::Ok;
    if (rc == Z_MEM_ERROR) return Outcome::NoMemory;
    if (rc != Z_OK && rc != Z_BUF_ERROR) return Outcome::Corrupt;  // bad data, or a dictionary asked for
    if (stream_.avail_out > 0) return Outcome::Ok;                 // the data ran out
    // The block is full: anything more than its end (and the checksum) is too much.
    std::uint8_t probe = 0;
    stream_.next_out = &probe;
    stream_.avail_out = 1;
    rc = inflate(&stream_, Z_SYNC_FLUSH);
    if (stream_.avail_out == 0) return Outcome::TooLong;
    if (rc == Z_MEM_ERROR) return Outcome::NoMemory;
    if (rc != Z_OK && rc != Z_BUF_ERROR && rc != Z_STREAM_END) return Outcome::Corrupt;
    return Outcome::Ok;
}

void BgrToPixels(const std::uint8_t* bgr, int count, std::uint32_t* out) {
    constexpr std::uint32_t kOpaque = 0xFF000000u;
    int i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Four pixels from three little-endian words: B0 G0 R0 B1 | G1 R1 B2 G2 | R2 B3 G3 R3.
        for (; i + 4 <= count; i += 4, bgr += 12) {
            std::uint32_t a, b, c;
            std::memcpy(&a, bgr, 4);
            std::memcpy(&b, bgr + 4, 4);
            std::memcpy(&c, bgr + 8, 4);
            out[i] = a | kOpaque;
            out[i + 1] = a >> 24 | b << 8 | kOpaque;
            out[i + 2] = b >> 16 | c << 16 | kOpaque;
            out[i + 3] = c >> 8 | kOpaque;
        }
    }
    for (; i < count; ++i, bgr += 3) {
        out[i] = kOpaque | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
    }
}

bool HybridHolds(const std::uint8_t* data, std::size_t size, std::size_t pixels) {
    std::size_t at = 0;
    std::size_t count = 0;
    while (at < size && count < pixels) {
        at += 1 + (data[at] >> 7);
        ++count;
    }
    return count == pixels && at == size;
}

const std::uint8_t* HybridToPixels(const std::uint8_t* data, int count, const std::array<std::uint32_t, 128>& palette,
                                   std::uint32_t* out) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t first = *data++;
        if (first < 0x80) {
            out[i] = palette[first];
            continue;
        }
        const std::uint32_t colour = first << 8 | *data++;
        const std::uint32_t r = colour >> 10 & 31, g = colour >> 5 & 31, b = colour & 31;
        // Five bits to eight: the top bits repeat below, so 31 is 255.
        out[i] = 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
    }
    return data;
}

}  // namespace swf::video::screen_video
