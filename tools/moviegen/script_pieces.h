#pragma once
// Pieces of ActionScript 2 as compilers emit them, for the movies moviegen
// writes: each pushes one value (or, for statements, nothing) onto the stack
// of the code being assembled.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "swf/writer/action_assembler.h"

namespace moviegen {

// Actions the assembler has no name for.
inline constexpr std::uint8_t kExtendsAction = 0x69;
inline constexpr std::uint8_t kInstanceOfAction = 0x54;

// Pushes the variable `name` (a path such as "a.b" too).
swf::writer::ActionAssembler& Get(swf::writer::ActionAssembler& a, const std::string& name);
// Replaces the object on top of the stack by its member `name`.
swf::writer::ActionAssembler& Member(swf::writer::ActionAssembler& a, const std::string& name);
// Pushes _global.<cls>.
swf::writer::ActionAssembler& Class(swf::writer::ActionAssembler& a, const std::string& cls);
// Pushes this.<name>.
swf::writer::ActionAssembler& This(swf::writer::ActionAssembler& a, const std::string& name);

// The call `object.method(args)` where `object` is the variable path (empty:
// `this`) and each argument was pushed already, last first. Leaves the result.
swf::writer::ActionAssembler& CallMethod(swf::writer::ActionAssembler& a, const std::string& object,
                                         const std::string& method, int argumentCount);
// The call `name(args)` of a function variable, arguments pushed last first.
swf::writer::ActionAssembler& CallFunction(swf::writer::ActionAssembler& a, const std::string& name, int argumentCount);

// new <package>.<cls>(args): `package` a dotted path such as "flash.filters";
// each argument was pushed already, last first. Leaves the new object.
swf::writer::ActionAssembler& NewPackaged(swf::writer::ActionAssembler& a, const std::string& package,
                                          const std::string& cls, int argumentCount);
// Pushes numbers as a call's arguments: the last first.
swf::writer::ActionAssembler& PushNumbers(swf::writer::ActionAssembler& a, std::initializer_list<double> numbers);

// Object.registerClass(linkage, _global.<cls>);
void RegisterClass(swf::writer::ActionAssembler& a, const std::string& linkage, const std::string& cls);

}  // namespace moviegen
