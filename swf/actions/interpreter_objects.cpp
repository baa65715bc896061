// Objects and functions: member access along prototype chains, getters,
// setters and watchers, calls, construction, function definitions and
// try/throw.

#include <string_view>
#include <unordered_set>

#include "swf/actions/action_codes.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/code_reader.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/interpreter_detail.h"
#include "swf/base/utf8.h"

namespace swf::actions {

// Literals compare as views: their length is checked before their characters.
using namespace std::string_view_literals;

using base::Utf8Length;
using detail::IsPlainName;
using detail::kMaxArrayLength;
using detail::kMaxProtoDepth;

namespace {

// Whether `text` holds "arguments" in any case (movies of version 6 and
// below ignore case; a path such as "arguments.length" names it too).
bool MentionsArguments(std::string_view text) {
    constexpr std::string_view kName = "arguments";
    if (text.size() < kName.size()) return false;
    for (std::size_t at = 0; at + kName.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < kName.size() && (text[at + i] | 0x20) == kName[i]) ++i;
        if (i == kName.size()) return true;
    }
    return false;
}

// Whether a function body can name its arguments object: its code (nested
// functions' and its own constant pools included) or the constants it
// inherits mention it.
bool NamesArguments(std::span<const std::uint8_t> body, const std::vector<Value>& constants) {
    if (MentionsArguments({reinterpret_cast<const char*>(body.data()), body.size()})) return true;
    for (const Value& constant : constants)
        if (MentionsArguments(constant.AsString())) return true;
    return false;
}

}  // namespace

void Interpreter::CheckRoomForObject() {
    if (vm_.heap().Count() >= vm_.limits().maxObjects) {
        Fail(RunStatus::ResourceLimit);
    } else if (vm_.OverMemoryLimit()) {
        Fail(RunStatus::MemoryLimit);
    }
}

Object* Interpreter::NewPlain() { return NewObject(vm_.objectProto()); }

Object* Interpreter::NewObject(Object* proto) {
    CheckRoomForObject();
    Object* o = vm_.heap().New(ObjectKind::Plain);
    o->proto = proto;
    return o;
}

Object* Interpreter::NewArray(std::vector<Value> elements) {
    CheckRoomForObject();
    Object* o = vm_.heap().New(ObjectKind::Array);
    vm_.heap().NoteBytes(elements.size() * sizeof(Value));
    o->proto = vm_.arrayProto();
    o->elements = std::move(elements);
    return o;
}

// ---- members -------------------------------------------------------------------

bool Interpreter::Lookup(Object* o, const std::string& name, Value& out, Object** holder, const Value* self) {
    Object* start = o;
    if (o && name == "__proto__"sv) {
        out = o->proto ? Value::Obj(o->proto) : Value();
        if (holder) *holder = o;
        return true;
    }
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth, o = o->proto) {
        if (holder) *holder = o;
        if (o->FindElement(name, out)) return true;
        // Display properties of the object itself (not of clips along the chain).
        DisplayProperty property;
        if (depth == 0 && o->kind == ObjectKind::Clip && o->display && DisplayPropertyNamed(name, &property)) {
            out = GetDisplayProperty(o, property);
            return true;
        }
        if (Property* p = o->FindProperty(name, ignoreCase_)) {
            if (p->getter || p->setter) {
                Object* getter = p->getter;
                out = getter ? Call(Value::Obj(getter), self ? *self : Value::Obj(start), {}) : Value();
            } else {
                out = p->value;
            }
            return true;
        }
        if (depth == 0 && o->kind == ObjectKind::Clip && o->display && LookupRelative(o, name, out)) return true;
        if (depth == 0 && o->kind == ObjectKind::Function && name == "prototype"sv) {
            Object* proto = NewPlain();
            proto->Define("constructor", Value::Obj(o), kDontEnum);
            o->Define("prototype", Value::Obj(proto), kDontEnum);
            out = Value::Obj(proto);
            return true;
        }
    }
    if (holder) *holder = nullptr;
    return false;
}

