// Loading from scripts: loadVariables / loadMovie (the GetURL actions with
// their flags and "_levelN" targets, and the clip methods), the LoadVars and
// MovieClipLoader classes, and the calls through which the player reports
// finished loads back to them.

#include <algorithm>
#include <cctype>
#include <iterator>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/xml.h"
#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/url_variables.h"

namespace swf::actions {

namespace {

// Requests waiting for the next frame tick; more are dropped (a script that
// loads in a loop).
constexpr std::size_t kMaxPendingLoads = 1024;

// GetURL2 flag bits as compilers write them.
constexpr std::uint8_t kLoadVariablesFlag = 0x80;
constexpr std::uint8_t kLoadTargetFlag = 0x40;

bool StartsWithFsCommand(const std::string& url) {
    static const char kPrefix[] = "fscommand:";
    if (url.size() < sizeof(kPrefix) - 1) return false;
    for (std::size_t i = 0; i + 1 < sizeof(kPrefix); ++i) {
        if (std::tolower(static_cast<unsigned char>(url[i])) != kPrefix[i]) return false;
    }
    return true;
}

// ---- LoadVars ----

Object* SelfLoadVars(CallContext& c) {
    Object* o = c.self.AsObject();
    return o != nullptr && o->FindInternal("loadVars") != nullptr ? o : nullptr;
}

Value LoadVarsConstructor(CallContext& c) {
    if (!c.construct) return Value();
    Object* o = c.interpreter.NewPlain();
    o->proto = c.interpreter.vm().loadVarsPrototype();
    o->SetInternal("loadVars", Value::Bool(true));
    return Value::Obj(o);
}

Value LoadVarsLoad(CallContext& c) {
    Object* self = SelfLoadVars(c);
    if (self == nullptr || c.args.empty()) return Value::Bool(false);
    LoadRequest request;
    request.kind = LoadKind::Variables;
    request.url = c.interpreter.Text(c.args[0]);
    request.receiver = self;
    self->Set("loaded", Value::Bool(false));
    self->SetInternal("bytesLoaded", Value::Number(0));
    self->SetInternal("bytesTotal", Value());
    c.interpreter.vm().QueueLoad(std::move(request));
    return Value::Bool(true);
}

Value LoadVarsDecode(CallContext& c) {
    Object* self = c.self.AsObject();
    if (self == nullptr || c.args.empty()) return Value();
    for (auto& [name, value] : DecodeUrlVariables(c.interpreter.Text(c.args[0]))) {
        if (!c.interpreter.Budget().Spend(1)) break;
        Value text = c.interpreter.MakeString(std::move(value));
        if (!c.interpreter.ok()) break;
        self->Set(name, std::move(text));
    }
    return Value();
}

// The default onData: decode the text, then onLoad(true); no text: onLoad(false).
Value LoadVarsOnData(CallContext& c) {
    Object* self = c.self.AsObject();
    if (self == nullptr) return Value();
    if (c.Arg(0).IsUndefined() || c.Arg(0).IsNull()) {
        c.interpreter.Call(c.interpreter.GetMember(c.self, "onLoad"), c.self, {Value::Bool(false)});
        return Value();
    }
    std::vector<Value> args = {c.Arg(0)};
    c.interpreter.Call(c.interpreter.GetMember(c.self, "decode"), c.self, std::move(args));
    self->Set("loaded", Value::Bool(true));
    c.interpreter.Call(c.interpreter.GetMember(c.self, "onLoad"), c.self, {Value::Bool(true)});
    return Value();
}

Value LoadVarsToString(CallContext& c) {
    Object* self = c.self.AsObject();
    if (self == nullptr) return Value::String("");
    UrlVariables variables;
    for (const Property& p : self->properties) {
        if (!(p.flags & kDontEnum)) variables.emplace_back(p.name, c.interpreter.Text(p.value));
    }
    return c.interpreter.MakeString(EncodeUrlVariables(variables));
}

Value InternalNumber(CallContext& c, const char* name) {
    Object* self = c.self.AsObject();
    Value* v = self != nullptr ? self->FindInternal(name) : nullptr;
    return v != nullptr ? *v : Value();
}

Value LoadVarsBytesLoaded(CallContext& c) { return InternalNumber(c, "bytesLoaded"); }
Value LoadVarsBytesTotal(CallContext& c) { return InternalNumber(c, "bytesTotal"); }

// ---- XML ----

Value XmlLoad(CallContext& c) {
    Object* self = c.self.AsObject();
    if (self == nullptr || c.args.empty()) return Value::Bool(false);
    LoadRequest request;
    request.kind = LoadKind::Xml;
    request.url = c.interpreter.Text(c.args[0]);
    request.receiver = self;
    self->Set("loaded", Value::Bool(false));
    c.interpreter.vm().QueueLoad(std::move(request));
    return Value::Bool(true);
}

// ---- MovieClipLoader ----

Object* SelfClipLoader(CallContext& c) {
    Object* o = c.self.AsObject();
    return o != nullptr && o->FindInternal("listeners") != nullptr ? o : nullptr;
}

Value ClipLoaderConstructor(CallContext& c) {
    if (!c.construct) return Value();
    Object* o = c.interpreter.NewPlain();
    o->proto = c.interpreter.vm().clipLoaderPrototype();
    // The loader hears its own events first.
    o->SetInternal("listeners", Value::Obj(c.interpreter.NewArray({Value::Obj(o)})));
    o->SetInternal("progress", Value::Obj(c.interpreter.NewArray({})));
    return Value::Obj(o);
}

Object* Listeners(Object* loader) {
    Value* v = loader->FindInternal("listeners");
    return v != nullptr ? v->AsObject() : nullptr;
}

Value ClipLoaderAddListener(CallContext& c) {
    Object* self = SelfClipLoader(c);
    Object* listener = c.Arg(0).AsObject();
    if (self == nullptr || listener == nullptr) return Value::Bool(false);
    Object* list = Listeners(self);
    const bool present = std::any_of(list->elements.begin(), list->elements.end(),
                                     [&](const Value& v) { return v.AsObject() == listener; });
    if (!present) list->elements.push_back(Value::Obj(listener));
    return Value::Bool(true);
}

Value ClipLoaderRemoveListener(CallContext& c) {
    Object* self = SelfClipLoader(c);
    Object* listener = c.Arg(0).AsObject();
    if (self == nullptr || listener == nullptr) return Value::Bool(false);
    auto& elements = Listeners(self)->elements;
    const auto it =
        std::find_if(elements.begin(), elements.end(), [&](const Value& v) { return v.AsObject() == listener; });
    if (it == elements.end()) return Value::Bool(false);
    elements.erase(it);
    return Value::Bool(true);
}

Value QueueClipLoad(CallContext& c, LoadKind kind, const Value& url, const Value& target) {
    Object* self = SelfClipLoader(c);
    if (self == nullptr) return Value::Bool(false);
    LoadRequest request;
    request.kind = kind;
    request.url = kind == LoadKind::Movie ? c.interpreter.Text(url) : std::string();
    request.target = c.interpreter.LoadTarget(nullptr, target, &request.level);
    if (request.target == nullptr && request.level < 0) return Value::Bool(false);
    request.receiver = self;
    c.interpreter.vm().QueueLoad(std::move(request));
    return Value::Bool(true);
}

Value ClipLoaderLoadClip(CallContext& c) {
    if (c.args.size() < 2) return Value::Bool(false);
    return QueueClipLoad(c, LoadKind::Movie, c.args[0], c.args[1]);
}

Value ClipLoaderUnloadClip(CallContext& c) { return QueueClipLoad(c, LoadKind::Unload, Value(), c.Arg(0)); }

Value ClipLoaderGetProgress(CallContext& c) {
    Object* self = SelfClipLoader(c);
    Object* result = c.interpreter.NewPlain();
    double loaded = 0, total = 0;
    if (self != nullptr) {
        Object* target = c.Arg(0).AsObject();
        for (const Value& entry : self->FindInternal("progress")->AsObject()->elements) {
            Object* e = entry.AsObject();
            if (e != nullptr && e->Find("target") != nullptr && e->Find("target")->AsObject() == target) {
                loaded = c.interpreter.Number(*e->Find("bytesLoaded"));
                total = c.interpreter.Number(*e->Find("bytesTotal"));
            }
        }
    }
    result->Set("bytesLoaded", Value::Number(loaded));
    result->Set("bytesTotal", Value::Number(total));
    return Value::Obj(result);
}

// ---- MovieClip methods ----

ActionTarget* SelfClip(CallContext& c) {
    Object* o = c.self.AsObject();
    return o != nullptr && o->kind == ObjectKind::Clip ? o->target : nullptr;
}

Value ClipLoad(CallContext& c, LoadKind kind) {
    ActionTarget* target = SelfClip(c);
    if (target == nullptr || (kind != LoadKind::Unload && c.args.empty())) return Value();
    LoadRequest request;
    request.kind = kind;
    if (kind != LoadKind::Unload) request.url = c.interpreter.Text(c.args[0]);
    // The main timeline is level 0: loading into it replaces the whole movie.
    if (target == c.interpreter.vm().Level(0)) {
        request.level = 0;
    } else {
        request.target = target;
    }
    c.interpreter.vm().QueueLoad(std::move(request));
    return Value();
}

// Everything a timeline plays is loaded before it starts: both counts are the file's size.
Value ClipBytes(CallContext& c) {
    ActionTarget* target = SelfClip(c);
    return target != nullptr ? Value::Number(target->BytesTotal()) : Value();
}

Value ClipLoadVariables(CallContext& c) { return ClipLoad(c, LoadKind::Variables); }
Value ClipLoadMovie(CallContext& c) { return ClipLoad(c, LoadKind::Movie); }
Value ClipUnloadMovie(CallContext& c) { return ClipLoad(c, LoadKind::Unload); }

}  // namespace

bool ParseLevelName(const std::string& path, int* level, std::size_t* length) {
    static const char kPrefix[] = "_level";
    constexpr std::size_t kPrefixLength = sizeof(kPrefix) - 1;
    if (path.size() <= kPrefixLength) return false;
    for (std::size_t i = 0; i < kPrefixLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != kPrefix[i]) return false;
    }
    std::size_t i = kPrefixLength;
    long value = 0;
    while (i < path.size() && path[i] >= '0' && path[i] <= '9') {
        value = value * 10 + (path[i] - '0');
        if (value > 0xFFFF) return false;
        ++i;
    }
    if (i == kPrefixLength) return false;
    if (i < path.size() && path[i] != '.' && path[i] != '/' && path[i] != ':') return false;
    *level = static_cast<int>(value);
    *length = i;
    return true;
}

