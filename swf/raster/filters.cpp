// The filters' entry points: working memory, margins, scaling, the blur
// filter, and dispatch to the shadow-like filters (shadow_filters.cpp) and
// the per-pixel ones (pixel_filters.cpp).
//
// Margins, as the renderer can rely on them (all per side, in pixels):
//   blur: passes * ceil((w - 1) / 2) per axis (the reach of the window rule in
//     box_blur.h; never more than passes * ceil(w / 2));
//   drop shadow, glow, gradient glow (outer or full): the blur's margins plus
//     the offset on the side it points to; inner only: nothing;
//   bevel, gradient bevel (outer or full): the blur's margins plus |offset| on
//     both sides (the blurred alpha is read at +offset and -offset); inner: nothing;
//   colour matrix: nothing, unless a transparent pixel comes out with some
//     alpha (alpha offset m[19] >= 0.5): then kUnboundedMargin (2^20) on every
//     side, i.e. "the whole area the renderer draws";
//   convolution: nothing with preserveAlpha (alpha stays, transparent stays
//     transparent); otherwise the kernel's extent (columns - 1 - columns / 2 on
//     the left, columns / 2 on the right, likewise rows), unless a window of
//     transparent pixels comes out visible (bias >= 0.5) or the edge colour
//     (clamp off, colour alpha > 0) can reach in: then kUnboundedMargin;
//   displacement map: ceil(|scale| / 2) per axis (nothing without a map).
// Chains add up, saturating at kUnboundedMargin.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "swf/raster/box_blur.h"
#include "swf/raster/filter_internal.h"
#include "swf/raster/filters.h"

namespace swf::raster {

namespace {

constexpr std::size_t kStableSlots = 16;  // slots below this never move once made

FilterMargins Uniform(int x, int y) { return {x, y, x, y}; }

FilterMargins BlurMargins(const BlurSettings& blur) {
    const detail::BlurReach r = detail::ReachOf(blur);
    return Uniform(r.x, r.y);
}

// Blur margins plus an offset towards the side it points to.
FilterMargins ShadowMargins(const BlurSettings& blur, double angle, double distance) {
    FilterMargins m = BlurMargins(blur);
    const detail::PixelOffset o = detail::OffsetOf(angle, distance);
    m.left += std::max(0, -o.dx);
    m.right += std::max(0, o.dx);
    m.top += std::max(0, -o.dy);
    m.bottom += std::max(0, o.dy);
    return m;
}

// Blur margins plus the offset's length on both sides.
FilterMargins BevelMargins(const BlurSettings& blur, double angle, double distance) {
    FilterMargins m = BlurMargins(blur);
    const detail::PixelOffset o = detail::OffsetOf(angle, distance);
    m.left += std::abs(o.dx);
    m.right += std::abs(o.dx);
    m.top += std::abs(o.dy);
    m.bottom += std::abs(o.dy);
    return m;
}

int SaturatingAdd(int a, int b) { return std::min(a + b, detail::kUnboundedMargin); }

void ScaleBlur(BlurSettings& blur, double sx, double sy) {
    blur.blurX *= std::abs(sx);
    blur.blurY *= std::abs(sy);
}

// The offset (distance along angle) as it lies on a stage scaled by sx, sy.
// A uniform positive scale keeps the angle exactly.
void ScaleOffset(double& angle, double& distance, double sx, double sy) {
    if (sx == sy && sx >= 0) {
        distance *= sx;
        return;
    }
    const double x = distance * std::cos(angle) * sx, y = distance * std::sin(angle) * sy;
    distance = std::hypot(x, y);
    angle = std::atan2(y, x);
}

}  // namespace

std::vector<std::uint32_t>& FilterScratch::Pixels(std::size_t index) {
    if (index >= pixels_.size()) pixels_.resize(std::max(index + 1, kStableSlots));
    return pixels_[index];
}

std::vector<std::uint8_t>& FilterScratch::Bytes(std::size_t index) {
    if (index >= bytes_.size()) bytes_.resize(std::max(index + 1, kStableSlots));
    return bytes_[index];
}

FilterMargins MarginsOf(const Filter& filter) {
    return std::visit(
        [](const auto& f) -> FilterMargins {
            using T = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<T, BlurFilter>) {
                return BlurMargins(f.blur);
            } else if constexpr (std::is_same_v<T, DropShadowFilter>) {
                return f.inner ? FilterMargins{} : ShadowMargins(f.blur, f.angle, f.distance);
            } else if constexpr (std::is_same_v<T, GlowFilter>) {
                return f.inner ? FilterMargins{} : BlurMargins(f.blur);
            } else if constexpr (std::is_same_v<T, GradientGlowFilter>) {
                return f.placement == BevelPlacement::Inner ? FilterMargins{}
                                                            : ShadowMargins(f.blur, f.angle, f.distance);
            } else if constexpr (std::is_same_v<T, BevelFilter> || std::is_same_v<T, GradientBevelFilter>) {
                return f.placement == BevelPlacement::Inner ? FilterMargins{}
                                                            : BevelMargins(f.blur, f.angle, f.distance);
            } else if constexpr (std::is_same_v<T, ColorMatrixFilter>) {
                return detail::ColorMatrixMargins(f);
            } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
                return detail::ConvolutionMargins(f);
            } else {
                static_assert(std::is_same_v<T, DisplacementMapFilter>);
                if (!f.map) return FilterMargins{};
                const int x = static_cast<int>(std::ceil(std::abs(detail::Sane(f.scaleX, -65535, 65535)) / 2));
                const int y = static_cast<int>(std::ceil(std::abs(detail::Sane(f.scaleY, -65535, 65535)) / 2));
                return Uniform(x, y);
            }
        },
        filter);
}

