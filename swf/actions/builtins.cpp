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
    std::string name = c.interpreter.Text(c.args[0]);
    std::vector<Value> rest(c.args.begin() + 1, c.args.end());
    std::string request = BuildInvokeRequest(name, rest, c.interpreter.vm().swfVersion());
    return DecodeXmlAnswer(c.interpreter.host().FlashCall(request));
}

Value ExternalAddCallback(CallContext&) { return Value::Bool(false); }

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

void InstallBuiltins(Vm& vm) {
    auto object = [&](Object* proto) {
        Object* o = vm.heap_.New(ObjectKind::Plain);
        o->proto = proto;
        return o;
    };
    auto function = [&](NativeFunction f) {
        Object* o = vm.heap_.New(ObjectKind::Function);
        o->native = f;
        o->proto = vm.functionProto_;
        return o;
    };
    auto method = [&](Object* owner, const char* name, NativeFunction f) {
        owner->Define(name, Value::Obj(function(f)), kDontEnum);
    };

    vm.objectProto_ = object(nullptr);
    vm.functionProto_ = object(vm.objectProto_);
    vm.arrayProto_ = object(vm.objectProto_);
    vm.stringProto_ = object(vm.objectProto_);
    vm.clipProto_ = object(vm.objectProto_);
    vm.numberProto_ = object(vm.objectProto_);
    vm.booleanProto_ = object(vm.objectProto_);
    vm.dateProto_ = object(vm.objectProto_);
    vm.xmlNodeProto_ = object(vm.objectProto_);
    vm.global_ = object(vm.objectProto_);

    method(vm.clipProto_, "play", ClipPlay);
    method(vm.clipProto_, "stop", ClipStop);
    method(vm.clipProto_, "nextFrame", ClipNextFrame);
    method(vm.clipProto_, "prevFrame", ClipPrevFrame);
    method(vm.clipProto_, "gotoAndPlay", ClipGotoAndPlay);
    method(vm.clipProto_, "gotoAndStop", ClipGotoAndStop);

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
    InstallDrawingBuiltins(in, vm.clipProto_);
    InstallClipInteractionBuiltins(in, vm.clipProto_);
    InstallTextFieldBuiltins(in);

    Object* externalInterface = object(vm.objectProto_);
    method(externalInterface, "call", ExternalCall);
    method(externalInterface, "addCallback", ExternalAddCallback);
    externalInterface->Set("available", Value::Bool(true));
    Object* external = object(vm.objectProto_);
    external->Set("ExternalInterface", Value::Obj(externalInterface));
    Object* flash = object(vm.objectProto_);
    flash->Set("external", Value::Obj(external));
    vm.global_->Define("flash", Value::Obj(flash), kDontEnum);
    vm.flashPackage_ = flash;

    InstallLoadingBuiltins(vm);
}

}  // namespace swf::actions
