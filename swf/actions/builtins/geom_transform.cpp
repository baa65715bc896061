// flash.geom.Matrix, ColorTransform and Transform. Matrix and
// ColorTransform keep their numbers as plain members; a Transform reaches
// its display object on every read and write, and hands out copies.

#include <cmath>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/geom.h"
#include "swf/actions/conversions.h"

namespace swf::actions {

namespace {

constexpr const char* kMatrixNames[] = {"a", "b", "c", "d", "tx", "ty"};
constexpr const char* kColorNames[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                       "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

// The eight numbers in kColorNames order.
struct Colors {
    double v[8];
};

raster::Matrix ReadM(Interpreter& in, const Value& object) {
    double v[6];
    for (int i = 0; i < 6; ++i) v[i] = MemberNumber(in, object, kMatrixNames[i]);
    return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

void WriteM(Interpreter& in, const Value& object, const raster::Matrix& m) {
    const double v[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (int i = 0; i < 6; ++i) in.SetMember(object, kMatrixNames[i], Value::Number(v[i]));
}

// `first` then `second`: points go through `first`, then through `second`.
raster::Matrix Then(const raster::Matrix& first, const raster::Matrix& second) {
    return {first.a * second.a + first.b * second.c,
            first.a * second.b + first.b * second.d,
            first.c * second.a + first.d * second.c,
            first.c * second.b + first.d * second.d,
            first.tx * second.a + first.ty * second.c + second.tx,
            first.tx * second.b + first.ty * second.d + second.ty};
}

Value Arg(CallContext& c, std::size_t i, double fallback) {
    return Value::Number(c.Arg(i).IsUndefined() ? fallback : ArgNumber(c, i));
}

// ---- Matrix ----

Value MatrixConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    const double identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) c.interpreter.SetMember(c.self, kMatrixNames[i], Arg(c, i, identity[i]));
    return c.self;
}

Value MatrixClone(CallContext& c) { return MakeMatrix(c.interpreter, ReadM(c.interpreter, c.self)); }

Value MatrixConcat(CallContext& c) {
    WriteM(c.interpreter, c.self, Then(ReadM(c.interpreter, c.self), ReadM(c.interpreter, c.Arg(0))));
    return Value();
}

// Scale, then rotate (radians), then translate. Adding 0 turns -0 into 0,
// which scripts would otherwise see in toString.
raster::Matrix Box(double scaleX, double scaleY, double rotation, double tx, double ty) {
    const double cos = std::cos(rotation), sin = std::sin(rotation);
    return {scaleX * cos + 0.0, scaleY * sin + 0.0, -scaleX * sin + 0.0, scaleY * cos + 0.0, tx, ty};
}

Value MatrixCreateBox(CallContext& c) {
    WriteM(c.interpreter, c.self,
           Box(ArgNumber(c, 0), ArgNumber(c, 1), Arg(c, 2, 0).AsNumber(), Arg(c, 3, 0).AsNumber(),
               Arg(c, 4, 0).AsNumber()));
    return Value();
}

// Gradients span -819.2..819.2 pixels (16384 twips) each way: the box maps
// that square onto width x height, centred in the box at (tx, ty).
Value MatrixCreateGradientBox(CallContext& c) {
    const double width = ArgNumber(c, 0), height = ArgNumber(c, 1);
    const double tx = Arg(c, 3, 0).AsNumber(), ty = Arg(c, 4, 0).AsNumber();
    WriteM(c.interpreter, c.self,
           Box(width / 1638.4, height / 1638.4, Arg(c, 2, 0).AsNumber(), tx + width / 2, ty + height / 2));
    return Value();
}

Value MatrixDeltaTransformPoint(CallContext& c) {
    const raster::Matrix m = ReadM(c.interpreter, c.self);
    const double x = MemberNumber(c.interpreter, c.Arg(0), "x"), y = MemberNumber(c.interpreter, c.Arg(0), "y");
    return MakePoint(c.interpreter, m.a * x + m.c * y, m.b * x + m.d * y);
}

Value MatrixTransformPoint(CallContext& c) {
    const raster::Matrix m = ReadM(c.interpreter, c.self);
    const double x = MemberNumber(c.interpreter, c.Arg(0), "x"), y = MemberNumber(c.interpreter, c.Arg(0), "y");
    return MakePoint(c.interpreter, m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty);
}

Value MatrixIdentity(CallContext& c) {
    WriteM(c.interpreter, c.self, raster::Matrix{});
    return Value();
}

// A matrix without an inverse (zero determinant) becomes the identity
// rather than filling with infinities.
Value MatrixInvert(CallContext& c) {
    const raster::Matrix m = ReadM(c.interpreter, c.self);
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) {
        WriteM(c.interpreter, c.self, raster::Matrix{});
        return Value();
    }
    const double a = m.d / det, b = -m.b / det, cc = -m.c / det, d = m.a / det;
    WriteM(c.interpreter, c.self, {a, b, cc, d, -(a * m.tx + cc * m.ty), -(b * m.tx + d * m.ty)});
    return Value();
}

Value MatrixRotate(CallContext& c) {
    WriteM(c.interpreter, c.self, Then(ReadM(c.interpreter, c.self), Box(1, 1, ArgNumber(c, 0), 0, 0)));
    return Value();
}

Value MatrixScale(CallContext& c) {
    WriteM(c.interpreter, c.self,
           Then(ReadM(c.interpreter, c.self), raster::Matrix{ArgNumber(c, 0), 0, 0, ArgNumber(c, 1), 0, 0}));
    return Value();
}

Value MatrixTranslate(CallContext& c) {
    raster::Matrix m = ReadM(c.interpreter, c.self);
    m.tx += ArgNumber(c, 0);
    m.ty += ArgNumber(c, 1);
    WriteM(c.interpreter, c.self, m);
    return Value();
}

// "(a=1, b=0, ...)": each member as script text.
std::string Listing(CallContext& c, const char* const* names, std::size_t count) {
    std::string out = "(";
    for (std::size_t i = 0; i < count; ++i) {
        if (i) out += ", ";
        out += std::string(names[i]) + "=" + c.interpreter.Text(c.interpreter.GetMember(c.self, names[i]));
    }
    return out + ")";
}

Value MatrixToString(CallContext& c) { return c.interpreter.MakeString(Listing(c, kMatrixNames, 6)); }

// ---- ColorTransform ----

Colors ReadColors(Interpreter& in, const Value& object) {
    Colors out{};
    for (int i = 0; i < 8; ++i) out.v[i] = MemberNumber(in, object, kColorNames[i]);
    return out;
}

void WriteColors(Interpreter& in, const Value& object, const Colors& colors) {
    for (int i = 0; i < 8; ++i) in.SetMember(object, kColorNames[i], Value::Number(colors.v[i]));
}

Value ColorTransformConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    for (int i = 0; i < 8; ++i) c.interpreter.SetMember(c.self, kColorNames[i], Arg(c, i, i < 4 ? 1 : 0));
    return c.self;
}

// The colour the offsets add, 0xRRGGBB.
Value ColorTransformRgb(CallContext& c) {
    const Colors k = ReadColors(c.interpreter, c.self);
    const auto byte = [](double v) { return static_cast<std::uint32_t>(ToInt32(v)) & 0xFFu; };
    return Value::Number(static_cast<double>((byte(k.v[4]) << 16) | (byte(k.v[5]) << 8) | byte(k.v[6])));
}

// Setting the colour: the offsets become it and the colour multipliers 0.
Value SetColorTransformRgb(CallContext& c) {
    const auto rgb = static_cast<std::uint32_t>(ToInt32(ArgNumber(c, 0)));
    Colors k = ReadColors(c.interpreter, c.self);
    k.v[0] = k.v[1] = k.v[2] = 0;
    k.v[4] = (rgb >> 16) & 0xFF;
    k.v[5] = (rgb >> 8) & 0xFF;
    k.v[6] = rgb & 0xFF;
    WriteColors(c.interpreter, c.self, k);
    return Value();
}

// concat(second): the result applies `second` first, then this one:
// multipliers multiply, and second's offsets are scaled by this one's multipliers.
Value ColorTransformConcat(CallContext& c) {
    Colors k = ReadColors(c.interpreter, c.self);
    const Colors second = ReadColors(c.interpreter, c.Arg(0));
    for (int i = 0; i < 4; ++i) {
        k.v[4 + i] += second.v[4 + i] * k.v[i];
        k.v[i] *= second.v[i];
    }
    WriteColors(c.interpreter, c.self, k);
    return Value();
}

Value ColorTransformToString(CallContext& c) { return c.interpreter.MakeString(Listing(c, kColorNames, 8)); }

// ---- Transform ----

DisplayTarget* SelfTarget(CallContext& c) { return TransformTarget(c.self); }

Value TransformConstructor(CallContext& c) {
    Object* self = c.self.AsObject();
    if (!c.construct || !self) return Value();
    Object* clip = c.Arg(0).AsObject();
    self->SetInternal("transform", clip && clip->kind == ObjectKind::Clip ? Value::Obj(clip) : Value());
    return c.self;
}

Value TransformMatrix(CallContext& c) {
    DisplayTarget* t = SelfTarget(c);
    return t ? MakeMatrix(c.interpreter, t->GetMatrix()) : Value();
}
Value SetTransformMatrix(CallContext& c) {
    raster::Matrix m;
    if (DisplayTarget* t = SelfTarget(c); t && ReadMatrix(c.interpreter, c.Arg(0), &m)) t->SetMatrix(m);
    return Value();
}
Value TransformConcatenatedMatrix(CallContext& c) {
    DisplayTarget* t = SelfTarget(c);
    return t ? MakeMatrix(c.interpreter, t->GetConcatenatedMatrix()) : Value();
}
Value TransformColorTransform(CallContext& c) {
    DisplayTarget* t = SelfTarget(c);
    return t ? MakeColorTransform(c.interpreter, t->GetColorTransform()) : Value();
}
Value SetTransformColorTransform(CallContext& c) {
    raster::ColorTransform k;
    if (DisplayTarget* t = SelfTarget(c); t && ReadColorTransform(c.interpreter, c.Arg(0), &k)) t->SetColorTransform(k);
    return Value();
}
Value TransformConcatenatedColorTransform(CallContext& c) {
    DisplayTarget* t = SelfTarget(c);
    return t ? MakeColorTransform(c.interpreter, t->GetConcatenatedColorTransform()) : Value();
}
Value TransformPixelBounds(CallContext& c) {
    DisplayTarget* t = SelfTarget(c);
    return t ? MakeRectangle(c.interpreter, t->PixelBounds()) : Value();
}

}  // namespace

