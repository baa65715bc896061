// flash.geom: Point, Rectangle, Matrix, ColorTransform and Transform, with
// the expected numbers worked out from the reference's definitions.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;

namespace {

Lines TraceLines(Machine& m, const ActionAssembler& a) {
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    return t.lines;
}

Expr Geom(const std::string& name, std::vector<Expr> args = {}) {
    return NewM(M(V("flash"), "geom"), name, std::move(args));
}
Expr GeomClass(const std::string& name) { return M(M(V("flash"), "geom"), name); }
Expr Text(Expr e) { return CallM(std::move(e), "toString"); }

double Number(Machine& m, const std::string& name) { return m.vm.GetVariable(m.target, name).AsNumber(); }

}  // namespace

TEST(GeomPoint, ArithmeticAndStatics) {
    Machine m;
    ActionAssembler a;
    Let(a, "p", Geom("Point", {N(3), N(4)}));
    Trace(a, M(V("p"), "length"));  // sqrt(3^2 + 4^2)
    Trace(a, Text(V("p")));
    Trace(a, Text(CallM(V("p"), "add", {Geom("Point", {N(1), N(-1)})})));
    Trace(a, Text(CallM(V("p"), "subtract", {Geom("Point", {N(1), N(-1)})})));
    Trace(a, CallM(V("p"), "equals", {Geom("Point", {N(3), N(4)})}));
    Trace(a, CallM(V("p"), "equals", {Geom("Point", {N(4), N(3)})}));
    Let(a, "q", CallM(V("p"), "clone"));
    SetM(a, V("q"), "x", N(100));
    Do(a, CallM(V("p"), "normalize", {N(10)}));  // (3, 4) * 10 / 5
    Trace(a, Text(V("p")));
    Do(a, CallM(V("p"), "offset", {N(1), N(-1)}));
    Trace(a, Text(V("p")));
    Trace(a, CallM(GeomClass("Point"), "distance", {Geom("Point", {N(1), N(1)}), Geom("Point", {N(4), N(5)})}));
    // f = 0.25 of the way from p2 back to p1: p2 + (p1 - p2) * f.
    Trace(a, Text(CallM(GeomClass("Point"), "interpolate",
                        {Geom("Point", {N(10), N(0)}), Geom("Point", {N(0), N(20)}), N(0.25)})));
    Let(a, "polar", CallM(GeomClass("Point"), "polar", {N(2), N(std::numbers::pi / 3)}));
    Let(a, "px", M(V("polar"), "x"));
    Let(a, "py", M(V("polar"), "y"));
    Trace(a, Text(Geom("Point")));
    EXPECT_EQ(TraceLines(m, a), (Lines{"5", "(x=3, y=4)", "(x=4, y=3)", "(x=2, y=5)", "true", "false", "(x=6, y=8)",
                                       "(x=7, y=7)", "5", "(x=2.5, y=15)", "(x=0, y=0)"}));
    // polar(2, 60 degrees) = (2 cos 60, 2 sin 60) = (1, sqrt 3).
    EXPECT_NEAR(Number(m, "px"), 1, 1e-12);
    EXPECT_NEAR(Number(m, "py"), std::sqrt(3.0), 1e-12);
}

