#pragma once
// What both Screen Video versions share: the packet's grid, one zlib stream
// kept for every block, and the loops that turn a block's inflated bytes into
// pixels. Internal to swf/video.

#include <zlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace swf::video::screen_video {

// The picture and its grid of blocks, as a packet's first four bytes state
// them. Blocks are numbered from the bottom left, a row at a time; the last
// column and the top row may be narrower than the rest.
struct Grid {
    int width = 0;
    int height = 0;
    int blockWidth = 0;
    int blockHeight = 0;
    int columns = 0;
    int rows = 0;

    int Count() const { return columns * rows; }
    int WidthOf(int block) const {
        const int column = block % columns;
        return column + 1 < columns ? blockWidth : width - column * blockWidth;
    }
    int HeightOf(int block) const {
        const int row = block / columns;
        return row + 1 < rows ? blockHeight : height - row * blockHeight;
    }
    bool operator==(const Grid&) const = default;
};

// Reads BlockWidth, ImageWidth, BlockHeight and ImageHeight (data.size() >= 4).
Grid ReadGrid(std::span<const std::uint8_t> data);

// One inflate stream, reset for every block, so that steady decoding
// allocates nothing (zlib keeps its window between resets).
class BlockInflater {
public:
    BlockInflater() = default;
    ~BlockInflater();
    BlockInflater(const BlockInflater&) = delete;
    BlockInflater& operator=(const BlockInflater&) = delete;

    enum class Outcome { Ok, Corrupt, TooLong, NoMemory };

    // Inflates one block's data into out[0, capacity). Without primers the
    // data is a zlib stream; with primers it is raw deflate data continuing a
    // stream whose earlier output was primer1 then primer2 (zlib's preset
    // dictionary). `produced` is how much came out; TooLong when the data holds
    // more than `capacity` bytes. A stream may stop without its end (a sync
    // flush): what came out is what the block holds.
    Outcome Inflate(std::span<const std::uint8_t> data, std::span<const std::uint8_t> primer1,
                    std::span<const std::uint8_t> primer2, std::uint8_t* out, std::size_t capacity,
                    std::size_t& produced);

private:
    z_stream stream_{};
    bool ready_ = false;
};

// `count` pixels of B, G, R bytes to opaque 0xFFRRGGBB.
void BgrToPixels(const std::uint8_t* bgr, int count, std::uint32_t* out);

// Whether hybrid data (a byte < 0x80 indexing the palette, or two bytes
// 1rrrrrgg gggbbbbb) holds exactly `pixels` pixels and nothing more.
bool HybridHolds(const std::uint8_t* data, std::size_t size, std::size_t pixels);

// `count` hybrid pixels to opaque 0xFFRRGGBB; returns the byte after them.
// The palette holds opaque pixels already.
const std::uint8_t* HybridToPixels(const std::uint8_t* data, int count, const std::array<std::uint32_t, 128>& palette,
                                   std::uint32_t* out);

}  // namespace swf::video::screen_video
