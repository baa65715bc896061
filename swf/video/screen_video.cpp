#include "swf/video/screen_video.h"

#include <algorithm>
#include <string>
#include <vector>

#include "swf/video/screen_video_blocks.h"

namespace swf::video {
namespace {

using screen_video::BlockInflater;
using screen_video::Grid;

// Version 2's palette before a stream sends one (0xRRGGBB): greys, the six
// primaries and mixes in steps of 0x33, lighter and darker tints, and the
// greys between.
constexpr std::array<std::uint32_t, 128> kDefaultPalette = {
    0x000000, 0x333333, 0x666666, 0x999999, 0xCCCCCC, 0xFFFFFF, 0x330000, 0x660000, 0x990000, 0xCC0000, 0xFF0000,
    0x003300, 0x006600, 0x009900, 0x00CC00, 0x00FF00, 0x000033, 0x000066, 0x000099, 0x0000CC, 0x0000FF, 0x333300,
    0x666600, 0x999900, 0xCCCC00, 0xFFFF00, 0x003333, 0x006666, 0x009999, 0x00CCCC, 0x00FFFF, 0x330033, 0x660066,
    0x990099, 0xCC00CC, 0xFF00FF, 0xFFFF33, 0xFFFF66, 0xFFFF99, 0xFFFFCC, 0xFF33FF, 0xFF66FF, 0xFF99FF, 0xFFCCFF,
    0x33FFFF, 0x66FFFF, 0x99FFFF, 0xCCFFFF, 0xCCCC33, 0xCCCC66, 0xCCCC99, 0xCCCCFF, 0xCC33CC, 0xCC66CC, 0xCC99CC,
    0xCCFFCC, 0x33CCCC, 0x66CCCC, 0x99CCCC, 0xFFCCCC, 0x999933, 0x999966, 0x9999CC, 0x9999FF, 0x993399, 0x996699,
    0x99CC99, 0x99FF99, 0x339999, 0x669999, 0xCC9999, 0xFF9999, 0x666633, 0x666699, 0x6666CC, 0x6666FF, 0x663366,
    0x669966, 0x66CC66, 0x66FF66, 0x336666, 0x996666, 0xCC6666, 0xFF6666, 0x333366, 0x333399, 0x3333CC, 0x3333FF,
    0x336633, 0x339933, 0x33CC33, 0x33FF33, 0x663333, 0x993333, 0xCC3333, 0xFF3333, 0x003366, 0x336600, 0x660033,
    0x006633, 0x330066, 0x663300, 0x336699, 0x669933, 0x993366, 0x339966, 0x663399, 0x996633, 0x6699CC, 0x99CC66,
    0xCC6699, 0x66CC99, 0x9966CC, 0xCC9966, 0x99CCFF, 0xCCFF99, 0xFF99CC, 0x99FFCC, 0xCC99FF, 0xFFCC99, 0x111111,
    0x222222, 0x444444, 0x555555, 0xAAAAAA, 0xBBBBBB, 0xDDDDDD, 0xEEEEEE,
};

// A stream's own palette: 128 colours of B, G, R bytes, zlib-compressed.
constexpr std::size_t kPaletteBytes = 128 * 3;

std::string SizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

// For messages only (built when a frame is refused, never on the way).
std::string BlockName(int index, int count) {
    return "block " + std::to_string(index + 1) + " of " + std::to_string(count);
}

// One block a frame sends, as read from the packet, then as inflated.
struct Block {
    std::span<const std::uint8_t> data;  // compressed pixels
    int index = 0;                       // in the grid
    int firstRow = 0;                    // the rows it holds, counted from the block's bottom
    int rowCount = 0;
    int primeIndex = -1;  // ZlibPrimeCompressCurrent: the block of this frame whose bytes prime it
    bool hybrid = false;
    bool primePrevious = false;  // ZlibPrimeCompressPrevious: primed by the block's key block
    bool secondSet = false;      // one of the IFrameImage blocks
    bool keyBlock = false;       // in a key frame's first set: the block's next key block
    std::size_t rawOffset = 0;   // its inflated bytes in raw_
    std::size_t rawSize = 0;
};

class ScreenVideoDecoder final : public VideoDecoder {
public:
    explicit ScreenVideoDecoder(int version) : version_(version) {
        for (std::size_t i = 0; i < palette_.size(); ++i) palette_[i] = 0xFF000000u | kDefaultPalette[i];
    }

