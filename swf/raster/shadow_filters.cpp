// Filters made from the layer's blurred alpha: drop shadow, glow, bevel and
// their gradient forms. Each blurs the alpha over the area it writes, grown by
// the blur's reach and moved by the offset, so that a sub-area gets exactly
// the pixels of a whole application.
//
// Placement, with G the filter's premultiplied colour at a pixel and O the
// object's pixel (alpha Oa):
//   outer (behind):  O + G (1 - Oa)          knockout: G (1 - Oa)
//   inner (atop):    G Oa + O (1 - Ga)       knockout: G Oa
//   full (over):     G + O (1 - Ga)          knockout: G
// The drop shadow's and glow's inner forms are made from the inverted alpha
// 255 - A (outside the layer A is 0, so the inverse is 255 there).
//
// Bevels follow the player's lighting: at angle 45 degrees the highlight lies
// on the top-left edges and the shadow on the bottom-right ones, as a drop
// shadow at 45 degrees falls down and to the right. The bevel value is
//   v(p) = strength * (A(p + off) - A(p - off)),  off = distance (cos, sin),
// highlight where v > 0, shadow (with -v) where v < 0.
//
// Gradient filters: a value of 0 (glow) or a bevel value of 0 paints nothing,
// whatever the ramp holds at ratio 0 (glow) or 128 (bevel), so that the filters
// stay within their margins.

#include <algorithm>
#include <cstring>

#include "swf/raster/box_blur.h"
#include "swf/raster/color.h"
#include "swf/raster/filter_internal.h"
#include "swf/raster/paint.h"

namespace swf::raster::detail {

namespace {

// The blurred alpha of the layer over `rect` (clipped to the layer); 0 elsewhere.
struct AlphaPlane {
    const std::uint8_t* data = nullptr;
    std::ptrdiff_t stride = 0;
    PixelRect rect;

    // A(x, y) for x in [x0, x0 + count) on row y, into out.
    void Row(int y, int x0, int count, std::uint8_t* out) const {
        if (y < rect.top || y >= rect.bottom) {
            std::memset(out, 0, static_cast<std::size_t>(count));
            return;
        }
        const int lo = std::clamp(rect.left - x0, 0, count), hi = std::clamp(rect.right - x0, 0, count);
        std::memset(out, 0, static_cast<std::size_t>(lo));
        if (hi > lo) {
            std::memcpy(out + lo, data + (y - rect.top) * stride + (x0 + lo - rect.left),
                        static_cast<std::size_t>(hi - lo));
        }
        std::memset(out + std::max(hi, lo), 0, static_cast<std::size_t>(count - std::max(hi, lo)));
    }
};

// Blurs the layer's alpha so that it is exact on `needed` (any rectangle).
AlphaPlane BlurredAlpha(const Surface& layer, const PixelRect& needed, const BlurSettings& blur,
                        FilterScratch& scratch) {
    const BlurReach reach = ReachOf(blur);
    const PixelRect region = ClipToSurface(Grown(needed, reach.x, reach.y, reach.x, reach.y), layer);
    AlphaPlane plane;
    plane.rect = region;
    if (region.empty()) return plane;
    const int w = region.width(), h = region.height();
    std::vector<std::uint8_t>& bytes = scratch.Bytes(kPlane);
    const std::size_t size = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (bytes.size() < size) bytes.resize(size);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src = layer.row(region.top + y) + region.left;
        std::uint8_t* dst = bytes.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) dst[x] = static_cast<std::uint8_t>(src[x] >> 24);
    }
    plane.data = BlurPlane(bytes.data(), w, h, w, MakeBoxKernel(blur.blurX), MakeBoxKernel(blur.blurY),
                           BlurPasses(blur), scratch.Bytes(kSpare), scratch.Pixels(kSums), &plane.stride);
    return plane;
}

std::uint8_t* RowBuffer(FilterScratch& scratch, std::size_t slot, int count) {
    std::vector<std::uint8_t>& v = scratch.Bytes(slot);
    if (v.size() < static_cast<std::size_t>(count)) v.resize(static_cast<std::size_t>(count));
    return v.data();
}

