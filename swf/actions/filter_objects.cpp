// Filter objects <-> raster::Filter. The object side is the internal slots
// builtins/filters.cpp keeps (already clamped when set); reading them here
// runs no script, so a filter object cannot do anything while it is read.

#include "swf/actions/filter_objects.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>
#include <variant>

#include "swf/actions/bitmap_objects.h"
#include "swf/actions/builtins/geom.h"
#include "swf/actions/interpreter.h"

namespace swf::actions {

namespace {

constexpr const char* kClassNames[kFilterClassCount] = {
    "DropShadowFilter",  "BlurFilter",        "GlowFilter",          "BevelFilter",          "GradientGlowFilter",
    "ColorMatrixFilter", "ConvolutionFilter", "GradientBevelFilter", "DisplacementMapFilter"};
static_assert(std::variant_size_v<raster::Filter> == kFilterClassCount);
static_assert(std::is_same_v<std::variant_alternative_t<static_cast<int>(FilterClass::ColorMatrix), raster::Filter>,
                             raster::ColorMatrixFilter>);
static_assert(std::is_same_v<std::variant_alternative_t<static_cast<int>(FilterClass::DisplacementMap), raster::Filter>,
                             raster::DisplacementMapFilter>);

constexpr double kDegrees = 180 / std::numbers::pi;

const Value* Slot(const Object* o, const char* name) {
    for (const auto& [key, value] : o->internals)
        if (key == name) return &value;
    return nullptr;
}

// A number slot; what is missing or not finite reads as `fallback`.
double Number(const Object* o, const char* name, double fallback = 0) {
    const Value* v = Slot(o, name);
    if (!v) return fallback;
    const double n = v->IsBool() ? (v->AsBool() ? 1 : 0) : v->AsNumber();
    return v->IsNumber() && !std::isfinite(n) ? fallback : n;
}

bool Flag(const Object* o, const char* name) { return Number(o, name) != 0; }

const std::vector<Value>& Numbers(const Object* o, const char* name) {
    static const std::vector<Value> none;
    const Value* v = Slot(o, name);
    return v && v->AsObject() ? v->AsObject()->elements : none;
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::round(v), 0.0, 255.0)); }

raster::Color ColorOf(const Object* o, const char* color, const char* alpha) {
    const auto rgb = static_cast<std::uint32_t>(std::clamp(Number(o, color), 0.0, 16777215.0));
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb),
            Byte(Number(o, alpha) * 255)};
}

raster::BlurSettings BlurOf(const Object* o) {
    return {std::clamp(Number(o, "blurX"), 0.0, 255.0), std::clamp(Number(o, "blurY"), 0.0, 255.0),
            static_cast<int>(std::clamp(Number(o, "quality"), 0.0, 15.0))};
}

double Radians(const Object* o) { return Number(o, "angle") / kDegrees; }

raster::BevelPlacement PlacementOf(const Object* o) {
    const Value* type = Slot(o, "type");
    const std::string& name = type ? type->AsString() : std::string();
    if (name == "outer") return raster::BevelPlacement::Outer;
    if (name == "full") return raster::BevelPlacement::Full;
    return raster::BevelPlacement::Inner;
}

// Stops as far as colors, alphas and ratios all go.
std::vector<raster::GradientStop> StopsOf(const Object* o) {
    const auto& colors = Numbers(o, "colors");
    const auto& alphas = Numbers(o, "alphas");
    const auto& ratios = Numbers(o, "ratios");
    const std::size_t n = std::min({colors.size(), alphas.size(), ratios.size()});
    std::vector<raster::GradientStop> stops;
    for (std::size_t i = 0; i < n; ++i) {
        const auto rgb = static_cast<std::uint32_t>(std::clamp(colors[i].AsNumber(), 0.0, 16777215.0));
        stops.push_back({Byte(ratios[i].AsNumber()),
                         {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                          static_cast<std::uint8_t>(rgb), Byte(alphas[i].AsNumber() * 255)}});
    }
    return stops;
}

