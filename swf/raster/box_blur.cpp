#include "swf/raster/box_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace swf::raster::detail {

namespace {

constexpr double kMaxBlur = 255;
constexpr int kMaxPasses = 15;

// Pixels are treated as runs of bytes: every channel blurs alike, so a row of
// `width` pixels of C bytes is a row of width * C values, and the neighbour
// of value i in the same channel is i +- C. Plain loops over bytes let the
// compiler vectorise them.

// sum / divisor rounded to nearest, through the divisor's reciprocal in single
// precision: the weighted sum is below 2^24, so it converts exactly, and the
// quotient is within 2^-15 of the exact one (a quotient that close to a half
// may round either way, the same way everywhere). Floats vectorise well.
inline std::uint8_t Divide(std::uint32_t sum, float reciprocal) {
    return static_cast<std::uint8_t>(
        static_cast<std::int32_t>(static_cast<float>(static_cast<std::int32_t>(sum)) * reciprocal + 0.5f));
}

// One horizontal pass over one row of `count` bytes (channel stride C):
// `line` holds the row with pad = inner + 1 pixels of zeros on both sides;
// `prefix` receives running sums per channel; the result goes to `out`.
void HorizontalRow(const std::uint8_t* line, std::size_t count, int C, const BoxKernel& k, std::uint32_t* prefix,
                   std::uint8_t* out) {
    const std::size_t pad = static_cast<std::size_t>(k.inner) + 1;
    const std::size_t total = count + 2 * pad * C;
    // prefix[i] = line[i] + line[i - C] + line[i - 2C] + ... (unsigned: wraps harmlessly)
    for (int c = 0; c < C; ++c) prefix[c] = line[c];
    for (std::size_t i = C; i < total; ++i) prefix[i] = prefix[i - C] + line[i];
    // Value x (at line index x + pad C): whole pixels x - inner .. x + inner, ends one further.
    const std::size_t lo = (pad - k.inner - 1) * C, hi = (pad + k.inner) * C, far = (pad + k.inner + 1) * C;
    const std::uint32_t ew = static_cast<std::uint32_t>(k.endWeight);
    const float r = k.reciprocal;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t whole = prefix[i + hi] - prefix[i + lo];
        out[i] = Divide((whole << 8) + ew * (std::uint32_t{line[i + lo]} + line[i + far]), r);
    }
}

// One vertical pass from `src` to `dst` over rows of `count` bytes.
void VerticalPass(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  std::size_t count, int height, const BoxKernel& k, const std::uint8_t* zeros, std::uint32_t* sums) {
    const std::uint32_t ew = static_cast<std::uint32_t>(k.endWeight);
    const float r = k.reciprocal;
    auto row = [&](int y) { return y >= 0 && y < height ? src + y * srcStride : zeros; };
    std::fill(sums, sums + count, 0u);
    for (int y = 0; y <= k.inner && y < height; ++y) {
        const std::uint8_t* in = row(y);
        for (std::size_t i = 0; i < count; ++i) sums[i] += in[i];
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* before = row(y - k.inner - 1);
        const std::uint8_t* first = row(y - k.inner);
        const std::uint8_t* after = row(y + k.inner + 1);
        std::uint8_t* out = dst + y * dstStride;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t s = sums[i], in = after[i];
            out[i] = Divide((s << 8) + ew * (std::uint32_t{before[i]} + in), r);
            sums[i] = s + in - first[i];
        }
    }
}

}  // namespace

BoxKernel MakeBoxKernel(double width) {
    BoxKernel k;
    if (!(width > 1)) return k;  // NaN, negative and widths up to one pixel: no blur
    width = std::min(width, kMaxBlur);
    k.inner = static_cast<int>(std::floor((width - 1) / 2));
    const double end = (width - (2 * k.inner + 1)) / 2;  // 0 <= end < 1
    k.endWeight = static_cast<int>(std::lround(end * 256));
    if (k.endWeight >= 256) {  // rounds to a whole pixel more
        ++k.inner;
        k.endWeight = 0;
    }
    const std::uint64_t divisor = static_cast<std::uint64_t>(2 * k.inner + 1) * 256 + 2 * k.endWeight;
    k.reciprocal = static_cast<float>(1.0 / static_cast<double>(divisor));
    return k;
}

int BlurPasses(const BlurSettings& blur) { return std::clamp(blur.passes, 0, kMaxPasses); }

BlurReach ReachOf(const BlurSettings& blur) {
    const int passes = BlurPasses(blur);
    return {MakeBoxKernel(blur.blurX).reach() * passes, MakeBoxKernel(blur.blurY).reach() * passes};
}

template <typename T>
const T* BlurPlane(T* plane, int width, int height, std::ptrdiff_t stride, const BoxKernel& kx, const BoxKernel& ky,
                   int passes, std::vector<T>& spare, std::vector<std::uint32_t>& sums, std::ptrdiff_t* resultStride) {
    *resultStride = stride;
    passes = std::clamp(passes, 0, kMaxPasses);
    if (width <= 0 || height <= 0 || passes == 0 || (!kx.active() && !ky.active())) return plane;

    constexpr int C = static_cast<int>(sizeof(T));                  // bytes (channels) per element
    const std::size_t count = static_cast<std::size_t>(width) * C;  // bytes per row
    const std::size_t planeSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t pad = static_cast<std::size_t>(kx.inner) + 1;
    const std::size_t lineElements = static_cast<std::size_t>(width) + 2 * pad;
    const std::size_t need = planeSize + lineElements + static_cast<std::size_t>(width);
    if (spare.size() < need) spare.resize(need);
    const std::size_t sumCount = std::max(count, lineElements * C);
    if (sums.size() < sumCount) sums.resize(sumCount);
    T* other = spare.data();
    T* line = other + planeSize;
    T* zeros = line + lineElements;
    std::fill(line, line + lineElements, T{0});  // the pads stay zero
    std::fill(zeros, zeros + width, T{0});
    auto bytes = [](T* p) { return reinterpret_cast<std::uint8_t*>(p); };

    T* cur = plane;
    std::ptrdiff_t curStride = stride;
    for (int pass = 0; pass < passes; ++pass) {
        if (kx.active()) {
            for (int y = 0; y < height; ++y) {
                T* row = cur + y * curStride;
                std::memcpy(line + pad, row, static_cast<std::size_t>(width) * sizeof(T));
                HorizontalRow(bytes(line), count, C, kx, sums.data(), bytes(row));
            }
        }
        if (ky.active()) {
            T* next = cur == plane ? other : plane;
            const std::ptrdiff_t nextStride = cur == plane ? width : stride;
            VerticalPass(bytes(cur), curStride * C, bytes(next), nextStride * C, count, height, ky, bytes(zeros),
                         sums.data());
            cur = next;
            curStride = nextStride;
        }
    }
    *resultStride = curStride;
    return cur;
}

template const std::uint32_t* BlurPlane(std::uint32_t*, int, int, std::ptrdiff_t, const BoxKernel&, const BoxKernel&,
                                        int, std::vector<std::uint32_t>&, std::vector<std::uint32_t>&, std::ptrdiff_t*);
template const std::uint8_t* BlurPlane(std::uint8_t*, int, int, std::ptrdiff_t, const BoxKernel&, const BoxKernel&, int,
                                       std::vector<std::uint8_t>&, std::vector<std::uint32_t>&, std::ptrdiff_t*);

}  // namespace swf::raster::detail
