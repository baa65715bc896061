#include "swf/raster/paint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "swf/raster/fingerprint.h"
#include "swf/raster/gradient_span.h"

namespace swf::raster {

namespace {

double SrgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double LinearToSrgb(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

std::uint32_t ToByte(double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

// The ramps built last on this thread: a movie redraws the same few gradients
// frame after frame, and building one costs more than painting a small area.
const GradientRamp& CachedRamp(const std::vector<GradientStop>& stops, GradientInterpolation interpolation) {
    struct Entry {
        std::vector<GradientStop> stops;
        GradientInterpolation interpolation = GradientInterpolation::RGB;
        GradientRamp ramp;
        bool used = false;
    };
    constexpr std::size_t kEntries = 16;
    thread_local std::array<Entry, kEntries> entries;
    thread_local std::size_t next = 0;
    const auto sameStops = [&](const Entry& e) {
        return std::equal(
            e.stops.begin(), e.stops.end(), stops.begin(), stops.end(),
            [](const GradientStop& a, const GradientStop& b) { return a.ratio == b.ratio && a.color == b.color; });
    };
    for (const Entry& e : entries) {
        if (e.used && e.interpolation == interpolation && sameStops(e)) return e.ramp;
    }
    Entry& e = entries[next];
    next = (next + 1) % kEntries;
    e = {stops, interpolation, GradientRamp::Build(stops, interpolation), true};
    return e.ramp;
}

}  // namespace

GradientRamp GradientRamp::Build(const std::vector<GradientStop>& input, GradientInterpolation interpolation) {
    GradientRamp ramp;
    std::vector<GradientStop> stops(input.begin(),
                                    input.begin() + std::min<std::size_t>(input.size(), kMaxGradientStops));
    std::stable_sort(stops.begin(), stops.end(),
                     [](const GradientStop& a, const GradientStop& b) { return a.ratio < b.ratio; });
    if (stops.empty()) return ramp;  // all transparent

    const bool linearLight = interpolation == GradientInterpolation::LinearRGB;
    auto channel = [&](std::uint8_t v) {
        double unit = v / 255.0;
        return linearLight ? SrgbToLinear(unit) : unit;
    };
    ramp.opaque_ = true;
    std::size_t next = 0;  // first stop with ratio >= index
    for (int index = 0; index < 256; ++index) {
        while (next < stops.size() && stops[next].ratio < index) ++next;
        const GradientStop& hi = stops[std::min(next, stops.size() - 1)];
        const GradientStop& lo = stops[next == 0 ? 0 : next - 1];
        double t = 0;
        if (next > 0 && next < stops.size() && hi.ratio != lo.ratio) {
            t = static_cast<double>(index - lo.ratio) / (hi.ratio - lo.ratio);
        } else if (next >= stops.size()) {
            t = 0;  // past the last stop: lo is the last stop
        } else if (next == 0) {
            t = 1;  // before the first stop: hi is the first stop
        }
        auto mix = [&](std::uint8_t a, std::uint8_t b) {
            double v = channel(a) + (channel(b) - channel(a)) * t;
            return (linearLight ? LinearToSrgb(v) : v) * 255.0;
        };
        double alpha = lo.color.a + (hi.color.a - lo.color.a) * t;
        std::uint32_t a = ToByte(alpha);
        double k = a / 255.0;
        ramp.colors_[index] =
            PackPixel(a, ToByte(mix(lo.color.r, hi.color.r) * k), ToByte(mix(lo.color.g, hi.color.g) * k),
                      ToByte(mix(lo.color.b, hi.color.b) * k));
        if (a != 255) ramp.opaque_ = false;
    }
    return ramp;
}

Paint Paint::Solid(Color color) {
    Paint p;
    p.kind_ = Kind::Solid;
    p.solid_ = Premultiply(color);
    p.opaque_ = color.a == 255;
    p.fingerprint_ = Fingerprint().Add(std::uint64_t{1}).Add(std::uint64_t{p.solid_}).value();
    return p;
}

Paint Paint::SolidFromPixel(std::uint32_t premultiplied) {
    Paint p;
    p.kind_ = Kind::Solid;
    p.solid_ = premultiplied;
    p.opaque_ = (premultiplied >> 24) == 255;
    p.fingerprint_ = Fingerprint().Add(std::uint64_t{1}).Add(std::uint64_t{premultiplied}).value();
    return p;
}

Paint Paint::GradientFill(const Gradient& gradient) {
    Paint p;
    p.ramp_ = CachedRamp(gradient.stops, gradient.interpolation);
    p.shape_ = gradient.shape;
    p.spread_ = gradient.spread;
    p.focal_ = std::isfinite(gradient.focalPoint) ? std::clamp(gradient.focalPoint, -1.0, 1.0) : 0.0;
    if (!gradient.matrix.Invert(p.pixelToGradient_)) {
        // A gradient squeezed to nothing has no direction: paint its end colour.
        return SolidFromPixel(p.ramp_[255]);
    }
    p.kind_ = Kind::Gradient;
    p.opaque_ = p.ramp_.opaque();
    Fingerprint f;
    f.Add(std::uint64_t{2}).Add(static_cast<std::uint64_t>(p.shape_)).Add(static_cast<std::uint64_t>(p.spread_));
    f.Add(p.focal_);
    for (double v : {p.pixelToGradient_.a, p.pixelToGradient_.b, p.pixelToGradient_.c, p.pixelToGradient_.d,
                     p.pixelToGradient_.tx, p.pixelToGradient_.ty}) {
        f.Add(v);
    }
    for (int i = 0; i < 256; ++i) f.Add(std::uint64_t{p.ramp_[i]});
    p.fingerprint_ = f.value();
    return p;
}

Paint Paint::BitmapFill(const BitmapStyle& style) {
    std::shared_ptr<const BitmapSampler> sampler = BitmapSampler::Make(style);
    if (!sampler) return Paint();
    if (std::optional<std::uint32_t> pixel = sampler->UniformPixel()) return SolidFromPixel(*pixel);
    Paint p;
    p.kind_ = Kind::Bitmap;
    p.opaque_ = sampler->opaque();
    p.bitmap_ = std::move(sampler);
    Fingerprint f;
    f.Add(std::uint64_t{3}).Add(style.image.get()).Add(style.image->serial);
    f.Add(static_cast<std::uint64_t>(style.image->width)).Add(static_cast<std::uint64_t>(style.image->height));
    const Matrix& m = style.matrix;
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) f.Add(v);
    f.Add(std::uint64_t{style.repeat}).Add(std::uint64_t{style.smooth});
    const ColorTransform& t = style.colors;
    for (double v : {double(t.redMult), double(t.greenMult), double(t.blueMult), double(t.alphaMult), double(t.redAdd),
                     double(t.greenAdd), double(t.blueAdd), double(t.alphaAdd)}) {
        f.Add(v);
    }
    p.fingerprint_ = f.value();
    return p;
}

double Paint::RampPosition(double gx, double gy) const {
    constexpr double kEntriesPerUnit = 256.0 / kGradientHalfSize;  // radius -> ramp entries
    switch (shape_) {
    case GradientShape::Linear: return (gx + kGradientHalfSize) * (kEntriesPerUnit / 2);
    case GradientShape::Radial: return std::sqrt(gx * gx + gy * gy) * kEntriesPerUnit;
    case GradientShape::Focal: {
        // The ray from the focal point F through P meets the unit circle at Q;
        // the position is |P - F| / |Q - F|.
        double px = gx / kGradientHalfSize, py = gy / kGradientHalfSize;
        double dx = px - focal_, dy = py;
        double dd = dx * dx + dy * dy;
        if (dd == 0) return 0;
        double fd = focal_ * dx;
        double root = std::sqrt(fd * fd + dd * (1 - focal_ * focal_));
        double denominator = root - fd;
        if (denominator <= 1e-12) return 1e9;  // behind a focal point on the circle
        return dd / denominator * 256.0;
    }
    }
    return 0;
}

void Paint::ShadeSpan(int x, int y, int length, std::uint32_t* out) const {
    if (kind_ != Kind::Gradient || shape_ == GradientShape::Focal) {
        ShadeSpanReference(x, y, length, out);
        return;
    }
    const Matrix& m = pixelToGradient_;
    const double cx = x + 0.5, cy = y + 0.5;
    const double gx = m.a * cx + m.c * cy + m.tx;
    const double gy = m.b * cx + m.d * cy + m.ty;
    if (shape_ == GradientShape::Linear) {
        constexpr double kScale = 128.0 / kGradientHalfSize;
        ShadeLinearGradientSpan((gx + kGradientHalfSize) * kScale, m.a * kScale, spread_, ramp_.data(), length, out);
    } else {
        ShadeRadialGradientSpan(gx, gy, m.a, m.b, spread_, ramp_.data(), length, out);
    }
}

void Paint::ShadeSpanReference(int x, int y, int length, std::uint32_t* out) const {
    if (kind_ == Kind::Solid) {
        std::fill(out, out + length, solid_);
        return;
    }
    if (kind_ == Kind::Bitmap) {
        bitmap_->ShadeSpan(x, y, length, out);
        return;
    }
    const Matrix& m = pixelToGradient_;
    const double cx = x + 0.5, cy = y + 0.5;
    double gx = m.a * cx + m.c * cy + m.tx;
    double gy = m.b * cx + m.d * cy + m.ty;
    const std::uint32_t* colors = ramp_.data();
    if (shape_ == GradientShape::Linear) {
        constexpr double kScale = 128.0 / kGradientHalfSize;
        double position = (gx + kGradientHalfSize) * kScale;
        const double step = m.a * kScale;
        for (int i = 0; i < length; ++i, position += step) {
            out[i] = colors[SpreadIndex(position, spread_)];
        }
        return;
    }
    for (int i = 0; i < length; ++i, gx += m.a, gy += m.b) {
        out[i] = colors[SpreadIndex(RampPosition(gx, gy), spread_)];
    }
}

}  // namespace swf::raster
