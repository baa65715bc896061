#include "swf/raster/bitmap_sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/raster/color.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swf::raster {

namespace {

// Texel coordinates are stepped along a span in 32.32 fixed point; each run of
// kRunLength pixels restarts from an exact position, so rounding cannot add up.
constexpr double kFixedOne = 4294967296.0;
constexpr int kRunLength = 1024;
// Clipped pictures: positions further out than this only ever meet edge pixels
// within a run (steps are at most a couple of texels), so they are clamped to it.
constexpr double kFarOutside = 536870912.0;  // 2^29 texels
constexpr double kLargestStep = 1048576.0;

std::int64_t ToFixed(double v) { return static_cast<std::int64_t>(std::floor(v * kFixedOne)); }

// `v` brought into 0 .. period (exclusive) by whole periods, in fixed point.
std::int64_t WrapToFixed(double v, int period) {
    if (!std::isfinite(v)) return 0;
    double r = std::fmod(v, period);
    if (r < 0) r += period;
    std::int64_t fixed = ToFixed(r);
    const std::int64_t limit = std::int64_t{period} << 32;
    return fixed >= limit || fixed < 0 ? 0 : fixed;
}

std::int64_t ClampToFixed(double v, double limit) {
    if (!std::isfinite(v)) return 0;
    return ToFixed(std::clamp(v, -limit, limit));
}

// A premultiplied pixel's four channels in 16-bit lanes of a 64-bit word
// (b, r, g, a from the bottom), leaving room to weight them by up to 256.
constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFull;
constexpr std::uint64_t kLaneHalf = 0x0080008000800080ull;

inline std::uint64_t spread(std::uint32_t p) {
    return (p & 0x00FF00FFull) | (static_cast<std::uint64_t>(p & 0xFF00FF00u) << 24);
}

inline std::uint32_t gather(std::uint64_t lanes) {
    return static_cast<std::uint32_t>(lanes & 0x00FF00FFu) | static_cast<std::uint32_t>((lanes >> 24) & 0xFF00FF00u);
}

// Blends two spread pixels, `weight` (0..256) of the way from `a` to `b`, rounded.
inline std::uint64_t MixLanes(std::uint64_t a, std::uint64_t b, std::uint32_t weight) {
    return ((a * (256 - weight) + b * weight + kLaneHalf) >> 8) & kLanes;
}

// How far a position lies past its texel's start, in 256ths (0..256), rounded.
inline std::uint32_t weight(std::int64_t fixed) {
    return static_cast<std::uint32_t>(((fixed & 0xFFFFFFFF) + (1 << 23)) >> 24);
}

// Bilinear blend of a 2 x 2 block, fx / 256 of the way across and fy / 256 down.
inline std::uint32_t bilinear(std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft,
                              std::uint32_t bottomRight, std::uint32_t fx, std::uint32_t fy) {
    const std::uint64_t left = MixLanes(spread(topLeft), spread(bottomLeft), fy);
    const std::uint64_t right = MixLanes(spread(topRight), spread(bottomRight), fy);
    return gather(MixLanes(left, right, fx));
}

#if defined(__SSE2__)
// The same blend four channels at a time: `top` holds the top-left and
// top-right pixels in its low 64 bits, `bottom` the bottom pair.
inline std::uint32_t BilinearPairs(__m128i top, __m128i bottom, std::uint32_t fx, std::uint32_t fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    top = _mm_unpacklo_epi8(top, zero);
    bottom = _mm_unpacklo_epi8(bottom, zero);
    // Down: both columns at once, 16-bit lanes (at most 255 * 256 + 128).
    const __m128i down = _mm_set1_epi16(static_cast<short>(fy));
    const __m128i up = _mm_set1_epi16(static_cast<short>(256 - fy));
    __m128i columns = _mm_add_epi16(_mm_mullo_epi16(top, up), _mm_mullo_epi16(bottom, down));
    columns = _mm_srli_epi16(_mm_add_epi16(columns, half), 8);
    // Across: left column in the low lanes, right in the high ones.
    const __m128i across =
        _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(256 - fx)), _mm_set1_epi16(static_cast<short>(fx)));
    __m128i mixed = _mm_mullo_epi16(columns, across);
    mixed = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(mixed, _mm_srli_si128(mixed, 8)), half), 8);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
}

