// Variables and scope: the scope chain, timeline variables, paths to clips
// ("_root", "_levelN", slash and dot paths), SetTarget and `with`.

#include <algorithm>
#include <string_view>

#include "swf/actions/action_codes.h"
#include "swf/actions/documented_methods.h"
#include "swf/actions/code_reader.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/interpreter_detail.h"

namespace swf::actions {

// Literals compare as views: their length is checked before their characters.
using namespace std::string_view_literals;

// ---- variables and targets ---------------------------------------------------------

Object* Interpreter::RootClip(Frame& f) {
    // _root is the top of the level the code belongs to (_level0 for the main movie).
    if (f.home && f.home->target) {
        if (ActionTarget* top = f.home->target->FindTarget("_root")) return vm_.ObjectFor(top);
    }
    if (vm_.root()) return vm_.ObjectFor(vm_.root());
    return f.home;
}

Object* Interpreter::LevelClip(Frame& f, int level) {
    if (level == 0 && !vm_.root()) return f.home;
    ActionTarget* at = vm_.Level(level);
    return at ? vm_.ObjectFor(at) : nullptr;
}

ActionTarget* Interpreter::TimelineOf(Frame& f) { return f.clip ? f.clip->target : nullptr; }

Object* Interpreter::ResolveTarget(Frame& f, const std::string& path) {
    if (path == "_root"sv || path == "/"sv) return RootClip(f);
    if (path == "this"sv || path == "."sv) return f.clip;
    int level = 0;
    std::size_t length = 0;
    if (ParseLevelName(path, &level, &length)) {
        Object* clip = LevelClip(f, level);
        if (!clip || length + 1 >= path.size()) return clip;
        ActionTarget* at = clip->target ? clip->target->FindTarget(path.substr(length + 1)) : nullptr;
        return at ? vm_.ObjectFor(at) : nullptr;
    }
    Object* base = f.clip ? f.clip : f.home;
    if (!base || !base->target) return nullptr;
    ActionTarget* found = base->target->FindTarget(path);
    return found ? vm_.ObjectFor(found) : nullptr;
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
    // Most names are plain: one pass over their few characters tells.
    const bool path = std::any_of(name.begin(), name.end(), [](char c) { return c == ':' || c == '.'; });
    return path ? GetPathVariable(f, name) : GetPlainVariable(f, name);
}

Value Interpreter::GetPathVariable(Frame& f, const std::string& name) {
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
    return GetPlainVariable(f, name);
}

Value Interpreter::GetPlainVariable(Frame& f, const std::string& name) {
    if (name == "this"sv) return f.self;
    if (name == "_root"sv) return Value::Obj(RootClip(f));
    if (name == "_global"sv) return Value::Obj(vm_.global());
    if (name == "super"sv) return SuperFor(f);
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
    if (Lookup(vm_.global(), name, out)) return out;
    NoteMissingClass(name);
    return Value();
}

void Interpreter::NoteMissingClass(const std::string& name) {
    // Classes of the player's library that this player does not have yet.
    static const char* const kMissing[] = {"Camera",          "Microphone",   "PrintJob",    "SharedObject",
                                           "LocalConnection", "XMLSocket",    "ContextMenu", "ContextMenuItem",
                                           "TextSnapshot",    "Accessibility"};
    for (const char* missing : kMissing) {
        if (!NamesEqual(name, missing, ignoreCase_)) continue;
        vm_.NoteUnsupported("the " + std::string(missing) +
                            " class is not available in this player; scripts using it get undefined");
        return;
    }
}

void Interpreter::NoteMissingMethod(const Value& object, const std::string& method) {
    const auto documents = [&](std::span<const std::string_view> names) {
        for (std::string_view name : names)
            if (NamesEqual(std::string(name), method, ignoreCase_)) return true;
        return false;
    };
    const auto classObject = [&](const DocumentedClass& c) -> Object* {
        const Value* found = vm_.global()->Find(std::string(c.name), ignoreCase_);
        return found ? found->AsObject() : nullptr;
    };
    const auto note = [&](std::string_view className) {
        vm_.NoteUnsupported(std::string(className) + "." + method +
                            "() is not available in this player; calls to it do nothing");
    };
    Object* start = object.AsObject();
    for (const DocumentedClass& c : DocumentedClasses()) {
        Object* cls = classObject(c);
        if (cls == nullptr) continue;
        if (start == cls) {
            if (documents(c.statics)) note(c.name);
            return;
        }
        // Strings, numbers and booleans find their methods on their class's prototype.
        const bool primitiveOf = (object.IsString() && c.name == "String"sv) ||
                                 (object.IsNumber() && c.name == "Number"sv) ||
                                 (object.IsBool() && c.name == "Boolean"sv);
        if (primitiveOf) {
            const Value* prototype = cls->Find("prototype");
            start = prototype ? prototype->AsObject() : nullptr;
        }
    }
    // The nearest of the player's prototypes on the chain that documents the name.
    int depth = 0;
    for (Object* p = start; p != nullptr && depth < detail::kMaxProtoDepth; p = p->proto, ++depth) {
        for (const DocumentedClass& c : DocumentedClasses()) {
            Object* cls = classObject(c);
            const Value* prototype = cls ? cls->Find("prototype") : nullptr;
            if (prototype == nullptr || prototype->AsObject() != p) continue;
            if (documents(c.methods)) {
                note(c.name);
                return;
            }
        }
    }
}

void Interpreter::SetVariable(Frame& f, const std::string& name, Value v) {
    std::size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        Object* clip = colon == 0 ? f.clip : ResolveTarget(f, name.substr(0, colon));
        if (clip) SetMember(Value::Obj(clip), name.substr(colon + 1), std::move(v));
        return;
    }
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        SetMember(GetVariable(f, name.substr(0, dot)), name.substr(dot + 1), std::move(v));
        return;
    }
    // An existing local or `with` member (a clip's display properties
    // included) wins; otherwise the variable lives on the timeline.
    DisplayProperty property;
    for (auto it = f.scope.rbegin(); it != f.scope.rend(); ++it) {
        if ((*it)->FindProperty(name, ignoreCase_) || ((*it)->display && DisplayPropertyNamed(name, &property))) {
            SetMember(Value::Obj(*it), name, std::move(v));
            return;
        }
    }
    if (Object* clip = f.clip ? f.clip : f.home) SetMember(Value::Obj(clip), name, std::move(v));
}

