#include "swf/actions/heap.h"

#include <algorithm>

#include "swf/actions/conversions.h"

namespace swf::actions {

bool NamesEqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

Property* Object::FindProperty(const std::string& name, bool ignoreCase) { return properties.Find(name, ignoreCase); }

bool Object::FindElement(const std::string& name, Value& out) const {
    if (kind != ObjectKind::Array) return false;
    if (name == "length") {
        out = Value::Number(static_cast<double>(elements.size()));
        return true;
    }
    std::size_t index;
    if (!ParseArrayIndex(name, index) || index >= elements.size()) return false;
    out = elements[index];
    return true;
}

Value* Object::Find(const std::string& name, bool ignoreCase) {
    Property* p = FindProperty(name, ignoreCase);
    return p ? &p->value : nullptr;
}

void Object::Set(const std::string& name, Value value, bool ignoreCase) {
    if (Property* p = FindProperty(name, ignoreCase)) {
        p->value = std::move(value);
        p->getter = p->setter = nullptr;
        return;
    }
    properties.push_back(Property{name, std::move(value)});
}

void Object::Define(const std::string& name, Value value, std::uint8_t flags) {
    Set(name, std::move(value));
    FindProperty(name)->flags = flags;
}

bool Object::Remove(const std::string& name, bool ignoreCase) { return properties.Remove(name, ignoreCase); }

Value* Object::FindInternal(const std::string& name) {
    for (auto& [key, value] : internals)
        if (key == name) return &value;
    return nullptr;
}

void Object::SetInternal(const std::string& name, Value value) {
    if (Value* slot = FindInternal(name)) {
        *slot = std::move(value);
        return;
    }
    internals.emplace_back(name, std::move(value));
}

void Heap::ForgetBytes(std::size_t bytes) {
    const std::size_t fromMade = std::min(bytes, madeBytes_);
    madeBytes_ -= fromMade;
    liveBytes_ -= std::min(bytes - fromMade, liveBytes_);
}

Object* Heap::New(ObjectKind kind) {
    madeBytes_ += sizeof(Object);
    objects_.push_back(std::make_unique<Object>(kind));
    return objects_.back().get();
}

namespace {

void MarkValue(const Value& v, std::vector<Object*>& work) {
    if (Object* o = v.AsObject()) work.push_back(o);
}

// A value's own bytes and its text, counted once however many values share it.
std::size_t ValueBytes(const Value& v, std::unordered_set<const void*>& texts) {
    std::size_t bytes = sizeof(Value);
    if (v.IsString() && texts.insert(v.TextIdentity()).second) bytes += sizeof(std::string) + v.AsString().size();
    return bytes;
}

}  // namespace

void Heap::Collect(const std::vector<Object*>& roots) {
    for (auto& o : objects_) o->marked = false;
    // An explicit work list: deep object graphs must not recurse on the C++ stack.
    std::vector<Object*> work(roots.begin(), roots.end());
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        if (!o || o->marked) continue;
        o->marked = true;
        for (const auto& p : o->properties) {
            MarkValue(p.value, work);
            work.push_back(p.getter);
            work.push_back(p.setter);
        }
        for (const auto& e : o->elements) MarkValue(e, work);
        for (Object* i : o->interfaces) work.push_back(i);
        for (const auto& w : o->watches) {
            work.push_back(w.callback);
            MarkValue(w.userData, work);
        }
        MarkValue(o->primitive, work);
        MarkValue(o->superThis, work);
        work.push_back(o->superHome);
        for (const auto& p : o->internals) MarkValue(p.second, work);
        work.push_back(o->proto);
        if (o->script) {
            for (Object* s : o->script->scope) work.push_back(s);
            work.push_back(o->script->clip);
        }
    }
    std::erase_if(objects_, [](const std::unique_ptr<Object>& o) { return !o->marked; });
    std::unordered_set<const void*> texts;
    liveBytes_ = 0;
    for (const auto& o : objects_) liveBytes_ += Measure(*o, texts);
    madeBytes_ = 0;
}

std::size_t Heap::Measure(const Object& o, std::unordered_set<const void*>& texts) const {
    std::size_t bytes = sizeof(Object);
    for (const Property& p : o.properties) bytes += sizeof(Property) + p.name.size() + ValueBytes(p.value, texts);
    for (const Value& e : o.elements) bytes += ValueBytes(e, texts);
    for (const auto& [name, value] : o.internals) bytes += name.size() + ValueBytes(value, texts);
    bytes += ValueBytes(o.primitive, texts);
    if (o.script) bytes += o.script->body.size();
    if (o.payload) bytes += o.payload->Bytes();
    return bytes;
}

}  // namespace swf::actions