// Two neighbouring pixels of each row, as they lie inside a picture.
inline std::uint32_t BilinearAt(const std::uint32_t* p, std::size_t stride, std::uint32_t fx, std::uint32_t fy) {
    return BilinearPairs(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + stride)), fx, fy);
}
#else
inline std::uint32_t BilinearAt(const std::uint32_t* p, std::size_t stride, std::uint32_t fx, std::uint32_t fy) {
    return bilinear(p[0], p[1], p[stride], p[stride + 1], fx, fy);
}
#endif

// c * 255 / a, rounded, is (c * table[a] + 0x8000) >> 16.
const std::array<std::uint32_t, 256>& UnpremultiplyTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t a = 1; a < 256; ++a) t[a] = ((255u << 16) + a / 2) / a;
        return t;
    }();
    return table;
}

std::array<std::uint8_t, 256> ChannelTable(double mult, double add) {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const double out = v * mult + add;
        // Truncated, as colours are everywhere else a transform applies.
        table[v] = out >= 255 ? 255 : out > 0 ? static_cast<std::uint8_t>(out) : 0;
    }
    return table;
}

}  // namespace

std::shared_ptr<const BitmapSampler> BitmapSampler::Make(const BitmapStyle& style) {
    if (!style.image || !MipChain::IsValidImage(*style.image)) return nullptr;
    Matrix inverse;
    if (!style.matrix.Invert(inverse)) return nullptr;

    std::shared_ptr<BitmapSampler> sampler(new BitmapSampler);
    sampler->image_ = style.image;
    sampler->chain_ = MipChain::Of(style.image);
    sampler->repeat_ = style.repeat;
    sampler->smooth_ = style.smooth;

    // Texels crossed per surface pixel along the steeper axis: a reduction
    // whose texels are nearest the pixel size keeps sampling from aliasing.
    const MipChain& chain = *sampler->chain_;
    const double footprint = std::max(std::hypot(inverse.a, inverse.b), std::hypot(inverse.c, inverse.d));
    int index = 0;
    if (!std::isfinite(footprint)) {
        index = chain.levelCount() - 1;
    } else if (footprint > std::numbers::sqrt2) {
        index = std::min(chain.levelCount() - 1, static_cast<int>(std::floor(std::log2(footprint) + 0.5)));
    }
    sampler->levelIndex_ = index;
    sampler->level_ = chain.Level(*style.image, index);
    const Image& image = *style.image;
    sampler->toTexels_ = Matrix::Scale(static_cast<double>(sampler->level_.width) / image.width,
                                       static_cast<double>(sampler->level_.height) / image.height) *
                         inverse;
    if (style.smooth) sampler->toTexels_ = Matrix::Translate(-0.5, -0.5) * sampler->toTexels_;

    if (!style.colors.IsIdentity()) {
        const ColorTransform& t = style.colors;
        sampler->colors_ = ColorTable{ChannelTable(t.redMult, t.redAdd), ChannelTable(t.greenMult, t.greenAdd),
                                      ChannelTable(t.blueMult, t.blueAdd), ChannelTable(t.alphaMult, t.alphaAdd)};
    }
    sampler->opaque_ = chain.opaque() && (!sampler->colors_ || sampler->colors_->alpha[255] == 255);
    return sampler;
}

std::optional<std::uint32_t> BitmapSampler::UniformPixel() const {
    if (level_.width != 1 || level_.height != 1) return std::nullopt;
    return colors_ ? TransformColor(level_.pixels[0]) : level_.pixels[0];
}

std::uint32_t BitmapSampler::TransformColor(std::uint32_t pixel) const {
    const ColorTable& t = *colors_;
    const std::uint32_t a = pixel >> 24;
    std::uint32_t r = PixelRed(pixel), g = PixelGreen(pixel), b = PixelBlue(pixel);
    if (a == 0) {
        r = g = b = 0;
    } else if (a != 255) {
        const std::uint32_t k = UnpremultiplyTable()[a];
        r = std::min(255u, (r * k + 0x8000) >> 16);
        g = std::min(255u, (g * k + 0x8000) >> 16);
        b = std::min(255u, (b * k + 0x8000) >> 16);
    }
    const std::uint32_t alpha = t.alpha[a];
    return PackPixel(alpha, Mul255(t.red[r], alpha), Mul255(t.green[g], alpha), Mul255(t.blue[b], alpha));
}

