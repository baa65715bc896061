// BitmapData's generated pictures: noise (independent random pixels) and
// perlinNoise (gradient noise summed over octaves).
//
// Gradient noise: the plane is cut into unit cells by an integer lattice;
// each lattice point has a pseudo-random unit gradient. The value at a point
// blends the four corner gradients' dot products with the offsets from those
// corners, weighted by the fade curve 6t^5 - 15t^4 + 10t^3 (smooth to the
// second derivative across cell edges). It is 0 on lattice points and within
// about +-0.7 elsewhere; it is scaled by sqrt(2) to reach about +-1. Octave k
// samples at 2^k times the first octave's frequency with amplitude 2^-k.
// Time is linear in pixels x octaves x channels; nothing is allocated per pixel.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "swf/raster/bitmap_data.h"
#include "swf/raster/bitmap_data_internal.h"
#include "swf/raster/color.h"

namespace swf::raster {

using bitmap_detail::BitmapRandom;

namespace {

// Lattice cells per pixel; beyond about 1 the picture is plain noise anyway.
constexpr double kMaxFrequency = 256;
constexpr double kMaxOffset = 1e9;  // pixels

// One channel's lattice: a permutation of 0..255 (stored twice, so that the
// second lookup needs no wrap) choosing each lattice point's gradient.
class GradientLattice {
public:
    explicit GradientLattice(BitmapRandom& random) {
        for (int i = 0; i < 256; ++i) perm_[i] = static_cast<std::uint8_t>(i);
        for (int i = 255; i > 0; --i) std::swap(perm_[i], perm_[random.Below(static_cast<std::uint32_t>(i) + 1)]);
        std::copy_n(perm_.begin(), 256, perm_.begin() + 256);
        // Uniform directions: points of the square kept inside the unit disc
        // (away from its centre), normalised. Only exact arithmetic and sqrt,
        // so every machine picks the same gradients.
        for (int i = 0; i < 256; ++i) {
            double x, y, lengthSquared;
            do {
                x = random.Next() / 2147483648.0 - 1;
                y = random.Next() / 2147483648.0 - 1;
                lengthSquared = x * x + y * y;
            } while (lengthSquared > 1 || lengthSquared < 1e-4);
            const double length = std::sqrt(lengthSquared);
            gx_[i] = x / length;
            gy_[i] = y / length;
        }
    }

    // The dot product of lattice point (i, j)'s gradient with offset (dx, dy).
    double Dot(int i, int j, double dx, double dy) const {
        const int h = perm_[perm_[i & 255] + (j & 255)];
        return gx_[h] * dx + gy_[h] * dy;
    }

private:
    std::array<std::uint8_t, 512> perm_{};
    std::array<double, 256> gx_{}, gy_{};
};

// Where a coordinate falls along one axis: its cell's two lattice indices
// (wrapped at the period when stitching, else at 256 where the lattice
// repeats anyway), the position t in the cell and its faded weight.
struct AxisCell {
    int i0 = 0;
    int i1 = 0;
    double t = 0;
    double fade = 0;
};

AxisCell Locate(double coordinate, double period) {
    const double wrap = period > 0 ? period : 256.0;
    const double cell = std::floor(coordinate);
    double index = std::fmod(cell, wrap);
    if (index < 0) index += wrap;
    AxisCell a;
    a.i0 = static_cast<int>(index);
    a.i1 = a.i0 + 1 == wrap ? 0 : a.i0 + 1;
    a.t = coordinate - cell;
    a.fade = a.t * a.t * a.t * (a.t * (a.t * 6 - 15) + 10);
    return a;
}

double GradientNoise(const GradientLattice& lattice, const AxisCell& x, const AxisCell& y) {
    const double top = std::lerp(lattice.Dot(x.i0, y.i0, x.t, y.t), lattice.Dot(x.i1, y.i0, x.t - 1, y.t), x.fade);
    const double bottom =
        std::lerp(lattice.Dot(x.i0, y.i1, x.t, y.t - 1), lattice.Dot(x.i1, y.i1, x.t - 1, y.t - 1), x.fade);
    return std::lerp(top, bottom, y.fade) * std::numbers::sqrt2;
}

// One octave along one axis: lattice cells per pixel, the shift in pixels,
// and the period in cells when the picture must tile (0 otherwise).
struct OctaveAxis {
    double frequency = 0;
    double offset = 0;
    double period = 0;
};

OctaveAxis MakeAxis(double base, int octave, double offset, int side, bool stitch) {
    OctaveAxis axis;
    if (std::isfinite(offset)) axis.offset = std::clamp(offset, -kMaxOffset, kMaxOffset);
    if (!(base > 0)) return axis;  // NaN or no wavelength: constant along this axis
    axis.frequency = std::min(kMaxFrequency, std::ldexp(1.0, octave) / base);
    if (stitch) {
        // A whole number of cells across the side, so the last column meets the first.
        axis.period = std::max(1.0, std::round(side * axis.frequency));
        axis.frequency = axis.period / side;
    }
    return axis;
}

std::uint32_t NoiseChannel(double sum, bool fractal) {
    const double value = fractal ? (sum + 1) * 127.5 : sum * 255;
    return static_cast<std::uint32_t>(std::clamp(std::round(value), 0.0, 255.0));
}

// The noise of one picture: each octave's axes, a lattice per channel and
// where every column falls along x (the same on every row).
class PerlinField {
public:
    PerlinField(double baseX, double baseY, int octaves, int seed, bool stitch, const std::vector<Point>& offsets,
                int width, int height)
        : octaves_(octaves), width_(width), lattices_(MakeLattices(static_cast<std::uint32_t>(seed))) {
        for (int k = 0; k < octaves; ++k) {
            const Point offset = k < static_cast<int>(offsets.size()) ? offsets[k] : Point{};
            ax_[k] = MakeAxis(baseX, k, offset.x, width, stitch);
            ay_[k] = MakeAxis(baseY, k, offset.y, height, stitch);
        }
        columns_.resize(static_cast<std::size_t>(octaves) * width);
        for (int k = 0; k < octaves; ++k) {
            for (int x = 0; x < width; ++x) {
                columns_[static_cast<std::size_t>(k) * width + x] =
                    Locate((x + ax_[k].offset) * ax_[k].frequency, ax_[k].period);
            }
        }
    }

