// Function activations: the arguments object, locals, closures, catch
// variables and `with` inside functions; and how values share their text.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "swf/actions/value.h"
#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;
using swf::actions::Value;

namespace {

constexpr std::uint16_t kPreloadArguments = 0x0004, kSuppressArguments = 0x0008;

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

}  // namespace

TEST(ActionActivation, ArgumentsObjectWhereTheBodyCanReachIt) {
    Machine m;
    ActionAssembler a;
    // By name, with more arguments than parameters, and its callee.
    Let(a, "f", Fn({"a", "b"}, Body([](ActionAssembler& b) {
                       Return(b, Add(Add(M(V("arguments"), "length"), S(":")), M(V("arguments"), "2")));
                   })));
    Trace(a, CallF("f", {N(1), N(2), N(3)}));
    Let(a, "g", Fn({}, Body([](ActionAssembler& b) { Return(b, Op(0x66, M(V("arguments"), "callee"), V("g"))); })));
    Trace(a, CallF("g"));
    // In a register only: the body never names it.
    Let(a, "h", Fn2(2, kPreloadArguments, {}, Body([](ActionAssembler& b) { Return(b, M(Reg(1), "length")); })));
    Trace(a, CallF("h", {N(7), N(8)}));
    // Suppressed: the name finds nothing.
    Let(a, "s", Fn2(1, kSuppressArguments, {}, Body([](ActionAssembler& b) { Return(b, TypeOf(V("arguments"))); })));
    Trace(a, CallF("s", {N(1)}));
    // A function that never names it still gets its parameters.
    Let(a, "p", Fn({"x", "y"}, Body([](ActionAssembler& b) { Return(b, Add(V("x"), V("y"))); })));
    Trace(a, CallF("p", {N(40), N(2)}));
    Traced out = RunTraced(m, a);
    EXPECT_EQ(out.status, RunStatus::Completed);
    EXPECT_EQ(out.lines, (Lines{"3:3", "true", "2", "undefined", "42"}));

    // Named through the constant pool the function inherits from the code
    // that defined it, and in another case in a version 6 movie.
    for (int version : {8, 6}) {
        SCOPED_TRACE(version);
        Machine old(version);
        auto pool = std::make_shared<std::vector<std::string>>();
        ActionAssembler code;
        code.PoolStrings(pool);
        const std::string name = version == 6 ? "ARGUMENTS" : "arguments";
        ActionAssembler body;
        body.PoolStrings(pool);
        Return(body, M(V(name), "length"));
        Let(code, "f", Fn({}, body));
        Trace(code, CallF("f", {N(1), N(2)}));
        ActionAssembler program;
        program.ConstantPool(*pool).Raw(code.Bytes());
        Traced pooled = RunTraced(old, program);
        EXPECT_EQ(pooled.status, RunStatus::Completed);
        EXPECT_EQ(pooled.lines, (Lines{"2"}));
    }
}

TEST(ActionActivation, LocalsStayInTheFunctionThatMadeThem) {
    Machine m;
    ActionAssembler a;
    Let(a, "o", Obj({{"y", N(2)}}));
    // A closure made before the local it reads is defined still sees it.
    Let(a, "outer", Fn({}, Body([](ActionAssembler& b) {
                           Local(b, "g", Fn({}, Body([](ActionAssembler& c) { Return(c, V("later")); })));
                           Local(b, "later", N(5));
                           Return(b, CallF("g"));
                       })));
    Trace(a, CallF("outer"));
    Trace(a, TypeOf(V("later")));
    // var inside `with` in a function: a local, not a member of the object.
    Let(a, "w",
        Fn({}, Body([](ActionAssembler& b) {
               ActionAssembler inside;
               Local(inside, "x", N(1));
               V("o")(b);
               const std::vector<std::uint8_t> block = inside.Bytes();
               b.Action(0x94, {static_cast<std::uint8_t>(block.size()), static_cast<std::uint8_t>(block.size() >> 8)});
               b.Raw(block);
               Return(b, Add(Add(V("x"), S(":")), TypeOf(M(V("o"), "x"))));
           })));
    Trace(a, CallF("w"));
    Trace(a, TypeOf(V("x")));
    // A named catch variable in a function stays there.
    Let(a, "c", Fn({}, Body([](ActionAssembler& b) {
                       ActionAssembler attempt, handler;
                       Throw(attempt, S("boom"));
                       Return(handler, V("err"));
                       Try(b, attempt, "err", handler);
                   })));
    Trace(a, CallF("c"));
    Trace(a, TypeOf(V("err")));
    // Calls deep enough to reuse the spare stacks of earlier ones give the
    // same answers: fib(12) = 144.
    Let(a, "fib", Fn({"n"}, Body([](ActionAssembler& b) {
                         b.PushNumber(2);
                         V("n")(b);
                         b.Action(ActionCode::Greater).If("small");
                         Return(b, Add(CallF("fib", {Op(0x0B, V("n"), N(1))}), CallF("fib", {Op(0x0B, V("n"), N(2))})));
                         b.Label("small");
                         Return(b, V("n"));
                     })));
    Trace(a, CallF("fib", {N(12)}));
    Traced out = RunTraced(m, a);
    EXPECT_EQ(out.status, RunStatus::Completed);
    EXPECT_EQ(out.lines, (Lines{"5", "undefined", "1:undefined", "undefined", "boom", "undefined", "144"}));
}

TEST(ActionValue, CopiesShareTextAndOutliveTheirOriginals) {
    Value a = Value::String("shared text");
    Value b = a;
    EXPECT_EQ(b.TextIdentity(), a.TextIdentity());
    a = Value::Number(1);  // the text stays with b
    EXPECT_EQ(b.AsString(), "shared text");
    const Value& alias = b;
    b = alias;  // assigned to itself
    EXPECT_EQ(b.AsString(), "shared text");
    Value c = std::move(b);
    EXPECT_TRUE(b.IsUndefined());  // NOLINT(bugprone-use-after-move): moved-from values are undefined
    {
        std::vector<Value> copies(1000, c);
        copies[0] = Value::String("other");
        copies[1] = copies[0];
    }
    EXPECT_EQ(c.AsString(), "shared text");
    c = Value::String("replaced");
    EXPECT_EQ(c.AsString(), "replaced");

    // Each accessor reads its own type only.
    EXPECT_EQ(Value::String("1").AsNumber(), 0);
    EXPECT_FALSE(Value::Number(1).AsBool());
    EXPECT_EQ(Value::Bool(true).AsString(), "");
    EXPECT_EQ(Value::Number(5).AsObject(), nullptr);
    EXPECT_EQ(Value::Number(5).TextIdentity(), nullptr);
    EXPECT_TRUE(Value::Obj(nullptr).IsNull());
}
