// Classes as ActionScript 2 compilers lay them out: constructors on _global,
// prototypes, ActionExtends, super, interfaces, accessors, hidden members.

#include <algorithm>

#include <gtest/gtest.h>

#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;

namespace {

constexpr std::uint8_t kExtends = 0x69, kImplements = 0x2C, kCast = 0x2B, kInstanceOf = 0x54;
constexpr std::uint8_t kEnumerate2 = 0x55;

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

// for (var k in object) trace(k);
void TraceKeys(ActionAssembler& a, Expr object, const std::string& tag) {
    object(a);
    a.Action(kEnumerate2);
    a.Label(tag + "_loop");
    a.StoreRegister(0);
    a.PushNull().Action(ActionCode::Equals2).If(tag + "_done");
    a.PushRegister(0).Action(ActionCode::Trace);
    a.Jump(tag + "_loop");
    a.Label(tag + "_done");
}

// _global.pkg.Shape(name) with a static counter, area(), describe() and a
// `label` getter/setter pair; _global.pkg.Square(side) extends it.
void DefineShapes(ActionAssembler& a) {
    SetM(a, V("_global"), "pkg", New("Object"));
    SetM(a, M(V("_global"), "pkg"), "Shape", Fn({"name"}, Body([](ActionAssembler& b) {
                                                    SetM(b, V("this"), "name", V("name"));
                                                    SetM(b, M(M(V("_global"), "pkg"), "Shape"), "count",
                                                         Add(M(M(M(V("_global"), "pkg"), "Shape"), "count"), N(1)));
                                                })));
    Let(a, "Shape", M(M(V("_global"), "pkg"), "Shape"));
    SetM(a, V("Shape"), "count", N(0));
    Let(a, "p", M(V("Shape"), "prototype"));
    SetM(a, V("p"), "area", Fn({}, Body([](ActionAssembler& b) { Return(b, N(0)); })));
    SetM(a, V("p"), "describe", Fn({}, Body([](ActionAssembler& b) {
                                       Return(b, Add(Add(M(V("this"), "name"), S(":")), CallM(V("this"), "area")));
                                   })));
    Do(a, CallM(V("p"), "addProperty",
                {S("label"),
                 Fn({}, Body([](ActionAssembler& b) { Return(b, Add(Add(S("<"), M(V("this"), "name")), S(">"))); })),
                 Fn({"v"}, Body([](ActionAssembler& b) { SetM(b, V("this"), "name", V("v")); }))}));
    Do(a, CallF("ASSetPropFlags", {V("p"), Null(), N(1)}));

    // DefineFunction2 constructor with PreloadThis | PreloadSuper: super("square").
    SetM(a, M(V("_global"), "pkg"), "Square",
         Fn2(4, 0x0001 | 0x0010, {{3, "side"}}, Body([](ActionAssembler& b) {
                 PushArgs(b, {S("square")});
                 b.PushRegister(2).PushUndefined().Action(ActionCode::CallMethod).Action(ActionCode::Pop);
                 SetM(b, Reg(1), "side", Reg(3));
             })));
    Let(a, "Square", M(M(V("_global"), "pkg"), "Square"));
    V("Square")(a);
    V("Shape")(a);
    a.Action(kExtends);
    Let(a, "q", M(V("Square"), "prototype"));
    SetM(a, V("q"), "area",
         Fn({}, Body([](ActionAssembler& b) { Return(b, Op(0x0C, M(V("this"), "side"), M(V("this"), "side"))); })));
    SetM(a, V("q"), "describe",
         Fn({}, Body([](ActionAssembler& b) { Return(b, Add(Add(S("["), CallM(V("super"), "describe")), S("]"))); })));
    Do(a, CallF("ASSetPropFlags", {V("q"), Null(), N(1)}));
}

}  // namespace

