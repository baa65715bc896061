#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "swf/raster/color_transform.h"
#include "swf/raster/geometry.h"
#include "swf/raster/image.h"
#include "swf/raster/mipmap.h"

namespace swf::raster {

// A picture used as a paint: where it lies and how it is sampled.
struct BitmapStyle {
    // Null, empty or malformed (fewer pixels than its size): paints nothing.
    std::shared_ptr<const Image> image;
    // Maps image pixels (the top-left pixel spans 0..1) to surface pixels.
    Matrix matrix;
    // Tiles the plane; otherwise the edge pixels extend outwards for ever.
    bool repeat = true;
    // Bilinear between pixel centres; otherwise the nearest pixel.
    bool smooth = true;
    // Applied to every sampled colour (on straight colour, then premultiplied again).
    ColorTransform colors;
};

// Shades spans of a bitmap paint. Pictures drawn smaller than about 0.7 x are
// sampled from a box-filtered reduction (see MipChain), so they do not alias.
class BitmapSampler {
public:
    // Null when the style paints nothing: no usable image, or a matrix that is
    // singular or not finite.
    static std::shared_ptr<const BitmapSampler> Make(const BitmapStyle& style);

    // True when every colour it produces is fully opaque.
    bool opaque() const { return opaque_; }
    // The one colour it paints everywhere (a 1 x 1 picture, or one drawn so
    // small that it is its own average), premultiplied.
    std::optional<std::uint32_t> UniformPixel() const;

    // Premultiplied colours for the centres of pixels (x .. x + length - 1, y).
    void ShadeSpan(int x, int y, int length, std::uint32_t* out) const;

    // Which reduction a draw samples: 0 for the picture itself (for tests).
    int LevelIndex() const { return levelIndex_; }

private:
    struct ColorTable {
        std::array<std::uint8_t, 256> red, green, blue, alpha;
    };

    BitmapSampler() = default;
    template <bool Smooth, bool Repeat>
    void SampleRun(double u, double v, int length, std::uint32_t* out) const;
    void TransformColors(std::uint32_t* pixels, int length) const;
    std::uint32_t TransformColor(std::uint32_t pixel) const;

    std::shared_ptr<const Image> image_;
    std::shared_ptr<const MipChain> chain_;
    ImageLevel level_;
    int levelIndex_ = 0;
    // Surface pixel -> level texel (for bilinear sampling, relative to texel centres).
    Matrix toTexels_;
    bool repeat_ = true;
    bool smooth_ = true;
    bool opaque_ = false;
    std::optional<ColorTable> colors_;
};

}  // namespace swf::raster
