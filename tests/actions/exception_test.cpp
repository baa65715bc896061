// try / catch / finally and throw: within a block, across function calls,
// nested, rethrown, with return, and uncaught.

#include <gtest/gtest.h>

#include "script.h"

using namespace actions_test;
using swf::actions::RunStatus;

namespace {

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

}  // namespace

TEST(ActionExceptions, CatchFinallyNestedAndRethrown) {
    Machine m;
    ActionAssembler a;
    // try { trace("a"); throw "e1"; trace("never"); } catch (e) { trace("caught " + e); } finally { trace("f1"); }
    ActionAssembler cleanup1 = Body([](ActionAssembler& b) { Trace(b, S("f1")); });
    Try(a, Body([](ActionAssembler& b) {
            Trace(b, S("a"));
            Throw(b, S("e1"));
            Trace(b, S("never"));
        }),
        "e", Body([](ActionAssembler& b) { Trace(b, Add(S("caught "), V("e"))); }), &cleanup1);
    // No exception: the catch block is skipped, finally still runs.
    ActionAssembler cleanup2 = Body([](ActionAssembler& b) { Trace(b, S("f2")); });
    Try(a, Body([](ActionAssembler& b) { Trace(b, S("b")); }), "e",
        Body([](ActionAssembler& b) { Trace(b, S("never")); }), &cleanup2);
    // A thrown object from a function two calls deep; the inner handler rethrows.
    a.DefineFunction("fail", {"n"}, Body([](ActionAssembler& b) {
        Throw(b, Obj({{"code", V("n")}}));
    }));
    a.DefineFunction("middle", {}, Body([](ActionAssembler& b) {
        Do(b, CallF("fail", {N(7)}));
        Trace(b, S("never"));
    }));
    ActionAssembler innerCleanup = Body([](ActionAssembler& b) { Trace(b, S("inner finally")); });
    ActionAssembler outerBody = Body([&](ActionAssembler& b) {
        Try(b, Body([](ActionAssembler& c) { Do(c, CallF("middle")); }), "x",
            Body([](ActionAssembler& c) {
                Trace(c, Add(S("inner "), M(V("x"), "code")));
                Throw(c, V("x"));
            }),
            &innerCleanup);
        Trace(b, S("never"));
    });
    Try(a, outerBody, "y", Body([](ActionAssembler& b) { Trace(b, Add(S("outer "), M(V("y"), "code"))); }));
    Trace(a, S("after"));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"a", "caught e1", "f1", "b", "f2", "inner 7", "inner finally", "outer 7", "after"}));
}

TEST(ActionExceptions, FinallyRunsOnReturnAndThrowWithoutCatch) {
    Machine m;
    ActionAssembler a;
    // function f() { try { return "r"; } finally { trace("cleanup"); } }
    ActionAssembler cleanup = Body([](ActionAssembler& b) { Trace(b, S("cleanup")); });
    a.DefineFunction("f", {}, Body([&](ActionAssembler& b) {
        Try(b, Body([](ActionAssembler& c) { Return(c, S("r")); }), "", ActionAssembler(), &cleanup);
        Return(b, S("never"));
    }));
    Trace(a, CallF("f"));
    // function g() { try { throw 1; } finally { trace("g finally"); } }  -- caught by the caller
    ActionAssembler gCleanup = Body([](ActionAssembler& b) { Trace(b, S("g finally")); });
    a.DefineFunction("g", {}, Body([&](ActionAssembler& b) {
        Try(b, Body([](ActionAssembler& c) { Throw(c, N(1)); }), "", ActionAssembler(), &gCleanup);
    }));
    Try(a, Body([](ActionAssembler& b) { Do(b, CallF("g")); }), "e",
        Body([](ActionAssembler& b) { Trace(b, Add(S("got "), V("e"))); }));
    // A return in finally replaces the pending exception.
    ActionAssembler override = Body([](ActionAssembler& b) { Return(b, S("finally wins")); });
    a.DefineFunction("h", {}, Body([&](ActionAssembler& b) {
        Try(b, Body([](ActionAssembler& c) { Throw(c, N(2)); }), "", ActionAssembler(), &override);
    }));
    Trace(a, CallF("h"));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"cleanup", "r", "g finally", "got 1", "finally wins"}));
}

TEST(ActionExceptions, ErrorObjectsAndTypedCatch) {
    Machine m;
    ActionAssembler a;
    // class MyError extends Error; catch (e:MyError) compiles to an instanceof test and a rethrow.
    Let(a, "MyError", Fn({"m"}, Body([](ActionAssembler& b) {
        Do(b, CallM(V("super"), "", {V("m")}));
    })));
    V("MyError")(a);
    V("Error")(a);
    a.Action(0x69);
    ActionAssembler handler = Body([](ActionAssembler& b) {
        Op(0x54, V("e"), V("MyError"))(b);
        b.Action(ActionCode::Not).If("other");
        Trace(b, Add(S("mine: "), V("e")));
        b.Jump("end");
        b.Label("other");
        Throw(b, V("e"));
        b.Label("end");
    });
    Try(a, Body([](ActionAssembler& b) { Throw(b, New("MyError", {S("bad input")})); }), "e", handler);
    Try(a, Body([&](ActionAssembler& b) {
            Try(b, Body([](ActionAssembler& c) { Throw(c, New("Error")); }), "e", handler);
        }),
        "outer", Body([](ActionAssembler& b) {
            Trace(b, Add(Add(M(V("outer"), "name"), S("/")), V("outer")));
            Trace(b, Op(0x54, V("outer"), V("MyError")));
        }));
    Trace(a, M(CallF("Error", {S("called")}), "message"));
    Traced t = RunTraced(m, a);
    ASSERT_EQ(t.status, RunStatus::Completed);
    EXPECT_EQ(t.lines, (Lines{"mine: bad input", "Error/Error", "false", "called"}));
}

TEST(ActionExceptions, CatchInRegisterAndUncaught) {
    Machine m;
    ActionAssembler a;
    // A DefineFunction2 body catching into register 2, as compilers do.
    ActionAssembler tryBody = Body([](ActionAssembler& b) { Throw(b, S("reg")); });
    ActionAssembler catchBody = Body([](ActionAssembler& b) { Trace(b, Add(S("in register: "), Reg(2))); });
    std::vector<std::uint8_t> t = tryBody.Bytes(), c = catchBody.Bytes();
    std::vector<std::uint8_t> payload = {0x01 | 0x04, static_cast<std::uint8_t>(t.size()), 0,
                                         static_cast<std::uint8_t>(c.size()), 0, 0, 0, 2};
    ActionAssembler fnBody;
    fnBody.Action(0x8F, payload).Raw(t).Raw(c);
    a.DefineFunction2("f", 3, 0, {}, fnBody);
    Do(a, CallF("f"));
    Trace(a, S("before"));
    Throw(a, S("nobody catches this"));
    Trace(a, S("never"));
    Traced run = RunTraced(m, a);
    EXPECT_EQ(run.status, RunStatus::Thrown);
    EXPECT_EQ(run.lines, (Lines{"in register: reg", "before"}));

    // An exception escaping a function ends the block the same way.
    Machine n;
    ActionAssembler b;
    b.DefineFunction("boom", {}, Body([](ActionAssembler& x) { Throw(x, S("up")); }));
    Do(b, CallF("boom"));
    Let(b, "after", N(1));
    EXPECT_EQ(n.Run(b), RunStatus::Thrown);
    EXPECT_EQ(n.Var("after"), "undefined");
}
