// Pieces of ActionScript 2 as compilers emit them.

#include "tools/moviegen/script_pieces.h"

#include <iterator>

namespace moviegen {

using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

ActionAssembler& Get(ActionAssembler& a, const std::string& name) {
    return a.PushString(name).Action(ActionCode::GetVariable);
}

ActionAssembler& Member(ActionAssembler& a, const std::string& name) {
    return a.PushString(name).Action(ActionCode::GetMember);
}

ActionAssembler& Class(ActionAssembler& a, const std::string& cls) { return Member(Get(a, "_global"), cls); }

ActionAssembler& This(ActionAssembler& a, const std::string& name) { return Member(Get(a, "this"), name); }

ActionAssembler& CallMethod(ActionAssembler& a, const std::string& object, const std::string& method,
                            int argumentCount) {
    a.PushNumber(argumentCount);
    Get(a, object.empty() ? "this" : object);
    return a.PushString(method).Action(ActionCode::CallMethod);
}

ActionAssembler& CallFunction(ActionAssembler& a, const std::string& name, int argumentCount) {
    return a.PushNumber(argumentCount).PushString(name).Action(ActionCode::CallFunction);
}

ActionAssembler& NewPackaged(ActionAssembler& a, const std::string& package, const std::string& cls,
                             int argumentCount) {
    a.PushNumber(argumentCount);
    Get(a, package);
    return a.PushString(cls).Action(ActionCode::NewMethod);
}

ActionAssembler& PushNumbers(ActionAssembler& a, std::initializer_list<double> numbers) {
    for (auto it = std::rbegin(numbers); it != std::rend(numbers); ++it) a.PushNumber(*it);
    return a;
}

void RegisterClass(ActionAssembler& a, const std::string& linkage, const std::string& cls) {
    Class(a, cls).PushString(linkage);
    CallMethod(a, "Object", "registerClass", 2).Action(ActionCode::Pop);
}

}  // namespace moviegen