    // Row y of channel c (0 red .. 3 alpha): the octaves' sum of signed noise
    // (fractal) or of its magnitude, one value per column.
    void SumRow(int c, int y, bool fractal, double* sums) const {
        std::fill_n(sums, width_, 0.0);
        double amplitude = 1;
        for (int k = 0; k < octaves_; ++k, amplitude *= 0.5) {
            const AxisCell rowCell = Locate((y + ay_[k].offset) * ay_[k].frequency, ay_[k].period);
            const AxisCell* cells = columns_.data() + static_cast<std::size_t>(k) * width_;
            for (int x = 0; x < width_; ++x) {
                const double n = GradientNoise(lattices_[c], cells[x], rowCell);
                sums[x] += amplitude * (fractal ? n : std::fabs(n));
            }
        }
    }

private:
    // Made in a fixed order, so a channel's picture does not depend on which others are chosen.
    static std::array<GradientLattice, 4> MakeLattices(std::uint32_t seed) {
        BitmapRandom random(seed);
        return {GradientLattice(random), GradientLattice(random), GradientLattice(random), GradientLattice(random)};
    }

    int octaves_;
    int width_;
    std::array<OctaveAxis, BitmapData::kMaxOctaves> ax_{}, ay_{};
    std::array<GradientLattice, 4> lattices_;
    std::vector<AxisCell> columns_;
};

}  // namespace

void BitmapData::Noise(int randomSeed, int low, int high, std::uint32_t channelOptions, bool grayScale) {
    if (disposed()) return;
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, 0, 255);
    if (low > high) std::swap(low, high);
    const std::uint32_t range = static_cast<std::uint32_t>(high - low) + 1;
    // One random byte per channel, spread evenly over low..high.
    auto scaled = [&](std::uint32_t bits) { return static_cast<std::uint32_t>(low) + (((bits & 0xFFu) * range) >> 8); };
    BitmapRandom random(static_cast<std::uint32_t>(randomSeed));
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = Row(y);
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t bits = random.Next();
            std::uint32_t r = 0, g = 0, b = 0;
            if (grayScale) {
                r = g = b = scaled(bits);
            } else {
                if (channelOptions & kChannelRed) r = scaled(bits);
                if (channelOptions & kChannelGreen) g = scaled(bits >> 8);
                if (channelOptions & kChannelBlue) b = scaled(bits >> 16);
            }
            const std::uint32_t a = (channelOptions & kChannelAlpha) ? scaled(bits >> 24) : 255;
            row[x] = Stored(PackPixel(a, r, g, b));
        }
    }
    Changed();
}

void BitmapData::PerlinNoise(double baseX, double baseY, int numOctaves, int randomSeed, bool stitch, bool fractalNoise,
                             std::uint32_t channelOptions, bool grayScale, const std::vector<Point>& offsets) {
    if (disposed()) return;
    const PerlinField field(baseX, baseY, std::clamp(numOctaves, 0, kMaxOctaves), randomSeed, stitch, offsets, width_,
                            height_);
    // Channels computed, as indices into ARGB order (0 red .. 3 alpha); gray uses red's lattice.
    const bool wanted[4] = {grayScale || (channelOptions & kChannelRed) != 0,
                            !grayScale && (channelOptions & kChannelGreen) != 0,
                            !grayScale && (channelOptions & kChannelBlue) != 0, (channelOptions & kChannelAlpha) != 0};
    std::vector<double> sums(static_cast<std::size_t>(width_));
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = Row(y);
        std::fill_n(row, width_, 0xFF000000u);  // straight colour until stored below
        for (int c = 0; c < 4; ++c) {
            if (!wanted[c]) continue;
            field.SumRow(c, y, fractalNoise, sums.data());
            const int shift = c == 3 ? 24 : 16 - 8 * c;
            const std::uint32_t keep = ~(0xFFu << shift);
            for (int x = 0; x < width_; ++x) row[x] = (row[x] & keep) | NoiseChannel(sums[x], fractalNoise) << shift;
        }
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t gray = PixelRed(row[x]);
            row[x] = Stored(grayScale ? (row[x] & 0xFF000000u) | gray * 0x010101u : row[x]);
        }
    }
    Changed();
}

}  // namespace swf::raster
