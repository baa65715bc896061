// MovieClip methods that change or measure the display list: depths,
// attachMovie / createEmptyMovieClip / duplicateMovieClip / removeMovieClip,
// attachBitmap, getBounds / getRect, hitTest, localToGlobal / globalToLocal.

#include <cmath>

#include "swf/actions/bitmap_objects.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"

namespace swf::actions {

namespace {

DisplayTarget* SelfDisplay(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->display : nullptr;
}

ActionTarget* SelfTimeline(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->target : nullptr;
}

DisplayTarget* DisplayOf(const Value& v) {
    Object* o = v.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->display : nullptr;
}

// A depth argument: whole numbers only; NaN and infinities give false.
bool DepthArg(CallContext& c, std::size_t i, int* depth) {
    double n = ArgNumber(c, i);
    if (!std::isfinite(n) || n < kMinScriptDepth || n > kMaxScriptDepth) return false;
    *depth = static_cast<int>(std::floor(n));
    return true;
}

// Copies the init object's own enumerable members onto a new clip.
void CopyInitObject(CallContext& c, Object* clip, const Value& init) {
    Object* source = init.AsObject();
    if (!source || !clip) return;
    std::vector<std::pair<std::string, Value>> members;
    for (const Property& p : source->properties)
        if (!(p.flags & kDontEnum)) members.emplace_back(p.name, p.getter || p.setter ? Value() : p.value);
    for (auto& [name, value] : members) c.interpreter.SetMember(Value::Obj(clip), name, std::move(value));
}

// The script object of a clip a script made; with a class registered for the
// symbol, that class's prototype and constructor.
Value Made(CallContext& c, ActionTarget* made, const Value& init, const std::string& symbol) {
    if (made == nullptr) return Value();
    Vm& vm = c.interpreter.vm();
    Object* clip = vm.ObjectFor(made);
    Object* constructor = symbol.empty() ? nullptr : vm.RegisteredClass(symbol);
    if (constructor) {
        if (Object* proto = c.interpreter.GetMember(Value::Obj(constructor), "prototype").AsObject())
            clip->proto = proto;
    }
    CopyInitObject(c, clip, init);
    if (constructor) c.interpreter.Initialize(Value::Obj(constructor), Value::Obj(clip), {}, clip->proto);
    return Value::Obj(clip);
}

// new MovieClip() makes a plain object: clips come from the display list only.
Value MovieClipConstructor(CallContext&) { return Value(); }

Value ClipGetDepth(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    return self ? Value::Number(self->Depth()) : Value();
}

Value ClipSwapDepths(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    ActionTarget* parent = self ? self->ParentTimeline() : nullptr;
    if (!parent) return Value();
    int depth = 0;
    if (DisplayTarget* other = DisplayOf(c.Arg(0))) {
        if (other->ParentTimeline() != parent) return Value();
        depth = other->Depth();
    } else if (!DepthArg(c, 0, &depth)) {
        return Value();
    }
    parent->SwapChildDepth(*self, depth);
    return Value();
}

Value ClipNextHighestDepth(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    return self ? Value::Number(self->NextHighestDepth()) : Value();
}

Value ClipInstanceAtDepth(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    int depth = 0;
    if (!self || !DepthArg(c, 0, &depth)) return Value();
    DisplayTarget* found = self->ObjectAtDepth(depth);
    return found ? Value::Obj(c.interpreter.vm().ObjectFor(found)) : Value();
}

Value ClipAttachMovie(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    int depth = 0;
    if (!self || c.args.size() < 3 || !DepthArg(c, 2, &depth)) return Value();
    std::string symbol = ArgText(c, 0);
    return Made(c, self->AttachClip(symbol, ArgText(c, 1), depth), c.Arg(3), symbol);
}

Value ClipCreateEmpty(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    int depth = 0;
    if (!self || c.args.size() < 2 || !DepthArg(c, 1, &depth)) return Value();
    return Made(c, self->CreateEmptyClip(ArgText(c, 0), depth), Value(), "");
}

Value ClipDuplicate(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    ActionTarget* parent = self ? self->ParentTimeline() : nullptr;
    int depth = 0;
    if (!parent || c.args.size() < 2 || !DepthArg(c, 1, &depth)) return Value();
    return Made(c, parent->DuplicateChild(*self, ArgText(c, 0), depth), c.Arg(2), "");
}

Value ClipRemove(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    ActionTarget* parent = self ? self->ParentTimeline() : nullptr;
    if (parent) parent->RemoveChild(*self);
    return Value();
}

// attachBitmap(bitmap, depth, pixelSnapping = "auto", smoothing = false).
Value ClipAttachBitmap(CallContext& c) {
    ActionTarget* self = SelfTimeline(c);
    std::shared_ptr<raster::BitmapData> bitmap = SharedBitmapOf(c.Arg(0));
    int depth = 0;
    if (!self || !bitmap || bitmap->disposed() || !DepthArg(c, 1, &depth)) return Value();
    const std::string snapping = c.Arg(2).IsUndefined() ? "auto" : ArgText(c, 2);
    const PixelSnapping mode = snapping == "always"  ? PixelSnapping::Always
                               : snapping == "never" ? PixelSnapping::Never
                                                     : PixelSnapping::Auto;
    const bool smoothing = !c.Arg(3).IsUndefined() && ToBoolean(c.Arg(3), c.interpreter.vm().swfVersion());
    self->AttachBitmap(std::move(bitmap), depth, mode, smoothing);
    return Value();
}

Value BoxObject(CallContext& c, const ScriptBox& box) {
    Object* o = c.interpreter.NewPlain();
    o->Set("xMin", Value::Number(box.xMin));
    o->Set("xMax", Value::Number(box.xMax));
    o->Set("yMin", Value::Number(box.yMin));
    o->Set("yMax", Value::Number(box.yMax));
    return Value::Obj(o);
}

// getBounds: the drawn box, strokes included; getRect leaves their width out.
Value ClipGetBounds(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    if (!self) return Value();
    DisplayTarget* space = c.args.empty() ? self : DisplayOf(c.Arg(0));
    if (!space) return Value();
    return BoxObject(c, self->BoundsIn(space));
}

Value ClipGetRect(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    if (!self) return Value();
    DisplayTarget* space = c.args.empty() ? self : DisplayOf(c.Arg(0));
    if (!space) return Value();
    return BoxObject(c, self->EdgeBoundsIn(space));
}

// The object's box on the stage, from its own box's corners.
ScriptBox GlobalBox(DisplayTarget& object) {
    ScriptBox local = object.BoundsIn(nullptr);
    ScriptBox out{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (double x : {local.xMin, local.xMax}) {
        for (double y : {local.yMin, local.yMax}) {
            ScriptPoint p = object.LocalToGlobal({x, y});
            out.xMin = std::min(out.xMin, p.x);
            out.xMax = std::max(out.xMax, p.x);
            out.yMin = std::min(out.yMin, p.y);
            out.yMax = std::max(out.yMax, p.y);
        }
    }
    return out;
}

Value ClipHitTest(CallContext& c) {
    DisplayTarget* self = SelfDisplay(c);
    if (!self) return Value::Bool(false);
    if (DisplayTarget* other = DisplayOf(c.Arg(0))) {
        ScriptBox a = GlobalBox(*self), b = GlobalBox(*other);
        bool empty = a.xMax <= a.xMin || b.xMax <= b.xMin;
        return Value::Bool(!empty && a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax && b.yMin <= a.yMax);
    }
    if (c.args.size() < 2) return Value::Bool(false);
    ScriptPoint p{ArgNumber(c, 0), ArgNumber(c, 1)};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return Value::Bool(false);
    bool shape = ToBoolean(c.Arg(2), c.interpreter.vm().swfVersion());
    return Value::Bool(self->HitTestPoint(p, shape));
}

// localToGlobal / globalToLocal change the point object's x and y in place.
Value ConvertPoint(CallContext& c, bool toGlobal) {
    DisplayTarget* self = SelfDisplay(c);
    Value point = c.Arg(0);
    if (!self || !point.AsObject()) return Value();
    ScriptPoint p{c.interpreter.Number(c.interpreter.GetMember(point, "x")),
                  c.interpreter.Number(c.interpreter.GetMember(point, "y"))};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return Value();
    ScriptPoint q = toGlobal ? self->LocalToGlobal(p) : self->GlobalToLocal(p);
    c.interpreter.SetMember(point, "x", Value::Number(q.x));
    c.interpreter.SetMember(point, "y", Value::Number(q.y));
    return Value();
}

Value ClipLocalToGlobal(CallContext& c) { return ConvertPoint(c, true); }
Value ClipGlobalToLocal(CallContext& c) { return ConvertPoint(c, false); }

}  // namespace

void InstallMovieClipBuiltins(Installer& in) {
    Object* proto = in.vm().clipProto();
    // Classes that extend MovieClip inherit these methods through MovieClip.prototype.
    in.Class("MovieClip", MovieClipConstructor, proto);
    in.Method(proto, "getDepth", ClipGetDepth);
    in.Method(proto, "swapDepths", ClipSwapDepths);
    in.Method(proto, "getNextHighestDepth", ClipNextHighestDepth);
    in.Method(proto, "getInstanceAtDepth", ClipInstanceAtDepth);
    in.Method(proto, "attachMovie", ClipAttachMovie);
    in.Method(proto, "attachBitmap", ClipAttachBitmap);
    in.Method(proto, "createEmptyMovieClip", ClipCreateEmpty);
    in.Method(proto, "duplicateMovieClip", ClipDuplicate);
    in.Method(proto, "removeMovieClip", ClipRemove);
    in.Method(proto, "getBounds", ClipGetBounds);
    in.Method(proto, "getRect", ClipGetRect);
    in.Method(proto, "hitTest", ClipHitTest);
    in.Method(proto, "localToGlobal", ClipLocalToGlobal);
    in.Method(proto, "globalToLocal", ClipGlobalToLocal);
}

}  // namespace swf::actions
