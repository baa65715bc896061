// Filters that compute each pixel from a few source pixels: the colour
// matrix, the convolution and the displacement map. All work on straight
// (unpremultiplied) colour and premultiply the result.
//
// Conventions:
//   - a transparent pixel's straight colour is (0, 0, 0, 0);
//   - straight channels are round(c * 255 / a); results are rounded to nearest
//     after clamping to 0..255;
//   - matrix and kernel entries, divisor and bias: NaN counts as 0 (a divisor
//     of 0 as 1), magnitudes are clamped to 1e6 (2^16 for displacement scales);
//   - the displacement is round((c - 128) * scale / 256) whole pixels, c the
//     chosen channel of the map's straight colour (1 red, 2 green, 4 blue,
//     8 alpha; any other value reads as 128, no displacement). Where the map
//     does not reach, pixels stay. Where the displaced point leaves the layer:
//     Wrap takes it modulo the layer's size, Clamp the nearest edge pixel,
//     Ignore keeps the pixel undisplaced, Color paints the filter's colour.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "swf/raster/color.h"
#include "swf/raster/filter_internal.h"

namespace swf::raster::detail {

namespace {

constexpr double kMaxCoefficient = 1e6;

struct Straight {
    std::uint32_t a, r, g, b;
};

inline std::uint32_t Unpremultiply(std::uint32_t c, std::uint32_t a) { return a == 0 ? 0 : (c * 255 + a / 2) / a; }

inline Straight ToStraight(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    return {a, Unpremultiply((p >> 16) & 255, a), Unpremultiply((p >> 8) & 255, a), Unpremultiply(p & 255, a)};
}

// Straight colour packed as 0xAARRGGBB (not premultiplied).
inline std::uint32_t PackStraight(Straight s) { return PackPixel(s.a, s.r, s.g, s.b); }
inline std::uint32_t PackStraight(Color c) { return PackPixel(c.a, c.r, c.g, c.b); }

inline std::uint32_t ToByte(double v) {
    // NaN fails both comparisons and lands on 0.
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<std::uint32_t>(v + 0.5);
}

inline std::uint32_t PremultiplyChannels(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return PackPixel(a, Mul255(r, a), Mul255(g, a), Mul255(b, a));
}

std::uint32_t* OutputBuffer(FilterScratch& scratch, const PixelRect& area) {
    std::vector<std::uint32_t>& out = scratch.Pixels(kOutput);
    const std::size_t size = static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height());
    if (out.size() < size) out.resize(size);
    return out.data();
}

void WriteBack(const std::uint32_t* out, Surface& layer, const PixelRect& area) {
    const int w = area.width();
    for (int y = area.top; y < area.bottom; ++y) {
        std::memcpy(layer.row(y) + area.left, out + static_cast<std::size_t>(y - area.top) * w,
                    static_cast<std::size_t>(w) * 4);
    }
}

struct Convolution {
    int columns = 0, rows = 0;
    int cx = 0, cy = 0;
    bool valid = false;
};

Convolution ShapeOf(const ConvolutionFilter& f) {
    Convolution c;
    c.columns = std::clamp(f.columns, 0, 15);
    c.rows = std::clamp(f.rows, 0, 15);
    c.valid = c.columns > 0 && c.rows > 0 && f.kernel.size() == static_cast<std::size_t>(c.columns * c.rows);
    c.cx = c.columns / 2;
    c.cy = c.rows / 2;
    return c;
}

}  // namespace

FilterMargins ColorMatrixMargins(const ColorMatrixFilter& f) {
    // A transparent pixel (straight 0, 0, 0, 0) comes out with alpha m[19].
    if (ToByte(Sane(f.matrix[19], -kMaxCoefficient, kMaxCoefficient)) == 0) return {};
    return {kUnboundedMargin, kUnboundedMargin, kUnboundedMargin, kUnboundedMargin};
}

