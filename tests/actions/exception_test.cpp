// try / catch / finally and throw: within a block, across function calls,
// nested, rethrown, with return, and uncaught.

#include <gtest/gtest.h>

#include "tests/actions/script.h"

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
    a.DefineFunction("fail", {"n"}, Body([](ActionAssembler& b) { Throw(b, Obj({{"code", V("n")}})); }));
    a.DefineFunction("middle", {}, Body([](ActionAssembler& b) {
                         Do(b, CallF("fail", {N(7)}));
                         Trace(b, S("never"));
                     }));
    ActionAssembler innerCleanup = Body([](ActionAssembler& b) { Trace(b, S("inner finally")); });
    ActionAssembler outerBody = Body([&](ActionAssembler& b) {
        Try(b, Body([](ActionAssembler& c) { Do(c, CallF("middle")); }), "x", Body([](ActionAssembler& c) {
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
    Let(a, "MyError", Fn({"m"}, Body([](ActionAssembler& b) { Do(b, CallM(V("super"), "", {V("m")})); })));
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
    std::vector<std::uint8_t> payload = {
        0x01 | 0x04, static_cast<std::uint8_t>(t.size()), 0, static_cast<std::uint8_t>(c.size()), 0, 0, 0, 2};
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

namespace {

std::vector<std::uint8_t> Le16(std::size_t n) {
    return {static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8)};
}

constexpr std::uint8_t kIf = 0x9D;
constexpr std::size_t kJumpSize = 5;  // Jump / If: code, length, 16-bit offset

}  // namespace

// break and continue jump out of a try block; return leaves it from a
// function. Without a finally block nothing else runs, and the try is over:
// a later throw finds the handler around it, not the one that was left.
TEST(ActionExceptions, BreakContinueAndReturnLeaveTryWithoutFinally) {
    Machine m;
    ActionAssembler a;
    ActionAssembler never = Body([](ActionAssembler& b) { Trace(b, S("never")); });

    // for (i = 0; ; i++) { try { if (i == 2) break; trace("try " + i); } catch (e) { trace("never"); } }
    ActionAssembler tail = Body([](ActionAssembler& b) { Trace(b, Add(S("try "), V("i"))); });
    ActionAssembler step = Body([](ActionAssembler& b) { Let(b, "i", Add(V("i"), N(1))); });
    const std::size_t toLoopEnd = tail.Bytes().size() + never.Bytes().size() + step.Bytes().size() + kJumpSize;
    ActionAssembler breaking = Body([&](ActionAssembler& b) {
        Op(0x49, V("i"), N(2))(b);
        b.Action(kIf, Le16(toLoopEnd)).Raw(tail.Bytes());
    });
    Let(a, "i", N(0));
    a.Label("top");
    Try(a, breaking, "e", never);
    a.Raw(step.Bytes()).Jump("top");
    Trace(a, Add(S("after break "), V("i")));

    // for (j = 0; j < 3; j++) { try { if (j == 1) continue; trace("j " + j); } catch (e) { trace("never"); } }
    ActionAssembler jTail = Body([](ActionAssembler& b) { Trace(b, Add(S("j "), V("j"))); });
    ActionAssembler continuing = Body([&](ActionAssembler& b) {
        Op(0x49, V("j"), N(1))(b);
        b.Action(kIf, Le16(jTail.Bytes().size() + never.Bytes().size())).Raw(jTail.Bytes());
    });
    Let(a, "j", N(0));
    a.Label("jtop");
    Not(Op(0x48, V("j"), N(3)))(a);
    a.If("jdone");
    Try(a, continuing, "e", never);
    Let(a, "j", Add(V("j"), N(1)));
    a.Jump("jtop").Label("jdone");

    // A throw after the loops goes to its own handler.
    Try(a, Body([](ActionAssembler& b) { Throw(b, S("late")); }), "e",
        Body([](ActionAssembler& b) { Trace(b, Add(S("late "), V("e"))); }));

    // function f(x) { try { if (x) return "early"; throw "thrown"; } catch (e) { return "caught " + e; } }
    a.DefineFunction("f", {"x"}, Body([&](ActionAssembler& b) {
                         ActionAssembler early = Body([](ActionAssembler& c) { Return(c, S("early")); });
                         ActionAssembler guarded = Body([&](ActionAssembler& c) {
                             Not(V("x"))(c);
                             c.Action(kIf, Le16(early.Bytes().size())).Raw(early.Bytes());
                             Throw(c, S("thrown"));
                         });
                         Try(b, guarded, "e", Body([](ActionAssembler& c) { Return(c, Add(S("caught "), V("e"))); }));
                     }));
    Trace(a, CallF("f", {B(true)}));
    Trace(a, CallF("f", {B(false)}));

    // A return through an inner try without finally still runs the outer finally.
    ActionAssembler outerCleanup = Body([](ActionAssembler& b) { Trace(b, S("outer finally")); });
    a.DefineFunction("g", {}, Body([&](ActionAssembler& b) {
                         ActionAssembler inner = Body([&](ActionAssembler& c) {
                             Try(c, Body([](ActionAssembler& d) { Return(d, S("inner")); }), "e", never);
                         });
                         Try(b, inner, "", ActionAssembler(), &outerCleanup);
                     }));
    Trace(a, CallF("g"));
    // An uncaught throw after all of that still stops the block.
    Throw(a, S("uncaught"));
    Trace(a, S("never"));

    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Thrown);
    EXPECT_EQ(t.lines, (Lines{"try 0", "try 1", "after break 2", "j 0", "j 2", "late late", "early", "caught thrown",
                              "outer finally", "inner"}));
}
