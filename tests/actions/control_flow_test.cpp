// Branches, loops, functions, registers, the constant pool, objects and arrays.

#include <gtest/gtest.h>

#include "tests/actions/fakes.h"
#include "swf/actions/action_codes.h"

using namespace actions_test;
using swf::actions::RunStatus;
using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

namespace {

void SetVar(ActionAssembler& a, const std::string& name, double value) {
    a.PushString(name).PushNumber(value).Action(ActionCode::SetVariable);
}

void GetVar(ActionAssembler& a, const std::string& name) { a.PushString(name).Action(ActionCode::GetVariable); }

}  // namespace

TEST(ActionControlFlow, LoopWithIfAndJump) {
    // sum = 0; i = 1; while (i <= 10) { sum += i; i++ }
    Machine m;
    ActionAssembler a;
    SetVar(a, "sum", 0);
    SetVar(a, "i", 1);
    a.Label("top");
    GetVar(a, "i");
    a.PushNumber(10).Action(ActionCode::Greater).If("done");
    a.PushString("sum");
    GetVar(a, "sum");
    GetVar(a, "i");
    a.Action(ActionCode::Add2).Action(ActionCode::SetVariable);
    a.PushString("i");
    GetVar(a, "i");
    a.Action(ActionCode::Increment).Action(ActionCode::SetVariable);
    a.Jump("top");
    a.Label("done");
    SetVar(a, "after", 1);
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.Var("sum"), "number:55");
    EXPECT_EQ(m.Var("i"), "number:11");
    EXPECT_EQ(m.Var("after"), "number:1");

    // A false condition falls through; a jump to the very end finishes the block.
    Machine n;
    ActionAssembler b;
    b.PushBool(false).If("skip");
    SetVar(b, "fell", 1);
    b.Label("skip");
    b.Jump("end");
    SetVar(b, "never", 1);
    b.Label("end");
    EXPECT_EQ(n.Run(b), RunStatus::Completed);
    EXPECT_EQ(n.Var("fell"), "number:1");
    EXPECT_EQ(n.Var("never"), "undefined");
}

TEST(ActionControlFlow, FunctionsWithArgumentsAndReturn) {
    Machine m;
    ActionAssembler add;
    GetVar(add, "a");
    GetVar(add, "b");
    add.Action(ActionCode::Add2).Action(ActionCode::Return);
    // function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); }
    ActionAssembler fact;
    GetVar(fact, "n");
    fact.PushNumber(1).Action(ActionCode::Greater).If("recurse");
    fact.PushNumber(1).Action(ActionCode::Return);
    fact.Label("recurse");
    GetVar(fact, "n");
    GetVar(fact, "n");
    fact.Action(ActionCode::Decrement).PushNumber(1).PushString("fact").Action(ActionCode::CallFunction);
    fact.Action(ActionCode::Multiply).Action(ActionCode::Return);
    // function local() { var hidden = 5; seen = 1; }  (no return)
    ActionAssembler local;
    local.PushString("hidden").PushNumber(5).Action(ActionCode::DefineLocal);
    SetVar(local, "seen", 1);

    ActionAssembler a;
    a.DefineFunction("add", {"a", "b"}, add);
    a.DefineFunction("fact", {"n"}, fact);
    a.DefineFunction("local", {}, local);
    a.PushString("sum").PushNumber(3).PushNumber(2).PushNumber(2).PushString("add").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    a.PushString("f").PushNumber(5).PushNumber(1).PushString("fact").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    a.PushString("none").PushNumber(0).PushString("local").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    // Too few arguments leave the rest undefined.
    a.PushString("partial").PushNumber(1).PushNumber(1).PushString("add").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    // Calling something that is not a function yields undefined.
    a.PushString("missing").PushNumber(0).PushString("nosuch").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.Var("sum"), "number:5");
    EXPECT_EQ(m.Var("f"), "number:120");
    EXPECT_EQ(m.Var("none"), "undefined");
    EXPECT_EQ(m.Var("seen"), "number:1");
    EXPECT_EQ(m.Var("hidden"), "undefined");  // the local stayed in the function
    EXPECT_EQ(m.Var("partial"), "number:NaN");
    EXPECT_EQ(m.Var("missing"), "undefined");

    // Functions survive between blocks and keep their own constant pool.
    ActionAssembler later;
    later.PushString("again").PushNumber(4).PushNumber(1).PushString("fact").Action(ActionCode::CallFunction);
    later.Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(later), RunStatus::Completed);
    EXPECT_EQ(m.Var("again"), "number:24");
}