template <class Gradient>
Gradient GradientOf(const Object* o) {
    Gradient g;
    g.stops = StopsOf(o);
    g.blur = BlurOf(o);
    g.angle = Radians(o);
    g.distance = Number(o, "distance");
    g.strength = std::clamp(Number(o, "strength"), 0.0, 255.0);
    g.placement = PlacementOf(o);
    g.knockout = Flag(o, "knockout");
    return g;
}

raster::ConvolutionFilter ConvolutionOf(const Object* o) {
    raster::ConvolutionFilter f;
    f.columns = static_cast<int>(std::clamp(Number(o, "matrixX"), 0.0, 15.0));
    f.rows = static_cast<int>(std::clamp(Number(o, "matrixY"), 0.0, 15.0));
    const auto& kernel = Numbers(o, "matrix");
    f.kernel.assign(static_cast<std::size_t>(f.columns * f.rows), 0.0);
    for (std::size_t i = 0; i < f.kernel.size() && i < kernel.size(); ++i)
        f.kernel[i] = std::isfinite(kernel[i].AsNumber()) ? kernel[i].AsNumber() : 0;
    f.divisor = Number(o, "divisor", 1);
    f.bias = Number(o, "bias");
    f.preserveAlpha = Flag(o, "preserveAlpha");
    f.clamp = Flag(o, "clamp");
    f.color = ColorOf(o, "color", "alpha");
    return f;
}

raster::DisplacementMapFilter DisplacementOf(const Object* o) {
    raster::DisplacementMapFilter f;
    // The map's pixels are shared: changes to the bitmap show at once. A
    // missing or disposed bitmap leaves no map, which displaces nothing.
    if (const Value* map = Slot(o, "mapBitmap")) f.map = BitmapImageOf(*map);
    const Value* point = Slot(o, "mapPoint");
    if (Object* p = point ? point->AsObject() : nullptr) {
        const auto coordinate = [&](const char* name) {
            const Value* v = p->Find(name);
            const double n = v ? v->AsNumber() : 0;
            return std::isfinite(n) ? static_cast<int>(std::clamp(n, -1e6, 1e6)) : 0;
        };
        f.mapX = coordinate("x");
        f.mapY = coordinate("y");
    }
    f.componentX = static_cast<int>(Number(o, "componentX"));
    f.componentY = static_cast<int>(Number(o, "componentY"));
    f.scaleX = Number(o, "scaleX");
    f.scaleY = Number(o, "scaleY");
    const Value* mode = Slot(o, "mode");
    const std::string& name = mode ? mode->AsString() : std::string();
    f.mode = name == "clamp"    ? raster::DisplacementMode::Clamp
             : name == "ignore" ? raster::DisplacementMode::Ignore
             : name == "color"  ? raster::DisplacementMode::Color
                                : raster::DisplacementMode::Wrap;
    f.color = ColorOf(o, "color", "alpha");
    return f;
}

raster::Filter Convert(const Object* o, FilterClass kind) {
    switch (kind) {
    case FilterClass::DropShadow:
        return raster::DropShadowFilter{ColorOf(o, "color", "alpha"),
                                        BlurOf(o),
                                        Radians(o),
                                        Number(o, "distance"),
                                        std::clamp(Number(o, "strength"), 0.0, 255.0),
                                        Flag(o, "inner"),
                                        Flag(o, "knockout"),
                                        Flag(o, "hideObject")};
    case FilterClass::Blur: return raster::BlurFilter{BlurOf(o)};
    case FilterClass::Glow:
        return raster::GlowFilter{ColorOf(o, "color", "alpha"), BlurOf(o),
                                  std::clamp(Number(o, "strength"), 0.0, 255.0), Flag(o, "inner"), Flag(o, "knockout")};
    case FilterClass::Bevel:
        return raster::BevelFilter{ColorOf(o, "highlightColor", "highlightAlpha"),
                                   ColorOf(o, "shadowColor", "shadowAlpha"),
                                   BlurOf(o),
                                   Radians(o),
                                   Number(o, "distance"),
                                   std::clamp(Number(o, "strength"), 0.0, 255.0),
                                   PlacementOf(o),
                                   Flag(o, "knockout")};
    case FilterClass::GradientGlow: return GradientOf<raster::GradientGlowFilter>(o);
    case FilterClass::GradientBevel: return GradientOf<raster::GradientBevelFilter>(o);
    case FilterClass::Convolution: return ConvolutionOf(o);
    case FilterClass::ColorMatrix: {
        raster::ColorMatrixFilter f;
        const auto& m = Numbers(o, "matrix");
        for (std::size_t i = 0; i < f.matrix.size(); ++i)
            f.matrix[i] = i < m.size() && std::isfinite(m[i].AsNumber()) ? m[i].AsNumber() : 0;
        return f;
    }
    case FilterClass::DisplacementMap: return DisplacementOf(o);
    }
    return raster::BlurFilter{};
}