bool Interpreter::LookupRelative(Object* o, const std::string& name, Value& out) {
    // Named children (and _parent) read as members of their timeline.
    if (o->target && IsPlainName(name)) {
        if (DisplayTarget* child = o->target->FindChildObject(name)) {
            out = Value::Obj(vm_.ObjectFor(child));
            return true;
        }
        if (ActionTarget* child = o->target->FindTarget(name)) {
            out = Value::Obj(vm_.ObjectFor(child));
            return true;
        }
    }
    // Objects without a timeline (text fields, buttons) still know their parent.
    if (!o->target && name == "_parent"sv) {
        ActionTarget* parent = o->display->ParentTimeline();
        out = parent ? Value::Obj(vm_.ObjectFor(parent)) : Value();
        return true;
    }
    return false;
}

Value Interpreter::GetMember(const Value& object, const std::string& name, Object** holder) {
    Value out;
    if (Object* o = object.AsObject()) {
        if (o->kind == ObjectKind::Super) {
            // super.x: the chain past the method's prototype, with the method's `this`.
            Lookup(o->proto, name, out, holder, &o->superThis);
            return out;
        }
        if (!Lookup(o, name, out, holder) && o == vm_.flashPackage()) {
            vm_.NoteUnsupported("the flash." + name +
                                " classes are not available in this player; scripts using "
                                "them get undefined");
        }
    } else if (object.IsString()) {
        if (name == "length"sv)
            out = Value::Number(static_cast<double>(Utf8Length(object.AsString())));
        else
            Lookup(vm_.stringProto(), name, out, holder, &object);
    } else if (object.IsNumber()) {
        Lookup(vm_.numberProto(), name, out, holder, &object);
    } else if (object.IsBool()) {
        Lookup(vm_.booleanProto(), name, out, holder, &object);
    }
    return out;
}

bool Interpreter::DeleteMember(Object* o, const std::string& name) {
    Property* p = o ? o->FindProperty(name, ignoreCase_) : nullptr;
    if (!p || (p->flags & kDontDelete)) return false;
    return o->Remove(p->name);
}

void Interpreter::SetMember(const Value& object, const std::string& name, Value value) {
    Object* o = object.AsObject();
    if (!o) return;  // primitives keep no members
    if (o->kind == ObjectKind::Super) o = o->superThis.AsObject();
    if (!o) return;
    if (name == "__proto__"sv) {
        o->proto = value.AsObject();
        return;
    }
    for (const Watch& w : o->watches) {
        if (!NamesEqual(w.name, name, ignoreCase_)) continue;
        // The watcher decides what is stored: its result replaces the value.
        Value old;
        Lookup(o, name, old);
        Value callback = Value::Obj(w.callback);
        Value userData = w.userData;
        value = Call(callback, Value::Obj(o), {Value::String(name), old, std::move(value), userData});
        break;
    }
    DisplayProperty property;
    if (o->kind == ObjectKind::Clip && o->display && DisplayPropertyNamed(name, &property)) {
        SetDisplayProperty(o, property, value);
        return;
    }
    if (o->kind == ObjectKind::Array) {
        std::size_t index;
        if (name == "length"sv) {
            double n = Number(value);
            if (n >= 0 && n <= static_cast<double>(kMaxArrayLength)) o->elements.resize(static_cast<std::size_t>(n));
            return;
        }
        if (ParseArrayIndex(name, index) && index < kMaxArrayLength) {
            if (index >= o->elements.size()) o->elements.resize(index + 1);
            o->elements[index] = std::move(value);
            return;
        }
    }
    if (Property* p = o->FindProperty(name, ignoreCase_)) {
        if (p->getter || p->setter) {
            if (Object* setter = p->setter) Call(Value::Obj(setter), Value::Obj(o), {std::move(value)});
        } else if (!(p->flags & kReadOnly)) {
            p->value = std::move(value);
        }
        return;
    }
    // A property added with addProperty on a prototype applies to its instances.
    Object* q = o->proto;
    for (int depth = 1; q && depth < kMaxProtoDepth; ++depth, q = q->proto) {
        Property* p = q->FindProperty(name, ignoreCase_);
        if (!p) continue;
        if (p->getter || p->setter) {
            if (Object* setter = p->setter) Call(Value::Obj(setter), Value::Obj(o), {std::move(value)});
            return;
        }
        break;
    }
    o->properties.push_back(Property{name, std::move(value)});
}

