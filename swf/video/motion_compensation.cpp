// One loop per case and block size, so that the compiler unrolls and
// vectorises each.
#include "swf/video/motion_compensation.h"

#include <cstring>

namespace swf::video {

namespace {

template <int N>
void Copy(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride) {
    for (int y = 0; y < N; ++y, target += targetStride, source += sourceStride) std::memcpy(target, source, N);
}

template <int N>
void Average2(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride, int step) {
    for (int y = 0; y < N; ++y, target += targetStride, source += sourceStride)
        for (int x = 0; x < N; ++x) target[x] = static_cast<std::uint8_t>((source[x] + source[x + step] + 1) >> 1);
}

template <int N>
void Average4(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride) {
    for (int y = 0; y < N; ++y, target += targetStride, source += sourceStride) {
        const std::uint8_t* below = source + sourceStride;
        for (int x = 0; x < N; ++x)
            target[x] = static_cast<std::uint8_t>((source[x] + source[x + 1] + below[x] + below[x + 1] + 2) >> 2);
    }
}

template <int N>
void Predict(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride, bool halfX,
             bool halfY) {
    if (halfX && halfY) {
        Average4<N>(target, targetStride, source, sourceStride);
    } else if (halfX) {
        Average2<N>(target, targetStride, source, sourceStride, 1);
    } else if (halfY) {
        Average2<N>(target, targetStride, source, sourceStride, sourceStride);
    } else {
        Copy<N>(target, targetStride, source, sourceStride);
    }
}

}  // namespace

void PredictBlock(std::uint8_t* target, int targetStride, const std::uint8_t* source, int sourceStride, int size,
                  bool halfX, bool halfY) {
    if (size == 16) {
        Predict<16>(target, targetStride, source, sourceStride, halfX, halfY);
    } else {
        Predict<8>(target, targetStride, source, sourceStride, halfX, halfY);
    }
}

}  // namespace swf::video
