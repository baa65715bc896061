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
void InstallBroadcasterBuiltins(Installer& in);                         // AsBroadcaster
void InstallColorBuiltins(Installer& in);                               // Color
void InstallGeomBuiltins(Installer& in);                                // flash.geom Point, Rectangle
void InstallGeomTransformBuiltins(Installer& in);                       // flash.geom Matrix, ColorTransform, Transform
void InstallFilterBuiltins(Installer& in);                              // flash.filters
void InstallBitmapDataBuiltins(Installer& in);                          // flash.display.BitmapData
// filters, blendMode, cacheAsBitmap and transform on clips, buttons and text fields.
void InstallDisplayEffectBuiltins(Installer& in);
void InstallNetStreamBuiltins(Installer& in);  // NetConnection, NetStream, Video, MovieClip.attachAudio

// addListener, removeListener and broadcastMessage on `this`, whose
// listeners are kept in its `_listeners` array (Key, Mouse, Stage,
// Selection and objects AsBroadcaster.initialize set up).
Value BroadcasterAddListener(CallContext& c);
Value BroadcasterRemoveListener(CallContext& c);
Value BroadcasterBroadcastMessage(CallContext& c);

// A package object under _global.flash ("geom", "filters"), made on first use.
Object* FlashPackage(Installer& in, const char* name);
// A class in a package object, as Installer::Class makes one on _global.
Object* PackageClass(Installer& in, Object* package, const char* name, NativeFunction constructor, Object* proto);
// A getter (and setter, when not null) that scripts can neither change nor enumerate.
void Accessor(Installer& in, Object* owner, const char* name, NativeFunction get, NativeFunction set);

// Shared by the families: arguments and `this` as the built-ins read them.
double ArgNumber(CallContext& c, std::size_t i);
std::string ArgText(CallContext& c, std::size_t i);

// The wrapped primitive of `this` (a Number/String/Boolean/Date object) or `this` itself.
Value SelfPrimitive(CallContext& c);

}  // namespace swf::actions