bool Interpreter::InstanceOf(const Value& object, const Value& constructor) {
    Object* proto = GetMember(constructor, "prototype").AsObject();
    Object* o = object.AsObject();
    if (!o || !proto) return false;
    // Classes along the chain, and the interfaces each declared (which may
    // themselves extend others), breadth first within a fixed amount of work.
    constexpr std::size_t kMaxWork = 4 * kMaxProtoDepth;
    std::vector<Object*> work;
    for (Object* p = o->proto; p && work.size() < kMaxWork; p = p->proto) work.push_back(p);
    for (std::size_t i = 0; i < work.size(); ++i) {
        if (work[i] == proto) return true;
        for (Object* iface : work[i]->interfaces)
            for (Object* p = iface; p && work.size() < kMaxWork; p = p->proto) work.push_back(p);
    }
    return false;
}

Value Interpreter::SuperFor(Frame& f) {
    if (f.superSuppressed || !f.superHome) return Value();
    if (!f.superObject) {
        Object* o = vm_.heap().New(ObjectKind::Super);
        o->proto = f.superHome->proto;
        o->superThis = f.self;
        o->superHome = f.superHome;
        f.superObject = o;
    }
    return Value::Obj(f.superObject);
}

// ---- calls --------------------------------------------------------------------------

Value Interpreter::Call(const Value& function, const Value& self, std::vector<Value> args, Object* home) {
    Object* fn = function.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    if (depth_ >= vm_.limits().maxCallDepth) {
        Fail(RunStatus::CallDepthLimit);
        return Value();
    }
    ++depth_;
    Value result;
    if (fn->native) {
        CallContext call{*this, self, args};
        result = fn->native(call);
    } else if (fn->script) {
        result = CallScript(fn, self, args, home);
    }
    --depth_;
    KeepSpare(std::move(args));
    return result;
}

Value Interpreter::CallScript(Object* fn, const Value& self, std::vector<Value>& args, Object* home) {
    // No collection runs while scripts run, and a function's body never
    // changes: `fn` and its body outlive the call even if scripts drop it.
    const ScriptFunction* script = fn->script.get();
    Frame f;
    f.code = script->body;
    f.constants = script->constants.get();
    f.home = script->clip && script->clip->target ? script->clip : nullptr;
    if (!f.home) f.home = vm_.root() ? vm_.ObjectFor(vm_.root()) : script->clip;
    f.clip = f.home;
    f.self = self.IsObject() ? self : Value::Obj(f.home);
    f.function = fn;
    f.superHome = home ? home : (self.AsObject() ? self.AsObject()->proto : nullptr);
    f.superSuppressed = script->isFunction2 && (script->flags & kSuppressSuper);
    // The activation object comes when the body first needs it (Locals).
    f.scope = script->scope;
    f.localsAt = f.scope.size();
    f.stack = SpareValues();
    f.registers = SpareValues();
    // The arguments object only where the body can reach it: by name, or
    // in the register a DefineFunction2 body asks for it in.
    const bool inRegister = script->isFunction2 && (script->flags & kPreloadArguments);
    const bool suppressed = script->isFunction2 && (script->flags & kSuppressArguments);
    Object* argumentsArray = nullptr;
    if (inRegister || (script->namesArguments && !suppressed)) {
        argumentsArray = NewArray(args);
        argumentsArray->Define("callee", Value::Obj(fn), kDontEnum);
        argumentsArray->Define("caller", Value::Obj(currentFunction_), kDontEnum);
    }
    if (script->isFunction2) {
        BindFunction2Arguments(f, *script, argumentsArray, args);
    } else {
        f.registers.resize(4);
        if (argumentsArray) Locals(f)->Set("arguments", Value::Obj(argumentsArray));
        for (std::size_t i = 0; i < script->params.size(); ++i)
            Locals(f)->Set(script->params[i], i < args.size() ? args[i] : Value());
    }
    Object* caller = currentFunction_;
    currentFunction_ = fn;
    Execute(f);
    currentFunction_ = caller;
    KeepSpare(std::move(f.stack));
    KeepSpare(std::move(f.registers));
    return f.result;
}

