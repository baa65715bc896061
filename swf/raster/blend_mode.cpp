// Blend modes on premultiplied pixels. Per channel, with S and D the layer's
// and target's channel and Sa, Da their alphas, all in 0..255 and the
// products divided by 255 (rounded to nearest):
//   normal, layer  S + D (1 - Sa)                     (BlendOver)
//   multiply       S D + S (1 - Da) + D (1 - Sa)
//   screen         S + D - S D
//   lighten        max(S Da, D Sa) + S (1 - Da) + D (1 - Sa);  darken: min
//   difference     S + D - 2 min(S Da, D Sa)
//   add            min(255, S + D), alpha too
//   subtract       max(0, D - S); alpha Da
//   invert         (Da - D) Sa + D (1 - Sa); alpha Da (the layer's colour is ignored)
//   alpha          D Sa, all four channels
//   erase          D (1 - Sa), all four channels
//   hardlight      2 S <= Sa: 2 S D + S (1 - Da) + D (1 - Sa)
//                  else:      Sa Da - 2 (Da - D)(Sa - S) + S (1 - Da) + D (1 - Sa)
//   overlay        hardlight with the layer and the target swapped
// The separable modes' alpha is Sa + Da - Sa Da. A clip coverage c blends the
// target towards the result: D + (r - D) c / 255.
//
// Only target pixels under the layer's rectangle change: beyond it the layer
// is absent, not transparent (so the alpha and erase modes do not clear the
// rest of the target).

#include "swf/raster/blend_mode.h"

#include <algorithm>
#include <cstring>

#include "swf/raster/color.h"

namespace swf::raster {

namespace {

struct NamedMode {
    const char* name;
    BlendMode mode;
};
constexpr NamedMode kNames[] = {
    {"normal", BlendMode::Normal},         {"layer", BlendMode::Layer},
    {"multiply", BlendMode::Multiply},     {"screen", BlendMode::Screen},
    {"lighten", BlendMode::Lighten},       {"darken", BlendMode::Darken},
    {"difference", BlendMode::Difference}, {"add", BlendMode::Add},
    {"subtract", BlendMode::Subtract},     {"invert", BlendMode::Invert},
    {"alpha", BlendMode::Alpha},           {"erase", BlendMode::Erase},
    {"overlay", BlendMode::Overlay},       {"hardlight", BlendMode::Hardlight},
};

inline int Ch(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 255u); }

// round(n / 255) for 0 <= n, clamped to 0..limit.
inline std::uint32_t Div255(int n, int limit) {
    if (n <= 0) return 0;
    const int v = (n + 127) / 255;
    return static_cast<std::uint32_t>(v < limit ? v : limit);
}

// A separable mode: `f(s, d, sa, da)` gives the channel times 255.
template <typename F>
inline std::uint32_t Separable(std::uint32_t src, std::uint32_t dst, F f) {
    const int sa = Ch(src, 24), da = Ch(dst, 24);
    const std::uint32_t a = Div255(255 * (sa + da) - sa * da, 255);
    const int limit = static_cast<int>(a);
    return (a << 24) | (Div255(f(Ch(src, 16), Ch(dst, 16), sa, da), limit) << 16) |
           (Div255(f(Ch(src, 8), Ch(dst, 8), sa, da), limit) << 8) | Div255(f(Ch(src, 0), Ch(dst, 0), sa, da), limit);
}

inline int Rest(int s, int d, int sa, int da) { return s * (255 - da) + d * (255 - sa); }

inline int HardLight(int s, int d, int sa, int da) {
    if (2 * s <= sa) return 2 * s * d + Rest(s, d, sa, da);
    return sa * da - 2 * (da - d) * (sa - s) + Rest(s, d, sa, da);
}

template <BlendMode M>
inline std::uint32_t Blend(std::uint32_t src, std::uint32_t dst) {
    if constexpr (M == BlendMode::Multiply) {
        return Separable(src, dst, [](int s, int d, int sa, int da) { return s * d + Rest(s, d, sa, da); });
    } else if constexpr (M == BlendMode::Screen) {
        return Separable(src, dst, [](int s, int d, int, int) { return 255 * (s + d) - s * d; });
    } else if constexpr (M == BlendMode::Lighten) {
        return Separable(src, dst,
                         [](int s, int d, int sa, int da) { return std::max(s * da, d * sa) + Rest(s, d, sa, da); });
    } else if constexpr (M == BlendMode::Darken) {
        return Separable(src, dst,
                         [](int s, int d, int sa, int da) { return std::min(s * da, d * sa) + Rest(s, d, sa, da); });
    } else if constexpr (M == BlendMode::Difference) {
        return Separable(src, dst,
                         [](int s, int d, int sa, int da) { return 255 * (s + d) - 2 * std::min(s * da, d * sa); });
    } else if constexpr (M == BlendMode::Hardlight) {
        return Separable(src, dst, HardLight);
    } else if constexpr (M == BlendMode::Overlay) {
        return Separable(src, dst, [](int s, int d, int sa, int da) { return HardLight(d, s, da, sa); });
    } else if constexpr (M == BlendMode::Add) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            out |= static_cast<std::uint32_t>(std::min(255, Ch(src, shift) + Ch(dst, shift))) << shift;
        }
        return out;
    } else if constexpr (M == BlendMode::Subtract) {
        std::uint32_t out = dst & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            out |= static_cast<std::uint32_t>(std::max(0, Ch(dst, shift) - Ch(src, shift))) << shift;
        }
        return out;
    } else if constexpr (M == BlendMode::Invert) {
        const int sa = Ch(src, 24), da = Ch(dst, 24);
        std::uint32_t out = dst & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = Ch(dst, shift);
            out |= Div255((da - d) * sa + d * (255 - sa), da) << shift;
        }
        return out;
    } else if constexpr (M == BlendMode::Alpha) {
        return ScalePixel(dst, src >> 24);
    } else if constexpr (M == BlendMode::Erase) {
        return ScalePixel(dst, 255u - (src >> 24));
    } else {
        return BlendOver(src, dst);
    }
}

