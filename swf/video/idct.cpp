// Separable even/odd IDCT: each 8-point pass splits into the even inputs (a
// 4-point transform) and the odd ones (a 4 x 4 product), with cosines in 13
// fractional bits and 3 extra bits carried between the row and column passes.
// Coefficients are at most 2048 in size, so no sum leaves 31 bits. Rows that
// hold only a DC, the common case, take a short cut, and so do the
// columns when only the first row has coefficients.
#include "swf/video/idct.h"

#include <algorithm>
#include <cstring>

namespace swf::video {

namespace {

// cos(k * pi / 16) / 2 in 13 fractional bits.
constexpr int kW1 = 4017;
constexpr int kW2 = 3784;
constexpr int kW3 = 3406;
constexpr int kW4 = 2896;
constexpr int kW5 = 2276;
constexpr int kW6 = 1567;
constexpr int kW7 = 799;

constexpr int kRowShift = 10;  // keeps 3 fractional bits
constexpr int kColumnShift = 16;

// One 8-point pass over in[0], in[step], ...; out gets
// (sum + round) >> shift at out[0], out[step], ...
template <typename In, typename Out>
inline void Pass(const In* in, int inStep, Out* out, int outStep, int shift) {
    const int x0 = in[0], x1 = in[inStep], x2 = in[2 * inStep], x3 = in[3 * inStep];
    const int x4 = in[4 * inStep], x5 = in[5 * inStep], x6 = in[6 * inStep], x7 = in[7 * inStep];
    const int a = kW4 * (x0 + x4), b = kW4 * (x0 - x4);
    const int c = kW2 * x2 + kW6 * x6, d = kW6 * x2 - kW2 * x6;
    const int e0 = a + c, e1 = b + d, e2 = b - d, e3 = a - c;
    const int o0 = kW1 * x1 + kW3 * x3 + kW5 * x5 + kW7 * x7;
    const int o1 = kW3 * x1 - kW7 * x3 - kW1 * x5 - kW5 * x7;
    const int o2 = kW5 * x1 - kW1 * x3 + kW7 * x5 + kW3 * x7;
    const int o3 = kW7 * x1 - kW5 * x3 + kW3 * x5 - kW1 * x7;
    const int round = 1 << (shift - 1);
    out[0] = static_cast<Out>((e0 + o0 + round) >> shift);
    out[7 * outStep] = static_cast<Out>((e0 - o0 + round) >> shift);
    out[outStep] = static_cast<Out>((e1 + o1 + round) >> shift);
    out[6 * outStep] = static_cast<Out>((e1 - o1 + round) >> shift);
    out[2 * outStep] = static_cast<Out>((e2 + o2 + round) >> shift);
    out[5 * outStep] = static_cast<Out>((e2 - o2 + round) >> shift);
    out[3 * outStep] = static_cast<Out>((e3 + o3 + round) >> shift);
    out[4 * outStep] = static_cast<Out>((e3 - o3 + round) >> shift);
}

// The spatial values of a block, before clamping to pixels.
void Transform(std::int16_t* block, int* out) {
    int rows[64];
    bool lowerRows = false;  // any coefficient below the first row
    for (int r = 0; r < 8; ++r) {
        const std::int16_t* row = block + r * 8;
        int* dst = rows + r * 8;
        if ((row[1] | row[2] | row[3] | row[4] | row[5] | row[6] | row[7]) == 0) {
            // Only the row's DC: all eight outputs are equal.
            const int value = (kW4 * row[0] + (1 << (kRowShift - 1))) >> kRowShift;
            for (int i = 0; i < 8; ++i) dst[i] = value;
            lowerRows |= r > 0 && row[0] != 0;
            continue;
        }
        lowerRows |= r > 0;
        Pass(row, 1, dst, 1, kRowShift);
    }
    if (lowerRows) {
        for (int c = 0; c < 8; ++c) Pass(rows + c, 8, out + c, 8, kColumnShift);
    } else {
        // Only the first row: every column is flat.
        for (int c = 0; c < 8; ++c) {
            const int value = (kW4 * rows[c] + (1 << (kColumnShift - 1))) >> kColumnShift;
            for (int r = 0; r < 8; ++r) out[r * 8 + c] = value;
        }
    }
    std::memset(block, 0, 64 * sizeof(std::int16_t));
}

inline std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

void IdctPut(std::int16_t* block, std::uint8_t* pixels, int stride) {
    int values[64];
    Transform(block, values);
    for (int y = 0; y < 8; ++y, pixels += stride)
        for (int x = 0; x < 8; ++x) pixels[x] = Clamp(values[y * 8 + x]);
}

void IdctAdd(std::int16_t* block, std::uint8_t* pixels, int stride) {
    int values[64];
    Transform(block, values);
    for (int y = 0; y < 8; ++y, pixels += stride)
        for (int x = 0; x < 8; ++x) pixels[x] = Clamp(pixels[x] + values[y * 8 + x]);
}

}  // namespace swf::video