// ---- raster::Filter -> slots ----

class SlotWriter {
public:
    SlotWriter(Interpreter& in, Object* o) : in_(in), o_(o) {}

    void Number(const char* name, double v) { o_->SetInternal(name, Value::Number(v)); }
    void Flag(const char* name, bool v) { o_->SetInternal(name, Value::Bool(v)); }
    void Text(const char* name, const char* v) { o_->SetInternal(name, Value::String(v)); }
    void Numbers(const char* name, std::vector<Value> values) {
        o_->SetInternal(name, Value::Obj(in_.NewArray(std::move(values))));
    }
    void Color(const char* color, const char* alpha, raster::Color c) {
        Number(color, static_cast<double>((c.r << 16) | (c.g << 8) | c.b));
        Number(alpha, c.a / 255.0);
    }
    void Blur(const raster::BlurSettings& b) {
        Number("blurX", b.blurX);
        Number("blurY", b.blurY);
        Number("quality", b.passes);
    }
    void Angle(double radians) { Number("angle", radians * kDegrees); }
    void Placement(raster::BevelPlacement p) {
        Text("type", p == raster::BevelPlacement::Outer  ? "outer"
                     : p == raster::BevelPlacement::Full ? "full"
                                                         : "inner");
    }
    void Stops(const std::vector<raster::GradientStop>& stops) {
        std::vector<Value> colors, alphas, ratios;
        for (const raster::GradientStop& s : stops) {
            colors.push_back(Value::Number(static_cast<double>((s.color.r << 16) | (s.color.g << 8) | s.color.b)));
            alphas.push_back(Value::Number(s.color.a / 255.0));
            ratios.push_back(Value::Number(s.ratio));
        }
        Numbers("colors", std::move(colors));
        Numbers("alphas", std::move(alphas));
        Numbers("ratios", std::move(ratios));
    }
    template <class GradientFilter>
    void Gradient(const GradientFilter& g) {
        Number("distance", g.distance);
        Angle(g.angle);
        Stops(g.stops);
        Blur(g.blur);
        Number("strength", g.strength);
        Placement(g.placement);
        Flag("knockout", g.knockout);
    }