Value MakeMatrix(Interpreter& in, const raster::Matrix& m) {
    return NewGeomObject(in, "Matrix",
                         {Value::Number(m.a), Value::Number(m.b), Value::Number(m.c), Value::Number(m.d),
                          Value::Number(m.tx), Value::Number(m.ty)});
}

Value MakeColorTransform(Interpreter& in, const raster::ColorTransform& k) {
    return NewGeomObject(
        in, "ColorTransform",
        {Value::Number(k.redMult), Value::Number(k.greenMult), Value::Number(k.blueMult), Value::Number(k.alphaMult),
         Value::Number(k.redAdd), Value::Number(k.greenAdd), Value::Number(k.blueAdd), Value::Number(k.alphaAdd)});
}

Value MakeTransform(Interpreter& in, Object* clip) { return NewGeomObject(in, "Transform", {Value::Obj(clip)}); }

bool ReadMatrix(Interpreter& in, const Value& v, raster::Matrix* out) {
    if (!v.IsObject()) return false;
    *out = ReadM(in, v);
    return true;
}

bool ReadColorTransform(Interpreter& in, const Value& v, raster::ColorTransform* out) {
    if (!v.IsObject()) return false;
    const Colors k = ReadColors(in, v);
    *out = {k.v[0], k.v[1], k.v[2], k.v[3], k.v[4], k.v[5], k.v[6], k.v[7]};
    return true;
}