void BitmapSampler::TransformColors(std::uint32_t* pixels, int length) const {
    for (int i = 0; i < length; ++i) pixels[i] = TransformColor(pixels[i]);
}

template <bool Smooth, bool Repeat>
void BitmapSampler::SampleRun(double u, double v, int length, std::uint32_t* out) const {
    const int w = level_.width, h = level_.height;
    const std::uint32_t* pixels = level_.pixels;
    const std::size_t stride = static_cast<std::size_t>(w);
    std::int64_t fu, fv, du, dv;
    if constexpr (Repeat) {
        fu = WrapToFixed(u, w);
        fv = WrapToFixed(v, h);
        du = WrapToFixed(toTexels_.a, w);
        dv = WrapToFixed(toTexels_.b, h);
    } else {
        fu = ClampToFixed(u, kFarOutside);
        fv = ClampToFixed(v, kFarOutside);
        du = ClampToFixed(toTexels_.a, kLargestStep);
        dv = ClampToFixed(toTexels_.b, kLargestStep);
    }
    const std::int64_t wrapU = std::int64_t{w} << 32, wrapV = std::int64_t{h} << 32;
    // Positions whose 2 x 2 block (or pixel) lies wholly inside the picture need
    // no wrapping or clamping; for most pixels one unsigned comparison shows it.
    const std::uint64_t insideU = static_cast<std::uint64_t>(Smooth ? w - 1 : w) << 32;
    const std::uint64_t insideV = static_cast<std::uint64_t>(Smooth ? h - 1 : h) << 32;
    for (int i = 0; i < length; ++i) {
        if (static_cast<std::uint64_t>(fu) < insideU && static_cast<std::uint64_t>(fv) < insideV) {
            const std::uint32_t* p =
                pixels + static_cast<std::size_t>(fv >> 32) * stride + static_cast<std::size_t>(fu >> 32);
            if constexpr (Smooth) {
                out[i] = BilinearAt(p, stride, weight(fu), weight(fv));
            } else {
                out[i] = p[0];
            }
        } else {
            // Across the picture's edge: wrapped to the far side or clamped to the edge.
            std::int64_t x0 = fu >> 32, y0 = fv >> 32, x1 = x0 + 1, y1 = y0 + 1;
            if constexpr (Repeat) {
                if (x1 == w) x1 = 0;
                if (y1 == h) y1 = 0;
            } else {
                x0 = std::clamp<std::int64_t>(x0, 0, w - 1);
                y0 = std::clamp<std::int64_t>(y0, 0, h - 1);
                x1 = std::clamp<std::int64_t>(x1, 0, w - 1);
                y1 = std::clamp<std::int64_t>(y1, 0, h - 1);
            }
            const std::uint32_t* top = pixels + static_cast<std::size_t>(y0) * stride;
            if constexpr (Smooth) {
                const std::uint32_t* bottom = pixels + static_cast<std::size_t>(y1) * stride;
                out[i] = bilinear(top[x0], top[x1], bottom[x0], bottom[x1], weight(fu), weight(fv));
            } else {
                out[i] = top[x0];
            }
        }
        fu += du;
        fv += dv;
        if constexpr (Repeat) {
            if (fu >= wrapU) fu -= wrapU;
            if (fv >= wrapV) fv -= wrapV;
        }
    }
}

void BitmapSampler::ShadeSpan(int x, int y, int length, std::uint32_t* out) const {
    const Matrix& m = toTexels_;
    const double cy = y + 0.5;
    for (int done = 0; done < length; done += kRunLength) {
        const int n = std::min(kRunLength, length - done);
        const double cx = x + done + 0.5;
        const double u = m.a * cx + m.c * cy + m.tx, v = m.b * cx + m.d * cy + m.ty;
        std::uint32_t* runOut = out + done;
        if (smooth_) {
            repeat_ ? SampleRun<true, true>(u, v, n, runOut) : SampleRun<true, false>(u, v, n, runOut);
        } else {
            repeat_ ? SampleRun<false, true>(u, v, n, runOut) : SampleRun<false, false>(u, v, n, runOut);
        }
    }
    if (colors_) TransformColors(out, length);
}

}  // namespace swf::raster