    void Write(const raster::DropShadowFilter& f) {
        Number("distance", f.distance);
        Angle(f.angle);
        Color("color", "alpha", f.color);
        Blur(f.blur);
        Number("strength", f.strength);
        Flag("inner", f.inner);
        Flag("knockout", f.knockout);
        Flag("hideObject", f.hideObject);
    }
    void Write(const raster::BlurFilter& f) { Blur(f.blur); }
    void Write(const raster::GlowFilter& f) {
        Color("color", "alpha", f.color);
        Blur(f.blur);
        Number("strength", f.strength);
        Flag("inner", f.inner);
        Flag("knockout", f.knockout);
    }
    void Write(const raster::BevelFilter& f) {
        Number("distance", f.distance);
        Angle(f.angle);
        Color("highlightColor", "highlightAlpha", f.highlight);
        Color("shadowColor", "shadowAlpha", f.shadow);
        Blur(f.blur);
        Number("strength", f.strength);
        Placement(f.placement);
        Flag("knockout", f.knockout);
    }
    void Write(const raster::GradientGlowFilter& f) { Gradient(f); }
    void Write(const raster::GradientBevelFilter& f) { Gradient(f); }
    void Write(const raster::ColorMatrixFilter& f) {
        std::vector<Value> m;
        for (double v : f.matrix) m.push_back(Value::Number(v));
        Numbers("matrix", std::move(m));
    }
    void Write(const raster::ConvolutionFilter& f) {
        Number("matrixX", f.columns);
        Number("matrixY", f.rows);
        std::vector<Value> kernel;
        for (double v : f.kernel) kernel.push_back(Value::Number(v));
        Numbers("matrix", std::move(kernel));
        Number("divisor", f.divisor);
        Number("bias", f.bias);
        Flag("preserveAlpha", f.preserveAlpha);
        Flag("clamp", f.clamp);
        Color("color", "alpha", f.color);
    }
    void Write(const raster::DisplacementMapFilter& f) {
        o_->SetInternal("mapBitmap", MapBitmap(f.map));
        o_->SetInternal("mapPoint", MakePoint(in_, f.mapX, f.mapY));
        Number("componentX", f.componentX);
        Number("componentY", f.componentY);
        Number("scaleX", f.scaleX);
        Number("scaleY", f.scaleY);
        Text("mode", f.mode == raster::DisplacementMode::Clamp    ? "clamp"
                     : f.mode == raster::DisplacementMode::Ignore ? "ignore"
                     : f.mode == raster::DisplacementMode::Color  ? "color"
                                                                  : "wrap");
        Color("color", "alpha", f.color);
    }

private:
    // A new BitmapData holding a copy of the map; null without one or
    // without room for it.
    Value MapBitmap(const std::shared_ptr<const raster::Image>& map) {
        if (!map || !RoomForBitmap(in_.vm(), raster::BitmapData::ByteSizeFor(map->width, map->height)))
            return Value::Null();
        std::unique_ptr<raster::BitmapData> bitmap = BitmapFromImage(*map, true);
        return bitmap ? NewBitmapObject(in_, std::move(bitmap)) : Value::Null();
    }

    Interpreter& in_;
    Object* o_;
};

}  // namespace

const char* FilterClassName(FilterClass filter) { return kClassNames[static_cast<int>(filter)]; }

bool FilterClassOf(const Object* o, FilterClass* out) {
    const Value* kind = o ? Slot(o, "filter") : nullptr;
    if (!kind || !kind->IsNumber()) return false;
    const double n = kind->AsNumber();
    if (!(n >= 0 && n < kFilterClassCount)) return false;
    *out = static_cast<FilterClass>(static_cast<int>(n));
    return true;
}

Object* NewFilterObject(Interpreter& in, FilterClass filter) {
    Object* proto = in.vm().objectProto();
    Value* package = in.vm().flashPackage()->Find("filters");
    Value* ctor = package && package->AsObject() ? package->AsObject()->Find(FilterClassName(filter)) : nullptr;
    Value* prototype = ctor && ctor->AsObject() ? ctor->AsObject()->Find("prototype") : nullptr;
    if (prototype && prototype->AsObject()) proto = prototype->AsObject();
    Object* o = in.NewObject(proto);
    o->SetInternal("filter", Value::Number(static_cast<int>(filter)));
    return o;
}

bool FilterFromObject(const Object* o, raster::Filter* out) {
    FilterClass kind;
    if (!FilterClassOf(o, &kind)) return false;
    *out = Convert(o, kind);
    return true;
}

Object* ObjectFromFilter(Interpreter& in, const raster::Filter& filter) {
    Object* o = NewFilterObject(in, static_cast<FilterClass>(filter.index()));
    SlotWriter writer(in, o);
    std::visit([&](const auto& f) { writer.Write(f); }, filter);
    return o;
}

}  // namespace swf::actions
