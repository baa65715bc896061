#pragma once
// What a display object's filters ask for, as the movie's tags and its
// scripts describe them: lengths in pixels of the movie's own scale (a clip
// shown twice as large has its blur and distances doubled by the caller,
// see Scaled), angles in radians, colours straight (not premultiplied).

#include <array>
#include <memory>
#include <cstdint>
#include <variant>
#include <vector>

#include "swf/raster/color.h"
#include "swf/raster/image.h"
#include "swf/raster/paint.h"

namespace swf::raster {

// Each pass is one box blur of the width asked for, horizontally then
// vertically; three passes come close to a Gaussian.
struct BlurSettings {
    double blurX = 4;
    double blurY = 4;
    int passes = 1;  // 0 draws nothing of the blur (no passes); at most 15 are kept
};

struct DropShadowFilter {
    Color color{0, 0, 0, 255};
    BlurSettings blur;
    double angle = 0.7853981633974483;  // 45 degrees: down and to the right
    double distance = 4;
    double strength = 1;  // multiplies the shadow's alpha, 0..255
    bool inner = false;
    bool knockout = false;
    bool hideObject = false;  // the shadow alone, without the object
};

struct BlurFilter {
    BlurSettings blur;
};

struct GlowFilter {
    Color color{255, 0, 0, 255};
    BlurSettings blur{6, 6, 1};
    double strength = 2;
    bool inner = false;
    bool knockout = false;
};

enum class BevelPlacement { Inner, Outer, Full };

struct BevelFilter {
    Color highlight{255, 255, 255, 255};
    Color shadow{0, 0, 0, 255};
    BlurSettings blur;
    double angle = 0.7853981633974483;
    double distance = 4;
    double strength = 1;
    BevelPlacement placement = BevelPlacement::Inner;
    bool knockout = false;
};

// A glow or bevel coloured by a gradient: the blurred (and strengthened)
// alpha, 0..255, picks the ratio whose colour is painted.
struct GradientGlowFilter {
    std::vector<GradientStop> stops;
    BlurSettings blur;
    double angle = 0.7853981633974483;
    double distance = 4;
    double strength = 1;
    BevelPlacement placement = BevelPlacement::Outer;  // Inner, Outer or Full
    bool knockout = false;
};

// Gradient bevel: the highlight side picks ratios above 128, the shadow side below.
struct GradientBevelFilter {
    std::vector<GradientStop> stops;
    BlurSettings blur;
    double angle = 0.7853981633974483;
    double distance = 4;
    double strength = 1;
    BevelPlacement placement = BevelPlacement::Inner;
    bool knockout = false;
};

// Each output channel of straight colour is the weighted sum of the four
// input channels plus an offset (0..255 units), clamped:
//   r' = m[0] r + m[1] g + m[2] b + m[3] a + m[4], and so on for g, b, a.
struct ColorMatrixFilter {
    std::array<double, 20> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

// A kernel of columns x rows over straight colour; the centre is at
// (columns / 2, rows / 2). Out = sum / divisor + bias, clamped.
struct ConvolutionFilter {
    int columns = 0;
    int rows = 0;
    std::vector<double> kernel;  // rows * columns, row by row
    double divisor = 1;
    double bias = 0;
    bool preserveAlpha = true;  // keep the source's alpha, convolve only the colour
    bool clamp = true;          // beyond the edges: the edge pixel (true) or `color` (false)
    Color color{0, 0, 0, 0};
};

enum class DisplacementMode { Wrap, Clamp, Ignore, Color };

// Moves each pixel by an amount read from a map picture's channels:
//   dst(x, y) = src(x + ((cx(x, y) - 128) * scaleX) / 256, y + ((cy(x, y) - 128) * scaleY) / 256)
// where cx and cy are the chosen channels of the map at (x - mapX, y - mapY).
struct DisplacementMapFilter {
    std::shared_ptr<const Image> map;  // premultiplied, as Image keeps it; nullptr: no displacement
    int mapX = 0;
    int mapY = 0;
    int componentX = 1;  // 1 red, 2 green, 4 blue, 8 alpha
    int componentY = 1;
    double scaleX = 0;
    double scaleY = 0;
    DisplacementMode mode = DisplacementMode::Wrap;
    Color color{0, 0, 0, 0};  // where Color mode finds nothing
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter, GradientGlowFilter,
                            ColorMatrixFilter, ConvolutionFilter, GradientBevelFilter, DisplacementMapFilter>;

}  // namespace swf::raster
