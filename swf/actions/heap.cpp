#include "heap.h"

#include <algorithm>

namespace swf::actions {

Value* Object::Find(const std::string& name) {
    for (auto& [key, value] : properties)
        if (key == name) return &value;
    return nullptr;
}

void Object::Set(const std::string& name, Value value) {
    if (Value* slot = Find(name)) {
        *slot = std::move(value);
        return;
    }
    properties.emplace_back(name, std::move(value));
}

bool Object::Remove(const std::string& name) {
    auto it = std::find_if(properties.begin(), properties.end(),
                           [&](const auto& p) { return p.first == name; });
    if (it == properties.end()) return false;
    properties.erase(it);
    return true;
}

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

Object* Heap::New(ObjectKind kind) {
    objects_.push_back(std::make_unique<Object>(kind));
    return objects_.back().get();
}

namespace {

void MarkValue(const Value& v, std::vector<Object*>& work) {
    if (Object* o = v.AsObject()) work.push_back(o);
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
        for (const auto& p : o->properties) MarkValue(p.second, work);
        for (const auto& e : o->elements) MarkValue(e, work);
        for (const auto& p : o->internals) MarkValue(p.second, work);
        work.push_back(o->proto);
        if (o->script) {
            for (Object* s : o->script->scope) work.push_back(s);
            work.push_back(o->script->clip);
        }
    }
    std::erase_if(objects_, [](const std::unique_ptr<Object>& o) { return !o->marked; });
}

}  // namespace swf::actions