TEST(ActionControlFlow, DefineFunction2Registers) {
    using namespace swf::actions;
    Machine m;
    // this -> r1, _global -> r2, a -> r3, b stays a named local.
    ActionAssembler body;
    body.PushRegister(1).PushString("tag").PushString("yes").Action(ActionCode::SetMember);
    body.PushRegister(2).PushString("Math").Action(ActionCode::GetMember);
    body.PushString("gotMath").Action(ActionCode::StackSwap).Action(ActionCode::SetVariable);
    body.PushRegister(3);
    GetVar(body, "b");
    body.Action(ActionCode::Add2);
    body.StoreRegister(4).Action(ActionCode::Pop);
    body.PushRegister(4).PushNumber(10).Action(ActionCode::Multiply).Action(ActionCode::Return);

    ActionAssembler a;
    a.DefineFunction2("f", 5, kPreloadThis | kPreloadGlobal | kSuppressArguments, {{3, "a"}, {0, "b"}}, body);
    a.PushString("r").PushNumber(4).PushNumber(3).PushNumber(2).PushString("f").Action(ActionCode::CallFunction);
    a.Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.Var("r"), "number:70");
    EXPECT_EQ(m.Var("tag"), "string:yes");                  // r1 was `this`, the timeline
    EXPECT_EQ(m.Var("gotMath"), "object:[object Object]");  // r2 was _global

    // Registers of the block itself: StoreRegister keeps the value on the stack.
    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
        x.PushNumber(9)
            .StoreRegister(0)
            .Action(ActionCode::Pop)
            .PushRegister(0)
            .PushRegister(0)
            .Action(ActionCode::Add2);
    }),
              "number:18");
    // Unknown registers read as undefined and ignore stores.
    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
        x.PushNumber(1).StoreRegister(200).Action(ActionCode::Pop).PushRegister(200);
    }),
              "undefined");
}

TEST(ActionControlFlow, ConstantPool) {
    Machine m;
    ActionAssembler a;
    a.ConstantPool({"greeting", "hello", "n"});
    a.PushConstant(0).PushConstant(1).Action(ActionCode::SetVariable);
    a.PushConstant(2).PushConstant(7).Action(ActionCode::SetVariable);  // past the pool
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.Var("greeting"), "string:hello");
    EXPECT_EQ(m.Var("n"), "undefined");

    // A function keeps the pool that was in force where it was defined.
    Machine k;
    ActionAssembler body;
    body.PushConstant(1).Action(ActionCode::Return);
    ActionAssembler b;
    b.ConstantPool({"unused", "from-definition"});
    b.DefineFunction("g", {}, body);
    b.ConstantPool({"other", "replaced"});
    b.PushString("r").PushNumber(0).PushString("g").Action(ActionCode::CallFunction).Action(ActionCode::SetVariable);
    EXPECT_EQ(k.Run(b), RunStatus::Completed);
    EXPECT_EQ(k.Var("r"), "string:from-definition");
}