std::shared_ptr<const std::vector<Value>> Interpreter::SharedConstants(const Frame& f) {
    if (f.declaredConstants) return f.declaredConstants;
    if (f.function && f.function->script) return f.function->script->constants;
    return std::make_shared<const std::vector<Value>>();
}

Object* Interpreter::Locals(Frame& f) {
    if (!f.locals && f.function) {
        Object* activation = NewObject(nullptr);
        f.scope.insert(f.scope.begin() + static_cast<std::ptrdiff_t>(f.localsAt), activation);
        f.locals = activation;
    }
    return f.locals;
}

// DefineFunction2 bodies: preloaded registers from 1 up, in flag order, then
// parameters in their registers or as locals.
void Interpreter::BindFunction2Arguments(Frame& f, const ScriptFunction& script, Object* argumentsArray,
                                         std::vector<Value>& args) {
    f.registers.resize(std::max<std::size_t>(script.registerCount, 1));
    std::size_t reg = 1;
    // Each value is made only when its flag asks for it (super makes an object).
    auto preload = [&](std::uint16_t flag, auto make) {
        if (!(script.flags & flag)) return;
        if (reg < f.registers.size()) f.registers[reg] = make();
        ++reg;
    };
    preload(kPreloadThis, [&] { return f.self; });
    preload(kPreloadArguments, [&] { return argumentsArray ? Value::Obj(argumentsArray) : Value(); });
    preload(kPreloadSuper, [&] { return SuperFor(f); });
    preload(kPreloadRoot, [&] { return Value::Obj(RootClip(f)); });
    preload(kPreloadParent, [&] {
        Object* parent = f.home ? ResolveTarget(f, "_parent") : nullptr;
        return parent ? Value::Obj(parent) : Value();
    });
    preload(kPreloadGlobal, [&] { return Value::Obj(vm_.global()); });
    if (argumentsArray && !(script.flags & (kSuppressArguments | kPreloadArguments)))
        Locals(f)->Set("arguments", Value::Obj(argumentsArray));
    for (std::size_t i = 0; i < script.params.size(); ++i) {
        Value arg = i < args.size() ? args[i] : Value();
        std::uint8_t r = script.paramRegisters[i];
        if (r == 0)
            Locals(f)->Set(script.params[i], std::move(arg));
        else if (r < f.registers.size())
            f.registers[r] = std::move(arg);
    }
}

Value Interpreter::Construct(const Value& constructor, std::vector<Value> args) {
    Object* fn = constructor.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    Object* proto = GetMember(constructor, "prototype").AsObject();
    // Instances of classes that extend Array are arrays, with their length and elements.
    bool array = false;
    Object* p = proto;
    for (int depth = 0; p && !array && depth < kMaxProtoDepth; ++depth, p = p->proto) array = p == vm_.arrayProto();
    Object* instance = array ? NewArray({}) : NewPlain();
    if (proto) instance->proto = proto;
    // Each object made by new names its own constructor, whatever its prototype says.
    instance->Define("__constructor__", constructor, kDontEnum);
    instance->Define("constructor", constructor, kDontEnum);
    Value result = Initialize(constructor, Value::Obj(instance), std::move(args), instance->proto);
    return result.IsObject() ? result : Value::Obj(instance);
}

Value Interpreter::Initialize(const Value& constructor, const Value& self, std::vector<Value> args, Object* home) {
    Object* fn = constructor.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    if (!fn->native) return Call(constructor, self, std::move(args), home);
    // Built-in constructors set up `this` only when told they construct.
    if (depth_ >= vm_.limits().maxCallDepth) {
        Fail(RunStatus::CallDepthLimit);
        return Value();
    }
    ++depth_;
    CallContext call{*this, self, args, true};
    Value result = fn->native(call);
    --depth_;
    return result;
}

