#include "interpreter.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "action_codes.h"
#include "builtins/builtins.h"
#include "code_reader.h"
#include "conversions.h"

namespace swf::actions {

namespace {

// Prototype chains are followed this far; longer (or circular) chains end there.
constexpr int kMaxProtoDepth = 32;
// Arrays grow by index assignment only up to this many elements.
constexpr std::size_t kMaxArrayLength = 1u << 20;

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// A single name, not a path.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/.:") == std::string::npos;
}

std::size_t Utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

Interpreter::Interpreter(Vm& vm, ActionHost& host)
    : vm_(vm), host_(host), actionsLeft_(vm.limits_.maxActions), ignoreCase_(vm.swfVersion_ <= 6) {}

void Interpreter::Fail(RunStatus status) {
    if (status_ == RunStatus::Completed) status_ = status;
}

RunStatus Interpreter::RunBlock(std::span<const std::uint8_t> code, Object* clip) {
    Frame f;
    f.code = code;
    f.constants = std::make_shared<const std::vector<std::string>>();
    f.registers.resize(4);
    f.home = clip;
    f.clip = clip;
    f.self = Value::Obj(clip);
    Execute(f);
    if (throwing_) Fail(RunStatus::Thrown);
    return status_;
}

RunStatus Interpreter::RunTimer(const Vm::Timer& timer) {
    if (timer.method.empty()) {
        Call(timer.function, Value(), timer.args);
    } else {
        Object* holder = nullptr;
        Value method = GetMember(timer.function, timer.method, &holder);
        Call(method, timer.function, timer.args, holder);
    }
    if (throwing_) Fail(RunStatus::Thrown);
    return status_;
}

void Interpreter::Throw(Value value) {
    if (throwing_ || status_ != RunStatus::Completed) return;
    throwing_ = true;
    thrown_ = std::move(value);
}

Value Interpreter::Primitive(const Value& v) {
    Object* o = v.AsObject();
    if (!o) return v;
    // Dates prefer their text; everything else tries valueOf first.
    if (o->kind != ObjectKind::Array && o->proto != vm_.dateProto_) {
        Value out;
        if (ToPrimitive(*o, false, out)) {
            if (!out.IsObject()) return out;
        } else if (!o->primitive.IsUndefined()) {
            return o->primitive;
        }
    }
    return Value::String(Text(v));
}

bool Interpreter::ToPrimitive(Object& o, bool preferString, Value& out) {
    if (o.kind == ObjectKind::Clip || o.kind == ObjectKind::Super || !ok()) return false;
    Value self = Value::Obj(&o);
    Value method;
    Lookup(&o, preferString ? "toString" : "valueOf", method, nullptr, &self);
    Object* fn = method.AsObject();
    if (!fn || fn->kind != ObjectKind::Function) return false;
    // The built-in Object forms: the conversion knows them without a call.
    if (fn->native == ObjectProtoToString || fn->native == ObjectProtoValueOf) return false;
    out = Call(method, self, {});
    return true;
}

// ---- values and the operand stack --------------------------------------------

std::string Interpreter::Text(const Value& v) { return ToString(v, vm_.swfVersion_, Budget(), this); }
double Interpreter::Number(const Value& v) { return ToNumber(v, vm_.swfVersion_, Budget(), this); }

Value Interpreter::MakeString(std::string s) {
    if (s.size() > vm_.limits_.maxStringLength) {
        Fail(RunStatus::ResourceLimit);
        return Value();
    }
    // Copying text is work too: a loop that rebuilds a long string must not
    // outlast the step budget.
    Budget().SpendBytes(s.size());
    return Value::String(std::move(s));
}

Object* Interpreter::NewPlain() { return NewObject(vm_.objectProto_); }

Object* Interpreter::NewObject(Object* proto) {
    if (vm_.heap_.Count() >= vm_.limits_.maxObjects) Fail(RunStatus::ResourceLimit);
    Object* o = vm_.heap_.New(ObjectKind::Plain);
    o->proto = proto;
    return o;
}

Object* Interpreter::NewArray(std::vector<Value> elements) {
    if (vm_.heap_.Count() >= vm_.limits_.maxObjects) Fail(RunStatus::ResourceLimit);
    Object* o = vm_.heap_.New(ObjectKind::Array);
    o->proto = vm_.arrayProto_;
    o->elements = std::move(elements);
    return o;
}

Value Interpreter::Pop(Frame& f) {
    // Popping an empty stack yields undefined; AVM1 scripts rely on that.
    if (f.stack.empty()) return Value();
    Value v = std::move(f.stack.back());
    f.stack.pop_back();
    return v;
}

void Interpreter::Push(Frame& f, Value v) {
    if (f.stack.size() >= vm_.limits_.maxStackDepth) {
        Fail(RunStatus::ResourceLimit);
        return;
    }
    f.stack.push_back(std::move(v));
}

// A count popped from the stack, limited to what the stack can supply.
std::size_t Interpreter::PopCount(Frame& f, std::size_t perItem) {
    double n = Number(Pop(f));
    if (!(n > 0)) return 0;
    double most = static_cast<double>(f.stack.size() / perItem);
    return static_cast<std::size_t>(std::min(std::trunc(n), most));
}

std::vector<Value> Interpreter::PopArgs(Frame& f) {
    std::size_t n = PopCount(f, 1);
    std::vector<Value> args;
    args.reserve(n);
    for (std::size_t i = 0; i < n; ++i) args.push_back(Pop(f));
    return args;
}

// ---- members -------------------------------------------------------------------

bool Interpreter::Lookup(Object* o, const std::string& name, Value& out, Object** holder, const Value* self) {
    Object* start = o;
    if (o && name == "__proto__") {
        out = o->proto ? Value::Obj(o->proto) : Value();
        if (holder) *holder = o;
        return true;
    }
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth, o = o->proto) {
        if (holder) *holder = o;
        if (o->kind == ObjectKind::Array) {
            std::size_t index;
            if (name == "length") {
                out = Value::Number(static_cast<double>(o->elements.size()));
                return true;
            }
            if (ParseArrayIndex(name, index) && index < o->elements.size()) {
                out = o->elements[index];
                return true;
            }
        }
        if (o->kind == ObjectKind::Clip && o->target) {
            if (name == "_currentframe") {
                out = Value::Number(static_cast<double>(o->target->CurrentFrame()) + 1);
                return true;
            }
            if (name == "_totalframes" || name == "_framesloaded") {
                out = Value::Number(static_cast<double>(o->target->FrameCount()));
                return true;
            }
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
        // Named child clips (and _parent) read as members of their timeline.
        if (depth == 0 && o->kind == ObjectKind::Clip && o->target && IsPlainName(name)) {
            if (ActionTarget* child = o->target->FindTarget(name)) {
                out = Value::Obj(vm_.ClipFor(child));
                return true;
            }
        }
        if (depth == 0 && o->kind == ObjectKind::Function && name == "prototype") {
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

Value Interpreter::GetMember(const Value& object, const std::string& name, Object** holder) {
    Value out;
    if (Object* o = object.AsObject()) {
        if (o->kind == ObjectKind::Super) {
            // super.x: the chain past the method's prototype, with the method's `this`.
            Lookup(o->proto, name, out, holder, &o->superThis);
            return out;
        }
        Lookup(o, name, out, holder);
    } else if (object.IsString()) {
        if (name == "length")
            out = Value::Number(static_cast<double>(Utf8Length(object.AsString())));
        else
            Lookup(vm_.stringProto_, name, out, holder, &object);
    } else if (object.IsNumber()) {
        Lookup(vm_.numberProto_, name, out, holder, &object);
    } else if (object.IsBool()) {
        Lookup(vm_.booleanProto_, name, out, holder, &object);
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
    if (name == "__proto__") {
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
    if (o->kind == ObjectKind::Array) {
        std::size_t index;
        if (name == "length") {
            double n = Number(value);
            if (n >= 0 && n <= static_cast<double>(kMaxArrayLength))
                o->elements.resize(static_cast<std::size_t>(n));
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
        Object* o = vm_.heap_.New(ObjectKind::Super);
        o->proto = f.superHome->proto;
        o->superThis = f.self;
        o->superHome = f.superHome;
        f.superObject = o;
    }
    return Value::Obj(f.superObject);
}

// ---- variables and targets ---------------------------------------------------------

Object* Interpreter::RootClip(Frame& f) {
    // _root is the top of the level the code belongs to (_level0 for the main movie).
    if (f.home && f.home->target) {
        if (ActionTarget* top = f.home->target->FindTarget("_root")) return vm_.ClipFor(top);
    }
    if (vm_.root_) return vm_.ClipFor(vm_.root_);
    return f.home;
}

Object* Interpreter::LevelClip(Frame& f, int level) {
    if (level == 0 && !vm_.root_) return f.home;
    ActionTarget* at = vm_.Level(level);
    return at ? vm_.ClipFor(at) : nullptr;
}

ActionTarget* Interpreter::TimelineOf(Frame& f) { return f.clip ? f.clip->target : nullptr; }

Object* Interpreter::ResolveTarget(Frame& f, const std::string& path) {
    if (path == "_root" || path == "/") return RootClip(f);
    if (path == "this" || path == ".") return f.clip;
    int level = 0;
    std::size_t length = 0;
    if (ParseLevelName(path, &level, &length)) {
        Object* clip = LevelClip(f, level);
        if (!clip || length + 1 >= path.size()) return clip;
        ActionTarget* at = clip->target ? clip->target->FindTarget(path.substr(length + 1)) : nullptr;
        return at ? vm_.ClipFor(at) : nullptr;
    }
    Object* base = f.clip ? f.clip : f.home;
    if (!base || !base->target) return nullptr;
    ActionTarget* found = base->target->FindTarget(path);
    return found ? vm_.ClipFor(found) : nullptr;
}

void Interpreter::SetTargetPath(Frame& f, const Value& target) {
    if (Object* o = target.AsObject()) {
        f.clip = o->kind == ObjectKind::Clip ? o : nullptr;
        return;
    }
    std::string path = Text(target);
    f.clip = path.empty() ? f.home : ResolveTarget(f, path);
}

Value Interpreter::GetVariable(Frame& f, const std::string& name) {
    // "path:variable" names a variable on another timeline.
    std::size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        Object* clip = colon == 0 ? f.clip : ResolveTarget(f, name.substr(0, colon));
        Value out;
        if (clip) Lookup(clip, name.substr(colon + 1), out);
        return out;
    }
    // "a.b.c" written as one name.
    std::size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0) {
        Value v = GetVariable(f, name.substr(0, dot));
        std::size_t start = dot + 1;
        while (true) {
            std::size_t next = name.find('.', start);
            v = GetMember(v, name.substr(start, next == std::string::npos ? std::string::npos : next - start));
            if (next == std::string::npos) return v;
            start = next + 1;
        }
    }
    if (name == "this") return f.self;
    if (name == "_root") return Value::Obj(RootClip(f));
    if (name == "_global") return Value::Obj(vm_.global_);
    if (name == "super") return SuperFor(f);
    int level = 0;
    std::size_t length = 0;
    if (ParseLevelName(name, &level, &length) && length == name.size()) {
        Object* clip = LevelClip(f, level);
        return clip ? Value::Obj(clip) : Value();
    }
    Value out;
    for (auto it = f.scope.rbegin(); it != f.scope.rend(); ++it)
        if (Lookup(*it, name, out)) return out;
    if (Object* clip = f.clip ? f.clip : f.home; clip && Lookup(clip, name, out)) return out;
    if (Lookup(vm_.global_, name, out)) return out;
    return Value();
}

void Interpreter::SetVariable(Frame& f, const std::string& name, Value v) {
    std::size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        Object* clip = colon == 0 ? f.clip : ResolveTarget(f, name.substr(0, colon));
        if (clip) clip->Set(name.substr(colon + 1), std::move(v));
        return;
    }
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        SetMember(GetVariable(f, name.substr(0, dot)), name.substr(dot + 1), std::move(v));
        return;
    }
    // An existing local or `with` member wins; otherwise the variable lives on the timeline.
    for (auto it = f.scope.rbegin(); it != f.scope.rend(); ++it) {
        if ((*it)->FindProperty(name, ignoreCase_)) {
            SetMember(Value::Obj(*it), name, std::move(v));
            return;
        }
    }
    if (Object* clip = f.clip ? f.clip : f.home) SetMember(Value::Obj(clip), name, std::move(v));
}

void Interpreter::DefineLocal(Frame& f, const std::string& name, Value v) {
    Object* where = f.locals ? f.locals : (f.clip ? f.clip : f.home);
    if (where) where->Set(name, std::move(v), ignoreCase_);
}

bool Interpreter::DeleteVariable(Frame& f, const std::string& name) {
    for (auto it = f.scope.rbegin(); it != f.scope.rend(); ++it)
        if ((*it)->FindProperty(name, ignoreCase_)) return DeleteMember(*it, name);
    if (Object* clip = f.clip ? f.clip : f.home; clip && clip->FindProperty(name, ignoreCase_))
        return DeleteMember(clip, name);
    return DeleteMember(vm_.global_, name);
}

// ---- calls --------------------------------------------------------------------------

Value Interpreter::Call(const Value& function, const Value& self, std::vector<Value> args, Object* home) {
    Object* fn = function.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    if (depth_ >= vm_.limits_.maxCallDepth) {
        Fail(RunStatus::CallDepthLimit);
        return Value();
    }
    ++depth_;
    Value result;
    if (fn->native) {
        CallContext call{*this, self, args};
        result = fn->native(call);
    } else if (fn->script) {
        // Keep the body alive even if the script replaces the function while it runs.
        std::shared_ptr<const ScriptFunction> script = fn->script;
        Frame f;
        f.code = script->body;
        f.constants = script->constants;
        f.home = script->clip && script->clip->target ? script->clip : nullptr;
        if (!f.home) f.home = vm_.root_ ? vm_.ClipFor(vm_.root_) : script->clip;
        f.clip = f.home;
        f.self = self.IsObject() ? self : Value::Obj(f.home);
        f.function = fn;
        f.superHome = home ? home : (self.AsObject() ? self.AsObject()->proto : nullptr);
        f.superSuppressed = script->isFunction2 && (script->flags & kSuppressSuper);
        Object* activation = NewPlain();
        activation->proto = nullptr;
        f.scope = script->scope;
        f.scope.push_back(activation);
        f.locals = activation;
        Object* argumentsArray = NewArray(args);
        argumentsArray->Define("callee", Value::Obj(fn), kDontEnum);
        argumentsArray->Define("caller", Value::Obj(currentFunction_), kDontEnum);

        if (script->isFunction2) {
            f.registers.resize(std::max<std::size_t>(script->registerCount, 1));
            std::size_t reg = 1;
            auto preload = [&](std::uint16_t flag, Value v) {
                if (!(script->flags & flag)) return;
                if (reg < f.registers.size()) f.registers[reg] = std::move(v);
                ++reg;
            };
            preload(kPreloadThis, f.self);
            preload(kPreloadArguments, Value::Obj(argumentsArray));
            preload(kPreloadSuper, SuperFor(f));
            preload(kPreloadRoot, Value::Obj(RootClip(f)));
            Object* parent = f.home ? ResolveTarget(f, "_parent") : nullptr;
            preload(kPreloadParent, parent ? Value::Obj(parent) : Value());
            preload(kPreloadGlobal, Value::Obj(vm_.global_));
            if (!(script->flags & (kSuppressArguments | kPreloadArguments)))
                activation->Set("arguments", Value::Obj(argumentsArray));
            for (std::size_t i = 0; i < script->params.size(); ++i) {
                Value arg = i < args.size() ? args[i] : Value();
                std::uint8_t r = script->paramRegisters[i];
                if (r == 0)
                    activation->Set(script->params[i], std::move(arg));
                else if (r < f.registers.size())
                    f.registers[r] = std::move(arg);
            }
        } else {
            f.registers.resize(4);
            activation->Set("arguments", Value::Obj(argumentsArray));
            for (std::size_t i = 0; i < script->params.size(); ++i)
                activation->Set(script->params[i], i < args.size() ? args[i] : Value());
        }
        Object* caller = currentFunction_;
        currentFunction_ = fn;
        Execute(f);
        currentFunction_ = caller;
        result = f.result;
    }
    --depth_;
    return result;
}

Value Interpreter::Construct(const Value& constructor, std::vector<Value> args) {
    Object* fn = constructor.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    Object* instance = NewPlain();
    Value proto = GetMember(constructor, "prototype");
    if (proto.AsObject()) instance->proto = proto.AsObject();
    instance->Define("__constructor__", constructor, kDontEnum);
    Value result = Initialize(constructor, Value::Obj(instance), std::move(args), instance->proto);
    return result.IsObject() ? result : Value::Obj(instance);
}

Value Interpreter::Initialize(const Value& constructor, const Value& self, std::vector<Value> args, Object* home) {
    Object* fn = constructor.AsObject();
    if (!fn || fn->kind != ObjectKind::Function || !ok()) return Value();
    if (!fn->native) return Call(constructor, self, std::move(args), home);
    // Built-in constructors set up `this` only when told they construct.
    if (depth_ >= vm_.limits_.maxCallDepth) {
        Fail(RunStatus::CallDepthLimit);
        return Value();
    }
    ++depth_;
    CallContext call{*this, self, args, true};
    Value result = fn->native(call);
    --depth_;
    return result;
}

// ---- timeline and host ----------------------------------------------------------------

void Interpreter::Goto(ActionTarget* target, const Value& frame, bool play, std::uint32_t bias) {
    Value where = frame;
    if (where.IsString()) {
        // "path:frame" addresses another timeline.
        const std::string& text = where.AsString();
        std::size_t colon = text.rfind(':');
        if (colon != std::string::npos && target) {
            std::string path = text.substr(0, colon);
            if (!path.empty()) {
                ActionTarget* other = nullptr;
                if (path == "_root" || path == "/" || path == "_level0")
                    other = vm_.root_ ? vm_.root_ : target;
                else
                    other = target->FindTarget(path);
                target = other;
            }
            where = Value::String(text.substr(colon + 1));
        }
    }
    if (!target) return;
    double n = where.IsNumber() ? where.AsNumber() : ParseNumber(Text(where), 8);
    if (!std::isnan(n)) {
        if (n >= 1) {
            double index = std::trunc(n) - 1 + bias;
            target->GotoFrame(index >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(index));
        }
    } else if (!target->GotoLabel(Text(where))) {
        return;
    }
    if (play)
        target->Play();
    else
        target->Stop();
}

void Interpreter::HandleUrl(const std::string& url, const std::string& target) {
    static const std::string kFsCommand = "FSCommand:";
    if (StartsWithNoCase(url, kFsCommand))
        host_.FSCommand(url.substr(kFsCommand.size()), target);
    else
        host_.GetURL(url, target);
}

Value Interpreter::GetProperty(Frame& f, const Value& target, int index) {
    Object* clip = nullptr;
    if (Object* o = target.AsObject())
        clip = o->kind == ObjectKind::Clip ? o : nullptr;
    else {
        std::string path = Text(target);
        clip = path.empty() ? f.clip : ResolveTarget(f, path);
    }
    if (!clip || !clip->target) return Value();
    switch (index) {
    case 4: return Value::Number(static_cast<double>(clip->target->CurrentFrame()) + 1);
    case 5:
    case 12: return Value::Number(static_cast<double>(clip->target->FrameCount()));
    case 2: case 3: case 6: return Value::Number(100);  // _xscale, _yscale, _alpha
    case 7: return Value::Bool(true);                     // _visible
    case 11: return Value::String("/");                   // _target
    case 13: return Value::String("");                    // _name
    default: return Value::Number(0);
    }
}

// ---- the dispatch loop --------------------------------------------------------------------

bool Interpreter::FollowTry(Frame& f, std::size_t& pc) {
    using Phase = Frame::TryBlock::Phase;
    using Pending = Frame::TryBlock::Pending;
    Frame::TryBlock& t = f.tries.back();
    if (t.phase == Phase::Try && pc == t.tryEnd) {
        // The try block finished: skip the catch block, run the finally block.
        t.phase = Phase::Finally;
        pc = t.catchEnd;
        return true;
    }
    if (t.phase == Phase::Catch && pc == t.catchEnd) {
        t.phase = Phase::Finally;
        return true;
    }
    if (t.phase == Phase::Finally && pc == t.finallyEnd) {
        Pending pending = t.pending;
        Value value = std::move(t.pendingValue);
        f.tries.pop_back();
        if (pending == Pending::Throw) {
            throwing_ = true;
            thrown_ = std::move(value);
        } else if (pending == Pending::Return) {
            f.returned = true;
            f.result = std::move(value);
        }
        return true;
    }
    std::size_t from = t.phase == Phase::Try ? t.start : t.phase == Phase::Catch ? t.tryEnd : t.catchEnd;
    std::size_t to = t.phase == Phase::Try ? t.tryEnd : t.phase == Phase::Catch ? t.catchEnd : t.finallyEnd;
    if (pc < from || pc > to) {
        // A jump left the statement (break, continue): it is no longer open.
        f.tries.pop_back();
        return true;
    }
    return false;
}

bool Interpreter::Unwind(Frame& f, std::size_t& pc) {
    using Phase = Frame::TryBlock::Phase;
    using Pending = Frame::TryBlock::Pending;
    while (!f.tries.empty()) {
        Frame::TryBlock& t = f.tries.back();
        bool hasFinally = t.finallyEnd > t.catchEnd;
        if (throwing_ && t.phase == Phase::Try && t.hasCatch) {
            throwing_ = false;
            t.phase = Phase::Catch;
            pc = t.tryEnd;
            if (t.catchInRegister) {
                if (t.catchRegister < f.registers.size()) f.registers[t.catchRegister] = std::move(thrown_);
            } else if (f.locals) {
                f.locals->Set(t.catchName, std::move(thrown_), ignoreCase_);
            } else {
                SetVariable(f, t.catchName, std::move(thrown_));
            }
            thrown_ = Value();
            return true;
        }
        if (t.phase != Phase::Finally && hasFinally) {
            // Run the finally block first, then carry on throwing or returning.
            t.pending = throwing_ ? Pending::Throw : Pending::Return;
            t.pendingValue = throwing_ ? std::move(thrown_) : std::move(f.result);
            throwing_ = false;
            f.returned = false;
            t.phase = Phase::Finally;
            pc = t.catchEnd;
            return true;
        }
        f.tries.pop_back();
    }
    return false;
}

void Interpreter::Execute(Frame& f) {
    const std::size_t size = f.code.size();
    std::size_t pc = 0;
    while (status_ == RunStatus::Completed) {
        if (throwing_ || f.returned) {
            if (!Unwind(f, pc)) return;
            continue;
        }
        if (!f.tries.empty() && FollowTry(f, pc)) continue;
        if (pc >= size) return;
        // Leave `with` blocks that control has left.
        while (!f.withs.empty() && (pc >= f.withs.back().end || pc < f.withs.back().start)) {
            f.withs.pop_back();
            f.scope.pop_back();
        }
        if (actionsLeft_ == 0) {
            Fail(RunStatus::ActionLimit);
            return;
        }
        --actionsLeft_;
        std::uint8_t op = f.code[pc];
        if (op == 0) return;
        std::span<const std::uint8_t> payload;
        std::size_t next = pc + 1;
        if (op >= 0x80) {
            if (pc + 3 > size) {
                Fail(RunStatus::Malformed);
                return;
            }
            std::size_t length = f.code[pc + 1] | (f.code[pc + 2] << 8);
            if (pc + 3 + length > size) {
                Fail(RunStatus::Malformed);
                return;
            }
            payload = f.code.subspan(pc + 3, length);
            next = pc + 3 + length;
        }
        pc = Step(f, op, payload, next);
    }
}

std::size_t Interpreter::DefineFunction(Frame& f, bool v2, std::span<const std::uint8_t> payload,
                                        std::size_t next) {
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
    script->constants = f.constants;
    script->scope = f.scope;
    script->clip = f.clip ? f.clip : f.home;

    if (vm_.heap_.Count() >= vm_.limits_.maxObjects) Fail(RunStatus::ResourceLimit);
    Object* fn = vm_.heap_.New(ObjectKind::Function);
    fn->proto = vm_.functionProto_;
    std::string name = script->name;
    fn->script = std::move(script);
    if (name.empty())
        Push(f, Value::Obj(fn));
    else
        DefineLocal(f, name, Value::Obj(fn));
    return next + bodySize;
}

std::size_t Interpreter::Step(Frame& f, std::uint8_t code, std::span<const std::uint8_t> payload,
                              std::size_t next) {
    const int version = vm_.swfVersion_;
    auto malformed = [&] {
        Fail(RunStatus::Malformed);
        return f.code.size();
    };
    auto jumpTo = [&](std::int16_t offset) -> std::size_t {
        long long target = static_cast<long long>(next) + offset;
        if (target < 0 || target > static_cast<long long>(f.code.size())) return malformed();
        return static_cast<std::size_t>(target);
    };
    auto binaryNumber = [&](auto fn) {
        double a = Number(Pop(f));
        double b = Number(Pop(f));
        Push(f, Value::Number(fn(b, a)));
    };
    auto bitwise = [&](auto fn) {
        std::int32_t a = ToInt32(Number(Pop(f)));
        std::int32_t b = ToInt32(Number(Pop(f)));
        Push(f, Value::Number(fn(b, a)));
    };
    // Less2/Greater: strings compare as text, otherwise as numbers; NaN gives undefined.
    auto compare = [&](bool greater) {
        Value a = Pop(f), b = Pop(f);
        if (greater) std::swap(a, b);  // now the question is b < a
        if (b.IsString() && a.IsString()) {
            Push(f, Value::Bool(b.AsString() < a.AsString()));
            return;
        }
        double x = Number(b), y = Number(a);
        if (std::isnan(x) || std::isnan(y))
            Push(f, Value());
        else
            Push(f, Value::Bool(x < y));
    };
    ActionTarget* timeline = TimelineOf(f);

    switch (static_cast<Op>(code)) {
    // Timeline control.
    case Op::NextFrame: if (timeline) timeline->NextFrame(); break;
    case Op::PrevFrame: if (timeline) timeline->PrevFrame(); break;
    case Op::Play: if (timeline) timeline->Play(); break;
    case Op::Stop: if (timeline) timeline->Stop(); break;
    case Op::GotoFrame: {
        CodeReader r(payload);
        std::uint16_t frame = r.U16();
        if (r.failed()) return malformed();
        if (timeline) timeline->GotoFrame(frame);
        break;
    }
    case Op::GoToLabel: {
        CodeReader r(payload);
        std::string label = r.String();
        if (r.failed()) return malformed();
        if (timeline) timeline->GotoLabel(label);
        break;
    }
    case Op::GotoFrame2: {
        CodeReader r(payload);
        std::uint8_t flags = r.U8();
        std::uint16_t bias = (flags & 0x02) ? r.U16() : 0;
        if (r.failed()) return malformed();
        Goto(timeline, Pop(f), flags & 0x01, bias);
        break;
    }
    case Op::SetTarget: {
        CodeReader r(payload);
        std::string path = r.String();
        if (r.failed()) return malformed();
        SetTargetPath(f, Value::String(path));
        break;
    }
    case Op::SetTarget2: SetTargetPath(f, Pop(f)); break;
    case Op::WaitForFrame:
    case Op::WaitForFrame2:
        // Every frame of a movie is loaded before it plays: nothing is skipped.
        if (static_cast<Op>(code) == Op::WaitForFrame2) Pop(f);
        break;
    case Op::Call: Pop(f); break;
    case Op::GetProperty: {
        double n = Number(Pop(f));
        int index = n >= 0 && n < 64 ? static_cast<int>(n) : -1;
        Push(f, GetProperty(f, Pop(f), index));
        break;
    }
    case Op::SetProperty: Pop(f); Pop(f); Pop(f); break;
    case Op::TargetPath: {
        Value v = Pop(f);
        Object* o = v.AsObject();
        Push(f, o && o->kind == ObjectKind::Clip ? Value::String(o == RootClip(f) ? "_level0" : "") : Value());
        break;
    }

    // Host.
    case Op::GetURL: {
        CodeReader r(payload);
        std::string url = r.String();
        std::string target = r.String();
        if (r.failed()) return malformed();
        HandleGetUrl(f, url, Value::String(target), 0);
        break;
    }
    case Op::GetURL2: {
        CodeReader r(payload);
        const std::uint8_t flags = payload.empty() ? 0 : r.U8();
        Value target = Pop(f);
        Value url = Pop(f);
        HandleGetUrl(f, Text(url), target, flags);
        break;
    }
    case Op::Trace: {
        Value v = Pop(f);
        if (vm_.trace_) vm_.trace_(v.IsUndefined() ? "undefined" : Text(v));
        break;
    }

    // Stack and constants.
    case Op::Push: {
        CodeReader r(payload);
        while (!r.AtEnd() && ok()) {
            auto type = static_cast<PushType>(r.U8());
            switch (type) {
            case PushType::String: {
                std::string s = r.String();
                if (!r.failed()) Push(f, Value::String(std::move(s)));
                break;
            }
            case PushType::Float: {
                float v = r.F32();
                if (!r.failed()) Push(f, Value::Number(v));
                break;
            }
            case PushType::Null: Push(f, Value::Null()); break;
            case PushType::Undefined: Push(f, Value()); break;
            case PushType::Register: {
                std::uint8_t i = r.U8();
                if (!r.failed()) Push(f, i < f.registers.size() ? f.registers[i] : Value());
                break;
            }
            case PushType::Boolean: {
                std::uint8_t b = r.U8();
                if (!r.failed()) Push(f, Value::Bool(b != 0));
                break;
            }
            case PushType::Double: {
                double d = r.SwappedDouble();
                if (!r.failed()) Push(f, Value::Number(d));
                break;
            }
            case PushType::Integer: {
                auto v = static_cast<std::int32_t>(r.U32());
                if (!r.failed()) Push(f, Value::Number(v));
                break;
            }
            case PushType::Constant8:
            case PushType::Constant16: {
                std::size_t i = type == PushType::Constant8 ? r.U8() : r.U16();
                if (r.failed()) break;
                Push(f, i < f.constants->size() ? Value::String((*f.constants)[i]) : Value());
                break;
            }
            default: return malformed();
            }
            if (r.failed()) return malformed();
        }
        break;
    }
    case Op::Pop: Pop(f); break;
    case Op::PushDuplicate: {
        Value v = f.stack.empty() ? Value() : f.stack.back();
        Push(f, std::move(v));
        break;
    }
    case Op::StackSwap: {
        Value a = Pop(f), b = Pop(f);
        Push(f, std::move(a));
        Push(f, std::move(b));
        break;
    }
    case Op::ConstantPool: {
        CodeReader r(payload);
        std::uint16_t count = r.U16();
        auto pool = std::make_shared<std::vector<std::string>>();
        for (std::uint16_t i = 0; i < count && !r.failed(); ++i) pool->push_back(r.String());
        if (r.failed()) return malformed();
        f.constants = std::move(pool);
        break;
    }
    case Op::StoreRegister: {
        CodeReader r(payload);
        std::uint8_t i = r.U8();
        if (r.failed()) return malformed();
        if (i < f.registers.size()) f.registers[i] = f.stack.empty() ? Value() : f.stack.back();
        break;
    }

    // Arithmetic.
    case Op::Add: binaryNumber([](double b, double a) { return b + a; }); break;
    case Op::Subtract: binaryNumber([](double b, double a) { return b - a; }); break;
    case Op::Multiply: binaryNumber([](double b, double a) { return b * a; }); break;
    case Op::Divide: binaryNumber([](double b, double a) { return b / a; }); break;
    case Op::Modulo: binaryNumber([](double b, double a) { return std::fmod(b, a); }); break;
    case Op::Add2: {
        Value a = Primitive(Pop(f)), b = Primitive(Pop(f));
        if (a.IsString() || b.IsString() || a.IsObject() || b.IsObject())
            Push(f, MakeString(Text(b) + Text(a)));
        else
            Push(f, Value::Number(Number(b) + Number(a)));
        break;
    }
    case Op::Increment: Push(f, Value::Number(Number(Pop(f)) + 1)); break;
    case Op::Decrement: Push(f, Value::Number(Number(Pop(f)) - 1)); break;
    case Op::BitAnd: bitwise([](std::int32_t b, std::int32_t a) { return double(b & a); }); break;
    case Op::BitOr: bitwise([](std::int32_t b, std::int32_t a) { return double(b | a); }); break;
    case Op::BitXor: bitwise([](std::int32_t b, std::int32_t a) { return double(b ^ a); }); break;
    case Op::BitLShift:
        bitwise([](std::int32_t b, std::int32_t a) {
            return double(static_cast<std::int32_t>(static_cast<std::uint32_t>(b) << (a & 31)));
        });
        break;
    case Op::BitRShift: bitwise([](std::int32_t b, std::int32_t a) { return double(b >> (a & 31)); }); break;
    case Op::BitURShift:
        bitwise([](std::int32_t b, std::int32_t a) { return double(static_cast<std::uint32_t>(b) >> (a & 31)); });
        break;

    // Comparison and logic.
    case Op::Equals: {
        double a = Number(Pop(f)), b = Number(Pop(f));
        Push(f, Value::Bool(b == a));
        break;
    }
    case Op::Less: {
        double a = Number(Pop(f)), b = Number(Pop(f));
        Push(f, Value::Bool(b < a));
        break;
    }
    case Op::Equals2: {
        Value a = Pop(f), b = Pop(f);
        // An object met by a primitive compares through its own primitive value.
        auto nullish = [](const Value& v) { return v.IsUndefined() || v.IsNull(); };
        if (a.IsObject() && !b.IsObject() && !nullish(b)) a = Primitive(a);
        if (b.IsObject() && !a.IsObject() && !nullish(a)) b = Primitive(b);
        Push(f, Value::Bool(LooseEquals(b, a, version, Budget())));
        break;
    }
    case Op::StrictEquals: {
        Value a = Pop(f), b = Pop(f);
        Push(f, Value::Bool(StrictEquals(b, a)));
        break;
    }
    case Op::Less2: compare(false); break;
    case Op::Greater: compare(true); break;
    case Op::And: {
        bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
        Push(f, Value::Bool(b && a));
        break;
    }
    case Op::Or: {
        bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
        Push(f, Value::Bool(b || a));
        break;
    }
    case Op::Not: Push(f, Value::Bool(!ToBoolean(Pop(f), version))); break;

    // Strings.
    case Op::StringAdd: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, MakeString(b + a));
        break;
    }
    case Op::StringEquals: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b == a));
        break;
    }
    case Op::StringLess: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b < a));
        break;
    }
    case Op::StringGreater: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b > a));
        break;
    }
    case Op::StringLength: Push(f, Value::Number(static_cast<double>(Text(Pop(f)).size()))); break;
    case Op::MBStringLength: Push(f, Value::Number(static_cast<double>(Utf8Length(Text(Pop(f)))))); break;
    case Op::StringExtract:
    case Op::MBStringExtract: {
        double count = Number(Pop(f)), index = Number(Pop(f));
        std::string s = Text(Pop(f));
        // 1-based index; out-of-range parts are clipped.
        double start = std::isnan(index) ? 0 : std::max(0.0, std::trunc(index) - 1);
        if (start >= static_cast<double>(s.size()) || !(count > 0)) {
            Push(f, Value::String(""));
            break;
        }
        auto from = static_cast<std::size_t>(start);
        double most = static_cast<double>(s.size() - from);
        auto n = static_cast<std::size_t>(std::min(std::trunc(count), most));
        Push(f, Value::String(s.substr(from, n)));
        break;
    }
    case Op::CharToAscii:
    case Op::MBCharToAscii: {
        std::string s = Text(Pop(f));
        Push(f, s.empty() ? Value::Number(NAN) : Value::Number(static_cast<unsigned char>(s[0])));
        break;
    }
    case Op::AsciiToChar:
    case Op::MBAsciiToChar: {
        int c = ToInt32(Number(Pop(f))) & 0xFF;
        Push(f, Value::String(c ? std::string(1, static_cast<char>(c)) : std::string()));
        break;
    }

    // Conversions.
    case Op::ToInteger: {
        double n = Number(Pop(f));
        Push(f, Value::Number(std::isnan(n) ? 0 : std::trunc(n)));
        break;
    }
    case Op::ToNumber: Push(f, Value::Number(Number(Pop(f)))); break;
    case Op::ToString: Push(f, Value::String(Text(Pop(f)))); break;
    case Op::TypeOf: Push(f, Value::String(TypeOf(Pop(f)))); break;
    case Op::InstanceOf: {
        Value ctor = Pop(f), object = Pop(f);
        Push(f, Value::Bool(InstanceOf(object, ctor)));
        break;
    }

    // Time and chance.
    case Op::GetTime: {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now() - vm_.started_).count();
        Push(f, Value::Number(static_cast<double>(ms)));
        break;
    }
    case Op::RandomNumber: {
        double most = Number(Pop(f));
        std::uint32_t x = vm_.randomState_;
        x ^= x << 13; x ^= x >> 17; x ^= x << 5;
        vm_.randomState_ = x;
        double n = most >= 1 && most < 4294967296.0 ? std::floor((x / 4294967296.0) * std::trunc(most)) : 0;
        Push(f, Value::Number(n));
        break;
    }

    // Variables.
    case Op::GetVariable: Push(f, GetVariable(f, Text(Pop(f)))); break;
    case Op::SetVariable: {
        Value v = Pop(f);
        SetVariable(f, Text(Pop(f)), std::move(v));
        break;
    }
    case Op::DefineLocal: {
        Value v = Pop(f);
        DefineLocal(f, Text(Pop(f)), std::move(v));
        break;
    }
    case Op::DefineLocal2: {
        std::string name = Text(Pop(f));
        Object* where = f.locals ? f.locals : (f.clip ? f.clip : f.home);
        if (where && !where->Find(name, ignoreCase_)) where->Set(name, Value());
        break;
    }
    case Op::Delete: {
        std::string name = Text(Pop(f));
        Object* o = Pop(f).AsObject();
        Push(f, Value::Bool(DeleteMember(o, name)));
        break;
    }
    case Op::Delete2: Push(f, Value::Bool(DeleteVariable(f, Text(Pop(f))))); break;

    // Objects.
    case Op::GetMember: {
        std::string name = Text(Pop(f));
        Push(f, GetMember(Pop(f), name));
        break;
    }
    case Op::SetMember: {
        Value v = Pop(f);
        std::string name = Text(Pop(f));
        SetMember(Pop(f), name, std::move(v));
        break;
    }
    case Op::InitArray: {
        std::size_t n = PopCount(f, 1);
        std::vector<Value> elements;
        elements.reserve(n);
        for (std::size_t i = 0; i < n; ++i) elements.push_back(Pop(f));
        Push(f, Value::Obj(NewArray(std::move(elements))));
        break;
    }
    case Op::InitObject: {
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
        break;
    }
    case Op::Enumerate:
    case Op::Enumerate2: {
        Value v = Pop(f);
        if (static_cast<Op>(code) == Op::Enumerate) v = GetVariable(f, Text(v));
        Push(f, Value::Null());  // end marker of the for..in names
        if (Object* o = v.AsObject()) {
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
        break;
    }
    case Op::With: {
        CodeReader r(payload);
        std::size_t blockSize = r.U16();
        if (r.failed() || next + blockSize > f.code.size()) return malformed();
        Object* o = Pop(f).AsObject();
        if (o) {
            f.scope.push_back(o);
            f.withs.push_back({next, next + blockSize});
        }
        break;
    }
    case Op::Try: {
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
        if (r.failed() || next + trySize + catchSize + finallySize > f.code.size()) return malformed();
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
        break;
    }
    case Op::Throw: Throw(Pop(f)); break;
    case Op::Extends: {
        Value superclass = Pop(f), subclass = Pop(f);
        if (!subclass.AsObject() || !superclass.AsObject()) break;
        // The subclass prototype inherits from the superclass's without running its constructor.
        Object* proto = NewPlain();
        proto->proto = GetMember(superclass, "prototype").AsObject();
        proto->Define("__constructor__", superclass, kDontEnum);
        subclass.AsObject()->Define("prototype", Value::Obj(proto), kDontEnum);
        break;
    }
    case Op::ImplementsOp: {
        Value constructor = Pop(f);
        std::size_t n = PopCount(f, 1);
        Object* proto = GetMember(constructor, "prototype").AsObject();
        for (std::size_t i = 0; i < n; ++i) {
            Object* iface = GetMember(Pop(f), "prototype").AsObject();
            if (proto && iface && proto->interfaces.size() < static_cast<std::size_t>(kMaxProtoDepth))
                proto->interfaces.push_back(iface);
        }
        break;
    }
    case Op::CastOp: {
        Value object = Pop(f), constructor = Pop(f);
        Push(f, InstanceOf(object, constructor) ? object : Value::Null());
        break;
    }

    // Functions.
    case Op::DefineFunction: return DefineFunction(f, false, payload, next);
    case Op::DefineFunction2: return DefineFunction(f, true, payload, next);
    case Op::CallFunction: {
        std::string name = Text(Pop(f));
        std::vector<Value> args = PopArgs(f);
        Push(f, Call(GetVariable(f, name), Value(), std::move(args)));
        break;
    }
    case Op::CallMethod: {
        Value name = Pop(f);
        Value object = Pop(f);
        std::vector<Value> args = PopArgs(f);
        std::string method = name.IsUndefined() ? "" : Text(name);
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
            Value self = o && o->kind == ObjectKind::Super ? o->superThis : object;
            Push(f, Call(fn, self, std::move(args), holder));
        }
        break;
    }
    case Op::NewObject: {
        std::string name = Text(Pop(f));
        std::vector<Value> args = PopArgs(f);
        Push(f, Construct(GetVariable(f, name), std::move(args)));
        break;
    }
    case Op::NewMethod: {
        Value name = Pop(f);
        Value object = Pop(f);
        std::vector<Value> args = PopArgs(f);
        std::string method = name.IsUndefined() ? "" : Text(name);
        Push(f, Construct(method.empty() ? object : GetMember(object, method), std::move(args)));
        break;
    }
    case Op::Return:
        f.result = Pop(f);
        f.returned = true;
        return f.code.size();

    // Branches.
    case Op::Jump: {
        CodeReader r(payload);
        std::int16_t offset = r.S16();
        if (r.failed()) return malformed();
        return jumpTo(offset);
    }
    case Op::If: {
        CodeReader r(payload);
        std::int16_t offset = r.S16();
        if (r.failed()) return malformed();
        if (ToBoolean(Pop(f), version)) return jumpTo(offset);
        break;
    }

    default:
        // Unknown or unsupported actions are skipped by their length.
        break;
    }
    return next;
}

}  // namespace swf::actions
