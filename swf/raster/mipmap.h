#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "swf/raster/image.h"

namespace swf::raster {

// A read-only view of one level's pixels (premultiplied, rows of `width`).
struct ImageLevel {
    int width = 0;
    int height = 0;
    const std::uint32_t* pixels = nullptr;

    const std::uint32_t* row(int y) const { return pixels + static_cast<std::size_t>(y) * width; }
};

// An image and its box-filtered halvings, so that a picture drawn small is
// sampled from a level whose pixels are about the size of the surface's.
// Level 0 is the image itself; each further level halves the one before
// (sizes rounded down, never below 1) until 1 x 1.
class MipChain {
public:
    // The chain for an image from a process-wide cache: one per live image, so
    // repeated draws share the levels. Safe to call from several threads.
    // `image` must be valid (see IsValidImage).
    static std::shared_ptr<const MipChain> Of(const std::shared_ptr<const Image>& image);

    // Sizes are positive and the pixels hold width * height entries.
    static bool IsValidImage(const Image& image);

    int levelCount() const { return levelCount_; }
    // True when every pixel of the image is fully opaque.
    bool opaque() const { return opaque_; }
    // Level `index` (0 .. levelCount() - 1); the first call for a level above 0
    // builds them all. `image` is the one the chain was made for.
    ImageLevel Level(const Image& image, int index) const;

    explicit MipChain(const Image& image);

private:
    void Build(const Image& image) const;

    int levelCount_ = 1;
    bool opaque_ = false;
    mutable std::once_flag built_;
    mutable std::vector<std::vector<std::uint32_t>> reduced_;  // levels 1 and up
    std::vector<int> widths_, heights_;
};

}  // namespace swf::raster