TEST(GeomRectangle, EdgesIntersectionUnionAndContainment) {
    Machine m;
    ActionAssembler a;
    Let(a, "r", Geom("Rectangle", {N(0), N(0), N(10), N(10)}));
    Let(a, "s", Geom("Rectangle", {N(5), N(5), N(10), N(10)}));
    // Overlap: left max(0, 5), right min(10, 15) -> 5 wide; the same down.
    Trace(a, Text(CallM(V("r"), "intersection", {V("s")})));
    // Both: left min(0, 5) = 0, right max(10, 15) = 15.
    Trace(a, Text(CallM(V("r"), "union", {V("s")})));
    Trace(a, CallM(V("r"), "intersects", {V("s")}));
    // Sharing an edge is no overlap; no overlap gives the empty rectangle.
    Trace(a, CallM(V("r"), "intersects", {Geom("Rectangle", {N(10), N(0), N(5), N(5)})}));
    Trace(a, Text(CallM(V("r"), "intersection", {Geom("Rectangle", {N(20), N(20), N(1), N(1)})})));
    // An empty rectangle adds nothing to a union.
    Trace(a, Text(CallM(Geom("Rectangle"), "union", {V("s")})));
    Trace(a, CallM(V("r"), "contains", {N(0), N(0)}));
    Trace(a, CallM(V("r"), "contains", {N(10), N(5)}));  // the right edge is outside
    Trace(a, CallM(V("r"), "containsPoint", {Geom("Point", {N(9.5), N(9.5)})}));
    Trace(a, CallM(V("r"), "containsRectangle", {Geom("Rectangle", {N(2), N(2), N(8), N(8)})}));
    Trace(a, CallM(V("r"), "containsRectangle", {V("s")}));
    Trace(a, CallM(V("r"), "equals", {Geom("Rectangle", {N(0), N(0), N(10), N(10)})}));
    // Moving the right edge widens; moving the left keeps the right edge at 20.
    SetM(a, V("r"), "right", N(20));
    SetM(a, V("r"), "left", N(5));
    Trace(a, Text(V("r")));
    Trace(a, Text(M(V("r"), "bottomRight")));
    Trace(a, Text(M(V("r"), "size")));
    Trace(a, Text(M(V("r"), "topLeft")));
    Do(a, CallM(V("r"), "inflate", {N(1), N(2)}));  // x 5-1, y 0-2, w 15+2, h 10+4
    Trace(a, Text(V("r")));
    Do(a, CallM(V("r"), "offsetPoint", {Geom("Point", {N(-4), N(2)})}));
    Trace(a, Text(V("r")));
    Trace(a, CallM(V("r"), "isEmpty"));
    Do(a, CallM(V("r"), "setEmpty"));
    Trace(a, CallM(V("r"), "isEmpty"));
    Trace(a, Text(V("r")));
    EXPECT_EQ(TraceLines(m, a), (Lines{"(x=5, y=5, w=5, h=5)",
                                       "(x=0, y=0, w=15, h=15)",
                                       "true",
                                       "false",
                                       "(x=0, y=0, w=0, h=0)",
                                       "(x=5, y=5, w=10, h=10)",
                                       "true",
                                       "false",
                                       "true",
                                       "true",
                                       "false",
                                       "true",
                                       "(x=5, y=0, w=15, h=10)",
                                       "(x=20, y=10)",
                                       "(x=15, y=10)",
                                       "(x=5, y=0)",
                                       "(x=4, y=-2, w=17, h=14)",
                                       "(x=0, y=0, w=17, h=14)",
                                       "false",
                                       "true",
                                       "(x=0, y=0, w=0, h=0)"}));
}