FilterMargins ConvolutionMargins(const ConvolutionFilter& f) {
    const Convolution c = ShapeOf(f);
    if (!c.valid || f.preserveAlpha) return {};
    const bool biasShows = ToByte(Sane(f.bias, -kMaxCoefficient, kMaxCoefficient)) > 0;
    if (biasShows || (!f.clamp && f.color.a > 0)) {
        return {kUnboundedMargin, kUnboundedMargin, kUnboundedMargin, kUnboundedMargin};
    }
    return {c.columns - 1 - c.cx, c.rows - 1 - c.cy, c.cx, c.cy};
}

void ApplyColorMatrix(const ColorMatrixFilter& f, Surface& layer, const PixelRect& area) {
    double m[20];
    for (int i = 0; i < 20; ++i) m[i] = Sane(f.matrix[i], -kMaxCoefficient, kMaxCoefficient);
    auto channel = [&m](int row, const Straight& s) {
        const double* k = m + 5 * row;
        return ToByte(k[0] * s.r + k[1] * s.g + k[2] * s.b + k[3] * s.a + k[4]);
    };
    auto transform = [&](std::uint32_t p) {
        const Straight s = ToStraight(p);
        const std::uint32_t a = channel(3, s);
        if (a == 0) return 0u;
        return PremultiplyChannels(a, channel(0, s), channel(1, s), channel(2, s));
    };
    const std::uint32_t transparent = transform(0);
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = layer.row(y);
        std::uint32_t last = 0, lastOut = transparent;  // runs of equal pixels are common
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t p = row[x];
            if (p != last) {
                last = p;
                lastOut = transform(p);
            }
            row[x] = lastOut;
        }
    }
}

void ApplyConvolution(const ConvolutionFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const Convolution c = ShapeOf(f);
    if (!c.valid) return;
    double kernel[15 * 15];
    for (int i = 0; i < c.columns * c.rows; ++i) kernel[i] = Sane(f.kernel[i], -kMaxCoefficient, kMaxCoefficient);
    double divisor = Sane(f.divisor, -kMaxCoefficient, kMaxCoefficient);
    if (divisor == 0) divisor = 1;
    const double scale = 1 / divisor;
    const double bias = Sane(f.bias, -kMaxCoefficient, kMaxCoefficient);

    // The straight colours of every pixel a window touches, the edges' or the
    // filter colour beyond the layer.
    const PixelRect reach = Grown(area, c.cx, c.cy, c.columns - 1 - c.cx, c.rows - 1 - c.cy);
    const int rw = reach.width(), rh = reach.height();
    std::vector<std::uint32_t>& source = scratch.Pixels(kPlane);
    const std::size_t size = static_cast<std::size_t>(rw) * static_cast<std::size_t>(rh);
    if (source.size() < size) source.resize(size);
    const std::uint32_t outside = PackStraight(f.color);
    const int lw = layer.width(), lh = layer.height();
    for (int y = reach.top; y < reach.bottom; ++y) {
        std::uint32_t* dst = source.data() + static_cast<std::size_t>(y - reach.top) * rw;
        const bool rowInside = y >= 0 && y < lh;
        const std::uint32_t* src = layer.row(std::clamp(y, 0, lh - 1));
        for (int x = reach.left; x < reach.right; ++x) {
            const bool inside = rowInside && x >= 0 && x < lw;
            dst[x - reach.left] = inside || f.clamp ? PackStraight(ToStraight(src[std::clamp(x, 0, lw - 1)])) : outside;
        }
    }

    std::uint32_t* out = OutputBuffer(scratch, area);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* srcRow = layer.row(y);
        for (int x = area.left; x < area.right; ++x) {
            double sa = 0, sr = 0, sg = 0, sb = 0;
            const std::uint32_t* window = source.data() + static_cast<std::size_t>(y - area.top) * rw + (x - area.left);
            for (int j = 0; j < c.rows; ++j) {
                const std::uint32_t* line = window + static_cast<std::size_t>(j) * rw;
                const double* k = kernel + j * c.columns;
                for (int i = 0; i < c.columns; ++i) {
                    const std::uint32_t p = line[i];
                    sa += k[i] * static_cast<double>(p >> 24);
                    sr += k[i] * static_cast<double>((p >> 16) & 255);
                    sg += k[i] * static_cast<double>((p >> 8) & 255);
                    sb += k[i] * static_cast<double>(p & 255);
                }
            }
            const std::uint32_t a = f.preserveAlpha ? (srcRow[x] >> 24) : ToByte(sa * scale + bias);
            out[static_cast<std::size_t>(y - area.top) * area.width() + (x - area.left)] =
                PremultiplyChannels(a, ToByte(sr * scale + bias), ToByte(sg * scale + bias), ToByte(sb * scale + bias));
        }
    }
    WriteBack(out, layer, area);
}

