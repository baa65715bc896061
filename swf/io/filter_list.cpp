#include "swf/io/filter_list.h"

#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

namespace {

raster::Color ToColor(Rgba c) { return {c.r, c.g, c.b, c.a}; }

// The flags byte after a filter's strength: inner, knockout, composite
// source, then (bevels and gradients) on-top and four bits of passes, or five
// bits of passes.
struct FilterFlags {
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    bool onTop = false;
    int passes = 1;
};

FilterFlags ReadFlags(BitReader& in, bool hasOnTop) {
    const std::uint8_t b = in.ReadU8();
    FilterFlags f;
    f.inner = (b & 0x80) != 0;
    f.knockout = (b & 0x40) != 0;
    f.compositeSource = (b & 0x20) != 0;
    if (hasOnTop) {
        f.onTop = (b & 0x10) != 0;
        f.passes = b & 0x0f;
    } else {
        f.passes = b & 0x1f;
    }
    return f;
}

raster::BevelPlacement PlacementOf(const FilterFlags& f) {
    if (f.onTop) return raster::BevelPlacement::Full;
    return f.inner ? raster::BevelPlacement::Inner : raster::BevelPlacement::Outer;
}

raster::BlurSettings ReadBlur(BitReader& in) {
    raster::BlurSettings blur;
    blur.blurX = in.ReadFixed();
    blur.blurY = in.ReadFixed();
    return blur;
}

// The part the gradient glow and the gradient bevel share.
template <typename F>
F ReadGradientFilter(BitReader& in) {
    F f;
    const unsigned count = in.ReadU8();
    f.stops.resize(count);
    for (auto& stop : f.stops) stop.color = ToColor(ReadRgba(in));
    for (auto& stop : f.stops) stop.ratio = in.ReadU8();
    f.blur = ReadBlur(in);
    f.angle = in.ReadFixed();
    f.distance = in.ReadFixed();
    f.strength = in.ReadFixed8();
    const FilterFlags flags = ReadFlags(in, true);
    f.blur.passes = flags.passes;
    f.placement = PlacementOf(flags);
    f.knockout = flags.knockout;
    return f;
}

raster::Filter ReadFilter(BitReader& in) {
    switch (in.ReadU8()) {
    case 0: {
        raster::DropShadowFilter f;
        f.color = ToColor(ReadRgba(in));
        f.blur = ReadBlur(in);
        f.angle = in.ReadFixed();
        f.distance = in.ReadFixed();
        f.strength = in.ReadFixed8();
        const FilterFlags flags = ReadFlags(in, false);
        f.blur.passes = flags.passes;
        f.inner = flags.inner;
        f.knockout = flags.knockout;
        f.hideObject = !flags.compositeSource;
        return f;
    }
    case 1: {
        raster::BlurFilter f;
        f.blur = ReadBlur(in);
        f.blur.passes = in.ReadU8() >> 3;
        return f;
    }
    case 2: {
        raster::GlowFilter f;
        f.color = ToColor(ReadRgba(in));
        f.blur = ReadBlur(in);
        f.strength = in.ReadFixed8();
        const FilterFlags flags = ReadFlags(in, false);
        f.blur.passes = flags.passes;
        f.inner = flags.inner;
        f.knockout = flags.knockout;
        return f;
    }
    case 3: {
        raster::BevelFilter f;
        f.shadow = ToColor(ReadRgba(in));
        f.highlight = ToColor(ReadRgba(in));
        f.blur = ReadBlur(in);
        f.angle = in.ReadFixed();
        f.distance = in.ReadFixed();
        f.strength = in.ReadFixed8();
        const FilterFlags flags = ReadFlags(in, true);
        f.blur.passes = flags.passes;
        f.placement = PlacementOf(flags);
        f.knockout = flags.knockout;
        return f;
    }
    case 4: return ReadGradientFilter<raster::GradientGlowFilter>(in);
    case 5: {
        raster::ConvolutionFilter f;
        f.columns = in.ReadU8();
        f.rows = in.ReadU8();
        f.divisor = in.ReadFloat();
        f.bias = in.ReadFloat();
        f.kernel.resize(static_cast<std::size_t>(f.columns) * f.rows);
        for (double& k : f.kernel) k = in.ReadFloat();
        f.color = ToColor(ReadRgba(in));
        const std::uint8_t flags = in.ReadU8();
        f.clamp = (flags & 0x02) != 0;
        f.preserveAlpha = (flags & 0x01) != 0;
        return f;
    }
    case 6: {
        raster::ColorMatrixFilter f;
        for (double& m : f.matrix) m = in.ReadFloat();
        return f;
    }
    case 7: return ReadGradientFilter<raster::GradientBevelFilter>(in);
    default: throw ParseError("unknown filter");
    }
}

}  // namespace

std::vector<raster::Filter> ReadFilterList(BitReader& in) {
    const unsigned count = in.ReadU8();
    std::vector<raster::Filter> filters;
    filters.reserve(count);
    for (unsigned i = 0; i < count; ++i) filters.push_back(ReadFilter(in));
    return filters;
}

}  // namespace swf