TEST(GeomMatrix, TransformInvertConcatAndBoxes) {
    Machine m;
    ActionAssembler a;
    Trace(a, Text(Geom("Matrix")));
    Let(a, "m", Geom("Matrix", {N(2), N(0), N(0), N(3), N(10), N(20)}));
    // (a x + c y + tx, b x + d y + ty) at (1, 1): (2 + 10, 3 + 20).
    Trace(a, Text(CallM(V("m"), "transformPoint", {Geom("Point", {N(1), N(1)})})));
    Trace(a, Text(CallM(V("m"), "deltaTransformPoint", {Geom("Point", {N(1), N(1)})})));
    // Inverse: det = 2 * 3 = 6, a' = d / det = 0.5, d' = a / det = 1/3,
    // tx' = -(a' tx + c' ty) = -5, ty' = -(b' tx + d' ty) = -20/3.
    Let(a, "i", CallM(V("m"), "clone"));
    Do(a, CallM(V("i"), "invert"));
    for (const char* name : {"a", "b", "c", "d", "tx", "ty"}) Let(a, std::string("i_") + name, M(V("i"), name));
    Trace(a, Text(CallM(V("i"), "transformPoint", {Geom("Point", {N(12), N(23)})})));
    // Shear (x + y, y) then scale x by 2: (1, 1) -> (2, 1) -> (4, 1). The
    // other order would give (3, 1).
    Let(a, "shear", Geom("Matrix", {N(1), N(0), N(1), N(1), N(0), N(0)}));
    Do(a, CallM(V("shear"), "concat", {Geom("Matrix", {N(2), N(0), N(0), N(1), N(0), N(0)})}));
    Trace(a, Text(V("shear")));
    Trace(a, Text(CallM(V("shear"), "transformPoint", {Geom("Point", {N(1), N(1)})})));
    // Translating then scaling scales the translation too.
    Let(a, "t", Geom("Matrix"));
    Do(a, CallM(V("t"), "translate", {N(1), N(1)}));
    Do(a, CallM(V("t"), "scale", {N(2), N(3)}));
    Trace(a, Text(V("t")));
    Do(a, CallM(V("t"), "identity"));
    Do(a, CallM(V("t"), "rotate", {N(std::numbers::pi / 2)}));
    Let(a, "turned", CallM(V("t"), "transformPoint", {Geom("Point", {N(1), N(0)})}));
    Let(a, "turnedX", M(V("turned"), "x"));
    Let(a, "turnedY", M(V("turned"), "y"));
    // A 200 x 100 gradient box at (10, 20): the 1638.4-pixel gradient square
    // scaled to the box, its centre at the box's centre.
    Let(a, "g", Geom("Matrix"));
    Do(a, CallM(V("g"), "createGradientBox", {N(200), N(100), N(0), N(10), N(20)}));
    Trace(a, Text(V("g")));
    Do(a, CallM(V("g"), "createBox", {N(2), N(3), N(0), N(4), N(5)}));
    Trace(a, Text(V("g")));
    // No inverse: the numbers stay finite.
    Let(a, "z", Geom("Matrix", {N(1), N(2), N(2), N(4), N(0), N(0)}));
    Do(a, CallM(V("z"), "invert"));
    Trace(a, CallF("isFinite", {M(V("z"), "a")}));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"(a=1, b=0, c=0, d=1, tx=0, ty=0)", "(x=12, y=23)", "(x=2, y=3)", "(x=1, y=1)",
                     "(a=2, b=0, c=2, d=1, tx=0, ty=0)", "(x=4, y=1)", "(a=2, b=0, c=0, d=3, tx=2, ty=3)",
                     "(a=0.1220703125, b=0, c=0, d=0.06103515625, tx=110, ty=70)", "(a=2, b=0, c=0, d=3, tx=4, ty=5)",
                     "true"}));
    EXPECT_DOUBLE_EQ(Number(m, "i_a"), 0.5);
    EXPECT_DOUBLE_EQ(Number(m, "i_b"), 0);
    EXPECT_DOUBLE_EQ(Number(m, "i_c"), 0);
    EXPECT_DOUBLE_EQ(Number(m, "i_d"), 1.0 / 3);
    EXPECT_DOUBLE_EQ(Number(m, "i_tx"), -5);
    EXPECT_DOUBLE_EQ(Number(m, "i_ty"), -20.0 / 3);
    // A quarter turn takes (1, 0) to (0, 1).
    EXPECT_NEAR(Number(m, "turnedX"), 0, 1e-12);
    EXPECT_NEAR(Number(m, "turnedY"), 1, 1e-12);
}

TEST(GeomColorTransform, RgbAndConcat) {
    Machine m;
    ActionAssembler a;
    Let(a, "k", Geom("ColorTransform"));
    Trace(a, Text(V("k")));
    SetM(a, V("k"), "rgb", N(0x123456));
    Trace(a, Text(V("k")));
    Trace(a, M(V("k"), "rgb"));
    // concat: `second` first, then this one. Red through second (x 2 + 20),
    // then this (x 0.5 + 10): x + 20.
    Let(a, "first", Geom("ColorTransform", {N(0.5), N(1), N(1), N(1), N(10), N(0), N(0), N(0)}));
    Do(a, CallM(V("first"), "concat", {Geom("ColorTransform", {N(2), N(1), N(1), N(0.5), N(20), N(0), N(0), N(4)})}));
    Trace(a, Text(V("first")));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, "
                     "greenOffset=0, blueOffset=0, alphaOffset=0)",
                     // 0x12 = 18, 0x34 = 52, 0x56 = 86
                     "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=18, "
                     "greenOffset=52, blueOffset=86, alphaOffset=0)",
                     std::to_string(0x123456),
                     "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=0.5, redOffset=20, "
                     "greenOffset=0, blueOffset=0, alphaOffset=4)"}));
}

