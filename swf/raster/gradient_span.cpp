// The serial additions stay serial (they set the rounding of every position);
// what follows them, clamping, the square root and the spread, runs two or four
// pixels at a time with SSE2.
#include "swf/raster/gradient_span.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SWF_RASTER_HAVE_SSE2 1
#endif

namespace swf::raster {

namespace {

// Far positions are clamped first; 2^20 is a multiple of both periods.
constexpr double kPositionLimit = 1 << 20;

#ifdef SWF_RASTER_HAVE_SSE2

// SpreadIndex for two pairs of positions, as four 32-bit lanes.
inline __m128i SpreadIndices(__m128d first, __m128d second, SpreadMode spread) {
    const __m128d low = _mm_set1_pd(-kPositionLimit), high = _mm_set1_pd(kPositionLimit);
    first = _mm_add_pd(_mm_min_pd(_mm_max_pd(first, low), high), high);
    second = _mm_add_pd(_mm_min_pd(_mm_max_pd(second, low), high), high);
    __m128i index = _mm_unpacklo_epi64(_mm_cvttpd_epi32(first), _mm_cvttpd_epi32(second));
    index = _mm_sub_epi32(index, _mm_set1_epi32(1 << 20));
    switch (spread) {
    case SpreadMode::Pad: {
        // Saturating to 16 bits keeps every value's side of 0..255.
        __m128i narrow = _mm_packs_epi32(index, index);
        narrow = _mm_min_epi16(_mm_max_epi16(narrow, _mm_setzero_si128()), _mm_set1_epi16(255));
        return _mm_unpacklo_epi16(narrow, _mm_setzero_si128());
    }
    case SpreadMode::Repeat: return _mm_and_si128(index, _mm_set1_epi32(255));
    case SpreadMode::Reflect: {
        const __m128i folded = _mm_and_si128(index, _mm_set1_epi32(511));
        const __m128i mirrored = _mm_sub_epi32(_mm_set1_epi32(511), folded);
        const __m128i narrow = _mm_min_epi16(_mm_packs_epi32(folded, folded), _mm_packs_epi32(mirrored, mirrored));
        return _mm_unpacklo_epi16(narrow, _mm_setzero_si128());
    }
    }
    return _mm_setzero_si128();
}

inline void LookUpFour(__m128i indices, const std::uint32_t* ramp, std::uint32_t* out) {
    alignas(16) std::int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), indices);
    out[0] = ramp[index[0]];
    out[1] = ramp[index[1]];
    out[2] = ramp[index[2]];
    out[3] = ramp[index[3]];
}

// |(gx, gy)| of two points held as (gx, gy) pairs, as (|first|, |second|).
inline __m128d Distances(__m128d first, __m128d second) {
    const __m128d a = _mm_mul_pd(first, first), b = _mm_mul_pd(second, second);
    return _mm_sqrt_pd(_mm_add_pd(_mm_unpacklo_pd(a, b), _mm_unpackhi_pd(a, b)));
}

#endif

}  // namespace

int SpreadIndex(double position, SpreadMode spread) {
    position = std::clamp(position, -kPositionLimit, kPositionLimit);
    int index = static_cast<int>(position + kPositionLimit) - (1 << 20);  // floor
    switch (spread) {
    case SpreadMode::Pad: return std::clamp(index, 0, 255);
    case SpreadMode::Repeat: return index & 255;
    case SpreadMode::Reflect: {
        int folded = index & 511;
        return folded > 255 ? 511 - folded : folded;
    }
    }
    return 0;
}

void ShadeLinearGradientSpan(double position, double step, SpreadMode spread, const std::uint32_t* ramp, int length,
                             std::uint32_t* out) {
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    for (; i + 4 <= length; i += 4) {
        const double p0 = position, p1 = p0 + step, p2 = p1 + step, p3 = p2 + step;
        position = p3 + step;
        LookUpFour(SpreadIndices(_mm_set_pd(p1, p0), _mm_set_pd(p3, p2), spread), ramp, out + i);
    }
#endif
    for (; i < length; ++i, position += step) out[i] = ramp[SpreadIndex(position, spread)];
}

void ShadeRadialGradientSpan(double gx, double gy, double stepX, double stepY, SpreadMode spread,
                             const std::uint32_t* ramp, int length, std::uint32_t* out) {
    constexpr double kEntriesPerUnit = 256.0 / kGradientHalfSize;  // radius -> ramp entries
    int i = 0;
#ifdef SWF_RASTER_HAVE_SSE2
    const __m128d scale = _mm_set1_pd(kEntriesPerUnit);
    const __m128d step = _mm_set_pd(stepY, stepX);
    __m128d point = _mm_set_pd(gy, gx);
    for (; i + 4 <= length; i += 4) {
        const __m128d q0 = point, q1 = _mm_add_pd(q0, step), q2 = _mm_add_pd(q1, step), q3 = _mm_add_pd(q2, step);
        point = _mm_add_pd(q3, step);
        const __m128d first = _mm_mul_pd(Distances(q0, q1), scale);
        const __m128d second = _mm_mul_pd(Distances(q2, q3), scale);
        LookUpFour(SpreadIndices(first, second, spread), ramp, out + i);
    }
    gx = _mm_cvtsd_f64(point);
    gy = _mm_cvtsd_f64(_mm_unpackhi_pd(point, point));
#endif
    for (; i < length; ++i, gx += stepX, gy += stepY) {
        out[i] = ramp[SpreadIndex(std::sqrt(gx * gx + gy * gy) * kEntriesPerUnit, spread)];
    }
}

}  // namespace swf::raster
