// Color: the colour transform of one clip, named by the clip or a path when
// the Color is made and looked up again on every call (the clip may come
// and go). Multipliers read in percent, offsets in -255..255.

#include <cmath>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"

namespace swf::actions {

namespace {

DisplayTarget* Target(CallContext& c) {
    Object* self = c.self.AsObject();
    Value* target = self ? self->FindInternal("colorTarget") : nullptr;
    if (!target) return nullptr;
    if (Object* clip = target->AsObject()) return clip->kind == ObjectKind::Clip ? clip->display : nullptr;
    if (!target->IsString()) return nullptr;
    int level = -1;
    ActionTarget* timeline = c.interpreter.LoadTarget(nullptr, *target, &level);
    if (timeline == nullptr && level >= 0) timeline = c.interpreter.vm().Level(level);
    return timeline;
}

Value ColorConstructor(CallContext& c) {
    Object* self = c.self.AsObject();
    if (!c.construct || !self) return Value();
    const Value target = c.Arg(0);
    self->SetInternal("colorTarget", target.IsObject() || target.IsString() ? target : Value());
    return c.self;
}

// setRGB(0xRRGGBB): the colour replaces the clip's red, green and blue; alpha stays.
Value ColorSetRgb(CallContext& c) {
    DisplayTarget* t = Target(c);
    if (!t) return Value();
    const auto rgb = static_cast<std::uint32_t>(ToInt32(ArgNumber(c, 0)));
    raster::ColorTransform k = t->GetColorTransform();
    k.redMult = k.greenMult = k.blueMult = 0;
    k.redAdd = (rgb >> 16) & 0xFF;
    k.greenAdd = (rgb >> 8) & 0xFF;
    k.blueAdd = rgb & 0xFF;
    t->SetColorTransform(k);
    return Value();
}

Value ColorGetRgb(CallContext& c) {
    DisplayTarget* t = Target(c);
    if (!t) return Value();
    const raster::ColorTransform k = t->GetColorTransform();
    const auto byte = [](double v) { return static_cast<std::uint32_t>(ToInt32(v)) & 0xFFu; };
    return Value::Number(static_cast<double>((byte(k.redAdd) << 16) | (byte(k.greenAdd) << 8) | byte(k.blueAdd)));
}

struct Channel {
    const char* multiplier;
    const char* offset;
    double raster::ColorTransform::*mult;
    double raster::ColorTransform::*add;
};
constexpr Channel kChannels[] = {
    {"ra", "rb", &raster::ColorTransform::redMult, &raster::ColorTransform::redAdd},
    {"ga", "gb", &raster::ColorTransform::greenMult, &raster::ColorTransform::greenAdd},
    {"ba", "bb", &raster::ColorTransform::blueMult, &raster::ColorTransform::blueAdd},
    {"aa", "ab", &raster::ColorTransform::alphaMult, &raster::ColorTransform::alphaAdd},
};

Value ColorGetTransform(CallContext& c) {
    DisplayTarget* t = Target(c);
    if (!t) return Value();
    const raster::ColorTransform k = t->GetColorTransform();
    Object* out = c.interpreter.NewPlain();
    for (const Channel& ch : kChannels) {
        out->Set(ch.multiplier, Value::Number(k.*ch.mult * 100));
        out->Set(ch.offset, Value::Number(k.*ch.add));
    }
    return Value::Obj(out);
}

// Only the members the object has change; values that are not finite are left out.
Value ColorSetTransform(CallContext& c) {
    DisplayTarget* t = Target(c);
    const Value change = c.Arg(0);
    if (!t || !change.IsObject()) return Value();
    raster::ColorTransform k = t->GetColorTransform();
    const auto take = [&](const char* name, double scale, double* into) {
        const Value v = c.interpreter.GetMember(change, name);
        if (v.IsUndefined()) return;
        const double n = c.interpreter.Number(v);
        if (std::isfinite(n)) *into = n / scale;
    };
    for (const Channel& ch : kChannels) {
        take(ch.multiplier, 100, &(k.*ch.mult));
        take(ch.offset, 1, &(k.*ch.add));
    }
    t->SetColorTransform(k);
    return Value();
}

}  // namespace

void InstallColorBuiltins(Installer& in) {
    Object* proto = in.NewObject(in.vm().objectProto());
    in.Method(proto, "setRGB", ColorSetRgb);
    in.Method(proto, "getRGB", ColorGetRgb);
    in.Method(proto, "setTransform", ColorSetTransform);
    in.Method(proto, "getTransform", ColorGetTransform);
    in.Class("Color", ColorConstructor, proto);
}

}  // namespace swf::actions
