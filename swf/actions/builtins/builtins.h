#pragma once
// The built-in classes and global functions, one family per file. Each file
// has one Install function that InstallBuiltins calls.

#include <string>

#include "swf/actions/interpreter.h"
#include "swf/actions/value.h"
#include "swf/actions/vm.h"

namespace swf::actions {

// Helpers for setting up built-in objects while the VM is being built.
class Installer {
public:
    explicit Installer(Vm& vm) : vm_(vm) {}

    Object* NewObject(Object* proto);
    Object* NewFunction(NativeFunction f);
    // A built-in method; like every built-in member it is hidden from for..in.
    Object* Method(Object* owner, const char* name, NativeFunction f);
    // A built-in value that scripts can neither change nor enumerate.
    void Constant(Object* owner, const char* name, Value value);
    // A class on _global: the constructor, with `proto` as its prototype.
    Object* Class(const char* name, NativeFunction constructor, Object* proto);

    Vm& vm() { return vm_; }

private:
    Vm& vm_;
};

// Object.prototype.toString and valueOf: conversions recognise them and
// convert without calling.
Value ObjectProtoToString(CallContext& c);
Value ObjectProtoValueOf(CallContext& c);

void InstallObjectBuiltins(Installer& in);                      // Object, Function.prototype.call/apply, ASSetPropFlags
void InstallMathBuiltins(Installer& in);                        // Math
void InstallStringBuiltins(Installer& in);                      // String
void InstallArrayBuiltins(Installer& in);                       // Array
void InstallNumberBooleanBuiltins(Installer& in);               // Number, Boolean
void InstallGlobalFunctions(Installer& in);                     // parseInt, escape, getTimer, ...
void InstallDateBuiltins(Installer& in);                        // Date
void InstallXmlBuiltins(Installer& in);                         // XML, XMLNode
void InstallSystemBuiltins(Installer& in);                      // System.capabilities
void InstallTimerBuiltins(Installer& in);                       // setInterval, clearInterval, setTimeout
void InstallErrorBuiltins(Installer& in);                       // Error
void InstallInputBuiltins(Installer& in);                       // Key, Mouse, Stage
void InstallMovieClipBuiltins(Installer& in);                   // MovieClip depths, clips made by script, geometry
void InstallDrawingBuiltins(Installer& in, Object* clipProto);  // beginFill, lineTo, ... on clips
void InstallClipInteractionBuiltins(Installer& in, Object* clipProto);  // setMask, startDrag, stopDrag
void InstallTextFieldBuiltins(Installer& in);                           // TextField, TextFormat

// Shared by the families: arguments and `this` as the built-ins read them.
double ArgNumber(CallContext& c, std::size_t i);
std::string ArgText(CallContext& c, std::size_t i);

// The wrapped primitive of `this` (a Number/String/Boolean/Date object) or `this` itself.
Value SelfPrimitive(CallContext& c);

}  // namespace swf::actions
