#include "swf/raster/bitmap_sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/raster/color.h"

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

std::int64_t toFixed(double v) { return static_cast<std::int64_t>(std::floor(v * kFixedOne)); }

// `v` brought into 0 .. period (exclusive) by whole periods, in fixed point.
std::int64_t wrapToFixed(double v, int period) {
  if (!std::isfinite(v)) return 0;
  double r = std::fmod(v, period);
  if (r < 0) r += period;
  std::int64_t fixed = toFixed(r);
  const std::int64_t limit = std::int64_t{period} << 32;
  return fixed >= limit || fixed < 0 ? 0 : fixed;
}

std::int64_t clampToFixed(double v, double limit) {
  if (!std::isfinite(v)) return 0;
  return toFixed(std::clamp(v, -limit, limit));
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
inline std::uint64_t mixLanes(std::uint64_t a, std::uint64_t b, std::uint32_t weight) {
  return ((a * (256 - weight) + b * weight + kLaneHalf) >> 8) & kLanes;
}

// How far a position lies past its texel's start, in 256ths (0..256), rounded.
inline std::uint32_t weight(std::int64_t fixed) {
  return static_cast<std::uint32_t>(((fixed & 0xFFFFFFFF) + (1 << 23)) >> 24);
}

// Bilinear blend of a 2 x 2 block, fx / 256 of the way across and fy / 256 down.
inline std::uint32_t bilinear(std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft,
                              std::uint32_t bottomRight, std::uint32_t fx, std::uint32_t fy) {
  const std::uint64_t left = mixLanes(spread(topLeft), spread(bottomLeft), fy);
  const std::uint64_t right = mixLanes(spread(topRight), spread(bottomRight), fy);
  return gather(mixLanes(left, right, fx));
}

// c * 255 / a, rounded, is (c * table[a] + 0x8000) >> 16.
const std::array<std::uint32_t, 256>& unpremultiplyTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t a = 1; a < 256; ++a) t[a] = ((255u << 16) + a / 2) / a;
    return t;
  }();
  return table;
}

std::array<std::uint8_t, 256> channelTable(double mult, double add) {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) {
    const double out = v * mult + add;
    // Truncated, as colours are everywhere else a transform applies.
    table[v] = out >= 255 ? 255 : out > 0 ? static_cast<std::uint8_t>(out) : 0;
  }
  return table;
}

}  // namespace

std::shared_ptr<const BitmapSampler> BitmapSampler::make(const BitmapStyle& style) {
  if (!style.image || !MipChain::isValidImage(*style.image)) return nullptr;
  Matrix inverse;
  if (!style.matrix.invert(inverse)) return nullptr;

  std::shared_ptr<BitmapSampler> sampler(new BitmapSampler);
  sampler->image_ = style.image;
  sampler->chain_ = MipChain::of(style.image);
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
  sampler->level_ = chain.level(*style.image, index);
  const Image& image = *style.image;
  sampler->toTexels_ = Matrix::scale(static_cast<double>(sampler->level_.width) / image.width,
                                     static_cast<double>(sampler->level_.height) / image.height) *
                       inverse;
  if (style.smooth) sampler->toTexels_ = Matrix::translate(-0.5, -0.5) * sampler->toTexels_;

  if (!style.colors.isIdentity()) {
    const ColorTransform& t = style.colors;
    sampler->colors_ = ColorTable{channelTable(t.redMult, t.redAdd), channelTable(t.greenMult, t.greenAdd),
                                  channelTable(t.blueMult, t.blueAdd), channelTable(t.alphaMult, t.alphaAdd)};
  }
  sampler->opaque_ = chain.opaque() && (!sampler->colors_ || sampler->colors_->alpha[255] == 255);
  return sampler;
}

std::optional<std::uint32_t> BitmapSampler::uniformPixel() const {
  if (level_.width != 1 || level_.height != 1) return std::nullopt;
  return colors_ ? transformColor(level_.pixels[0]) : level_.pixels[0];
}