TEST(ActionClasses, ClassWithSubclassSuperAccessorsAndStatics) {
    Machine m;
    ActionAssembler a;
    DefineShapes(a);
    Let(a, "s", New("Square", {N(3)}));
    Trace(a, CallM(V("s"), "describe"));  // super.describe() with this.area() of Square
    Trace(a, M(V("s"), "label"));         // getter found on Shape.prototype
    SetM(a, V("s"), "label", S("box"));   // setter through the chain
    Trace(a, M(V("s"), "name"));
    Trace(a, CallM(V("s"), "hasOwnProperty", {S("label")}));  // the setter wrote `name`, not `label`
    Trace(a, Op(kInstanceOf, V("s"), V("Shape")));
    Trace(a, Op(kInstanceOf, V("s"), V("Square")));
    Trace(a, Op(kInstanceOf, New("Shape", {S("x")}), V("Square")));
    Trace(a, M(V("Shape"), "count"));  // super() ran the Shape constructor: 2 shapes made
    Trace(a, Op(0x66, M(M(V("s"), "__proto__"), "__proto__"), M(V("Shape"), "prototype")));
    Trace(a, Op(0x66, M(M(V("Square"), "prototype"), "__constructor__"), V("Shape")));
    Trace(a, CallM(New("Shape", {S("o")}), "describe"));
    TraceKeys(a, V("s"), "keys");  // prototype members are hidden
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    ASSERT_EQ(t.lines.size(), 13u);
    Lines first(t.lines.begin(), t.lines.begin() + 11);
    EXPECT_EQ(first,
              (Lines{"[square:9]", "<square>", "box", "false", "true", "true", "false", "2", "true", "true", "o:0"}));
    // for..in order is the player's own; which names appear is what matters.
    Lines keys(t.lines.begin() + 11, t.lines.end());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (Lines{"name", "side"}));
}

TEST(ActionClasses, InterfacesCastsAndRegisteredClasses) {
    Machine m;
    ActionAssembler a;
    // interface IShape {}; interface ISolid extends IShape {}; class Box implements ISolid {}
    Let(a, "IShape", Fn({}, ActionAssembler()));
    Let(a, "ISolid", Fn({}, ActionAssembler()));
    V("ISolid")(a);
    V("IShape")(a);
    a.Action(kExtends);
    Let(a, "Box", Fn({}, ActionAssembler()));
    Let(a, "Other", Fn({}, ActionAssembler()));
    V("ISolid")(a);
    a.PushNumber(1);
    V("Box")(a);
    a.Action(kImplements);
    Let(a, "b", New("Box"));
    Trace(a, Op(kInstanceOf, V("b"), V("ISolid")));
    Trace(a, Op(kInstanceOf, V("b"), V("IShape")));  // through the interface's own parent
    Trace(a, Op(kInstanceOf, V("b"), V("Other")));
    Trace(a, Op(kCast, V("IShape"), V("b")));      // cast(constructor, object): the object
    Trace(a, Op(kCast, V("Other"), V("b")));       // not an instance: null
    Trace(a, Op(kInstanceOf, N(1), V("Number")));  // primitives are no instances
    Trace(a, CallM(V("Object"), "registerClass", {S("boxSymbol"), V("Box")}));
    Trace(a, CallM(V("Object"), "registerClass", {S("bad"), N(3)}));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"true", "true", "false", "[object Object]", "null", "false", "true", "false"}));
    EXPECT_NE(m.vm.RegisteredClass("boxSymbol"), nullptr);
    EXPECT_EQ(m.vm.RegisteredClass("bad"), nullptr);
}

