// The global object: the prototypes every value uses, ExternalInterface and
// the methods of clips. The built-in classes live in builtins/, one family
// per file.

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"
#include "swf/actions/external_interface.h"
#include "swf/actions/interpreter.h"

namespace swf::actions {

namespace {

ActionTarget* ClipTarget(const CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->target : nullptr;
}

// ---- flash.external.ExternalInterface ----

Value ExternalCall(CallContext& c) {
    if (c.args.empty()) return Value::Null();
    // A movie without script access reaches no host: nothing is asked.
    if (!c.interpreter.vm().ExternalAllowed()) return Value();
    std::string name = c.interpreter.Text(c.args[0]);
    std::vector<Value> rest(c.args.begin() + 1, c.args.end());
    std::string request = BuildInvokeRequest(name, rest, c.interpreter.vm().swfVersion());
    const std::string answer = c.interpreter.host().FlashCall(request);
    Value result;
    std::string error;
    // An answer the movie cannot read is undefined, as no answer is.
    if (!c.interpreter.ok() || !DecodeXmlValue(answer, c.interpreter, result, error)) return Value();
    return result;
}

// addCallback(name, instance, method): the host may call `method` by `name`.
Value ExternalAddCallback(CallContext& c) {
    const Value method = c.Arg(2);
    const Object* f = method.AsObject();
    if (c.args.empty() || f == nullptr || f->kind != ObjectKind::Function) return Value::Bool(false);
    return Value::Bool(c.interpreter.vm().AddHostCallback(c.interpreter.Text(c.args[0]), method, c.Arg(1)));
}

Value ExternalAvailable(CallContext& c) { return Value::Bool(c.interpreter.vm().ExternalAvailable()); }

// ---- MovieClip methods ----

Value ClipPlay(CallContext& c) {
    if (auto* t = ClipTarget(c)) t->Play();
    return Value();
}
Value ClipStop(CallContext& c) {
    if (auto* t = ClipTarget(c)) t->Stop();
    return Value();
}
Value ClipNextFrame(CallContext& c) {
    if (auto* t = ClipTarget(c)) t->NextFrame();
    return Value();
}
Value ClipPrevFrame(CallContext& c) {
    if (auto* t = ClipTarget(c)) t->PrevFrame();
    return Value();
}
Value ClipGotoAndPlay(CallContext& c) {
    c.interpreter.Goto(ClipTarget(c), c.Arg(0), true);
    return Value();
}
Value ClipGotoAndStop(CallContext& c) {
    c.interpreter.Goto(ClipTarget(c), c.Arg(0), false);
    return Value();
}

}  // namespace

void InstallBuiltins(Vm& vm, BuiltinObjects& objects) {
    auto object = [&](Object* proto) {
        Object* o = vm.heap().New(ObjectKind::Plain);
        o->proto = proto;
        return o;
    };
    auto function = [&](NativeFunction f) {
        Object* o = vm.heap().New(ObjectKind::Function);
        o->native = f;
        o->proto = objects.functionProto;
        return o;
    };
    auto method = [&](Object* owner, const char* name, NativeFunction f) {
        owner->Define(name, Value::Obj(function(f)), kDontEnum);
    };

    objects.objectProto = object(nullptr);
    objects.functionProto = object(objects.objectProto);
    objects.arrayProto = object(objects.objectProto);
    objects.stringProto = object(objects.objectProto);
    objects.clipProto = object(objects.objectProto);
    objects.numberProto = object(objects.objectProto);
    objects.booleanProto = object(objects.objectProto);
    objects.dateProto = object(objects.objectProto);
    objects.xmlNodeProto = object(objects.objectProto);
    objects.global = object(objects.objectProto);

    method(objects.clipProto, "play", ClipPlay);
    method(objects.clipProto, "stop", ClipStop);
    method(objects.clipProto, "nextFrame", ClipNextFrame);
    method(objects.clipProto, "prevFrame", ClipPrevFrame);
    method(objects.clipProto, "gotoAndPlay", ClipGotoAndPlay);
    method(objects.clipProto, "gotoAndStop", ClipGotoAndStop);

    Installer in(vm);
    InstallObjectBuiltins(in);
    InstallMathBuiltins(in);
    InstallStringBuiltins(in);
    InstallArrayBuiltins(in);
    InstallNumberBooleanBuiltins(in);
    InstallGlobalFunctions(in);
    InstallDateBuiltins(in);
    InstallSystemBuiltins(in);
    InstallTimerBuiltins(in);
    InstallXmlBuiltins(in);
    InstallErrorBuiltins(in);
    InstallInputBuiltins(in);
    InstallMovieClipBuiltins(in);
    InstallDrawingBuiltins(in, objects.clipProto);
    InstallClipInteractionBuiltins(in, objects.clipProto);
    InstallTextFieldBuiltins(in);

    Object* externalInterface = object(objects.objectProto);
    method(externalInterface, "call", ExternalCall);
    method(externalInterface, "addCallback", ExternalAddCallback);
    Accessor(in, externalInterface, "available", ExternalAvailable, nullptr);
    Object* external = object(objects.objectProto);
    external->Set("ExternalInterface", Value::Obj(externalInterface));
    Object* flash = object(objects.objectProto);
    flash->Set("external", Value::Obj(external));
    objects.global->Define("flash", Value::Obj(flash), kDontEnum);
    objects.flashPackage = flash;
    InstallBroadcasterBuiltins(in);
    InstallColorBuiltins(in);
    InstallGeomBuiltins(in);
    InstallGeomTransformBuiltins(in);
    InstallFilterBuiltins(in);
    InstallBitmapDataBuiltins(in);
    InstallDisplayEffectBuiltins(in);
    InstallNetStreamBuiltins(in);

    InstallLoadingBuiltins(vm, objects);
    InstallSoundBuiltins(vm, objects);
}

}  // namespace swf::actions
