#include "swf/player/render/layer_effects.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "swf/model/units.h"
#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

void AddColor(raster::Fingerprint& f, raster::Color c) {
    f.Add(std::uint64_t{c.r} << 24 | std::uint64_t{c.g} << 16 | std::uint64_t{c.b} << 8 | c.a);
}

void AddBlur(raster::Fingerprint& f, const raster::BlurSettings& blur) {
    f.Add(blur.blurX).Add(blur.blurY).Add(static_cast<std::uint64_t>(blur.passes));
}

void AddStops(raster::Fingerprint& f, const std::vector<raster::GradientStop>& stops) {
    for (const raster::GradientStop& stop : stops) {
        f.Add(std::uint64_t{stop.ratio});
        AddColor(f, stop.color);
    }
}

// Everything a filter's result depends on.
void AddFilter(raster::Fingerprint& f, const raster::Filter& filter) {
    f.Add(static_cast<std::uint64_t>(filter.index()));
    std::visit(
        [&f](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, raster::DropShadowFilter>) {
                AddColor(f, x.color);
                AddBlur(f, x.blur);
                f.Add(x.angle).Add(x.distance).Add(x.strength);
                f.Add(std::uint64_t{x.inner} | std::uint64_t{x.knockout} << 1 | std::uint64_t{x.hideObject} << 2);
            } else if constexpr (std::is_same_v<T, raster::BlurFilter>) {
                AddBlur(f, x.blur);
            } else if constexpr (std::is_same_v<T, raster::GlowFilter>) {
                AddColor(f, x.color);
                AddBlur(f, x.blur);
                f.Add(x.strength).Add(std::uint64_t{x.inner} | std::uint64_t{x.knockout} << 1);
            } else if constexpr (std::is_same_v<T, raster::BevelFilter>) {
                AddColor(f, x.highlight);
                AddColor(f, x.shadow);
                AddBlur(f, x.blur);
                f.Add(x.angle).Add(x.distance).Add(x.strength);
                f.Add(static_cast<std::uint64_t>(x.placement)).Add(std::uint64_t{x.knockout});
            } else if constexpr (std::is_same_v<T, raster::GradientGlowFilter> ||
                                 std::is_same_v<T, raster::GradientBevelFilter>) {
                AddStops(f, x.stops);
                AddBlur(f, x.blur);
                f.Add(x.angle).Add(x.distance).Add(x.strength);
                f.Add(static_cast<std::uint64_t>(x.placement)).Add(std::uint64_t{x.knockout});
            } else if constexpr (std::is_same_v<T, raster::ColorMatrixFilter>) {
                for (double v : x.matrix) f.Add(v);
            } else if constexpr (std::is_same_v<T, raster::ConvolutionFilter>) {
                f.Add(static_cast<std::uint64_t>(x.columns)).Add(static_cast<std::uint64_t>(x.rows));
                for (double v : x.kernel) f.Add(v);
                f.Add(x.divisor).Add(x.bias).Add(std::uint64_t{x.preserveAlpha} | std::uint64_t{x.clamp} << 1);
                AddColor(f, x.color);
            } else if constexpr (std::is_same_v<T, raster::DisplacementMapFilter>) {
                f.Add(x.map.get()).Add(x.map != nullptr ? x.map->serial : 0);
                f.Add(static_cast<std::uint64_t>(x.mapX)).Add(static_cast<std::uint64_t>(x.mapY));
                f.Add(static_cast<std::uint64_t>(x.componentX)).Add(static_cast<std::uint64_t>(x.componentY));
                f.Add(x.scaleX).Add(x.scaleY).Add(static_cast<std::uint64_t>(x.mode));
                AddColor(f, x.color);
            }
        },
        filter);
}

// A filter that reaches without bound (a colour matrix making transparent
// pixels visible) colours the object's own box, as players draw it.
int Capped(int margin) { return margin >= raster::kUnboundedMargin ? 0 : std::clamp(margin, 0, kMaxEffectReach); }

}  // namespace

int LayerEffects::Reach() const {
    return std::max({margins.left, margins.top, margins.right, margins.bottom}) + kLayerBoxSlack;
}

bool NeedsLayer(const Placement& placement) {
    return (placement.filters != nullptr && !placement.filters->empty()) ||
           placement.blendMode != raster::BlendMode::Normal || placement.cacheAsBitmap;
}

void PlanLayerEffects(const Placement& placement, const Matrix& toPixels, int maxPasses, LayerEffects& effects) {
    effects.blendMode = placement.blendMode;
    effects.filters.clear();
    // A movie pixel is kTwipsPerPixel twips: the matrix's column lengths times that
    // are how many surface pixels one movie pixel spans on each axis.
    const double sx = std::hypot(toPixels.a, toPixels.b) * kTwipsPerPixel;
    const double sy = std::hypot(toPixels.c, toPixels.d) * kTwipsPerPixel;
    if (placement.filters != nullptr) {
        for (const raster::Filter& filter : *placement.filters) {
            effects.filters.push_back(raster::Scaled(filter, sx, sy));
            std::visit(
                [maxPasses](auto& f) {
                    if constexpr (requires { f.blur.passes; }) f.blur.passes = std::min(f.blur.passes, maxPasses);
                },
                effects.filters.back());
        }
    }
    const raster::FilterMargins m = raster::MarginsOf(effects.filters);
    effects.margins = {Capped(m.left), Capped(m.top), Capped(m.right), Capped(m.bottom)};
    raster::Fingerprint f;
    f.Add(static_cast<std::uint64_t>(effects.blendMode));
    for (const raster::Filter& filter : effects.filters) AddFilter(f, filter);
    effects.key = f.value();
}

raster::PixelRect PixelsTouched(const Rect& box, const raster::Matrix& m) {
    if (!m.IsFinite()) return {};
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (const auto& [x, y] : {std::pair<double, double>{box.xMin, box.yMin},
                               {box.xMax, box.yMin},
                               {box.xMin, box.yMax},
                               {box.xMax, box.yMax}}) {
        const raster::Point p = m.Apply({x, y});
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    constexpr double kLimit = 1 << 30;
    const auto pixel = [&](double v) { return static_cast<int>(std::clamp(v, -kLimit, kLimit)); };
    return {pixel(std::floor(left)) - 1, pixel(std::floor(top)) - 1, pixel(std::ceil(right)) + 1,
            pixel(std::ceil(bottom)) + 1};
}

int WidestReach(const raster::FilterMargins& m) {
    return std::max({Capped(m.left), Capped(m.top), Capped(m.right), Capped(m.bottom)});
}

raster::FilterMargins Mirrored(const raster::FilterMargins& m) { return {m.right, m.bottom, m.left, m.top}; }

raster::PixelRect Grown(const raster::PixelRect& rect, const raster::FilterMargins& margins) {
    if (rect.empty()) return rect;
    return {rect.left - margins.left, rect.top - margins.top, rect.right + margins.right, rect.bottom + margins.bottom};
}

}  // namespace swf