TEST(ActionClasses, ArgumentsCallApplyAndScriptConversions) {
    Machine m;
    m.vm.SetTimeZoneOffset(0);
    ActionAssembler a;
    // function inner() { return arguments.caller == outer; }
    // function outer() { return arguments.length + ":" + (arguments.callee == outer) + ":" + inner(); }
    a.DefineFunction("inner", {},
                     Body([](ActionAssembler& b) { Return(b, Op(0x66, M(V("arguments"), "caller"), V("outer"))); }));
    a.DefineFunction("outer", {}, Body([](ActionAssembler& b) {
                         Return(b, Add(Add(Add(Add(M(V("arguments"), "length"), S(":")),
                                               Op(0x66, M(V("arguments"), "callee"), V("outer"))),
                                           S(":")),
                                       CallF("inner")));
                     }));
    Trace(a, CallF("outer", {N(1), N(2), N(3)}));
    // function who(p) { return this.tag + p; }  who.call(o, "!"), who.apply(o, ["?"])
    a.DefineFunction("who", {"p"}, Body([](ActionAssembler& b) { Return(b, Add(M(V("this"), "tag"), V("p"))); }));
    Let(a, "o", Obj({{"tag", S("T")}}));
    Trace(a, CallM(V("who"), "call", {V("o"), S("!")}));
    Trace(a, CallM(V("who"), "apply", {V("o"), Arr({S("?")})}));
    // A class with toString and valueOf: text and arithmetic go through them.
    SetM(a, V("o"), "toString", Fn({}, Body([](ActionAssembler& b) { Return(b, S("obj")); })));
    SetM(a, V("o"), "valueOf", Fn({}, Body([](ActionAssembler& b) { Return(b, N(41)); })));
    Trace(a, V("o"));
    Trace(a, Op(0x0A, V("o"), N(1)));                        // Add (numeric): valueOf
    Trace(a, CallM(Arr({V("o"), N(2)}), "join", {S("-")}));  // join converts each element as text
    Trace(a, CallF("String", {New("Number", {N(5)})}));
    Trace(a, Op(0x0A, New("Number", {N(5)}), N(1)));
    // + (Add2): valueOf first, so a wrapped number adds and `o` counts as 41;
    // a Date joins as text; == compares an object through its primitive.
    Trace(a, Add(New("Number", {N(5)}), N(1)));
    Trace(a, Add(V("o"), N(1)));
    Trace(a, Add(V("o"), S("")));
    Trace(a, Op(0x49, V("o"), N(41)));
    Trace(a, Op(0x49, New("String", {S("s")}), S("s")));
    Trace(a, Add(N(1), New("Date", {N(0)})));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    ASSERT_EQ(t.lines.size(), 14u);
    EXPECT_EQ(Lines(t.lines.begin(), t.lines.end() - 1),
              (Lines{"3:true:true", "T!", "T?", "obj", "42", "obj-2", "5", "6", "6", "42", "41", "true", "true"}));
    EXPECT_EQ(t.lines.back(), "1Thu Jan 1 00:00:00 GMT+0000 1970");
}

TEST(ActionClasses, WatchersFlagsAndDeletion) {
    Machine m;
    ActionAssembler a;
    Let(a, "o", Obj({{"x", N(1)}, {"y", N(2)}, {"z", N(3)}}));
    // o.watch("x", function(prop, old, value, data) { trace(prop+old+value+data); return value * 10; }, "!")
    Do(a, CallM(V("o"), "watch",
                {S("x"), Fn({"prop", "old", "value", "data"}, Body([](ActionAssembler& b) {
                                Trace(b, Add(Add(Add(V("prop"), V("old")), V("value")), V("data")));
                                Return(b, Op(0x0C, V("value"), N(10)));
                            })),
                 S("!")}));
    SetM(a, V("o"), "x", N(5));
    Trace(a, M(V("o"), "x"));
    Trace(a, CallM(V("o"), "unwatch", {S("x")}));
    SetM(a, V("o"), "x", N(6));
    Trace(a, M(V("o"), "x"));
    // y read-only (4), z not deletable (2) and hidden (1).
    Do(a, CallF("ASSetPropFlags", {V("o"), S("y"), N(4)}));
    Do(a, CallF("ASSetPropFlags", {V("o"), Arr({S("z")}), N(3)}));
    SetM(a, V("o"), "y", N(20));
    Trace(a, M(V("o"), "y"));
    V("o")(a);
    a.PushString("z").Action(static_cast<std::uint8_t>(0x3A));  // delete o.z
    a.Action(ActionCode::Trace);
    Trace(a, M(V("o"), "z"));
    Trace(a, CallM(V("o"), "isPropertyEnumerable", {S("z")}));
    Trace(a, CallM(V("o"), "isPropertyEnumerable", {S("y")}));
    // Clearing the flag makes y writable again.
    Do(a, CallF("ASSetPropFlags", {V("o"), S("y"), N(0), N(4)}));
    SetM(a, V("o"), "y", N(21));
    Trace(a, M(V("o"), "y"));
    V("o")(a);
    a.PushString("y").Action(static_cast<std::uint8_t>(0x3A));
    a.Action(ActionCode::Trace);
    TraceKeys(a, V("o"), "k");
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"x15!", "50", "true", "6", "2", "false", "3", "false", "true", "21", "true", "x"}));
}

