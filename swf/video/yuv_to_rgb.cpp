// Coefficients in 13 fractional bits: 255/219 for luma, and BT.601's 1.402,
// 0.344136, 0.714136 and 1.772 scaled by 255/224 for chroma. With SSE2
// (every x86-64 processor) eight pixels go at a time: each channel is two
// multiply-adds of 16-bit pairs, and the saturating packs clamp to 0..255.
#include "swf/video/yuv_to_rgb.h"

#include <algorithm>
#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SWF_VIDEO_SSE2 1
#endif

namespace swf::video {

namespace {

constexpr int kShift = 13;
constexpr int kLuma = 9539;
constexpr int kRedFromV = 13075;
constexpr int kGreenFromU = 3209;
constexpr int kGreenFromV = 6660;
constexpr int kBlueFromU = 16525;
constexpr int kHalf = 1 << (kShift - 1);

inline std::uint32_t Channel(int scaled) { return static_cast<std::uint32_t>(std::clamp(scaled >> kShift, 0, 255)); }

inline std::uint32_t Pixel(int y, int cb, int cr) {
    const int luma = (y - 16) * kLuma + kHalf;
    return 0xFF000000u | Channel(luma + kRedFromV * cr) << 16 |
           Channel(luma - kGreenFromU * cb - kGreenFromV * cr) << 8 | Channel(luma + kBlueFromU * cb);
}

#ifdef SWF_VIDEO_SSE2
// Eight pixels of a row from eight luma and four chroma samples.
inline void EightPixels(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v, std::uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    // Luma minus 16; chroma minus 128, each sample doubled for its two pixels.
    const __m128i luma = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y)), zero),
                                       _mm_set1_epi16(16));
    const __m128i u4 =
        _mm_cvtsi32_si128(static_cast<int>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<unsigned>(u[3]) << 24));
    const __m128i v4 =
        _mm_cvtsi32_si128(static_cast<int>(v[0] | v[1] << 8 | v[2] << 16 | static_cast<unsigned>(v[3]) << 24));
    const __m128i cb = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(u4, u4), zero), _mm_set1_epi16(128));
    const __m128i cr = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(v4, v4), zero), _mm_set1_epi16(128));
    const __m128i half = _mm_set1_epi32(kHalf);
    // One channel: luma * kLuma + chroma * factor (+ other * otherFactor).
    const auto channel = [&](__m128i chroma, int factor, __m128i other, int otherFactor) {
        const __m128i lumaFactor = _mm_set1_epi32(kLuma | factor << 16);
        __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(luma, chroma), lumaFactor);
        __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(luma, chroma), lumaFactor);
        if (otherFactor != 0) {
            const __m128i factors = _mm_set1_epi32(otherFactor & 0xFFFF);
            low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(other, zero), factors));
            high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(other, zero), factors));
        }
        low = _mm_srai_epi32(_mm_add_epi32(low, half), kShift);
        high = _mm_srai_epi32(_mm_add_epi32(high, half), kShift);
        return _mm_packs_epi32(low, high);
    };
    const __m128i red = channel(cr, kRedFromV, zero, 0);
    const __m128i green = channel(cb, -kGreenFromU, cr, -kGreenFromV);
    const __m128i blue = channel(cb, kBlueFromU, zero, 0);
    const __m128i red8 = _mm_packus_epi16(red, red);
    const __m128i green8 = _mm_packus_epi16(green, green);
    const __m128i blue8 = _mm_packus_epi16(blue, blue);
    const __m128i blueGreen = _mm_unpacklo_epi8(blue8, green8);
    const __m128i redAlpha = _mm_unpacklo_epi8(red8, _mm_set1_epi8(-1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(blueGreen, redAlpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi16(blueGreen, redAlpha));
}
#endif

}  // namespace

void YuvToRgbArea(const YuvPlanes& planes, int left, int top, int width, int height, raster::Image& image) {
    for (int row = top; row < top + height; ++row) {
        const std::uint8_t* y = planes.y + static_cast<std::ptrdiff_t>(row) * planes.lumaStride + left;
        const std::uint8_t* u = planes.u + static_cast<std::ptrdiff_t>(row >> 1) * planes.chromaStride + left / 2;
        const std::uint8_t* v = planes.v + static_cast<std::ptrdiff_t>(row >> 1) * planes.chromaStride + left / 2;
        std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(row) * image.width + left;
        int x = 0;
#ifdef SWF_VIDEO_SSE2
        for (; x + 8 <= width; x += 8) EightPixels(y + x, u + x / 2, v + x / 2, out + x);
#endif
        for (; x < width; ++x) out[x] = Pixel(y[x], u[x >> 1] - 128, v[x >> 1] - 128);
    }
}

void YuvToRgb(const YuvPlanes& planes, int width, int height, raster::Image& image) {
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    YuvToRgbArea(planes, 0, 0, width, height, image);
    image.serial = raster::Image::NewSerial();
}

}  // namespace swf::video