TEST(GeomTransform, ReadsCopiesAndWritesThroughTheClip) {
    Machine m;
    FakeTarget clip("mc"), other("other");
    m.target.children["mc"] = &clip;
    m.target.children["other"] = &other;
    clip.matrix = {2, 0, 0, 2, 5, 6};
    clip.concatenatedMatrix = {4, 0, 0, 4, 10, 12};
    clip.colors.redMult = 0.5;
    clip.pixelBounds = {1, 11, 2, 22};
    other.matrix = {1, 0, 0, 1, 7, 8};
    other.colors.blueAdd = 30;
    ActionAssembler a;
    Let(a, "t", Geom("Transform", {V("mc")}));
    Trace(a, Text(M(V("t"), "matrix")));
    // What was read is a copy.
    SetM(a, M(V("t"), "matrix"), "a", N(9));
    Trace(a, M(M(V("t"), "matrix"), "a"));
    Trace(a, M(M(V("t"), "concatenatedMatrix"), "a"));
    Trace(a, M(M(V("t"), "colorTransform"), "redMultiplier"));
    Trace(a, Text(M(V("t"), "pixelBounds")));  // xMin 1, yMin 2, 10 wide, 20 high
    SetM(a, V("t"), "matrix", Geom("Matrix", {N(1), N(0), N(0), N(1), N(30), N(40)}));
    SetM(a, V("t"), "colorTransform", Geom("ColorTransform", {N(1), N(1), N(1), N(0.25)}));
    Trace(a, M(M(M(V("mc"), "transform"), "matrix"), "tx"));
    // Setting a clip's transform copies another's matrix and colours.
    SetM(a, V("other"), "transform", M(V("mc"), "transform"));
    Trace(a, M(M(M(V("other"), "transform"), "matrix"), "tx"));
    Trace(a, Text(M(Geom("Transform"), "matrix")));  // no clip
    EXPECT_EQ(TraceLines(m, a), (Lines{"(a=2, b=0, c=0, d=2, tx=5, ty=6)", "2", "4", "0.5", "(x=1, y=2, w=10, h=20)",
                                       "30", "30", "undefined"}));
    EXPECT_EQ(clip.matrix.tx, 30);
    EXPECT_EQ(clip.colors.alphaMult, 0.25);
    EXPECT_EQ(other.matrix.ty, 40);
    EXPECT_EQ(other.colors.alphaMult, 0.25);
    EXPECT_EQ(other.colors.blueAdd, 0);
}

TEST(GeomPoint, BadInputStaysBounded) {
    Machine m;
    ActionAssembler a;
    // Not finite, missing and wrong-typed arguments give numbers, not crashes.
    Let(a, "z", Geom("Matrix", {N(1e308), N(0), N(0), N(1e308)}));
    Do(a, CallM(V("z"), "invert"));
    Trace(a, Text(V("z")));
    // An empty rectangle's union is the other one, here a number whose members all read as NaN.
    Trace(a, Text(CallM(Geom("Rectangle", {S("a"), Obj({})}), "union", {N(3)})));
    Trace(a, Text(CallM(GeomClass("Point"), "interpolate")));
    ASSERT_EQ(RunTraced(m, a).lines,
              (Lines{"(a=1, b=0, c=0, d=1, tx=0, ty=0)", "(x=NaN, y=NaN, w=NaN, h=NaN)", "(x=NaN, y=NaN)"}));
    // x read through a getter that reads length, which reads x again.
    ActionAssembler b;
    Let(b, "p", Geom("Point"));
    Do(b, CallM(V("p"), "addProperty",
                {S("x"),
                 Fn({},
                    [] {
                        ActionAssembler body;
                        Return(body, M(V("this"), "length"));
                        return body;
                    }()),
                 Null()}));
    Trace(b, M(V("p"), "length"));
    EXPECT_EQ(m.Run(b), RunStatus::CallDepthLimit);
}