TEST(ActionClasses, NamesAndConversionsByVersion) {
    // Version 6: names ignore case; undefined reads as "" and 0.
    for (int version : {6, 7}) {
        Machine m(version);
        ActionAssembler a;
        Let(a, "Count", N(4));
        Trace(a, V("count"));
        Let(a, "o", New("Object"));
        SetM(a, V("o"), "Name", S("n"));
        Trace(a, M(V("o"), "NAME"));
        Trace(a, Add(S("["), Add(Undef(), S("]"))));
        Trace(a, Op(0x0A, Undef(), N(1)));
        Traced t = RunTraced(m, a);
        ASSERT_EQ(t.status, RunStatus::Completed);
        if (version == 6)
            EXPECT_EQ(t.lines, (Lines{"4", "n", "[]", "1"}));
        else
            EXPECT_EQ(t.lines, (Lines{"undefined", "undefined", "[undefined]", "NaN"}));
    }
}

TEST(ActionClasses, HostileChainsAndAccessorsStayBounded) {
    // A prototype chain through itself, a getter that reads itself, a watcher
    // that writes its own property and an XML node made its own child: each
    // ends within the limits instead of hanging or overflowing.
    Machine m;
    ActionAssembler a;
    Let(a, "o", New("Object"));
    SetM(a, V("o"), "__proto__", V("o"));
    Trace(a, M(V("o"), "missing"));
    Trace(a, Op(kInstanceOf, V("o"), V("Object")));
    TraceKeys(a, V("o"), "loop");
    Trace(a, S("chain done"));
    Let(a, "x", New("XML", {S("<a><b/></a>")}));
    Do(a, CallM(M(M(V("x"), "firstChild"), "childNodes"), "push", {M(V("x"), "firstChild")}));
    Trace(a, M(CallM(V("x"), "toString"), "length"));
    Do(a, CallM(M(V("x"), "firstChild"), "appendChild", {V("x")}));  // an ancestor: refused
    Trace(a, M(M(M(V("x"), "firstChild"), "childNodes"), "length"));
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    ASSERT_GE(t.lines.size(), 4u);
    EXPECT_EQ(t.lines[0], "undefined");
    EXPECT_EQ(t.lines[1], "false");  // the chain never reaches Object.prototype
    EXPECT_EQ(t.lines[2], "chain done");
    EXPECT_EQ(t.lines.back(), "2");

    Machine n;
    ActionAssembler b;
    Let(b, "o", New("Object"));
    Do(b, CallM(V("o"), "addProperty",
                {S("p"), Fn({}, Body([](ActionAssembler& c) { Return(c, M(V("this"), "p")); })), Null()}));
    Trace(b, M(V("o"), "p"));
    EXPECT_EQ(n.Run(b), RunStatus::CallDepthLimit);

    Machine w;
    ActionAssembler c;
    Let(c, "o", New("Object"));
    Do(c, CallM(V("o"), "watch", {S("p"), Fn({"k", "old", "v"}, Body([](ActionAssembler& d) {
                                                 SetM(d, V("this"), "p", V("v"));
                                                 Return(d, V("v"));
                                             }))}));
    SetM(c, V("o"), "p", N(1));
    EXPECT_EQ(w.Run(c), RunStatus::CallDepthLimit);
}

