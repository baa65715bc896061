// AsBroadcaster and the listener methods every broadcaster shares: an
// object's listeners live in its `_listeners` array, and a message calls the
// method of that name on each of them.

#include <algorithm>

#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

constexpr std::size_t kMaxListeners = 10'000;

// The listener array of `this`, made when missing (hidden from for..in).
Object* Listeners(CallContext& c) {
    Object* self = c.self.AsObject();
    if (!self) return nullptr;
    Value* list = self->Find("_listeners");
    if (list && list->AsObject() && list->AsObject()->kind == ObjectKind::Array) return list->AsObject();
    Object* array = c.interpreter.NewArray({});
    self->Define("_listeners", Value::Obj(array), kDontEnum);
    return array;
}

bool SameObject(const Value& a, const Value& b) { return a.AsObject() && a.AsObject() == b.AsObject(); }

// initialize(obj): the three methods (the very functions AsBroadcaster has)
// and an empty listener list, none of them enumerable.
Value Initialize(CallContext& c) {
    Object* target = c.Arg(0).AsObject();
    Object* broadcaster = c.self.AsObject();
    if (!target || !broadcaster) return Value();
    for (const char* name : {"broadcastMessage", "addListener", "removeListener"}) {
        Value* method = broadcaster->Find(name);
        target->Define(name, method ? *method : Value(), kDontEnum);
    }
    target->Define("_listeners", Value::Obj(c.interpreter.NewArray({})), kDontEnum);
    return Value();
}

}  // namespace

// An object is listed once; adding it again keeps its place.
Value BroadcasterAddListener(CallContext& c) {
    Object* list = Listeners(c);
    if (!list || !c.Arg(0).IsObject()) return Value::Bool(false);
    auto& items = list->elements;
    if (std::none_of(items.begin(), items.end(), [&](const Value& v) { return SameObject(v, c.Arg(0)); }) &&
        items.size() < kMaxListeners) {
        items.push_back(c.Arg(0));
    }
    return Value::Bool(true);
}

Value BroadcasterRemoveListener(CallContext& c) {
    Object* list = Listeners(c);
    if (!list) return Value::Bool(false);
    auto& items = list->elements;
    const auto it = std::find_if(items.begin(), items.end(), [&](const Value& v) { return SameObject(v, c.Arg(0)); });
    if (it == items.end()) return Value::Bool(false);
    items.erase(it);
    return Value::Bool(true);
}

// broadcastMessage(name, args...): the listeners as they were when the
// message went out, so that a listener may remove itself (or others) while
// it runs. True when anyone was listening.
Value BroadcasterBroadcastMessage(CallContext& c) {
    Object* list = Listeners(c);
    if (!list || c.args.empty()) return Value();
    const std::string name = ArgText(c, 0);
    const std::vector<Value> listeners = list->elements;
    const std::vector<Value> args(c.args.begin() + 1, c.args.end());
    for (const Value& listener : listeners) {
        if (!c.interpreter.ok()) break;
        Value method = c.interpreter.GetMember(listener, name);
        if (method.AsObject() && method.AsObject()->kind == ObjectKind::Function)
            c.interpreter.Call(method, listener, args);
    }
    return listeners.empty() ? Value() : Value::Bool(true);
}

void InstallBroadcasterBuiltins(Installer& in) {
    Object* broadcaster = in.NewObject(in.vm().objectProto());
    in.vm().global()->Define("AsBroadcaster", Value::Obj(broadcaster), kDontEnum);
    in.Method(broadcaster, "initialize", Initialize);
    in.Method(broadcaster, "addListener", BroadcasterAddListener);
    in.Method(broadcaster, "removeListener", BroadcasterRemoveListener);
    in.Method(broadcaster, "broadcastMessage", BroadcasterBroadcastMessage);
}

}  // namespace swf::actions