inline std::uint32_t Behind(std::uint32_t g, std::uint32_t o, bool knockout) {
    const std::uint32_t under = ScalePixel(g, 255u - (o >> 24));
    return knockout ? under : o + under;
}
inline std::uint32_t Atop(std::uint32_t g, std::uint32_t o, bool knockout) {
    const std::uint32_t masked = ScalePixel(g, o >> 24);
    return knockout ? masked : masked + ScalePixel(o, 255u - (g >> 24));
}
inline std::uint32_t Over(std::uint32_t g, std::uint32_t o, bool knockout) { return knockout ? g : BlendOver(g, o); }
inline std::uint32_t Place(BevelPlacement placement, std::uint32_t g, std::uint32_t o, bool knockout) {
    switch (placement) {
    case BevelPlacement::Inner: return Atop(g, o, knockout);
    case BevelPlacement::Outer: return Behind(g, o, knockout);
    case BevelPlacement::Full: return Over(g, o, knockout);
    }
    return o;
}

// Shadow or glow in one colour: `color` premultiplied, offset in pixels.
void ApplyShadow(std::uint32_t color, const BlurSettings& blur, PixelOffset off, double strength, bool inner,
                 bool knockout, bool hideObject, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const AlphaPlane plane = BlurredAlpha(layer, Shifted(area, -off.dx, -off.dy), blur, scratch);
    const std::uint32_t k = StrengthFactor(strength);
    const int w = area.width();
    std::uint8_t* values = RowBuffer(scratch, kOutput, w);
    for (int y = area.top; y < area.bottom; ++y) {
        plane.Row(y - off.dy, area.left - off.dx, w, values);
        std::uint32_t* row = layer.row(y) + area.left;
        for (int i = 0; i < w; ++i) {
            const std::uint32_t a = values[i];
            const std::uint32_t g = ScalePixel(color, Strengthen(inner ? 255u - a : a, k));
            const std::uint32_t o = row[i];
            if (inner) {
                row[i] = Atop(g, o, knockout || hideObject);
            } else {
                row[i] = hideObject && !knockout ? g : Behind(g, o, knockout);
            }
        }
    }
}

// Rectangle holding both `area` + off and `area` - off.
PixelRect BothWays(const PixelRect& area, PixelOffset off) {
    return Shifted(area, off.dx, off.dy).United(Shifted(area, -off.dx, -off.dy));
}

// Signed bevel values, -255..255, for one row: strength * (A(p + off) - A(p - off)).
void BevelRow(const AlphaPlane& plane, int y, int x0, int w, PixelOffset off, std::uint32_t k, std::uint8_t* plus,
              std::uint8_t* minus, int* values) {
    plane.Row(y + off.dy, x0 + off.dx, w, plus);
    plane.Row(y - off.dy, x0 - off.dx, w, minus);
    for (int i = 0; i < w; ++i) {
        const int d = static_cast<int>(plus[i]) - static_cast<int>(minus[i]);
        const int v = static_cast<int>(Strengthen(static_cast<std::uint32_t>(d < 0 ? -d : d), k));
        values[i] = d < 0 ? -v : v;
    }
}

// The gradient ramp for `stops`, built again only when the stops change.
const std::uint32_t* RampFor(const std::vector<GradientStop>& stops, FilterScratch& scratch) {
    std::vector<std::uint8_t>& key = scratch.Bytes(kRamp);
    std::vector<std::uint32_t>& ramp = scratch.Pixels(kRamp);
    const std::size_t count = std::min<std::size_t>(stops.size(), kMaxGradientStops);
    bool same = ramp.size() == 256 && key.size() == 1 + 5 * count && key[0] == count;
    for (std::size_t i = 0; same && i < count; ++i) {
        const GradientStop& s = stops[i];
        const std::uint8_t* k = key.data() + 1 + 5 * i;
        same = k[0] == s.ratio && k[1] == s.color.r && k[2] == s.color.g && k[3] == s.color.b && k[4] == s.color.a;
    }
    if (!same) {
        key.assign(1, static_cast<std::uint8_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            const GradientStop& s = stops[i];
            key.insert(key.end(), {s.ratio, s.color.r, s.color.g, s.color.b, s.color.a});
        }
        const GradientRamp built = GradientRamp::Build(stops, GradientInterpolation::RGB);
        ramp.assign(built.data(), built.data() + 256);
    }
    return ramp.data();
}

}  // namespace

void ApplyDropShadow(const DropShadowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    ApplyShadow(Premultiply(f.color), f.blur, OffsetOf(f.angle, f.distance), f.strength, f.inner, f.knockout,
                f.hideObject, layer, area, scratch);
}

