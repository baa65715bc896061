// flash.geom.Point and flash.geom.Rectangle: plain x/y (and width/height)
// members that scripts read and write directly, with the documented methods
// and, on Rectangle, the edges and corners as accessors.

#include <algorithm>
#include <cmath>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/geom.h"

namespace swf::actions {

Value NewGeomObject(Interpreter& in, const char* className, std::vector<Value> args) {
    Value* geom = in.vm().flashPackage()->Find("geom");
    Value* ctor = geom && geom->AsObject() ? geom->AsObject()->Find(className) : nullptr;
    if (ctor && ctor->AsObject() && ctor->AsObject()->kind == ObjectKind::Function) {
        const Value constructor = *ctor;
        Value made = in.Construct(constructor, std::move(args));
        if (made.IsObject()) return made;
    }
    return Value::Obj(in.NewPlain());
}

double MemberNumber(Interpreter& in, const Value& object, const char* name) {
    return in.Number(in.GetMember(object, name));
}

Value MakePoint(Interpreter& in, double x, double y) {
    return NewGeomObject(in, "Point", {Value::Number(x), Value::Number(y)});
}

Value MakeRectangle(Interpreter& in, const ScriptBox& box) {
    return NewGeomObject(in, "Rectangle",
                         {Value::Number(box.xMin), Value::Number(box.yMin), Value::Number(box.xMax - box.xMin),
                          Value::Number(box.yMax - box.yMin)});
}

namespace {

double Get(CallContext& c, const Value& object, const char* name) { return MemberNumber(c.interpreter, object, name); }
double Get(CallContext& c, const char* name) { return Get(c, c.self, name); }
void Put(CallContext& c, const char* name, double value) {
    c.interpreter.SetMember(c.self, name, Value::Number(value));
}

// A constructor argument: missing ones are 0.
Value NumberArg(CallContext& c, std::size_t i) { return Value::Number(c.Arg(i).IsUndefined() ? 0 : ArgNumber(c, i)); }

std::string Field(CallContext& c, const char* label, const char* name) {
    return std::string(label) + "=" + c.interpreter.Text(c.interpreter.GetMember(c.self, name));
}

// ---- Point ----

Value PointConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    Put(c, "x", NumberArg(c, 0).AsNumber());
    Put(c, "y", NumberArg(c, 1).AsNumber());
    return c.self;
}

Value PointLength(CallContext& c) { return Value::Number(std::hypot(Get(c, "x"), Get(c, "y"))); }

Value PointAdd(CallContext& c) {
    return MakePoint(c.interpreter, Get(c, "x") + Get(c, c.Arg(0), "x"), Get(c, "y") + Get(c, c.Arg(0), "y"));
}

Value PointSubtract(CallContext& c) {
    return MakePoint(c.interpreter, Get(c, "x") - Get(c, c.Arg(0), "x"), Get(c, "y") - Get(c, c.Arg(0), "y"));
}

Value PointEquals(CallContext& c) {
    if (!c.Arg(0).IsObject()) return Value::Bool(false);
    return Value::Bool(Get(c, "x") == Get(c, c.Arg(0), "x") && Get(c, "y") == Get(c, c.Arg(0), "y"));
}

// Scales the point to the given length; the origin stays where it is.
Value PointNormalize(CallContext& c) {
    const double x = Get(c, "x"), y = Get(c, "y");
    const double length = std::hypot(x, y);
    if (length > 0) {
        const double k = ArgNumber(c, 0) / length;
        Put(c, "x", x * k);
        Put(c, "y", y * k);
    }
    return Value();
}

Value PointOffset(CallContext& c) {
    Put(c, "x", Get(c, "x") + ArgNumber(c, 0));
    Put(c, "y", Get(c, "y") + ArgNumber(c, 1));
    return Value();
}

Value PointClone(CallContext& c) { return MakePoint(c.interpreter, Get(c, "x"), Get(c, "y")); }

Value PointToString(CallContext& c) {
    // Appended piece by piece: GCC 12 warns falsely about "(" + std::string.
    std::string text = "(";
    text += Field(c, "x", "x") + ", " + Field(c, "y", "y") + ")";
    return c.interpreter.MakeString(text);
}

Value PointDistance(CallContext& c) {
    return Value::Number(
        std::hypot(Get(c, c.Arg(0), "x") - Get(c, c.Arg(1), "x"), Get(c, c.Arg(0), "y") - Get(c, c.Arg(1), "y")));
}

// interpolate(p1, p2, f): f = 1 gives p1, f = 0 gives p2.
Value PointInterpolate(CallContext& c) {
    const double f = ArgNumber(c, 2);
    const double x1 = Get(c, c.Arg(0), "x"), y1 = Get(c, c.Arg(0), "y");
    const double x2 = Get(c, c.Arg(1), "x"), y2 = Get(c, c.Arg(1), "y");
    return MakePoint(c.interpreter, x2 + (x1 - x2) * f, y2 + (y1 - y2) * f);
}

Value PointPolar(CallContext& c) {
    const double length = ArgNumber(c, 0), angle = ArgNumber(c, 1);
    return MakePoint(c.interpreter, length * std::cos(angle), length * std::sin(angle));
}

// ---- Rectangle ----

struct Rect {
    double x, y, width, height;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool empty() const { return !(width > 0 && height > 0); }
};

Rect ReadRect(CallContext& c, const Value& v) {
    return {Get(c, v, "x"), Get(c, v, "y"), Get(c, v, "width"), Get(c, v, "height")};
}
Rect Self(CallContext& c) { return ReadRect(c, c.self); }

void WriteRect(CallContext& c, const Rect& r) {
    Put(c, "x", r.x);
    Put(c, "y", r.y);
    Put(c, "width", r.width);
    Put(c, "height", r.height);
}

Value MakeRect(CallContext& c, const Rect& r) {
    return NewGeomObject(c.interpreter, "Rectangle",
                         {Value::Number(r.x), Value::Number(r.y), Value::Number(r.width), Value::Number(r.height)});
}

Value RectangleConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    WriteRect(c, {NumberArg(c, 0).AsNumber(), NumberArg(c, 1).AsNumber(), NumberArg(c, 2).AsNumber(),
                  NumberArg(c, 3).AsNumber()});
    return c.self;
}

