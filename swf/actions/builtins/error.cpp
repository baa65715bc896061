// Error: what scripts throw. The message defaults to "Error"; toString gives it.

#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

Value ErrorConstructor(CallContext& c) {
    Object* self = c.self.AsObject();
    if (!c.construct || !self) {
        // Called as a function: a new error all the same.
        Value constructor = c.interpreter.GetMember(Value::Obj(c.interpreter.vm().global()), "Error");
        return c.interpreter.Construct(constructor, c.args);
    }
    if (!c.Arg(0).IsUndefined()) self->Set("message", c.Arg(0));
    return c.self;
}

Value ErrorToString(CallContext& c) {
    return Value::String(c.interpreter.Text(c.interpreter.GetMember(c.self, "message")));
}

}  // namespace

void InstallErrorBuiltins(Installer& in) {
    Object* proto = in.NewObject(in.vm().objectProto());
    in.Class("Error", ErrorConstructor, proto);
    in.Method(proto, "toString", ErrorToString);
    proto->Define("name", Value::String("Error"), kDontEnum);
    proto->Define("message", Value::String("Error"), kDontEnum);
}

}  // namespace swf::actions