std::size_t Interpreter::DefineFunction(Frame& f, bool v2, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    auto script = std::make_shared<ScriptFunction>();
    script->name = r.String();
    std::uint16_t count = r.U16();
    if (v2) {
        script->isFunction2 = true;
        script->registerCount = r.U8();
        script->flags = r.U16();
    }
    for (std::uint16_t i = 0; i < count && !r.failed(); ++i) {
        script->paramRegisters.push_back(v2 ? r.U8() : 0);
        script->params.push_back(r.String());
    }
    std::size_t bodySize = r.U16();
    if (r.failed() || next + bodySize > f.code.size()) {
        Fail(RunStatus::Malformed);
        return f.code.size();
    }
    auto body = f.code.subspan(next, bodySize);
    script->body.assign(body.begin(), body.end());
    script->constants = SharedConstants(f);
    script->namesArguments = NamesArguments(body, *script->constants);
    // A function defined in a function sees its locals, defined before or after.
    if (f.function) Locals(f);
    script->scope = f.scope;
    script->clip = f.clip ? f.clip : f.home;

    CheckRoomForObject();
    Object* fn = vm_.heap().New(ObjectKind::Function);
    fn->proto = vm_.functionProto();
    std::string name = script->name;
    fn->script = std::move(script);
    if (name.empty())
        Push(f, Value::Obj(fn));
    else
        DefineLocal(f, name, Value::Obj(fn));
    return next + bodySize;
}

std::size_t Interpreter::DoDelete(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string name = Text(Pop(f));
    Object* o = Pop(f).AsObject();
    Push(f, Value::Bool(DeleteMember(o, name)));
    return next;
}

std::size_t Interpreter::DoGetMember(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const Value name = PopName(f);
    Push(f, GetMember(Pop(f), name.AsString()));
    return next;
}

std::size_t Interpreter::DoSetMember(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = Pop(f);
    const Value name = PopName(f);
    SetMember(Pop(f), name.AsString(), std::move(v));
    return next;
}

std::size_t Interpreter::DoInitArray(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::size_t n = PopCount(f, 1);
    std::vector<Value> elements;
    elements.reserve(n);
    for (std::size_t i = 0; i < n; ++i) elements.push_back(Pop(f));
    Push(f, Value::Obj(NewArray(std::move(elements))));
    return next;
}

std::size_t Interpreter::DoInitObject(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::size_t n = PopCount(f, 2);
    Object* o = NewPlain();
    // Pairs come off the stack last-first; keep source order for enumeration.
    std::vector<std::pair<std::string, Value>> pairs;
    for (std::size_t i = 0; i < n; ++i) {
        Value v = Pop(f);
        pairs.emplace_back(Text(Pop(f)), std::move(v));
    }
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) o->Set(it->first, std::move(it->second));
    Push(f, Value::Obj(o));
    return next;
}

void Interpreter::PushEnumerableNames(Frame& f, const Value& v) {
    Push(f, Value::Null());  // end marker of the for..in names
    Object* o = v.AsObject();
    if (!o) return;
    // Own members first, then inherited ones not hidden or shadowed.
    // Names are taken last-pushed-first, so push the chain outermost first.
    std::vector<std::vector<std::string>> levels;
    std::unordered_set<std::string> seen;
    for (int depth = 0; o && depth < kMaxProtoDepth && ok(); ++depth, o = o->proto) {
        std::vector<std::string>& names = levels.emplace_back();
        for (std::size_t i = 0; i < o->elements.size() && Budget().Spend(1); ++i)
            if (seen.insert(std::to_string(i)).second) names.push_back(std::to_string(i));
        for (const Property& p : o->properties) {
            if (!Budget().Spend(1)) break;
            if (seen.insert(p.name).second && !(p.flags & kDontEnum)) names.push_back(p.name);
        }
    }
    for (auto level = levels.rbegin(); level != levels.rend() && ok(); ++level)
        for (const std::string& name : *level) Push(f, Value::String(name));
}

// Enumerate names a variable; Enumerate2 takes the object itself.
std::size_t Interpreter::DoEnumerate(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    PushEnumerableNames(f, GetVariable(f, Text(Pop(f))));
    return next;
}

std::size_t Interpreter::DoEnumerate2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    PushEnumerableNames(f, Pop(f));
    return next;
}

