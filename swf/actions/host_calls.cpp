// What the host asks of the movie outside its scripts: variables and
// timelines by path, properties by number, and calls into the functions the
// movie registered with ExternalInterface.addCallback. Paths go through the
// same resolution the actions use.

#include <string_view>

#include "swf/actions/external_interface.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/vm.h"

namespace swf::actions {

using namespace std::string_view_literals;

namespace {

// "", "/" and the names of the main timeline itself.
bool NamesMainTimeline(const std::string& path) {
    return path.empty() || path == "/"sv || path == "_root"sv || path == "_level0"sv;
}

}  // namespace

Frame Interpreter::HostFrame() {
    static const std::vector<Value> kNoConstants;
    Frame f;
    f.constants = &kNoConstants;
    f.home = vm_.root() ? vm_.ObjectFor(vm_.root()) : nullptr;
    f.clip = f.home;
    f.self = f.home ? Value::Obj(f.home) : Value();
    return f;
}

Value Interpreter::HostGetVariable(const std::string& path) {
    Frame f = HostFrame();
    if (f.home == nullptr || path.empty()) return Value();
    return GetVariable(f, path);
}

bool Interpreter::HostSetVariable(const std::string& path, Value value) {
    Frame f = HostFrame();
    if (f.home == nullptr || path.empty()) return false;
    const std::size_t colon = path.rfind(':');
    if (colon != std::string::npos) {
        Object* clip = colon == 0 ? f.clip : ResolveTarget(f, path.substr(0, colon));
        if (clip == nullptr || colon + 1 >= path.size()) return false;
        SetMember(Value::Obj(clip), path.substr(colon + 1), std::move(value));
        return ok();
    }
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < path.size()) {
        const Value owner = GetVariable(f, path.substr(0, dot));
        if (!owner.IsObject()) return false;
        SetMember(owner, path.substr(dot + 1), std::move(value));
        return ok();
    }
    SetMember(Value::Obj(f.home), path, std::move(value));
    return ok();
}

Object* Interpreter::HostTarget(const std::string& path) {
    Frame f = HostFrame();
    if (f.home == nullptr) return nullptr;
    if (NamesMainTimeline(path)) return f.home;
    Object* clip = ResolveTarget(f, path);
    return clip != nullptr && clip->target != nullptr ? clip : nullptr;
}

Value Interpreter::HostGetProperty(const std::string& path, int index) {
    Object* clip = HostTarget(path);
    if (clip == nullptr) return Value();
    Frame f = HostFrame();
    return GetProperty(f, Value::Obj(clip), index);
}

bool Interpreter::HostSetProperty(const std::string& path, int index, const Value& value) {
    Object* clip = HostTarget(path);
    if (clip == nullptr || index < 0 || index > static_cast<int>(DisplayProperty::YMouse)) return false;
    Frame f = HostFrame();
    SetProperty(f, Value::Obj(clip), index, value);
    return ok();
}

std::optional<std::string> Vm::GetPathText(const std::string& path, ActionHost& host) {
    std::optional<std::string> text;
    Enter([&] {
        Interpreter in(*this, host);
        const Value v = in.HostGetVariable(path);
        Object* o = v.AsObject();
        // A clip reads as its path ("_level0.menu"), as _target's dotted form.
        if (o != nullptr && o->kind == ObjectKind::Clip && o->display != nullptr && in.ok()) {
            text = in.TargetPathOf(o, false);
        } else if (!v.IsUndefined() && in.ok()) {
            text = in.Text(v);
        }
        return in.Status();
    });
    return text;
}

bool Vm::SetPathText(const std::string& path, const std::string& text, ActionHost& host) {
    bool set = false;
    Enter([&] {
        Interpreter in(*this, host);
        const Value value = in.MakeString(text);
        set = in.ok() && in.HostSetVariable(path, value);
        return in.Status();
    });
    return set;
}

ActionTarget* Vm::FindTimeline(const std::string& path, ActionHost& host) {
    ActionTarget* found = nullptr;
    Enter([&] {
        Interpreter in(*this, host);
        if (Object* clip = in.HostTarget(path)) found = clip->target;
        return in.Status();
    });
    return found;
}

std::optional<Value> Vm::GetTargetProperty(const std::string& path, int property, ActionHost& host) {
    std::optional<Value> value;
    if (property < 0 || property > static_cast<int>(DisplayProperty::YMouse)) return value;
    Enter([&] {
        Interpreter in(*this, host);
        if (in.HostTarget(path) != nullptr) {
            // Display properties are primitives: they outlive the run.
            const Value v = in.HostGetProperty(path, property);
            if (in.ok()) value = v;
        }
        return in.Status();
    });
    return value;
}

bool Vm::SetTargetProperty(const std::string& path, int property, const Value& value, ActionHost& host) {
    bool set = false;
    Enter([&] {
        Interpreter in(*this, host);
        set = in.HostSetProperty(path, property, value);
        return in.Status();
    });
    return set;
}

void Vm::SetExternalInterface(bool available, bool allowed) {
    externalAvailable_ = available;
    externalAllowed_ = allowed;
}

bool Vm::AddHostCallback(const std::string& name, const Value& function, const Value& instance) {
    if (!externalAllowed_ || name.empty()) return false;
    hostCallbacks_[name] = {function, instance};
    return true;
}

std::optional<std::string> Vm::CallHostCallback(const std::string& request, ActionHost& host, std::string& error) {
    error.clear();
    if (!externalAllowed_) {
        error = "the movie does not allow script access";
        return std::nullopt;
    }
    // Each round trip (script -> host -> callback -> host ...) costs C++
    // stack of its own, which the script budget does not bound.
    if (runDepth_ >= kMaxHostNesting) {
        error = "calls between the host and the movie nest too deeply";
        return std::nullopt;
    }
    std::optional<std::string> result;
    const RunStatus status = Enter([&] {
        Interpreter in(*this, host);
        InvokeRequest invoke;
        if (!DecodeInvokeRequest(request, in, invoke, error)) return in.Status();
        const auto it = hostCallbacks_.find(invoke.name);
        if (it == hostCallbacks_.end()) {
            error = "the movie has no callback named \"" + invoke.name + "\"";
            return in.Status();
        }
        // A copy: the function may replace its own registration.
        const HostCallback callback = it->second;
        const Value value = in.Call(callback.function, callback.instance, std::move(invoke.args));
        if (in.ok()) result = EncodeXmlValue(value, swfVersion_);
        return in.Status();
    });
    if (!result && error.empty()) {
        switch (status) {
        case RunStatus::Thrown: error = "the callback threw an exception"; break;
        case RunStatus::ActionLimit: error = "the movie's script budget is spent"; break;
        case RunStatus::MemoryLimit: error = "the movie's script memory is used up"; break;
        default: error = "the callback was stopped"; break;
        }
    }
    return result;
}

}  // namespace swf::actions
