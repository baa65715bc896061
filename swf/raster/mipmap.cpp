#include "swf/raster/mipmap.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace swf::raster {

namespace {

// The source samples a destination sample averages when `n` samples shrink to
// `m` (m <= n <= 3m): each destination sample covers n/m source samples, which
// touch at most four, weighted by overlap (weights sum to 65536).
struct BoxTap {
    int first = 0;
    int count = 0;
    std::array<std::uint32_t, 4> weights{};
};

std::vector<BoxTap> BoxTaps(int n, int m) {
    std::vector<BoxTap> taps(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) {
        // Positions in units of 1/m source samples.
        const std::int64_t lo = std::int64_t{i} * n, hi = std::int64_t{i + 1} * n;
        BoxTap& tap = taps[static_cast<std::size_t>(i)];
        tap.first = static_cast<int>(lo / m);
        const int last = static_cast<int>((hi - 1) / m);
        tap.count = last - tap.first + 1;
        std::uint32_t total = 0;
        for (int k = 0; k < tap.count; ++k) {
            const std::int64_t j = tap.first + k;
            const std::int64_t overlap = std::min(hi, (j + 1) * m) - std::max(lo, j * m);
            tap.weights[k] = static_cast<std::uint32_t>(overlap * 65536 / n);
            total += tap.weights[k];
        }
        tap.weights[0] += 65536 - total;  // rounding left over
    }
    return taps;
}

// One source row shrunk across, added into `sums` with weight `rowWeight`:
// four channels per pixel, 8-bit values weighted by 65536 * 65536 in all.
void AddShrunkRow(const std::uint32_t* in, const std::vector<BoxTap>& across, std::uint32_t rowWeight,
                  std::vector<std::uint64_t>& sums) {
    for (std::size_t x = 0; x < across.size(); ++x) {
        const BoxTap& tap = across[x];
        for (int shift = 0, c = 0; c < 4; ++c, shift += 8) {
            std::uint32_t sum = 0;
            for (int k = 0; k < tap.count; ++k) sum += ((in[tap.first + k] >> shift) & 0xFF) * tap.weights[k];
            sums[x * 4 + c] += static_cast<std::uint64_t>(sum) * rowWeight;
        }
    }
}

// Box-filters `src` down to width x height: each side the same or shrunk by a
// factor of 2 to 3 (a halving rounded down). Works a row at a time, so the
// only working memory is one row of sums.
std::vector<std::uint32_t> shrink(const ImageLevel& src, int width, int height) {
    const std::vector<BoxTap> across = BoxTaps(src.width, width);
    const std::vector<BoxTap> down = BoxTaps(src.height, height);
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(width) * 4);
    std::vector<std::uint32_t> result(static_cast<std::size_t>(width) * height);
    constexpr std::uint64_t kHalf = std::uint64_t{1} << 31;
    for (int y = 0; y < height; ++y) {
        const BoxTap& tap = down[static_cast<std::size_t>(y)];
        std::fill(sums.begin(), sums.end(), 0);
        for (int k = 0; k < tap.count; ++k) AddShrunkRow(src.row(tap.first + k), across, tap.weights[k], sums);
        std::uint32_t* out = result.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                pixel |= static_cast<std::uint32_t>((sums[static_cast<std::size_t>(x) * 4 + c] + kHalf) >> 32)
                         << (8 * c);
            }
            out[x] = pixel;
        }
    }
    return result;
}

struct CacheEntry {
    std::weak_ptr<const Image> image;
    std::shared_ptr<const MipChain> chain;
};

std::mutex cacheMutex;
std::unordered_map<const Image*, CacheEntry>& cache() {
    static std::unordered_map<const Image*, CacheEntry> entries;
    return entries;
}

}  // namespace

bool MipChain::IsValidImage(const Image& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() / static_cast<std::size_t>(image.width) >= static_cast<std::size_t>(image.height);
}

MipChain::MipChain(const Image& image) {
    opaque_ = std::all_of(image.pixels.begin(),
                          image.pixels.begin() + static_cast<std::ptrdiff_t>(image.width) * image.height,
                          [](std::uint32_t p) { return (p >> 24) == 255; });
    int w = image.width, h = image.height;
    widths_.push_back(w);
    heights_.push_back(h);
    while (w > 1 || h > 1) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
        widths_.push_back(w);
        heights_.push_back(h);
    }
    levelCount_ = static_cast<int>(widths_.size());
}

std::shared_ptr<const MipChain> MipChain::Of(const std::shared_ptr<const Image>& image) {
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto& entries = cache();
    auto found = entries.find(image.get());
    // A live weak pointer means the same image: a dead one, an earlier image
    // that happened to live at the same address.
    if (found != entries.end() && !found->second.image.expired()) return found->second.chain;
    std::erase_if(entries, [](const auto& entry) { return entry.second.image.expired(); });
    auto chain = std::make_shared<const MipChain>(*image);
    entries[image.get()] = {image, chain};
    return chain;
}

void MipChain::Build(const Image& image) const {
    ImageLevel previous{image.width, image.height, image.pixels.data()};
    reduced_.reserve(static_cast<std::size_t>(levelCount_));
    for (int index = 1; index < levelCount_; ++index) {
        reduced_.push_back(shrink(previous, widths_[index], heights_[index]));
        previous = {widths_[index], heights_[index], reduced_.back().data()};
    }
}

ImageLevel MipChain::Level(const Image& image, int index) const {
    if (index <= 0) return {image.width, image.height, image.pixels.data()};
    std::call_once(built_, [&] { Build(image); });
    index = std::min(index, levelCount_ - 1);
    return {widths_[index], heights_[index], reduced_[static_cast<std::size_t>(index) - 1].data()};
}

}  // namespace swf::raster