void ApplyDisplacementMap(const DisplacementMapFilter& f, Surface& layer, const PixelRect& area,
                          FilterScratch& scratch) {
    const Image* map = f.map.get();
    if (map == nullptr || map->width <= 0 || map->height <= 0 ||
        map->pixels.size() < static_cast<std::size_t>(map->width) * static_cast<std::size_t>(map->height)) {
        return;
    }
    constexpr double kMaxScale = 65535;
    const double sx = Sane(f.scaleX, -kMaxScale, kMaxScale), sy = Sane(f.scaleY, -kMaxScale, kMaxScale);
    // Displacement for each channel value: round((c - 128) * scale / 256).
    int tableX[256], tableY[256];
    for (int v = 0; v < 256; ++v) {
        tableX[v] = static_cast<int>(std::floor((v - 128) * sx / 256 + 0.5));
        tableY[v] = static_cast<int>(std::floor((v - 128) * sy / 256 + 0.5));
    }
    auto component = [](std::uint32_t mapPixel, int which) -> std::uint32_t {
        const Straight s = ToStraight(mapPixel);
        switch (which) {
        case 1: return s.r;
        case 2: return s.g;
        case 4: return s.b;
        case 8: return s.a;
        default: return 128;
        }
    };
    const std::uint32_t fill = Premultiply(f.color);
    const int lw = layer.width(), lh = layer.height();
    // In 64 bits so that x - mapX cannot overflow.
    const long long mapX = f.mapX, mapY = f.mapY;
    std::uint32_t* out = OutputBuffer(scratch, area);
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* dst = out + static_cast<std::size_t>(y - area.top) * area.width();
        const long long my = y - mapY;
        const bool mapRow = my >= 0 && my < map->height;
        for (int x = area.left; x < area.right; ++x) {
            const long long mx = x - mapX;
            std::uint32_t result = layer.row(y)[x];
            if (mapRow && mx >= 0 && mx < map->width) {
                const std::uint32_t m = map->pixel(static_cast<int>(mx), static_cast<int>(my));
                int qx = x + tableX[component(m, f.componentX)];
                int qy = y + tableY[component(m, f.componentY)];
                bool take = true;
                if (qx < 0 || qx >= lw || qy < 0 || qy >= lh) {
                    switch (f.mode) {
                    case DisplacementMode::Wrap:
                        qx = ((qx % lw) + lw) % lw;
                        qy = ((qy % lh) + lh) % lh;
                        break;
                    case DisplacementMode::Clamp:
                        qx = std::clamp(qx, 0, lw - 1);
                        qy = std::clamp(qy, 0, lh - 1);
                        break;
                    case DisplacementMode::Ignore: take = false; break;
                    case DisplacementMode::Color:
                        take = false;
                        result = fill;
                        break;
                    default: take = false; break;  // a mode out of the enum: as Ignore
                    }
                }
                if (take) result = layer.row(qy)[qx];
            }
            dst[x - area.left] = result;
        }
    }
    WriteBack(out, layer, area);
}

}  // namespace swf::raster::detail