// class List extends Array: the Array methods are generic (ECMA-262 15.4.4),
// so push, pop, join and length work on an instance of the subclass.
TEST(ActionClasses, ArraySubclassesKeepTheArrayMethods) {
    Machine m;
    ActionAssembler a;
    // _global.List = function () { super(); };  List extends Array;
    SetM(a, V("_global"), "List",
         Fn2(3, 0x0001 | 0x0010, {}, Body([](ActionAssembler& b) {
                 b.PushNumber(0).PushRegister(2).PushUndefined().Action(ActionCode::CallMethod).Action(ActionCode::Pop);
             })));
    V("List")(a);
    V("Array")(a);
    a.Action(kExtends);
    // List.prototype.last = function () { return this[this.length - 1]; };
    SetM(a, M(V("List"), "prototype"), "last", Fn({}, Body([](ActionAssembler& b) {
                                                      V("this")(b);
                                                      Op(0x0B, M(V("this"), "length"), N(1))(b);
                                                      b.Action(ActionCode::GetMember).Action(ActionCode::Return);
                                                  })));
    Let(a, "l", New("List"));
    Trace(a, CallM(V("l"), "push", {S("a")}));
    Trace(a, CallM(V("l"), "push", {S("b"), S("c")}));
    Trace(a, M(V("l"), "length"));
    Trace(a, CallM(V("l"), "join", {S("-")}));
    Trace(a, CallM(V("l"), "last"));
    Trace(a, Op(kInstanceOf, V("l"), V("Array")));
    Trace(a, Op(kInstanceOf, V("l"), V("List")));
    Trace(a, CallM(V("l"), "pop"));
    Trace(a, M(V("l"), "length"));
    Do(a, CallM(V("l"), "reverse"));
    Trace(a, CallM(V("l"), "join", {S(",")}));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"1", "3", "3", "a-b-c", "c", "true", "true", "c", "2", "b,a"}));
}

// new writes the constructor on each object it makes, so that the object
// names its real constructor even when the prototype was replaced (the AS2
// players' rule; ECMAScript would read it from the prototype). A function kept
// on an instance constructs with new as any other does.
TEST(ActionClasses, ConstructorsArePerInstanceAndMembersConstruct) {
    Machine m;
    ActionAssembler a;
    // function F() {}  F.prototype = {kind: "replaced"};  var o = new F();
    a.DefineFunction("F", {}, ActionAssembler());
    SetM(a, V("F"), "prototype", Obj({{"kind", S("replaced")}}));
    Let(a, "o", New("F"));
    Trace(a, Op(0x66, M(V("o"), "constructor"), V("F")));
    Trace(a, M(V("o"), "kind"));
    Trace(a, Op(kInstanceOf, V("o"), V("F")));
    TraceKeys(a, V("o"), "own");  // the inherited "kind" only: the constructor is hidden
    // holder.Make = function (v) { this.v = v; };  var made = new holder.Make(7);
    Let(a, "holder", New("Object"));
    SetM(a, V("holder"), "Make", Fn({"v"}, Body([](ActionAssembler& b) { SetM(b, V("this"), "v", V("v")); })));
    Let(a, "made", NewM(V("holder"), "Make", {N(7)}));
    Trace(a, M(V("made"), "v"));
    Trace(a, Op(0x66, M(V("made"), "constructor"), M(V("holder"), "Make")));
    Trace(a, Op(kInstanceOf, V("made"), M(V("holder"), "Make")));
    Trace(a, M(V("holder"), "v"));  // `this` was the new object, not the holder
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"true", "replaced", "true", "kind", "7", "true", "true", "undefined"}));
}