void ApplyGlow(const GlowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    ApplyShadow(Premultiply(f.color), f.blur, PixelOffset{}, f.strength, f.inner, f.knockout, false, layer, area,
                scratch);
}

void ApplyBevel(const BevelFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const PixelOffset off = OffsetOf(f.angle, f.distance);
    const AlphaPlane plane = BlurredAlpha(layer, BothWays(area, off), f.blur, scratch);
    const std::uint32_t k = StrengthFactor(f.strength);
    const std::uint32_t highlight = Premultiply(f.highlight), shadow = Premultiply(f.shadow);
    const int w = area.width();
    std::uint8_t* plus = RowBuffer(scratch, kOutput, w);
    std::uint8_t* minus = RowBuffer(scratch, kSecondRow, w);
    std::vector<std::uint32_t>& valueStore = scratch.Pixels(kOutput);
    if (valueStore.size() < static_cast<std::size_t>(w)) valueStore.resize(static_cast<std::size_t>(w));
    int* values = reinterpret_cast<int*>(valueStore.data());
    for (int y = area.top; y < area.bottom; ++y) {
        BevelRow(plane, y, area.left, w, off, k, plus, minus, values);
        std::uint32_t* row = layer.row(y) + area.left;
        for (int i = 0; i < w; ++i) {
            const int v = values[i];
            const std::uint32_t g = v > 0 ? ScalePixel(highlight, static_cast<std::uint32_t>(v))
                                          : ScalePixel(shadow, static_cast<std::uint32_t>(-v));
            row[i] = Place(f.placement, g, row[i], f.knockout);
        }
    }
}

void ApplyGradientGlow(const GradientGlowFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const PixelOffset off = OffsetOf(f.angle, f.distance);
    const std::uint32_t* ramp = RampFor(f.stops, scratch);
    const AlphaPlane plane = BlurredAlpha(layer, Shifted(area, -off.dx, -off.dy), f.blur, scratch);
    const std::uint32_t k = StrengthFactor(f.strength);
    const int w = area.width();
    std::uint8_t* values = RowBuffer(scratch, kOutput, w);
    auto paint = [ramp](std::uint32_t v) { return v == 0 ? 0u : ramp[v]; };
    for (int y = area.top; y < area.bottom; ++y) {
        plane.Row(y - off.dy, area.left - off.dx, w, values);
        std::uint32_t* row = layer.row(y) + area.left;
        for (int i = 0; i < w; ++i) {
            const std::uint32_t a = values[i], o = row[i];
            const std::uint32_t outer = paint(Strengthen(a, k)), inner = paint(Strengthen(255u - a, k));
            switch (f.placement) {
            case BevelPlacement::Outer: row[i] = Behind(outer, o, f.knockout); break;
            case BevelPlacement::Inner: row[i] = Atop(inner, o, f.knockout); break;
            case BevelPlacement::Full:
                // The inner glow where the object is, the outer one where it is not.
                row[i] = Atop(inner, o, f.knockout) + ScalePixel(outer, 255u - (o >> 24));
                break;
            }
        }
    }
}

void ApplyGradientBevel(const GradientBevelFilter& f, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const PixelOffset off = OffsetOf(f.angle, f.distance);
    const std::uint32_t* ramp = RampFor(f.stops, scratch);
    const AlphaPlane plane = BlurredAlpha(layer, BothWays(area, off), f.blur, scratch);
    const std::uint32_t k = StrengthFactor(f.strength);
    const int w = area.width();
    std::uint8_t* plus = RowBuffer(scratch, kOutput, w);
    std::uint8_t* minus = RowBuffer(scratch, kSecondRow, w);
    std::vector<std::uint32_t>& valueStore = scratch.Pixels(kOutput);
    if (valueStore.size() < static_cast<std::size_t>(w)) valueStore.resize(static_cast<std::size_t>(w));
    int* values = reinterpret_cast<int*>(valueStore.data());
    for (int y = area.top; y < area.bottom; ++y) {
        BevelRow(plane, y, area.left, w, off, k, plus, minus, values);
        std::uint32_t* row = layer.row(y) + area.left;
        for (int i = 0; i < w; ++i) {
            const int v = values[i];
            // Ratio 128 + floor(v / 2): 0 for the deepest shadow, 255 for the brightest highlight.
            const std::uint32_t g = v == 0 ? 0u : ramp[128 + (v >> 1)];
            row[i] = Place(f.placement, g, row[i], f.knockout);
        }
    }
}

}  // namespace swf::raster::detail