Value RectLeft(CallContext& c) { return Value::Number(Get(c, "x")); }
Value RectTop(CallContext& c) { return Value::Number(Get(c, "y")); }
Value RectRight(CallContext& c) { return Value::Number(Self(c).right()); }
Value RectBottom(CallContext& c) { return Value::Number(Self(c).bottom()); }
Value RectTopLeft(CallContext& c) { return MakePoint(c.interpreter, Get(c, "x"), Get(c, "y")); }
Value RectBottomRight(CallContext& c) {
    const Rect r = Self(c);
    return MakePoint(c.interpreter, r.right(), r.bottom());
}
Value RectSize(CallContext& c) { return MakePoint(c.interpreter, Get(c, "width"), Get(c, "height")); }

// Moving an edge keeps the opposite one where it was.
void MoveLeft(CallContext& c, double left) {
    const Rect r = Self(c);
    WriteRect(c, {left, r.y, r.right() - left, r.height});
}
void MoveTop(CallContext& c, double top) {
    const Rect r = Self(c);
    WriteRect(c, {r.x, top, r.width, r.bottom() - top});
}
Value SetRectLeft(CallContext& c) {
    MoveLeft(c, ArgNumber(c, 0));
    return Value();
}
Value SetRectTop(CallContext& c) {
    MoveTop(c, ArgNumber(c, 0));
    return Value();
}
Value SetRectRight(CallContext& c) {
    Put(c, "width", ArgNumber(c, 0) - Get(c, "x"));
    return Value();
}
Value SetRectBottom(CallContext& c) {
    Put(c, "height", ArgNumber(c, 0) - Get(c, "y"));
    return Value();
}
Value SetRectTopLeft(CallContext& c) {
    const double x = Get(c, c.Arg(0), "x"), y = Get(c, c.Arg(0), "y");
    MoveLeft(c, x);
    MoveTop(c, y);
    return Value();
}
Value SetRectBottomRight(CallContext& c) {
    const double x = Get(c, c.Arg(0), "x"), y = Get(c, c.Arg(0), "y");
    Put(c, "width", x - Get(c, "x"));
    Put(c, "height", y - Get(c, "y"));
    return Value();
}
Value SetRectSize(CallContext& c) {
    const double width = Get(c, c.Arg(0), "x"), height = Get(c, c.Arg(0), "y");
    Put(c, "width", width);
    Put(c, "height", height);
    return Value();
}

Value RectClone(CallContext& c) { return MakeRect(c, Self(c)); }

bool Contains(const Rect& r, double x, double y) { return x >= r.x && x < r.right() && y >= r.y && y < r.bottom(); }

Value RectContains(CallContext& c) { return Value::Bool(Contains(Self(c), ArgNumber(c, 0), ArgNumber(c, 1))); }
Value RectContainsPoint(CallContext& c) {
    return Value::Bool(Contains(Self(c), Get(c, c.Arg(0), "x"), Get(c, c.Arg(0), "y")));
}
Value RectContainsRectangle(CallContext& c) {
    const Rect r = Self(c), o = ReadRect(c, c.Arg(0));
    return Value::Bool(o.x >= r.x && o.y >= r.y && o.right() <= r.right() && o.bottom() <= r.bottom());
}

Value RectEquals(CallContext& c) {
    if (!c.Arg(0).IsObject()) return Value::Bool(false);
    const Rect r = Self(c), o = ReadRect(c, c.Arg(0));
    return Value::Bool(r.x == o.x && r.y == o.y && r.width == o.width && r.height == o.height);
}