std::uint32_t BitmapSampler::transformColor(std::uint32_t pixel) const {
  const ColorTable& t = *colors_;
  const std::uint32_t a = pixel >> 24;
  std::uint32_t r = pixelRed(pixel), g = pixelGreen(pixel), b = pixelBlue(pixel);
  if (a == 0) {
    r = g = b = 0;
  } else if (a != 255) {
    const std::uint32_t k = unpremultiplyTable()[a];
    r = std::min(255u, (r * k + 0x8000) >> 16);
    g = std::min(255u, (g * k + 0x8000) >> 16);
    b = std::min(255u, (b * k + 0x8000) >> 16);
  }
  const std::uint32_t alpha = t.alpha[a];
  return packPixel(alpha, mul255(t.red[r], alpha), mul255(t.green[g], alpha), mul255(t.blue[b], alpha));
}

void BitmapSampler::transformColors(std::uint32_t* pixels, int length) const {
  for (int i = 0; i < length; ++i) pixels[i] = transformColor(pixels[i]);
}

template <bool Smooth, bool Repeat>
void BitmapSampler::sampleRun(double u, double v, int length, std::uint32_t* out) const {
  const int w = level_.width, h = level_.height;
  const std::uint32_t* pixels = level_.pixels;
  auto row = [&](int y) { return pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w); };
  if constexpr (Repeat) {
    const std::int64_t wrapU = std::int64_t{w} << 32, wrapV = std::int64_t{h} << 32;
    std::int64_t fu = wrapToFixed(u, w), fv = wrapToFixed(v, h);
    const std::int64_t du = wrapToFixed(toTexels_.a, w), dv = wrapToFixed(toTexels_.b, h);
    for (int i = 0; i < length; ++i) {
      const int x0 = static_cast<int>(fu >> 32), y0 = static_cast<int>(fv >> 32);
      if constexpr (Smooth) {
        const int x1 = x0 + 1 == w ? 0 : x0 + 1, y1 = y0 + 1 == h ? 0 : y0 + 1;
        const std::uint32_t* top = row(y0);
        const std::uint32_t* bottom = row(y1);
        out[i] = bilinear(top[x0], top[x1], bottom[x0], bottom[x1], weight(fu), weight(fv));
      } else {
        out[i] = row(y0)[x0];
      }
      fu += du;
      if (fu >= wrapU) fu -= wrapU;
      fv += dv;
      if (fv >= wrapV) fv -= wrapV;
    }
  } else {
    std::int64_t fu = clampToFixed(u, kFarOutside), fv = clampToFixed(v, kFarOutside);
    const std::int64_t du = clampToFixed(toTexels_.a, kLargestStep), dv = clampToFixed(toTexels_.b, kLargestStep);
    const std::int64_t lastX = w - 1, lastY = h - 1;
    for (int i = 0; i < length; ++i, fu += du, fv += dv) {
      const std::int64_t x = fu >> 32, y = fv >> 32;
      if constexpr (Smooth) {
        const int x0 = static_cast<int>(std::clamp<std::int64_t>(x, 0, lastX));
        const int x1 = static_cast<int>(std::clamp<std::int64_t>(x + 1, 0, lastX));
        const std::uint32_t* top = row(static_cast<int>(std::clamp<std::int64_t>(y, 0, lastY)));
        const std::uint32_t* bottom = row(static_cast<int>(std::clamp<std::int64_t>(y + 1, 0, lastY)));
        out[i] = bilinear(top[x0], top[x1], bottom[x0], bottom[x1], weight(fu), weight(fv));
      } else {
        out[i] = row(static_cast<int>(std::clamp<std::int64_t>(y, 0, lastY)))
            [std::clamp<std::int64_t>(x, 0, lastX)];
      }
    }
  }
}

void BitmapSampler::shadeSpan(int x, int y, int length, std::uint32_t* out) const {
  const Matrix& m = toTexels_;
  const double cy = y + 0.5;
  for (int done = 0; done < length; done += kRunLength) {
    const int n = std::min(kRunLength, length - done);
    const double cx = x + done + 0.5;
    const double u = m.a * cx + m.c * cy + m.tx, v = m.b * cx + m.d * cy + m.ty;
    std::uint32_t* runOut = out + done;
    if (smooth_) {
      repeat_ ? sampleRun<true, true>(u, v, n, runOut) : sampleRun<true, false>(u, v, n, runOut);
    } else {
      repeat_ ? sampleRun<false, true>(u, v, n, runOut) : sampleRun<false, false>(u, v, n, runOut);
    }
  }
  if (colors_) transformColors(out, length);
}

}  // namespace swf::raster
