// filters, blendMode, cacheAsBitmap and transform (and scrollRect,
// opaqueBackground and scale9Grid where they apply): accessors on the
// prototypes of clips, buttons and text fields that reach the display
// object through its DisplayTarget. Reading gives new objects each time;
// changing what was read changes nothing until it is set again.

#include <cmath>
#include <optional>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/geom.h"
#include "swf/actions/conversions.h"
#include "swf/actions/filter_objects.h"
#include "swf/raster/blend_mode.h"

namespace swf::actions {

namespace {

DisplayTarget* Display(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->display : nullptr;
}

Value GetFilters(CallContext& c) {
    DisplayTarget* t = Display(c);
    if (!t) return Value();
    std::vector<Value> objects;
    for (const raster::Filter& f : t->GetFilters()) objects.push_back(Value::Obj(ObjectFromFilter(c.interpreter, f)));
    return Value::Obj(c.interpreter.NewArray(std::move(objects)));
}

// An array of filter objects; what is not a filter is skipped, and a value
// that is not an array changes nothing.
Value SetFilters(CallContext& c) {
    DisplayTarget* t = Display(c);
    Object* array = c.Arg(0).AsObject();
    if (!t || !array || array->kind != ObjectKind::Array) return Value();
    std::vector<raster::Filter> filters;
    for (const Value& v : array->elements) {
        raster::Filter f;
        if (FilterFromObject(v.AsObject(), &f)) filters.push_back(std::move(f));
    }
    t->SetFilters(std::move(filters));
    return Value();
}

Value GetBlendMode(CallContext& c) {
    DisplayTarget* t = Display(c);
    if (!t) return Value();
    const char* name = raster::BlendModeName(t->GetBlendMode());
    return Value::String(name != nullptr ? name : "normal");
}

// A mode's name, or its number 1..14; anything else is ignored.
Value SetBlendMode(CallContext& c) {
    DisplayTarget* t = Display(c);
    const Value v = c.Arg(0);
    if (!t) return Value();
    if (v.IsNumber()) {
        const double n = v.AsNumber();
        if (n >= 1 && n <= 14 && n == std::trunc(n)) t->SetBlendMode(raster::BlendModeFromNumber(static_cast<int>(n)));
        return Value();
    }
    raster::BlendMode mode;
    if (raster::BlendModeFromName(c.interpreter.Text(v).c_str(), &mode)) t->SetBlendMode(mode);
    return Value();
}

Value GetCacheAsBitmap(CallContext& c) {
    DisplayTarget* t = Display(c);
    return t ? Value::Bool(t->GetCacheAsBitmap()) : Value();
}

Value SetCacheAsBitmap(CallContext& c) {
    if (DisplayTarget* t = Display(c)) t->SetCacheAsBitmap(ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion()));
    return Value();
}

Value GetTransform(CallContext& c) { return Display(c) ? MakeTransform(c.interpreter, c.self.AsObject()) : Value(); }

// Another Transform: its object's matrix and colour transform are copied.
Value SetTransform(CallContext& c) {
    DisplayTarget* t = Display(c);
    DisplayTarget* from = TransformTarget(c.Arg(0));
    if (!t || !from) return Value();
    t->SetMatrix(from->GetMatrix());
    t->SetColorTransform(from->GetColorTransform());
    return Value();
}

// Any object with x, y, width and height (a Rectangle); none for what is not an object.
std::optional<ScriptBox> BoxArgument(CallContext& c) {
    const Value v = c.Arg(0);
    if (!v.AsObject()) return std::nullopt;
    const double x = MemberNumber(c.interpreter, v, "x"), y = MemberNumber(c.interpreter, v, "y");
    const double width = MemberNumber(c.interpreter, v, "width"), height = MemberNumber(c.interpreter, v, "height");
    return ScriptBox{x, x + width, y, y + height};
}

Value GetScrollRect(CallContext& c) {
    DisplayTarget* t = Display(c);
    const std::optional<ScriptBox> box = t ? t->GetScrollRect() : std::nullopt;
    return box ? MakeRectangle(c.interpreter, *box) : Value();
}

// A Rectangle; undefined or null removes it.
Value SetScrollRect(CallContext& c) {
    if (DisplayTarget* t = Display(c)) t->SetScrollRect(BoxArgument(c));
    return Value();
}

Value GetScale9Grid(CallContext& c) {
    DisplayTarget* t = Display(c);
    const std::optional<ScriptBox> box = t ? t->GetScale9Grid() : std::nullopt;
    return box ? MakeRectangle(c.interpreter, *box) : Value();
}

// A Rectangle; undefined or null removes the grid, the definition's too.
Value SetScale9Grid(CallContext& c) {
    if (DisplayTarget* t = Display(c)) t->SetScale9Grid(BoxArgument(c));
    return Value();
}

Value GetOpaqueBackground(CallContext& c) {
    DisplayTarget* t = Display(c);
    const std::optional<std::uint32_t> color = t ? t->GetOpaqueBackground() : std::nullopt;
    return color ? Value::Number(*color) : Value();
}

// A colour number; undefined or null takes the background away.
Value SetOpaqueBackground(CallContext& c) {
    DisplayTarget* t = Display(c);
    if (!t) return Value();
    const Value v = c.Arg(0);
    if (v.IsUndefined() || v.IsNull()) {
        t->SetOpaqueBackground(std::nullopt);
        return Value();
    }
    t->SetOpaqueBackground(static_cast<std::uint32_t>(ToInt32(c.interpreter.Number(v))) & 0xFFFFFFu);
    return Value();
}

}  // namespace

void InstallDisplayEffectBuiltins(Installer& in) {
    Vm& vm = in.vm();
    for (Object* proto : {vm.clipProto(), vm.textFieldProto(), vm.buttonProto()}) {
        if (!proto) continue;
        Accessor(in, proto, "filters", GetFilters, SetFilters);
        Accessor(in, proto, "blendMode", GetBlendMode, SetBlendMode);
        Accessor(in, proto, "cacheAsBitmap", GetCacheAsBitmap, SetCacheAsBitmap);
        Accessor(in, proto, "transform", GetTransform, SetTransform);
    }
    if (Object* proto = vm.clipProto()) {
        Accessor(in, proto, "scrollRect", GetScrollRect, SetScrollRect);
        Accessor(in, proto, "opaqueBackground", GetOpaqueBackground, SetOpaqueBackground);
    }
    for (Object* proto : {vm.clipProto(), vm.buttonProto()}) {
        if (proto) Accessor(in, proto, "scale9Grid", GetScale9Grid, SetScale9Grid);
    }
}

}  // namespace swf::actions