TEST(ActionControlFlow, ObjectsAndArrays) {
    Machine m;
    ActionAssembler a;
    // o = {a: 1, b: "two"}; o.c = o.a + 1
    a.PushString("o").PushString("a").PushNumber(1).PushString("b").PushString("two").PushNumber(2);
    a.Action(ActionCode::InitObject).Action(ActionCode::SetVariable);
    GetVar(a, "o");
    a.PushString("c");
    GetVar(a, "o");
    a.PushString("a").Action(ActionCode::GetMember).Action(ActionCode::Increment).Action(ActionCode::SetMember);
    // arr = [1, 2, 3]; arr.push(4); n = arr.length; j = arr.join("-")
    a.PushString("arr").PushNumber(3).PushNumber(2).PushNumber(1).PushNumber(3).Action(ActionCode::InitArray);
    a.Action(ActionCode::SetVariable);
    a.PushNumber(4).PushNumber(1);
    GetVar(a, "arr");
    a.PushString("push").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    a.PushString("n");
    GetVar(a, "arr");
    a.PushString("length").Action(ActionCode::GetMember).Action(ActionCode::SetVariable);
    a.PushString("j").PushString("-").PushNumber(1);
    GetVar(a, "arr");
    a.PushString("join").Action(ActionCode::CallMethod).Action(ActionCode::SetVariable);
    // p = new Object(); p.x = 5;  q = new Array(); q[2] = "z"
    a.PushString("p").PushNumber(0).PushString("Object").Action(ActionCode::NewObject).Action(ActionCode::SetVariable);
    GetVar(a, "p");
    a.PushString("x").PushNumber(5).Action(ActionCode::SetMember);
    a.PushString("q").PushNumber(0).PushString("Array").Action(ActionCode::NewObject).Action(ActionCode::SetVariable);
    GetVar(a, "q");
    a.PushString("2").PushString("z").Action(ActionCode::SetMember);
    // _root.fromRoot = "yes" and this.fromThis = 1 land on the timeline.
    a.PushString("_root")
        .Action(ActionCode::GetVariable)
        .PushString("fromRoot")
        .PushString("yes")
        .Action(ActionCode::SetMember);
    a.PushString("this")
        .Action(ActionCode::GetVariable)
        .PushString("fromThis")
        .PushNumber(1)
        .Action(ActionCode::SetMember);
    EXPECT_EQ(m.Run(a), RunStatus::Completed);

    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
        GetVar(x, "o");
        x.PushString("b").Action(ActionCode::GetMember);
    }),
              "string:two");
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { GetVar(x, "o.c"); }), "number:2");
    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
        GetVar(x, "o");
        x.PushString("zz").Action(ActionCode::GetMember);
    }),
              "undefined");
    EXPECT_EQ(m.Var("n"), "number:4");
    EXPECT_EQ(m.Var("j"), "string:1-2-3-4");
    EXPECT_EQ(m.Var("arr"), "object:1,2,3,4");
    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
        GetVar(x, "p");
        x.PushString("x").Action(ActionCode::GetMember);
    }),
              "number:5");
    EXPECT_EQ(m.Var("q"), "object:,,z");
    EXPECT_EQ(m.Var("fromRoot"), "string:yes");
    EXPECT_EQ(m.Var("fromThis"), "number:1");

    // A constructor function: new Point(3) sets this.x and inherits from Point.prototype.
    ActionAssembler ctor;
    ctor.PushString("this").Action(ActionCode::GetVariable).PushString("x");
    GetVar(ctor, "v");
    ctor.Action(ActionCode::SetMember);
    ActionAssembler b;
    b.DefineFunction("Point", {"v"}, ctor);
    GetVar(b, "Point");
    b.PushString("prototype")
        .Action(ActionCode::GetMember)
        .PushString("kind")
        .PushString("point")
        .Action(ActionCode::SetMember);
    b.PushString("pt")
        .PushNumber(3)
        .PushNumber(1)
        .PushString("Point")
        .Action(ActionCode::NewObject)
        .Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(b), RunStatus::Completed);
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { GetVar(x, "pt.x"); }), "number:3");
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { GetVar(x, "pt.kind"); }), "string:point");
}