FilterMargins MarginsOf(const std::vector<Filter>& filters) {
    FilterMargins total;
    for (const Filter& f : filters) {
        const FilterMargins m = MarginsOf(f);
        total.left = SaturatingAdd(total.left, m.left);
        total.top = SaturatingAdd(total.top, m.top);
        total.right = SaturatingAdd(total.right, m.right);
        total.bottom = SaturatingAdd(total.bottom, m.bottom);
    }
    return total;
}

Filter Scaled(const Filter& filter, double sx, double sy) {
    Filter out = filter;
    std::visit(
        [&](auto& f) {
            using T = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<T, BlurFilter> || std::is_same_v<T, GlowFilter>) {
                ScaleBlur(f.blur, sx, sy);
            } else if constexpr (std::is_same_v<T, DropShadowFilter> || std::is_same_v<T, BevelFilter> ||
                                 std::is_same_v<T, GradientGlowFilter> || std::is_same_v<T, GradientBevelFilter>) {
                ScaleBlur(f.blur, sx, sy);
                ScaleOffset(f.angle, f.distance, sx, sy);
            } else if constexpr (std::is_same_v<T, DisplacementMapFilter>) {
                f.scaleX *= sx;
                f.scaleY *= sy;
            }
            // Colour matrices and convolutions have no lengths.
        },
        out);
    return out;
}

void BlurPixels(Surface& layer, const PixelRect& area, const BlurSettings& blur, FilterScratch& scratch) {
    const PixelRect target = detail::ClipToSurface(area, layer);
    const detail::BoxKernel kx = detail::MakeBoxKernel(blur.blurX), ky = detail::MakeBoxKernel(blur.blurY);
    const int passes = detail::BlurPasses(blur);
    if (target.empty() || passes == 0 || (!kx.active() && !ky.active())) return;

    // Whatever lies further than the reach from `target` cannot change it; the
    // plane's cut edges (where they are not the surface's) spoil only that band.
    const detail::BlurReach reach = detail::ReachOf(blur);
    const PixelRect region = detail::ClipToSurface(detail::Grown(target, reach.x, reach.y, reach.x, reach.y), layer);
    const int w = region.width(), h = region.height();

    std::vector<std::uint32_t>& plane = scratch.Pixels(detail::kPlane);
    std::vector<std::uint32_t>& spare = scratch.Pixels(detail::kSpare);
    std::vector<std::uint32_t>& sums = scratch.Pixels(detail::kSums);
    const std::size_t size = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (plane.size() < size) plane.resize(size);
    for (int y = 0; y < h; ++y) {
        std::memcpy(plane.data() + static_cast<std::size_t>(y) * w, layer.row(region.top + y) + region.left,
                    static_cast<std::size_t>(w) * 4);
    }
    std::ptrdiff_t stride = 0;
    const std::uint32_t* result = detail::BlurPlane(plane.data(), w, h, w, kx, ky, passes, spare, sums, &stride);
    for (int y = target.top; y < target.bottom; ++y) {
        std::memcpy(layer.row(y) + target.left, result + (y - region.top) * stride + (target.left - region.left),
                    static_cast<std::size_t>(target.width()) * 4);
    }
}

void ApplyFilter(const Filter& filter, Surface& layer, const PixelRect& area, FilterScratch& scratch) {
    const PixelRect target = detail::ClipToSurface(area, layer);
    if (target.empty()) return;
    std::visit(
        [&](const auto& f) {
            using T = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<T, BlurFilter>) {
                BlurPixels(layer, target, f.blur, scratch);
            } else if constexpr (std::is_same_v<T, DropShadowFilter>) {
                detail::ApplyDropShadow(f, layer, target, scratch);
            } else if constexpr (std::is_same_v<T, GlowFilter>) {
                detail::ApplyGlow(f, layer, target, scratch);
            } else if constexpr (std::is_same_v<T, BevelFilter>) {
                detail::ApplyBevel(f, layer, target, scratch);
            } else if constexpr (std::is_same_v<T, GradientGlowFilter>) {
                detail::ApplyGradientGlow(f, layer, target, scratch);
            } else if constexpr (std::is_same_v<T, GradientBevelFilter>) {
                detail::ApplyGradientBevel(f, layer, target, scratch);
            } else if constexpr (std::is_same_v<T, ColorMatrixFilter>) {
                detail::ApplyColorMatrix(f, layer, target);
            } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
                detail::ApplyConvolution(f, layer, target, scratch);
            } else {
                static_assert(std::is_same_v<T, DisplacementMapFilter>);
                detail::ApplyDisplacementMap(f, layer, target, scratch);
            }
        },
        filter);
}

}  // namespace swf::raster
