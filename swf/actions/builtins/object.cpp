// Object and Function: the prototype methods every object inherits, accessors
// (addProperty), watchers, attribute flags (ASSetPropFlags) and call/apply.

#include <sstream>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

// Chains are followed this far (longer ones are treated as ending there).
constexpr int kMaxChain = 32;

Value ObjectConstructor(CallContext& c) {
    if (c.Arg(0).IsObject()) return c.Arg(0);
    if (c.construct && c.self.IsObject()) return c.self;
    return Value::Obj(c.interpreter.NewPlain());
}

bool IsFunction(const Value& v) { return v.AsObject() && v.AsObject()->kind == ObjectKind::Function; }

Value HasOwnProperty(CallContext& c) {
    Object* o = c.self.AsObject();
    if (!o) return Value::Bool(false);
    std::string name = ArgText(c, 0);
    std::size_t index;
    if (o->kind == ObjectKind::Array && ParseArrayIndex(name, index) && index < o->elements.size())
        return Value::Bool(true);
    return Value::Bool(o->FindProperty(name, c.interpreter.IgnoreCase()) != nullptr);
}

Value IsPropertyEnumerable(CallContext& c) {
    Object* o = c.self.AsObject();
    Property* p = o ? o->FindProperty(ArgText(c, 0), c.interpreter.IgnoreCase()) : nullptr;
    return Value::Bool(p && !(p->flags & kDontEnum));
}

Value IsPrototypeOf(CallContext& c) {
    Object* self = c.self.AsObject();
    Object* o = c.Arg(0).AsObject();
    int depth = 0;
    for (Object* p = o ? o->proto : nullptr; p && self && depth < kMaxChain; p = p->proto, ++depth)
        if (p == self) return Value::Bool(true);
    return Value::Bool(false);
}

// addProperty(name, getter, setter): a null setter makes the property read-only.
Value AddProperty(CallContext& c) {
    Object* o = c.self.AsObject();
    std::string name = ArgText(c, 0);
    if (!o || name.empty() || !IsFunction(c.Arg(1))) return Value::Bool(false);
    Value setter = c.Arg(2);
    if (!IsFunction(setter) && !setter.IsNull()) return Value::Bool(false);
    Property* p = o->FindProperty(name, c.interpreter.IgnoreCase());
    if (!p) {
        o->properties.push_back(Property{name, Value()});
        p = &o->properties.back();
    }
    p->value = Value();
    p->getter = c.Arg(1).AsObject();
    p->setter = IsFunction(setter) ? setter.AsObject() : nullptr;
    return Value::Bool(true);
}

Value WatchProperty(CallContext& c) {
    Object* o = c.self.AsObject();
    std::string name = ArgText(c, 0);
    if (!o || name.empty() || !IsFunction(c.Arg(1))) return Value::Bool(false);
    for (Watch& w : o->watches) {
        if (NamesEqual(w.name, name, c.interpreter.IgnoreCase())) {
            w.callback = c.Arg(1).AsObject();
            w.userData = c.Arg(2);
            return Value::Bool(true);
        }
    }
    o->watches.push_back(Watch{name, c.Arg(1).AsObject(), c.Arg(2)});
    return Value::Bool(true);
}

Value UnwatchProperty(CallContext& c) {
    Object* o = c.self.AsObject();
    if (!o) return Value::Bool(false);
    std::string name = ArgText(c, 0);
    bool ignoreCase = c.interpreter.IgnoreCase();
    return Value::Bool(std::erase_if(o->watches, [&](const Watch& w) { return NamesEqual(w.name, name, ignoreCase); }) >
                       0);
}

// Object.registerClass(symbol, constructor): clips of that library symbol are
// made instances of the class; null undoes it.
Value RegisterClass(CallContext& c) {
    std::string symbol = ArgText(c, 0);
    Value constructor = c.Arg(1);
    if (symbol.empty() || (!IsFunction(constructor) && !constructor.IsNull())) return Value::Bool(false);
    c.interpreter.vm().RegisterClass(symbol, constructor.AsObject());
    return Value::Bool(true);
}

// ASSetPropFlags(object, names, set, clear): names are a comma-separated
// string, an array of names, or null for every member.
Value SetPropFlags(CallContext& c) {
    Object* o = c.Arg(0).AsObject();
    if (!o) return Value();
    auto set = static_cast<std::uint8_t>(ToInt32(ArgNumber(c, 2)) & 7);
    auto clear = static_cast<std::uint8_t>(ToInt32(c.Arg(3).IsUndefined() ? 0 : ArgNumber(c, 3)) & 7);
    auto apply = [&](Property& p) { p.flags = static_cast<std::uint8_t>((p.flags & ~clear) | set); };
    Value names = c.Arg(1);
    if (names.IsNull() || names.IsUndefined()) {
        for (Property& p : o->properties) apply(p);
        return Value();
    }
    std::vector<std::string> list;
    if (Object* a = names.AsObject(); a && a->kind == ObjectKind::Array) {
        for (const Value& v : a->elements) list.push_back(c.interpreter.Text(v));
    } else {
        std::stringstream in(c.interpreter.Text(names));
        for (std::string name; std::getline(in, name, ',');) list.push_back(name);
    }
    for (const std::string& name : list) {
        if (!c.interpreter.Budget().Spend(1)) break;
        if (Property* p = o->FindProperty(name, c.interpreter.IgnoreCase())) apply(*p);
    }
    return Value();
}

// ---- Function.prototype ----

Value FunctionCall(CallContext& c) {
    std::vector<Value> rest;
    if (c.args.size() > 1) rest.assign(c.args.begin() + 1, c.args.end());
    return c.interpreter.Call(c.self, c.Arg(0), std::move(rest));
}

Value FunctionApply(CallContext& c) {
    std::vector<Value> args;
    if (Object* a = c.Arg(1).AsObject(); a && a->kind == ObjectKind::Array) args = a->elements;
    return c.interpreter.Call(c.self, c.Arg(0), std::move(args));
}

Value FunctionConstructor(CallContext& c) { return c.self; }

}  // namespace

Value ObjectProtoToString(CallContext& c) {
    // No hook: the built-in text form, which is what this method defines.
    return Value::String(ToString(c.self, c.interpreter.vm().swfVersion(), c.interpreter.Budget()));
}

Value ObjectProtoValueOf(CallContext& c) { return c.self; }

void InstallObjectBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* proto = vm.objectProto();
    in.Method(proto, "toString", ObjectProtoToString);
    in.Method(proto, "valueOf", ObjectProtoValueOf);
    in.Method(proto, "hasOwnProperty", HasOwnProperty);
    in.Method(proto, "isPropertyEnumerable", IsPropertyEnumerable);
    in.Method(proto, "isPrototypeOf", IsPrototypeOf);
    in.Method(proto, "addProperty", AddProperty);
    in.Method(proto, "watch", WatchProperty);
    in.Method(proto, "unwatch", UnwatchProperty);
    Object* objectCtor = in.Class("Object", ObjectConstructor, proto);
    in.Method(objectCtor, "registerClass", RegisterClass);

    Object* functionProto = vm.functionProto();
    in.Method(functionProto, "call", FunctionCall);
    in.Method(functionProto, "apply", FunctionApply);
    in.Class("Function", FunctionConstructor, functionProto);

    in.Method(vm.global(), "ASSetPropFlags", SetPropFlags);
}

}  // namespace swf::actions