// D + (r - D) c / 255, without carries: each term keeps channels within its alpha.
inline std::uint32_t Mix(std::uint32_t dst, std::uint32_t result, std::uint32_t cover) {
    return ScalePixel(result, cover) + ScalePixel(dst, 255u - cover);
}

template <BlendMode M>
void BlendRow(const std::uint32_t* src, std::uint32_t* dst, const std::uint8_t* cover, int count) {
    // A transparent layer pixel leaves the target as it is, except in alpha mode.
    constexpr bool kSkipClear = M != BlendMode::Alpha;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        if (kSkipClear && s == 0) continue;
        const std::uint32_t c = cover ? cover[i] : 255u;
        if (c == 0) continue;
        const std::uint32_t r = Blend<M>(s, dst[i]);
        dst[i] = c == 255 ? r : Mix(dst[i], r, c);
    }
}

// Normal: source-over, whole opaque pixels copied.
void NormalRow(const std::uint32_t* src, std::uint32_t* dst, const std::uint8_t* cover, int count) {
    if (!cover) {
        for (int i = 0; i < count; ++i) {
            const std::uint32_t s = src[i];
            if (s >= 0xFF000000u) {
                dst[i] = s;
            } else if (s != 0) {
                dst[i] = BlendOver(s, dst[i]);
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = src[i], c = cover[i];
        if (s == 0 || c == 0) continue;
        dst[i] = BlendOver(c == 255 ? s : ScalePixel(s, c), dst[i]);
    }
}

using RowFunction = void (*)(const std::uint32_t*, std::uint32_t*, const std::uint8_t*, int);

RowFunction RowFor(BlendMode mode) {
    switch (mode) {
    case BlendMode::Multiply: return BlendRow<BlendMode::Multiply>;
    case BlendMode::Screen: return BlendRow<BlendMode::Screen>;
    case BlendMode::Lighten: return BlendRow<BlendMode::Lighten>;
    case BlendMode::Darken: return BlendRow<BlendMode::Darken>;
    case BlendMode::Difference: return BlendRow<BlendMode::Difference>;
    case BlendMode::Add: return BlendRow<BlendMode::Add>;
    case BlendMode::Subtract: return BlendRow<BlendMode::Subtract>;
    case BlendMode::Invert: return BlendRow<BlendMode::Invert>;
    case BlendMode::Alpha: return BlendRow<BlendMode::Alpha>;
    case BlendMode::Erase: return BlendRow<BlendMode::Erase>;
    case BlendMode::Overlay: return BlendRow<BlendMode::Overlay>;
    case BlendMode::Hardlight: return BlendRow<BlendMode::Hardlight>;
    case BlendMode::Normal:
    case BlendMode::Layer:
    default: return NormalRow;
    }
}

}  // namespace

BlendMode BlendModeFromNumber(int number) {
    if (number < static_cast<int>(BlendMode::Normal) || number > static_cast<int>(BlendMode::Hardlight)) {
        return BlendMode::Normal;
    }
    return static_cast<BlendMode>(number);
}

const char* BlendModeName(BlendMode mode) {
    for (const NamedMode& n : kNames)
        if (n.mode == mode) return n.name;
    return nullptr;
}

bool BlendModeFromName(const char* name, BlendMode* mode) {
    if (name == nullptr) return false;
    for (const NamedMode& n : kNames) {
        if (std::strcmp(n.name, name) == 0) {
            if (mode) *mode = n.mode;
            return true;
        }
    }
    return false;
}

void CompositeLayer(const Surface& layer, int dx, int dy, Surface& target, const PixelRect& area, BlendMode mode,
                    const CoverageMask* clip) {
    // The target pixels under both the area and the moved layer, in 64 bits
    // so that no offset can overflow.
    long long left = std::max<long long>({0, area.left, static_cast<long long>(dx)});
    long long top = std::max<long long>({0, area.top, static_cast<long long>(dy)});
    long long right = std::min<long long>({target.width(), area.right, static_cast<long long>(dx) + layer.width()});
    long long bottom = std::min<long long>({target.height(), area.bottom, static_cast<long long>(dy) + layer.height()});
    if (clip) {  // beyond the mask nothing is covered
        right = std::min<long long>(right, clip->width());
        bottom = std::min<long long>(bottom, clip->height());
    }
    if (right <= left || bottom <= top) return;
    const RowFunction row = RowFor(mode);
    const int count = static_cast<int>(right - left);
    for (long long y = top; y < bottom; ++y) {
        const std::uint32_t* src = layer.row(static_cast<int>(y - dy)) + (left - dx);
        std::uint32_t* dst = target.row(static_cast<int>(y)) + left;
        const std::uint8_t* cover = clip ? clip->row(static_cast<int>(y)) + left : nullptr;
        row(src, dst, cover, count);
    }
}

}  // namespace swf::raster