DisplayTarget* TransformTarget(const Value& v) {
    Object* self = v.AsObject();
    Value* clip = self ? self->FindInternal("transform") : nullptr;
    Object* o = clip ? clip->AsObject() : nullptr;
    return o ? o->display : nullptr;
}

void InstallGeomTransformBuiltins(Installer& in) {
    Object* geom = FlashPackage(in, "geom");

    Object* matrix = in.NewObject(in.vm().objectProto());
    in.Method(matrix, "clone", MatrixClone);
    in.Method(matrix, "concat", MatrixConcat);
    in.Method(matrix, "createBox", MatrixCreateBox);
    in.Method(matrix, "createGradientBox", MatrixCreateGradientBox);
    in.Method(matrix, "deltaTransformPoint", MatrixDeltaTransformPoint);
    in.Method(matrix, "identity", MatrixIdentity);
    in.Method(matrix, "invert", MatrixInvert);
    in.Method(matrix, "rotate", MatrixRotate);
    in.Method(matrix, "scale", MatrixScale);
    in.Method(matrix, "transformPoint", MatrixTransformPoint);
    in.Method(matrix, "translate", MatrixTranslate);
    in.Method(matrix, "toString", MatrixToString);
    PackageClass(in, geom, "Matrix", MatrixConstructor, matrix);

    Object* colors = in.NewObject(in.vm().objectProto());
    Accessor(in, colors, "rgb", ColorTransformRgb, SetColorTransformRgb);
    in.Method(colors, "concat", ColorTransformConcat);
    in.Method(colors, "toString", ColorTransformToString);
    PackageClass(in, geom, "ColorTransform", ColorTransformConstructor, colors);

    Object* transform = in.NewObject(in.vm().objectProto());
    Accessor(in, transform, "matrix", TransformMatrix, SetTransformMatrix);
    Accessor(in, transform, "concatenatedMatrix", TransformConcatenatedMatrix, nullptr);
    Accessor(in, transform, "colorTransform", TransformColorTransform, SetTransformColorTransform);
    Accessor(in, transform, "concatenatedColorTransform", TransformConcatenatedColorTransform, nullptr);
    Accessor(in, transform, "pixelBounds", TransformPixelBounds, nullptr);
    PackageClass(in, geom, "Transform", TransformConstructor, transform);
}

}  // namespace swf::actions