std::size_t Interpreter::DoTry(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::uint8_t flags = r.U8();
    std::size_t trySize = r.U16(), catchSize = r.U16(), finallySize = r.U16();
    Frame::TryBlock t;
    t.catchInRegister = flags & kTryCatchInRegister;
    if (t.catchInRegister)
        t.catchRegister = r.U8();
    else
        t.catchName = r.String();
    if (!(flags & kTryHasFinally)) finallySize = 0;
    if (r.failed() || next + trySize + catchSize + finallySize > f.code.size()) return Malformed(f);
    if (f.tries.size() >= static_cast<std::size_t>(kMaxProtoDepth)) {
        Fail(RunStatus::ResourceLimit);
        return f.code.size();
    }
    t.hasCatch = flags & kTryHasCatch;
    t.start = next;
    t.tryEnd = next + trySize;
    t.catchEnd = t.tryEnd + catchSize;
    t.finallyEnd = t.catchEnd + finallySize;
    f.tries.push_back(std::move(t));
    return next;
}

std::size_t Interpreter::DoThrow(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Throw(Pop(f));
    return next;
}

std::size_t Interpreter::DoExtends(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value superclass = Pop(f), subclass = Pop(f);
    if (!subclass.AsObject() || !superclass.AsObject()) return next;
    // The subclass prototype inherits from the superclass's without running its constructor.
    Object* proto = NewPlain();
    proto->proto = GetMember(superclass, "prototype").AsObject();
    proto->Define("__constructor__", superclass, kDontEnum);
    subclass.AsObject()->Define("prototype", Value::Obj(proto), kDontEnum);
    return next;
}

std::size_t Interpreter::DoImplementsOp(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value constructor = Pop(f);
    std::size_t n = PopCount(f, 1);
    Object* proto = GetMember(constructor, "prototype").AsObject();
    for (std::size_t i = 0; i < n; ++i) {
        Object* iface = GetMember(Pop(f), "prototype").AsObject();
        if (proto && iface && proto->interfaces.size() < static_cast<std::size_t>(kMaxProtoDepth))
            proto->interfaces.push_back(iface);
    }
    return next;
}

std::size_t Interpreter::DoCastOp(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value object = Pop(f), constructor = Pop(f);
    Push(f, InstanceOf(object, constructor) ? object : Value::Null());
    return next;
}

// ---- functions ------------------------------------------------------------------

std::size_t Interpreter::DoDefineFunction(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    return DefineFunction(f, false, payload, next);
}

std::size_t Interpreter::DoDefineFunction2(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    return DefineFunction(f, true, payload, next);
}

std::size_t Interpreter::DoCallFunction(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const Value name = PopName(f);
    std::vector<Value> args = PopArgs(f);
    Push(f, Call(GetVariable(f, name.AsString()), Value(), std::move(args)));
    return next;
}

std::size_t Interpreter::DoCallMethod(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value name = Pop(f);
    Value object = Pop(f);
    std::vector<Value> args = PopArgs(f);
    if (!name.IsString()) name = Value::String(name.IsUndefined() ? "" : Text(name));
    const std::string& method = name.AsString();
    Object* o = object.AsObject();
    if (method.empty() && o && o->kind == ObjectKind::Super) {
        // super(...): the superclass constructor, on this object.
        Value constructor;
        if (o->superHome) Lookup(o->superHome, "__constructor__", constructor);
        Push(f, Initialize(constructor, o->superThis, std::move(args), o->proto));
    } else if (method.empty()) {
        Push(f, Call(object, Value(), std::move(args)));
    } else {
        Object* holder = nullptr;
        Value fn = GetMember(object, method, &holder);
        if (fn.IsUndefined()) NoteMissingMethod(object, method);
        Value self = o && o->kind == ObjectKind::Super ? o->superThis : object;
        Push(f, Call(fn, self, std::move(args), holder));
    }
    return next;
}

std::size_t Interpreter::DoNewObject(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string name = Text(Pop(f));
    std::vector<Value> args = PopArgs(f);
    Push(f, Construct(GetVariable(f, name), std::move(args)));
    return next;
}

std::size_t Interpreter::DoNewMethod(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value name = Pop(f);
    Value object = Pop(f);
    std::vector<Value> args = PopArgs(f);
    std::string method = name.IsUndefined() ? "" : Text(name);
    Push(f, Construct(method.empty() ? object : GetMember(object, method), std::move(args)));
    return next;
}

std::size_t Interpreter::DoReturn(Frame& f, std::span<const std::uint8_t>, std::size_t) {
    f.result = Pop(f);
    f.returned = true;
    return f.code.size();
}

}  // namespace swf::actions
