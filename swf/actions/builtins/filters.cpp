// flash.filters: BitmapFilter and the nine filter classes. Each setting is
// an accessor on the class's prototype that clamps what scripts write, as
// the documentation gives the ranges, and keeps it in an internal slot
// (filter_objects.cpp reads those slots). Arrays are copied both ways: the
// documented way to change one is to read it, change it and set it again.

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"
#include "swf/actions/filter_objects.h"

namespace swf::actions {

namespace {

enum class Kind {
    Number,     // any number
    Range,      // clamped to [min, max]
    Whole,      // a whole number in [min, max]
    Color,      // 0xRRGGBB
    Flag,       // boolean
    Placement,  // "inner", "outer" or "full"; other text is ignored
    Mode,       // "wrap", "clamp", "ignore" or "color"; other text is ignored
    Numbers,    // an array of numbers, each clamped to [min, max]
    Colors,     // an array of 0xRRGGBB
    Any,        // kept as given (mapBitmap, mapPoint)
};

struct Field {
    FilterClass filter;
    const char* name;
    Kind kind;
    double min, max;
    double initial;
    const char* initialText = "";
};

constexpr double kHuge = 1.0e300;
using F = FilterClass;

// Per class in constructor argument order, with the documented defaults.
constexpr Field kFields[] = {
    {F::DropShadow, "distance", Kind::Number, 0, 0, 4},
    {F::DropShadow, "angle", Kind::Number, 0, 0, 45},
    {F::DropShadow, "color", Kind::Color, 0, 0, 0},
    {F::DropShadow, "alpha", Kind::Range, 0, 1, 1},
    {F::DropShadow, "blurX", Kind::Range, 0, 255, 4},
    {F::DropShadow, "blurY", Kind::Range, 0, 255, 4},
    {F::DropShadow, "strength", Kind::Range, 0, 255, 1},
    {F::DropShadow, "quality", Kind::Whole, 0, 15, 1},
    {F::DropShadow, "inner", Kind::Flag, 0, 0, 0},
    {F::DropShadow, "knockout", Kind::Flag, 0, 0, 0},
    {F::DropShadow, "hideObject", Kind::Flag, 0, 0, 0},

    {F::Blur, "blurX", Kind::Range, 0, 255, 4},
    {F::Blur, "blurY", Kind::Range, 0, 255, 4},
    {F::Blur, "quality", Kind::Whole, 0, 15, 1},

    {F::Glow, "color", Kind::Color, 0, 0, 0xFF0000},
    {F::Glow, "alpha", Kind::Range, 0, 1, 1},
    {F::Glow, "blurX", Kind::Range, 0, 255, 6},
    {F::Glow, "blurY", Kind::Range, 0, 255, 6},
    {F::Glow, "strength", Kind::Range, 0, 255, 2},
    {F::Glow, "quality", Kind::Whole, 0, 15, 1},
    {F::Glow, "inner", Kind::Flag, 0, 0, 0},
    {F::Glow, "knockout", Kind::Flag, 0, 0, 0},

    {F::Bevel, "distance", Kind::Number, 0, 0, 4},
    {F::Bevel, "angle", Kind::Number, 0, 0, 45},
    {F::Bevel, "highlightColor", Kind::Color, 0, 0, 0xFFFFFF},
    {F::Bevel, "highlightAlpha", Kind::Range, 0, 1, 1},
    {F::Bevel, "shadowColor", Kind::Color, 0, 0, 0},
    {F::Bevel, "shadowAlpha", Kind::Range, 0, 1, 1},
    {F::Bevel, "blurX", Kind::Range, 0, 255, 4},
    {F::Bevel, "blurY", Kind::Range, 0, 255, 4},
    {F::Bevel, "strength", Kind::Range, 0, 255, 1},
    {F::Bevel, "quality", Kind::Whole, 0, 15, 1},
    {F::Bevel, "type", Kind::Placement, 0, 0, 0, "inner"},
    {F::Bevel, "knockout", Kind::Flag, 0, 0, 0},

    {F::GradientGlow, "distance", Kind::Number, 0, 0, 4},
    {F::GradientGlow, "angle", Kind::Number, 0, 0, 45},
    {F::GradientGlow, "colors", Kind::Colors, 0, 0, 0},
    {F::GradientGlow, "alphas", Kind::Numbers, 0, 1, 0},
    {F::GradientGlow, "ratios", Kind::Numbers, 0, 255, 0},
    {F::GradientGlow, "blurX", Kind::Range, 0, 255, 4},
    {F::GradientGlow, "blurY", Kind::Range, 0, 255, 4},
    {F::GradientGlow, "strength", Kind::Range, 0, 255, 1},
    {F::GradientGlow, "quality", Kind::Whole, 0, 15, 1},
    {F::GradientGlow, "type", Kind::Placement, 0, 0, 0, "inner"},
    {F::GradientGlow, "knockout", Kind::Flag, 0, 0, 0},

    {F::ColorMatrix, "matrix", Kind::Numbers, -kHuge, kHuge, 0},

    {F::Convolution, "matrixX", Kind::Whole, 0, 15, 0},
    {F::Convolution, "matrixY", Kind::Whole, 0, 15, 0},
    {F::Convolution, "matrix", Kind::Numbers, -kHuge, kHuge, 0},
    {F::Convolution, "divisor", Kind::Number, 0, 0, 1},
    {F::Convolution, "bias", Kind::Number, 0, 0, 0},
    {F::Convolution, "preserveAlpha", Kind::Flag, 0, 0, 1},
    {F::Convolution, "clamp", Kind::Flag, 0, 0, 1},
    {F::Convolution, "color", Kind::Color, 0, 0, 0},
    {F::Convolution, "alpha", Kind::Range, 0, 1, 0},

    {F::GradientBevel, "distance", Kind::Number, 0, 0, 4},
    {F::GradientBevel, "angle", Kind::Number, 0, 0, 45},
    {F::GradientBevel, "colors", Kind::Colors, 0, 0, 0},
    {F::GradientBevel, "alphas", Kind::Numbers, 0, 1, 0},
    {F::GradientBevel, "ratios", Kind::Numbers, 0, 255, 0},
    {F::GradientBevel, "blurX", Kind::Range, 0, 255, 4},
    {F::GradientBevel, "blurY", Kind::Range, 0, 255, 4},
    {F::GradientBevel, "strength", Kind::Range, 0, 255, 1},
    {F::GradientBevel, "quality", Kind::Whole, 0, 15, 1},
    {F::GradientBevel, "type", Kind::Placement, 0, 0, 0, "inner"},
    {F::GradientBevel, "knockout", Kind::Flag, 0, 0, 0},

    {F::DisplacementMap, "mapBitmap", Kind::Any, 0, 0, 0},
    {F::DisplacementMap, "mapPoint", Kind::Any, 0, 0, 0},
    {F::DisplacementMap, "componentX", Kind::Whole, 0, 8, 0},
    {F::DisplacementMap, "componentY", Kind::Whole, 0, 8, 0},
    {F::DisplacementMap, "scaleX", Kind::Number, 0, 0, 0},
    {F::DisplacementMap, "scaleY", Kind::Number, 0, 0, 0},
    {F::DisplacementMap, "mode", Kind::Mode, 0, 0, 0, "wrap"},
    {F::DisplacementMap, "color", Kind::Color, 0, 0, 0},
    {F::DisplacementMap, "alpha", Kind::Range, 0, 1, 0},
};

// More elements than any filter uses (a 15 x 15 kernel): the rest are dropped.
constexpr std::size_t kMaxElements = 256;
constexpr std::size_t kColorMatrixSize = 20;

double Clamped(double n, const Field& f) { return std::isnan(n) ? std::max(f.min, 0.0) : std::clamp(n, f.min, f.max); }

double ColorNumber(double n) { return static_cast<double>(static_cast<std::uint32_t>(ToInt32(n)) & 0xFFFFFFu); }

// The array a script gave, element by element, or false when it is no array.
bool ReadNumbers(Interpreter& in, const Value& v, const Field& f, std::vector<Value>* out) {
    Object* array = v.AsObject();
    if (!array || array->kind != ObjectKind::Array) return false;
    // Conversions may run script (valueOf) that changes the array: look again each time.
    for (std::size_t i = 0; i < kMaxElements && i < array->elements.size() && in.ok(); ++i) {
        const Value element = array->elements[i];
        const double x = in.Number(element);
        out->push_back(Value::Number(f.kind == Kind::Colors ? ColorNumber(x) : Clamped(x, f)));
    }
    return true;
}

// Fixed sizes: a colour matrix has 20 numbers (missing ones are 0), a kernel
// matrixX x matrixY.
void FitMatrix(Interpreter& in, Object* o, FilterClass filter) {
    Value* matrix = o->FindInternal("matrix");
    if (!matrix || !matrix->AsObject()) return;
    std::size_t size = kColorMatrixSize;
    if (filter == FilterClass::Convolution) {
        const Value* x = o->FindInternal("matrixX");
        const Value* y = o->FindInternal("matrixY");
        size = static_cast<std::size_t>((x ? x->AsNumber() : 0) * (y ? y->AsNumber() : 0));
    }
    std::vector<Value> elements = matrix->AsObject()->elements;
    elements.resize(size, Value::Number(0));
    o->SetInternal("matrix", Value::Obj(in.NewArray(std::move(elements))));
}

void Store(Interpreter& in, Object* o, const Field& f, const Value& v) {
    switch (f.kind) {
    case Kind::Number: o->SetInternal(f.name, Value::Number(in.Number(v))); return;
    case Kind::Range: o->SetInternal(f.name, Value::Number(Clamped(in.Number(v), f))); return;
    case Kind::Whole: o->SetInternal(f.name, Value::Number(std::trunc(Clamped(in.Number(v), f)))); return;
    case Kind::Color: o->SetInternal(f.name, Value::Number(ColorNumber(in.Number(v)))); return;
    case Kind::Flag: o->SetInternal(f.name, Value::Bool(ToBoolean(v, in.vm().swfVersion()))); return;
    case Kind::Placement:
    case Kind::Mode: {
        const std::string text = in.Text(v);
        static constexpr std::array<const char*, 3> kPlacements = {"inner", "outer", "full"};
        static constexpr std::array<const char*, 4> kModes = {"wrap", "clamp", "ignore", "color"};
        const auto isText = [&](const char* k) { return text == k; };
        if (f.kind == Kind::Placement ? std::any_of(kPlacements.begin(), kPlacements.end(), isText)
                                      : std::any_of(kModes.begin(), kModes.end(), isText))
            o->SetInternal(f.name, Value::String(text));
        return;
    }
    case Kind::Numbers:
    case Kind::Colors: {
        std::vector<Value> numbers;
        if (ReadNumbers(in, v, f, &numbers)) o->SetInternal(f.name, Value::Obj(in.NewArray(std::move(numbers))));
        if (std::string_view(f.name) == "matrix") FitMatrix(in, o, f.filter);
        return;
    }
    case Kind::Any: o->SetInternal(f.name, v); return;
    }
}

// What a setting holds before anything is set.
void StoreInitial(Interpreter& in, Object* o, const Field& f) {
    switch (f.kind) {
    case Kind::Flag: o->SetInternal(f.name, Value::Bool(f.initial != 0)); return;
    case Kind::Placement:
    case Kind::Mode: o->SetInternal(f.name, Value::String(f.initialText)); return;
    case Kind::Numbers:
    case Kind::Colors: {
        std::vector<Value> numbers;
        if (f.filter == FilterClass::ColorMatrix)
            for (std::size_t i = 0; i < kColorMatrixSize; ++i) numbers.push_back(Value::Number(i % 6 == 0 ? 1 : 0));
        o->SetInternal(f.name, Value::Obj(in.NewArray(std::move(numbers))));
        return;
    }
    case Kind::Any: o->SetInternal(f.name, Value()); return;
    default: o->SetInternal(f.name, Value::Number(f.initial)); return;
    }
}

Value Load(Interpreter& in, Object* o, const Field& f) {
    Value* v = o->FindInternal(f.name);
    if (!v) return Value();
    if ((f.kind == Kind::Numbers || f.kind == Kind::Colors) && v->AsObject())
        return Value::Obj(in.NewArray(v->AsObject()->elements));
    return *v;
}

// `this` when it is a filter of the class the setting belongs to.
Object* Self(CallContext& c, FilterClass filter) {
    Object* o = c.self.AsObject();
    FilterClass kind;
    return o && FilterClassOf(o, &kind) && kind == filter ? o : nullptr;
}

template <std::size_t I>
Value GetSetting(CallContext& c) {
    Object* o = Self(c, kFields[I].filter);
    return o ? Load(c.interpreter, o, kFields[I]) : Value();
}

template <std::size_t I>
Value SetSetting(CallContext& c) {
    if (Object* o = Self(c, kFields[I].filter)) Store(c.interpreter, o, kFields[I], c.Arg(0));
    return Value();
}

// The constructor's arguments are the settings in table order; missing or
// undefined ones take the default.
template <FilterClass K>
Value FilterConstructor(CallContext& c) {
    Object* o = c.self.AsObject();
    if (!c.construct || !o) return Value();
    o->SetInternal("filter", Value::Number(static_cast<int>(K)));
    std::size_t argument = 0;
    for (const Field& f : kFields) {
        if (f.filter != K) continue;
        StoreInitial(c.interpreter, o, f);
        const Value v = c.Arg(argument++);
        if (!v.IsUndefined()) Store(c.interpreter, o, f, v);
    }
    return c.self;
}

Value BitmapFilterConstructor(CallContext& c) { return c.construct ? c.self : Value(); }

// An independent copy: arrays are copied, mapBitmap and mapPoint shared.
Value FilterClone(CallContext& c) {
    Object* self = c.self.AsObject();
    FilterClass kind;
    if (!self || !FilterClassOf(self, &kind)) return Value();
    Object* copy = NewFilterObject(c.interpreter, kind);
    for (const Field& f : kFields) {
        if (f.filter != kind) continue;
        Value* v = self->FindInternal(f.name);
        copy->SetInternal(f.name, v ? Load(c.interpreter, self, f) : Value());
    }
    return Value::Obj(copy);
}

template <std::size_t... I>
void InstallSettings(Installer& in, const std::array<Object*, kFilterClassCount>& protos, std::index_sequence<I...>) {
    (Accessor(in, protos[static_cast<int>(kFields[I].filter)], kFields[I].name, GetSetting<I>, SetSetting<I>), ...);
}

template <int... K>
void InstallClasses(Installer& in, Object* package, Object* base, std::array<Object*, kFilterClassCount>& protos,
                    std::integer_sequence<int, K...>) {
    ((protos[K] = in.NewObject(base), PackageClass(in, package, FilterClassName(static_cast<FilterClass>(K)),
                                                   FilterConstructor<static_cast<FilterClass>(K)>, protos[K])),
     ...);
}

}  // namespace

void InstallFilterBuiltins(Installer& in) {
    Object* filters = FlashPackage(in, "filters");
    Object* base = in.NewObject(in.vm().objectProto());
    in.Method(base, "clone", FilterClone);
    PackageClass(in, filters, "BitmapFilter", BitmapFilterConstructor, base);
    std::array<Object*, kFilterClassCount> protos{};
    InstallClasses(in, filters, base, protos, std::make_integer_sequence<int, kFilterClassCount>());
    InstallSettings(in, protos, std::make_index_sequence<std::size(kFields)>());
}

}  // namespace swf::actions