ActionTarget* Interpreter::LoadTarget(Frame* f, const Value& target, int* level) {
    *level = -1;
    if (Object* o = target.AsObject()) {
        if (o->kind != ObjectKind::Clip || o->target == nullptr) return nullptr;
        if (o->target == vm_.Level(0)) {
            *level = 0;
            return nullptr;
        }
        return o->target;
    }
    const std::string path = Text(target);
    int n = 0;
    std::size_t length = 0;
    if (ParseLevelName(path, &n, &length) && length == path.size()) {
        *level = n;
        return nullptr;
    }
    if (path == "_root" || path == "/") {
        *level = 0;
        return nullptr;
    }
    Object* clip = nullptr;
    if (f != nullptr) {
        clip = path.empty() ? f->clip : ResolveTarget(*f, path);
    } else if (ActionTarget* root = vm_.Level(0)) {
        // Outside a block paths start at the main timeline.
        ActionTarget* found = root->FindTarget(path);
        clip = found ? vm_.ObjectFor(found) : nullptr;
    }
    if (clip == nullptr || clip->target == nullptr) return nullptr;
    if (clip->target == vm_.Level(0)) {
        *level = 0;
        return nullptr;
    }
    return clip->target;
}

void Interpreter::HandleGetUrl(Frame& f, const std::string& url, const Value& target, std::uint8_t flags) {
    LoadRequest request;
    request.url = url;
    if (flags & kLoadVariablesFlag) {
        request.kind = LoadKind::Variables;
    } else if (flags & kLoadTargetFlag) {
        request.kind = url.empty() ? LoadKind::Unload : LoadKind::Movie;
    } else {
        // A plain GetURL loads a movie only into a level; FSCommand goes to the host whatever the target.
        int level = 0;
        std::size_t length = 0;
        const std::string name = target.IsObject() ? std::string() : Text(target);
        if (StartsWithFsCommand(url) || !ParseLevelName(name, &level, &length) || length != name.size()) {
            HandleUrl(url, Text(target));
            return;
        }
        request.kind = url.empty() ? LoadKind::Unload : LoadKind::Movie;
    }
    request.target = LoadTarget(&f, target, &request.level);
    if (request.target == nullptr && request.level < 0) return;  // no such timeline: nothing happens
    vm_.QueueLoad(std::move(request));
}

