#include "swf/player/media/amf_script_value.h"

#include <variant>

namespace swf {

namespace {

using actions::Object;
using actions::ObjectKind;
using actions::Value;

Value ObjectOf(const std::vector<video::AmfMember>& members, actions::Vm& vm) {
    Object* object = vm.heap().New(ObjectKind::Plain);
    object->proto = vm.objectProto();
    for (const video::AmfMember& member : members) object->Set(member.name, ScriptValueOf(member.value, vm));
    return Value::Obj(object);
}

}  // namespace

Value ScriptValueOf(const video::AmfValue& value, actions::Vm& vm) {
    return std::visit(
        [&](const auto& v) -> Value {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, video::AmfNull>) {
                return Value::Null();
            } else if constexpr (std::is_same_v<T, double>) {
                return Value::Number(v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return Value::Bool(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return Value::String(v);
            } else if constexpr (std::is_same_v<T, video::AmfObject> || std::is_same_v<T, video::AmfEcmaArray>) {
                return ObjectOf(v.members, vm);
            } else if constexpr (std::is_same_v<T, video::AmfStrictArray>) {
                Object* array = vm.heap().New(ObjectKind::Array);
                array->proto = vm.arrayProto();
                array->elements.reserve(v.elements.size());
                for (const video::AmfValue& element : v.elements) array->elements.push_back(ScriptValueOf(element, vm));
                return Value::Obj(array);
            } else if constexpr (std::is_same_v<T, video::AmfDate>) {
                Object* date = vm.heap().New(ObjectKind::Plain);
                date->proto = vm.dateProto();
                date->primitive = Value::Number(v.milliseconds);
                return Value::Obj(date);
            } else {
                return Value();
            }
        },
        value.variant());
}

}  // namespace swf