void Interpreter::DefineLocal(Frame& f, const std::string& name, Value v) {
    Object* where = f.function ? Locals(f) : (f.clip ? f.clip : f.home);
    if (where) where->Set(name, std::move(v), ignoreCase_);
}

bool Interpreter::DeleteVariable(Frame& f, const std::string& name) {
    for (auto it = f.scope.rbegin(); it != f.scope.rend(); ++it)
        if ((*it)->FindProperty(name, ignoreCase_)) return DeleteMember(*it, name);
    if (Object* clip = f.clip ? f.clip : f.home; clip && clip->FindProperty(name, ignoreCase_))
        return DeleteMember(clip, name);
    return DeleteMember(vm_.global(), name);
}

std::size_t Interpreter::DoGetVariable(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, GetVariable(f, PopName(f).AsString()));
    return next;
}

std::size_t Interpreter::DoSetVariable(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = Pop(f);
    SetVariable(f, PopName(f).AsString(), std::move(v));
    return next;
}

std::size_t Interpreter::DoDefineLocal(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = Pop(f);
    DefineLocal(f, PopName(f).AsString(), std::move(v));
    return next;
}

std::size_t Interpreter::DoDefineLocal2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string name = Text(Pop(f));
    Object* where = f.function ? Locals(f) : (f.clip ? f.clip : f.home);
    if (where && !where->Find(name, ignoreCase_)) where->Set(name, Value());
    return next;
}

std::size_t Interpreter::DoDelete2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Bool(DeleteVariable(f, Text(Pop(f)))));
    return next;
}

std::size_t Interpreter::DoWith(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::size_t blockSize = r.U16();
    if (r.failed() || next + blockSize > f.code.size()) return Malformed(f);
    Object* o = Pop(f).AsObject();
    if (o) {
        f.scope.push_back(o);
        f.withs.push_back({next, next + blockSize});
    }
    return next;
}

}  // namespace swf::actions