// ---- Vm: the queue and the player's reports ----

void Vm::QueueLoad(LoadRequest request) {
    if (pendingLoads_.size() < kMaxPendingLoads) pendingLoads_.push_back(std::move(request));
}

std::vector<LoadRequest>& Vm::BeginLoads() {
    activeLoads_.insert(activeLoads_.end(), pendingLoads_.begin(), pendingLoads_.end());
    pendingLoads_.clear();
    return activeLoads_;
}

void Vm::EndLoads(std::size_t done) {
    if (done < activeLoads_.size()) {
        pendingLoads_.insert(pendingLoads_.begin(), std::make_move_iterator(activeLoads_.begin() + done),
                             std::make_move_iterator(activeLoads_.end()));
    }
    activeLoads_.clear();
}

Value Vm::ClipValue(ActionTarget& target) { return Value::Obj(ObjectFor(&target)); }

void Vm::ClearVariables(ActionTarget& target) { ObjectFor(&target)->properties.clear(); }

void Vm::FinishLoadVars(Object* receiver, const std::string* text, std::size_t bytes, ActionHost& host) {
    if (receiver == nullptr) return;
    if (text != nullptr) {
        receiver->SetInternal("bytesLoaded", Value::Number(static_cast<double>(bytes)));
        receiver->SetInternal("bytesTotal", Value::Number(static_cast<double>(bytes)));
    }
    if (text != nullptr) NoteBytes(text->size());
    CallMethod(Value::Obj(receiver), "onData", {text != nullptr ? Value::String(*text) : Value()}, host);
}