    DecodeResult Decode(std::span<const std::uint8_t> data) override {
        DecodeResult result;
        Grid grid;
        result.problem = Read(data, grid, result.kind);
        if (result.problem.empty()) result.problem = InflateBlocks(grid);
        if (!result.problem.empty()) return result;
        Draw(grid);
        result.ok = true;
        return result;
    }

    const raster::Image& Picture() const override { return picture_; }
    void Reset() override { haveReference_ = false; }

private:
    std::string Read(std::span<const std::uint8_t> data, Grid& grid, FrameKind& kind);
    std::string ReadBlocks(std::span<const std::uint8_t> data, const Grid& grid, bool twoSets, bool& whole);
    std::string ReadBlock(std::span<const std::uint8_t> bytes, const Grid& grid, Block& block) const;
    std::string InflateBlocks(const Grid& grid);
    std::string InflatePalette();
    void Draw(const Grid& grid);
    void DrawRows(const Grid& grid, const Block& block);
    static void CopyRows(const std::uint32_t* from, std::uint32_t* to, const Grid& grid, int block, int first, int end);
    std::span<const std::uint8_t> RawOf(const Block& block) const {
        return {raw_.data() + block.rawOffset, block.rawSize};
    }

    const int version_;
    raster::Image picture_;
    Grid grid_;                   // of the picture
    bool haveReference_ = false;  // inter frames may build on the picture
    std::array<std::uint32_t, 128> palette_{};
    BlockInflater inflater_;
    // This frame's, kept between frames so that steady decoding allocates nothing.
    std::vector<Block> blocks_;
    std::vector<int> firstSetBlock_;  // grid index -> its block in the first set, or -1
    std::vector<int> latestBlock_;    // grid index -> its block inflated last, or -1
    std::vector<std::uint8_t> raw_;   // the blocks' inflated bytes, one after another
    std::span<const std::uint8_t> paletteData_;
    std::array<std::uint32_t, 128> newPalette_{};
    // Version 2: each block's last key block, as inflated bytes (which prime
    // later blocks) and as pixels (a diff block's rows not sent).
    std::vector<std::vector<std::uint8_t>> keyBlocks_;
    std::vector<std::uint32_t> keyPixels_;
};

std::string ScreenVideoDecoder::Read(std::span<const std::uint8_t> data, Grid& grid, FrameKind& kind) {
    const std::size_t headerSize = version_ == 2 ? 5 : 4;
    if (data.size() < headerSize) return "the frame ends inside its header (" + std::to_string(data.size()) + " bytes)";
    grid = screen_video::ReadGrid(data);
    if (grid.width == 0 || grid.height == 0 || grid.width > kMaxVideoSide || grid.height > kMaxVideoSide)
        return "the frame states a picture of " + SizeText(grid.width, grid.height) + " pixels";
    std::size_t at = headerSize;
    bool twoSets = false;
    paletteData_ = {};
    if (version_ == 2) {
        const std::uint8_t flags = data[4];  // six reserved bits, HasIFrameImage, HasPaletteInfo
        twoSets = flags & 2;
        if (flags & 1) {
            if (data.size() - at < 2) return "the frame ends inside its palette";
            const std::size_t size = std::size_t{data[at]} << 8 | data[at + 1];
            at += 2;
            if (size == 0 || size > data.size() - at) return "the frame ends inside its palette";
            paletteData_ = data.subspan(at, size);
            at += size;
        }
    }
    // Cheap before any work: every block of a set states its size in two bytes.
    const int count = grid.Count();
    if ((data.size() - at) / 2 < static_cast<std::size_t>(count))
        return "the frame ends before the sizes of its " + std::to_string(count) + " blocks (" +
               SizeText(grid.width, grid.height) + " pixels)";
    bool whole = true;  // every block of the first set there, none building on an earlier frame
    if (std::string problem = ReadBlocks(data.subspan(at), grid, twoSets, whole); !problem.empty()) return problem;
    kind = whole ? FrameKind::Key : FrameKind::Inter;
    if (whole) return {};
    // Only a key frame's blocks become key blocks: streams prime and diff
    // against the last key frame even where an inter frame sent a block whole.
    for (Block& block : blocks_) block.keyBlock = false;
    if (!haveReference_) return "an inter frame (it builds on an earlier picture) comes before any key frame";
    if (grid.width != grid_.width || grid.height != grid_.height)
        return "the picture size changes from " + SizeText(grid_.width, grid_.height) + " to " +
               SizeText(grid.width, grid.height) + " on an inter frame";
    if (grid.blockWidth != grid_.blockWidth || grid.blockHeight != grid_.blockHeight)
        return "the block size changes from " + SizeText(grid_.blockWidth, grid_.blockHeight) + " to " +
               SizeText(grid.blockWidth, grid.blockHeight) + " on an inter frame";
    return {};
}

// The blocks of one set (or of ImageBlocks and IFrameImage), each a DataSize
// and that many bytes; `whole` ends false unless the frame is a key frame.
std::string ScreenVideoDecoder::ReadBlocks(std::span<const std::uint8_t> data, const Grid& grid, bool twoSets,
                                           bool& whole) {
    const int count = grid.Count();
    blocks_.clear();
    firstSetBlock_.assign(count, -1);
    std::size_t at = 0;
    for (int set = 0; set < (twoSets ? 2 : 1); ++set) {
        for (int i = 0; i < count; ++i) {
            if (data.size() - at < 2) return "the frame ends at the size of " + BlockName(i, count);
            const std::size_t size = std::size_t{data[at]} << 8 | data[at + 1];
            at += 2;
            if (size == 0) {
                if (set == 0) whole = false;
                continue;
            }
            if (size > data.size() - at) return "the frame ends inside " + BlockName(i, count);
            Block block;
            block.index = i;
            block.secondSet = set == 1;
            if (std::string problem = ReadBlock(data.subspan(at, size), grid, block); !problem.empty())
                return BlockName(i, count) + " " + problem;
            at += size;
            if (set == 0) {
                if (!block.keyBlock) whole = false;
                firstSetBlock_[i] = static_cast<int>(blocks_.size());
            } else if (block.primePrevious) {
                const int first = firstSetBlock_[i];
                if (first < 0 || !blocks_[first].keyBlock) whole = false;
            }
            blocks_.push_back(block);
        }
    }
    return {};
}

// One block's bytes after its DataSize: version 1's are all zlib data;
// version 2's start with IMAGEFORMAT and the positions it asks for.
std::string ScreenVideoDecoder::ReadBlock(std::span<const std::uint8_t> bytes, const Grid& grid, Block& block) const {
    const int height = grid.HeightOf(block.index);
    block.rowCount = height;
    if (version_ == 1) {
        block.data = bytes;
        block.keyBlock = true;
        return {};
    }
    // Reserved UB[3], ColorDepth UB[2], HasDiffBlocks, ZlibPrimeCompressCurrent, ZlibPrimeCompressPrevious.
    const std::uint8_t format = bytes[0];
    std::size_t at = 1;
    const int depth = format >> 3 & 3;
    if (depth != 0 && depth != 2)
        return "has colour depth " + std::to_string(depth) + ", which the format leaves unused";
    block.hybrid = depth == 2;
    const bool diff = format & 4;
    if (diff) {
        if (bytes.size() - at < 2) return "ends inside its diff position";
        block.firstRow = bytes[at];
        block.rowCount = bytes[at + 1];
        at += 2;
        if (block.firstRow + block.rowCount > height)
            return "changes rows " + std::to_string(block.firstRow) + " to " +
                   std::to_string(block.firstRow + block.rowCount - 1) + " of its " + std::to_string(height);
    }
    if (format & 2) {
        if (bytes.size() - at < 2) return "ends inside its prime position";
        const int column = bytes[at], row = bytes[at + 1];
        at += 2;
        if (column >= grid.columns || row >= grid.rows)
            return "is primed by a block (column " + std::to_string(column) + ", row " + std::to_string(row) +
                   ") outside the grid";
        block.primeIndex = row * grid.columns + column;
    }
    block.primePrevious = format & 1;
    if (at >= bytes.size() && block.rowCount > 0) return "has no pixel data";
    block.data = bytes.subspan(at);
    block.keyBlock = !block.secondSet && !diff && !block.primePrevious;
    return {};
}

std::string ScreenVideoDecoder::InflateBlocks(const Grid& grid) {
    if (std::string problem = InflatePalette(); !problem.empty()) return problem;
    latestBlock_.assign(grid.Count(), -1);
    std::size_t used = 0;
    for (std::size_t k = 0; k < blocks_.size(); ++k) {
        Block& block = blocks_[k];
        const auto where = [&] { return BlockName(block.index, grid.Count()); };
        const int width = grid.WidthOf(block.index);
        const std::size_t pixels = static_cast<std::size_t>(width) * block.rowCount;
        const std::size_t capacity = pixels * (block.hybrid ? 2 : 3);
        // Grows with what blocks really hold, so a short frame cannot claim much
        // memory (and is never empty: zlib wants somewhere to write, even nothing).
        if (raw_.size() - used <= capacity) raw_.resize(std::max(used + capacity + 1, raw_.size() * 2));
        std::span<const std::uint8_t> primer1, primer2;
        if (block.primePrevious) {
            const int first = block.secondSet ? firstSetBlock_[block.index] : -1;
            if (first >= 0 && blocks_[first].keyBlock) {
                primer1 = RawOf(blocks_[first]);
            } else {
                if (keyBlocks_.size() != static_cast<std::size_t>(grid.Count()) || keyBlocks_[block.index].empty())
                    return where() + " is primed by its key block, which has not come";
                primer1 = keyBlocks_[block.index];
            }
        }
        if (block.primeIndex >= 0) {
            const int source = latestBlock_[block.primeIndex];
            if (source < 0) return where() + " is primed by a block this frame has not sent before it";
            primer2 = RawOf(blocks_[source]);
        }
        std::size_t produced = 0;
        using Outcome = BlockInflater::Outcome;
        switch (inflater_.Inflate(block.data, primer1, primer2, raw_.data() + used, capacity, produced)) {
        case Outcome::Ok: break;
        case Outcome::Corrupt: return where() + " holds damaged zlib data";
        case Outcome::TooLong:
            return where() + " inflates to more than its " + SizeText(width, block.rowCount) + " pixels";
        case Outcome::NoMemory: return "zlib has no memory for " + where();
        }
        const std::uint8_t* raw = raw_.data() + used;
        if (block.hybrid ? !screen_video::HybridHolds(raw, produced, pixels) : produced != capacity)
            return where() + " inflates to " + std::to_string(produced) + " bytes, which are not its " +
                   SizeText(width, block.rowCount) + (block.hybrid ? " palette-coded pixels" : " pixels");
        block.rawOffset = used;
        block.rawSize = produced;
        used += produced;
        latestBlock_[block.index] = static_cast<int>(k);
    }
    return {};
}

std::string ScreenVideoDecoder::InflatePalette() {
    if (paletteData_.empty()) return {};
    std::array<std::uint8_t, kPaletteBytes> bytes;
    std::size_t produced = 0;
    if (inflater_.Inflate(paletteData_, {}, {}, bytes.data(), bytes.size(), produced) != BlockInflater::Outcome::Ok ||
        produced != bytes.size())
        return "the palette is not 128 colours of zlib-compressed B, G, R bytes";
    for (std::size_t i = 0; i < newPalette_.size(); ++i) {
        const std::uint8_t* bgr = &bytes[i * 3];
        newPalette_[i] = 0xFF000000u | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
    }
    return {};
}

// Everything is known good: the frame goes onto the picture.
void ScreenVideoDecoder::Draw(const Grid& grid) {
    if (!(grid == grid_) || picture_.pixels.empty()) {
        // A key frame (Read refuses anything else here): it sends every pixel.
        grid_ = grid;
        picture_.width = grid.width;
        picture_.height = grid.height;
        picture_.pixels.resize(static_cast<std::size_t>(grid.width) * grid.height);
        keyBlocks_.resize(version_ == 2 ? grid.Count() : 0);
        for (auto& bytes : keyBlocks_) bytes.clear();
        keyPixels_.resize(version_ == 2 ? picture_.pixels.size() : 0);
    }
    if (!paletteData_.empty()) palette_ = newPalette_;
    for (const Block& block : blocks_) {
        // A diff block's other rows are its key block's: diffs are against that, not the last frame.
        const int height = grid.HeightOf(block.index);
        if (block.rowCount < height) {
            CopyRows(keyPixels_.data(), picture_.pixels.data(), grid, block.index, 0, block.firstRow);
            CopyRows(keyPixels_.data(), picture_.pixels.data(), grid, block.index, block.firstRow + block.rowCount,
                     height);
        }
        DrawRows(grid, block);
        if (block.keyBlock && version_ == 2) {
            const auto bytes = RawOf(block);
            keyBlocks_[block.index].assign(bytes.begin(), bytes.end());
            CopyRows(picture_.pixels.data(), keyPixels_.data(), grid, block.index, 0, height);
        }
    }
    haveReference_ = true;
    picture_.serial = raster::Image::NewSerial();
}

// The block's rows [first, end), counted from its bottom, from one picture-sized buffer to another.
void ScreenVideoDecoder::CopyRows(const std::uint32_t* from, std::uint32_t* to, const Grid& grid, int block, int first,
                                  int end) {
    const std::size_t width = grid.WidthOf(block);
    const int left = block % grid.columns * grid.blockWidth;
    const int bottom = grid.height - 1 - block / grid.columns * grid.blockHeight;
    for (int r = first; r < end; ++r) {
        const std::size_t at = static_cast<std::size_t>(bottom - r) * grid.width + left;
        std::copy(from + at, from + at + width, to + at);
    }
}

void ScreenVideoDecoder::DrawRows(const Grid& grid, const Block& block) {
    const int width = grid.WidthOf(block.index);
    const int left = block.index % grid.columns * grid.blockWidth;
    // The picture's row of the block's first row sent (rows go upwards).
    const int bottom = grid.height - 1 - (block.index / grid.columns * grid.blockHeight + block.firstRow);
    const std::uint8_t* raw = raw_.data() + block.rawOffset;
    for (int r = 0; r < block.rowCount; ++r) {
        std::uint32_t* out = picture_.pixels.data() + static_cast<std::size_t>(bottom - r) * grid.width + left;
        if (block.hybrid) {
            raw = screen_video::HybridToPixels(raw, width, palette_, out);
        } else {
            screen_video::BgrToPixels(raw, width, out);
            raw += static_cast<std::size_t>(width) * 3;
        }
    }
}

}  // namespace

std::unique_ptr<VideoDecoder> MakeScreenVideoDecoder() { return std::make_unique<ScreenVideoDecoder>(1); }
std::unique_ptr<VideoDecoder> MakeScreenVideo2Decoder() { return std::make_unique<ScreenVideoDecoder>(2); }
const std::array<std::uint32_t, 128>& ScreenVideo2DefaultPalette() { return kDefaultPalette; }

}  // namespace swf::video
