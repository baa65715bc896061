#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "swf/raster/bitmap_sampler.h"
#include "swf/raster/color.h"
#include "swf/raster/geometry.h"

namespace swf::raster {

// How a gradient continues beyond its square.
enum class SpreadMode { Pad, Reflect, Repeat };
// Colour space in which gradient stops blend.
enum class GradientInterpolation { RGB, LinearRGB };
enum class GradientShape { Linear, Radial, Focal };

struct GradientStop {
    std::uint8_t ratio = 0;  // 0 = gradient start, 255 = end
    Color color;
};

// Half the side of the gradient square, in gradient units (twips): the square
// spans -16384..16384 on both axes around the origin.
inline constexpr double kGradientHalfSize = 16384.0;

struct Gradient {
    GradientShape shape = GradientShape::Linear;
    // Up to 15 stops are used (extra ones are ignored); they are taken in ratio order.
    // No stops paints nothing (transparent).
    std::vector<GradientStop> stops;
    SpreadMode spread = SpreadMode::Pad;
    GradientInterpolation interpolation = GradientInterpolation::RGB;
    // Maps gradient space to pixels. Linear: x = -16384 is the start, +16384 the end.
    // Radial and focal: the circle of radius 16384 around the origin is the end.
    Matrix matrix;
    // Focal only: where the start lies on the x axis, -1 (left edge) to 1 (right edge).
    double focalPoint = 0;
};

inline constexpr int kMaxGradientStops = 15;

// The gradient's colour for each of the 256 ratios, premultiplied.
class GradientRamp {
public:
    static GradientRamp Build(const std::vector<GradientStop>& stops, GradientInterpolation interpolation);
    std::uint32_t operator[](int index) const { return colors_[index]; }
    const std::uint32_t* data() const { return colors_.data(); }
    bool opaque() const { return opaque_; }

private:
    std::array<std::uint32_t, 256> colors_{};
    bool opaque_ = false;
};

// What a fill or stroke paints with: one colour, a gradient or a picture. A
// gradient paint computes its colour ramp once and a picture paint its sampling
// setup, so keep and reuse the Paint for repeated draws.
class Paint {
public:
    // Transparent black: painting with it changes nothing.
    Paint() = default;
    static Paint Solid(Color color);
    static Paint GradientFill(const Gradient& gradient);
    // Paints nothing when the style has no usable image or its matrix is singular
    // or not finite.
    static Paint BitmapFill(const BitmapStyle& style);

    bool IsSolid() const { return kind_ == Kind::Solid; }
    // The premultiplied colour of a solid paint.
    std::uint32_t SolidPixel() const { return solid_; }
    // True when every pixel the paint produces is fully opaque.
    bool opaque() const { return opaque_; }

    // Premultiplied colours for the centres of pixels (x .. x + length - 1, y).
    void ShadeSpan(int x, int y, int length, std::uint32_t* out) const;
    // The same, one pixel at a time: the plain version the fast one is checked against.
    void ShadeSpanReference(int x, int y, int length, std::uint32_t* out) const;

    // Equal for paints that colour every pixel alike (made from equal inputs).
    std::uint64_t fingerprint() const { return fingerprint_; }

private:
    enum class Kind { Solid, Gradient, Bitmap };
    static Paint SolidFromPixel(std::uint32_t premultiplied);
    double RampPosition(double gx, double gy) const;

    Kind kind_ = Kind::Solid;
    std::uint32_t solid_ = 0;
    bool opaque_ = false;
    GradientRamp ramp_;
    GradientShape shape_ = GradientShape::Linear;
    SpreadMode spread_ = SpreadMode::Pad;
    Matrix pixelToGradient_;
    double focal_ = 0;
    std::shared_ptr<const BitmapSampler> bitmap_;
    std::uint64_t fingerprint_ = 0;
};

}  // namespace swf::raster