void Vm::FinishXml(Object* document, const std::string* text, ActionHost& host) {
    if (document == nullptr) return;
    if (text != nullptr) NoteBytes(text->size());
    Enter([&] {
        Interpreter interpreter(*this, host);
        XmlLoaded(interpreter, document, text != nullptr, text != nullptr ? *text : std::string());
        return interpreter.Status();
    });
}

void Vm::NotifyClipLoader(Object* loader, const std::string& event, const std::vector<Value>& args, ActionHost& host) {
    if (loader == nullptr) return;
    Value* list = loader->FindInternal("listeners");
    if (list == nullptr || list->AsObject() == nullptr) return;
    // Listeners added or removed by a callback take effect with the next event.
    // No collection runs until all have heard it: the copy keeps removed ones.
    const std::vector<Value> listeners = list->AsObject()->elements;
    Enter([&] {
        for (const Value& listener : listeners) CallMethod(listener, event, args, host);
        return RunStatus::Completed;
    });
}

void Vm::SetClipLoadProgress(Object* loader, ActionTarget& target, double loaded, double total) {
    Value* list = loader != nullptr ? loader->FindInternal("progress") : nullptr;
    if (list == nullptr || list->AsObject() == nullptr) return;
    Object* clip = ObjectFor(&target);
    Object* entry = nullptr;
    for (const Value& e : list->AsObject()->elements) {
        Object* o = e.AsObject();
        if (o != nullptr && o->Find("target") != nullptr && o->Find("target")->AsObject() == clip) entry = o;
    }
    if (entry == nullptr) {
        entry = heap_.New(ObjectKind::Plain);
        entry->proto = builtins_.objectProto;
        entry->Set("target", Value::Obj(clip));
        list->AsObject()->elements.push_back(Value::Obj(entry));
    }
    entry->Set("bytesLoaded", Value::Number(loaded));
    entry->Set("bytesTotal", Value::Number(total));
}

void InstallLoadingBuiltins(Vm& vm, BuiltinObjects& objects) {
    Installer in(vm);
    objects.loadVarsProto = in.NewObject(objects.objectProto);
    in.Method(objects.loadVarsProto, "load", LoadVarsLoad);
    in.Method(objects.loadVarsProto, "decode", LoadVarsDecode);
    in.Method(objects.loadVarsProto, "onData", LoadVarsOnData);
    in.Method(objects.loadVarsProto, "toString", LoadVarsToString);
    in.Method(objects.loadVarsProto, "getBytesLoaded", LoadVarsBytesLoaded);
    in.Method(objects.loadVarsProto, "getBytesTotal", LoadVarsBytesTotal);
    in.Class("LoadVars", LoadVarsConstructor, objects.loadVarsProto);

    objects.clipLoaderProto = in.NewObject(objects.objectProto);
    in.Method(objects.clipLoaderProto, "loadClip", ClipLoaderLoadClip);
    in.Method(objects.clipLoaderProto, "unloadClip", ClipLoaderUnloadClip);
    in.Method(objects.clipLoaderProto, "addListener", ClipLoaderAddListener);
    in.Method(objects.clipLoaderProto, "removeListener", ClipLoaderRemoveListener);
    in.Method(objects.clipLoaderProto, "getProgress", ClipLoaderGetProgress);
    in.Class("MovieClipLoader", ClipLoaderConstructor, objects.clipLoaderProto);

    // XML.prototype.load: the XML class leaves it to the loading code.
    if (Value* xml = vm.global()->Find("XML")) {
        if (Object* constructor = xml->AsObject()) {
            if (Value* proto = constructor->Find("prototype"); proto != nullptr && proto->AsObject() != nullptr) {
                in.Method(proto->AsObject(), "load", XmlLoad);
            }
        }
    }

    in.Method(objects.clipProto, "loadVariables", ClipLoadVariables);
    in.Method(objects.clipProto, "loadMovie", ClipLoadMovie);
    in.Method(objects.clipProto, "unloadMovie", ClipUnloadMovie);
    in.Method(objects.clipProto, "getBytesLoaded", ClipBytes);
    in.Method(objects.clipProto, "getBytesTotal", ClipBytes);
}

}  // namespace swf::actions
