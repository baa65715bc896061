// Four pixels per step: the bytes of two pixels are widened to eight 16-bit
// lanes, where x * k + 128 cannot overflow, and Mul255's rounding is done per
// lane. The sums never exceed 255 per channel, so packing back is exact.
#include "swf/raster/span_blend.h"

#include <cstring>

#include "swf/raster/color.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SWF_RASTER_HAVE_SSE2 1
#endif

namespace swf::raster {

namespace {

#ifdef SWF_RASTER_HAVE_SSE2

// Mul255 on eight 16-bit lanes.
inline __m128i Mul255Lanes(__m128i x, __m128i k) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, k), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// BlendOver on two widened pixels: each pixel's 255 - alpha (lane 3 of its
// four) is spread over its lanes.
inline __m128i OverLanes(__m128i source, __m128i destination) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
    return _mm_add_epi16(source, Mul255Lanes(destination, _mm_sub_epi16(_mm_set1_epi16(255), alpha)));
}

inline __m128i LoadFour(const std::uint32_t* pixels) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}

inline void StoreFour(std::uint32_t* pixels, __m128i low, __m128i high) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}

// Four coverage bytes as two registers of 16-bit lanes, each value repeated
// over its pixel's four lanes. Returns false when all four are 0.
inline bool LoadFourCovers(const std::uint8_t* covers, __m128i& low, __m128i& high) {
    std::uint32_t four;
    std::memcpy(&four, covers, 4);
    if (four == 0) return false;
    __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), _mm_setzero_si128());
    c = _mm_unpacklo_epi16(c, c);
    low = _mm_unpacklo_epi32(c, c);
    high = _mm_unpackhi_epi32(c, c);
    return true;
}

#endif

}  // namespace

void BlendSolidSpan(std::uint32_t* pixels, int length, std::uint32_t source) {
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i source16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(source)), zero);
    const __m128i keep = _mm_set1_epi16(static_cast<short>(255 - (source >> 24)));
    for (; i + 4 <= length; i += 4) {
        const __m128i d = LoadFour(pixels + i);
        const __m128i low = _mm_add_epi16(source16, Mul255Lanes(_mm_unpacklo_epi8(d, zero), keep));
        const __m128i high = _mm_add_epi16(source16, Mul255Lanes(_mm_unpackhi_epi8(d, zero), keep));
        StoreFour(pixels + i, low, high);
    }
#endif
    for (; i < length; ++i) pixels[i] = BlendOver(source, pixels[i]);
}

void BlendSolidCovers(std::uint32_t* pixels, int length, std::uint32_t color, const std::uint8_t* covers) {
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i color16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
    for (; i + 4 <= length; i += 4) {
        __m128i coverLow, coverHigh;
        if (!LoadFourCovers(covers + i, coverLow, coverHigh)) continue;
        const __m128i d = LoadFour(pixels + i);
        const __m128i low = OverLanes(Mul255Lanes(color16, coverLow), _mm_unpacklo_epi8(d, zero));
        const __m128i high = OverLanes(Mul255Lanes(color16, coverHigh), _mm_unpackhi_epi8(d, zero));
        StoreFour(pixels + i, low, high);
    }
#endif
    for (; i < length; ++i) pixels[i] = BlendOver(ScalePixel(color, covers[i]), pixels[i]);
}

void BlendColorSpan(std::uint32_t* pixels, const std::uint32_t* colors, int length, std::uint8_t cover) {
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i cover16 = _mm_set1_epi16(cover);
    const bool full = cover == 255;  // ScalePixel by 255 changes nothing
    for (; i + 4 <= length; i += 4) {
        const __m128i s = LoadFour(colors + i);
        __m128i sourceLow = _mm_unpacklo_epi8(s, zero), sourceHigh = _mm_unpackhi_epi8(s, zero);
        if (!full) {
            sourceLow = Mul255Lanes(sourceLow, cover16);
            sourceHigh = Mul255Lanes(sourceHigh, cover16);
        }
        const __m128i d = LoadFour(pixels + i);
        StoreFour(pixels + i, OverLanes(sourceLow, _mm_unpacklo_epi8(d, zero)),
                  OverLanes(sourceHigh, _mm_unpackhi_epi8(d, zero)));
    }
#endif
    for (; i < length; ++i) pixels[i] = BlendOver(ScalePixel(colors[i], cover), pixels[i]);
}

void BlendColorCovers(std::uint32_t* pixels, const std::uint32_t* colors, int length, const std::uint8_t* covers) {
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= length; i += 4) {
        __m128i coverLow, coverHigh;
        if (!LoadFourCovers(covers + i, coverLow, coverHigh)) continue;
        const __m128i s = LoadFour(colors + i);
        const __m128i d = LoadFour(pixels + i);
        const __m128i low = OverLanes(Mul255Lanes(_mm_unpacklo_epi8(s, zero), coverLow), _mm_unpacklo_epi8(d, zero));
        const __m128i high = OverLanes(Mul255Lanes(_mm_unpackhi_epi8(s, zero), coverHigh), _mm_unpackhi_epi8(d, zero));
        StoreFour(pixels + i, low, high);
    }
#endif
    for (; i < length; ++i) pixels[i] = BlendOver(ScalePixel(colors[i], covers[i]), pixels[i]);
}

}  // namespace swf::raster
