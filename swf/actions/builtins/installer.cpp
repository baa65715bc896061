#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

Object* Installer::NewObject(Object* proto) {
    Object* o = vm_.heap().New(ObjectKind::Plain);
    o->proto = proto;
    return o;
}

Object* Installer::NewFunction(NativeFunction f) {
    Object* o = vm_.heap().New(ObjectKind::Function);
    o->native = f;
    o->proto = vm_.functionProto();
    return o;
}

Object* Installer::Method(Object* owner, const char* name, NativeFunction f) {
    Object* fn = NewFunction(f);
    owner->Define(name, Value::Obj(fn), kDontEnum);
    return fn;
}

void Installer::Constant(Object* owner, const char* name, Value value) {
    owner->Define(name, std::move(value), kDontEnum | kDontDelete | kReadOnly);
}

Object* Installer::Class(const char* name, NativeFunction constructor, Object* proto) {
    Object* ctor = NewFunction(constructor);
    ctor->Define("prototype", Value::Obj(proto), kDontEnum | kDontDelete);
    proto->Define("constructor", Value::Obj(ctor), kDontEnum);
    vm_.global()->Define(name, Value::Obj(ctor), kDontEnum);
    return ctor;
}

Object* FlashPackage(Installer& in, const char* name) {
    Object* flash = in.vm().flashPackage();
    if (Value* existing = flash->Find(name); existing && existing->AsObject()) return existing->AsObject();
    Object* package = in.NewObject(in.vm().objectProto());
    flash->Define(name, Value::Obj(package), kDontEnum);
    return package;
}

Object* PackageClass(Installer& in, Object* package, const char* name, NativeFunction constructor, Object* proto) {
    Object* ctor = in.NewFunction(constructor);
    ctor->Define("prototype", Value::Obj(proto), kDontEnum | kDontDelete);
    proto->Define("constructor", Value::Obj(ctor), kDontEnum);
    package->Define(name, Value::Obj(ctor), kDontEnum);
    return ctor;
}

void Accessor(Installer& in, Object* owner, const char* name, NativeFunction get, NativeFunction set) {
    Property p{name, Value(), kDontEnum | kDontDelete};
    p.getter = in.NewFunction(get);
    p.setter = set ? in.NewFunction(set) : nullptr;
    owner->properties.push_back(p);
}

double ArgNumber(CallContext& c, std::size_t i) { return c.interpreter.Number(c.Arg(i)); }
std::string ArgText(CallContext& c, std::size_t i) { return c.interpreter.Text(c.Arg(i)); }

Value SelfPrimitive(CallContext& c) {
    Object* o = c.self.AsObject();
    if (o && !o->primitive.IsUndefined()) return o->primitive;
    return c.self;
}

}  // namespace swf::actions
