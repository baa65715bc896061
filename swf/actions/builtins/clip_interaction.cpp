// Clip methods that tie clips to each other and to the pointer: setMask,
// startDrag and stopDrag.

#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

ActionTarget* SelfTimeline(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->target : nullptr;
}

// A mask named by a string is a target path: a sibling's name (the usual
// case), a child's, or a path from the root.
ActionTarget* MaskNamed(ActionTarget& self, const std::string& path) {
    if (path.empty()) return nullptr;
    if (ActionTarget* parent = self.ParentTimeline()) {
        if (ActionTarget* found = parent->FindTarget(path)) return found;
    }
    return self.FindTarget(path);
}

// setMask(clip or path); null or undefined takes the mask away.
Value SetMask(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    if (!self) return Value::Bool(false);
    const Value arg = c.Arg(0);
    ActionTarget* mask = nullptr;
    if (Object* o = arg.AsObject()) {
        mask = o->kind == ObjectKind::Clip ? o->target : nullptr;
    } else if (arg.IsString()) {
        mask = MaskNamed(*self, c.interpreter.Text(arg));
    }
    self->SetMask(mask);
    return Value::Bool(true);
}

// startDrag(lockCenter, left, top, right, bottom): the rectangle, in the
// parent's pixels, applies when all four are given.
Value StartDrag(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    if (!self) return Value();
    DragRequest request;
    request.lockCenter = ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion());
    if (c.args.size() >= 5) {
        request.constrained = true;
        request.left = ArgNumber(c, 1);
        request.top = ArgNumber(c, 2);
        request.right = ArgNumber(c, 3);
        request.bottom = ArgNumber(c, 4);
    }
    self->StartDrag(request);
    return Value();
}

Value StopDrag(CallContext& c) {
    if (ActionTarget* self = SelfTimeline(c)) self->StopDrag();
    return Value();
}

}  // namespace

void InstallClipInteractionBuiltins(Installer& in, Object* clipProto) {
    in.Method(clipProto, "setMask", SetMask);
    in.Method(clipProto, "startDrag", StartDrag);
    in.Method(clipProto, "stopDrag", StopDrag);
}

}  // namespace swf::actions