void Inflate(CallContext& c, double dx, double dy) {
    const Rect r = Self(c);
    WriteRect(c, {r.x - dx, r.y - dy, r.width + 2 * dx, r.height + 2 * dy});
}
Value RectInflate(CallContext& c) {
    Inflate(c, ArgNumber(c, 0), ArgNumber(c, 1));
    return Value();
}
Value RectInflatePoint(CallContext& c) {
    Inflate(c, Get(c, c.Arg(0), "x"), Get(c, c.Arg(0), "y"));
    return Value();
}

// The shared area; an empty rectangle (all zero) when there is none.
bool Overlap(const Rect& a, const Rect& b, Rect* out) {
    const double left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const double right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
    if (a.empty() || b.empty() || !(left < right && top < bottom)) return false;
    *out = {left, top, right - left, bottom - top};
    return true;
}
Value RectIntersection(CallContext& c) {
    Rect shared{0, 0, 0, 0};
    Overlap(Self(c), ReadRect(c, c.Arg(0)), &shared);
    return MakeRect(c, shared);
}
Value RectIntersects(CallContext& c) {
    Rect shared{0, 0, 0, 0};
    return Value::Bool(Overlap(Self(c), ReadRect(c, c.Arg(0)), &shared));
}

Value RectIsEmpty(CallContext& c) { return Value::Bool(Self(c).empty()); }

void Offset(CallContext& c, double dx, double dy) {
    Put(c, "x", Get(c, "x") + dx);
    Put(c, "y", Get(c, "y") + dy);
}
Value RectOffset(CallContext& c) {
    Offset(c, ArgNumber(c, 0), ArgNumber(c, 1));
    return Value();
}
Value RectOffsetPoint(CallContext& c) {
    Offset(c, Get(c, c.Arg(0), "x"), Get(c, c.Arg(0), "y"));
    return Value();
}

Value RectSetEmpty(CallContext& c) {
    WriteRect(c, {0, 0, 0, 0});
    return Value();
}

// The smallest rectangle holding both; an empty one adds nothing.
Value RectUnion(CallContext& c) {
    const Rect a = Self(c), b = ReadRect(c, c.Arg(0));
    if (a.empty()) return MakeRect(c, b);
    if (b.empty()) return MakeRect(c, a);
    const double left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    return MakeRect(c, {left, top, std::max(a.right(), b.right()) - left, std::max(a.bottom(), b.bottom()) - top});
}

Value RectToString(CallContext& c) {
    std::string text = "(";
    text += Field(c, "x", "x") + ", " + Field(c, "y", "y") + ", " + Field(c, "w", "width") + ", " +
            Field(c, "h", "height") + ")";
    return c.interpreter.MakeString(text);
}

}  // namespace

void InstallGeomBuiltins(Installer& in) {
    Object* geom = FlashPackage(in, "geom");

    Object* point = in.NewObject(in.vm().objectProto());
    Accessor(in, point, "length", PointLength, nullptr);
    in.Method(point, "add", PointAdd);
    in.Method(point, "subtract", PointSubtract);
    in.Method(point, "equals", PointEquals);
    in.Method(point, "normalize", PointNormalize);
    in.Method(point, "offset", PointOffset);
    in.Method(point, "clone", PointClone);
    in.Method(point, "toString", PointToString);
    Object* pointClass = PackageClass(in, geom, "Point", PointConstructor, point);
    in.Method(pointClass, "distance", PointDistance);
    in.Method(pointClass, "interpolate", PointInterpolate);
    in.Method(pointClass, "polar", PointPolar);

    Object* rect = in.NewObject(in.vm().objectProto());
    Accessor(in, rect, "left", RectLeft, SetRectLeft);
    Accessor(in, rect, "top", RectTop, SetRectTop);
    Accessor(in, rect, "right", RectRight, SetRectRight);
    Accessor(in, rect, "bottom", RectBottom, SetRectBottom);
    Accessor(in, rect, "topLeft", RectTopLeft, SetRectTopLeft);
    Accessor(in, rect, "bottomRight", RectBottomRight, SetRectBottomRight);
    Accessor(in, rect, "size", RectSize, SetRectSize);
    in.Method(rect, "clone", RectClone);
    in.Method(rect, "contains", RectContains);
    in.Method(rect, "containsPoint", RectContainsPoint);
    in.Method(rect, "containsRectangle", RectContainsRectangle);
    in.Method(rect, "equals", RectEquals);
    in.Method(rect, "inflate", RectInflate);
    in.Method(rect, "inflatePoint", RectInflatePoint);
    in.Method(rect, "intersection", RectIntersection);
    in.Method(rect, "intersects", RectIntersects);
    in.Method(rect, "isEmpty", RectIsEmpty);
    in.Method(rect, "offset", RectOffset);
    in.Method(rect, "offsetPoint", RectOffsetPoint);
    in.Method(rect, "setEmpty", RectSetEmpty);
    in.Method(rect, "union", RectUnion);
    in.Method(rect, "toString", RectToString);
    PackageClass(in, geom, "Rectangle", RectangleConstructor, rect);
}

}  // namespace swf::actions
