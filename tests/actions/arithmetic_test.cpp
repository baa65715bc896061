// Arithmetic, comparison, logic, string operations and type conversions.

#include <gtest/gtest.h>

#include "tests/actions/fakes.h"
#include "swf/actions/conversions.h"

using namespace actions_test;
using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

namespace {

// b <op> a with both pushed in source order.
template <typename A, typename B>
std::string Binary(Machine& m, A pushLeft, B pushRight, ActionCode op) {
    return m.Eval([&](ActionAssembler& a) {
        pushLeft(a);
        pushRight(a);
        a.Action(op);
    });
}

auto Num(double n) {
    return [n](ActionAssembler& a) { a.PushNumber(n); };
}
auto Str(std::string s) {
    return [s](ActionAssembler& a) { a.PushString(s); };
}
auto Undef() {
    return [](ActionAssembler& a) { a.PushUndefined(); };
}
auto Null() {
    return [](ActionAssembler& a) { a.PushNull(); };
}
auto Bool(bool b) {
    return [b](ActionAssembler& a) { a.PushBool(b); };
}

}  // namespace

TEST(ActionArithmetic, NumbersAndCoercion) {
    Machine m;
    EXPECT_EQ(Binary(m, Num(1), Num(2), ActionCode::Add2), "number:3");
    EXPECT_EQ(Binary(m, Str("a"), Num(1), ActionCode::Add2), "string:a1");
    EXPECT_EQ(Binary(m, Num(1), Str("2"), ActionCode::Add2), "string:12");
    EXPECT_EQ(Binary(m, Bool(true), Num(2), ActionCode::Add2), "number:3");
    EXPECT_EQ(Binary(m, Str("1"), Str("2"), ActionCode::Add), "number:3");  // the old Add is numeric
    EXPECT_EQ(Binary(m, Str("10"), Num(3), ActionCode::Subtract), "number:7");
    EXPECT_EQ(Binary(m, Num(6), Str(" 7 "), ActionCode::Multiply), "number:42");
    EXPECT_EQ(Binary(m, Num(1), Num(4), ActionCode::Divide), "number:0.25");
    EXPECT_EQ(Binary(m, Num(1), Num(0), ActionCode::Divide), "number:Infinity");
    EXPECT_EQ(Binary(m, Num(-1), Num(0), ActionCode::Divide), "number:-Infinity");
    EXPECT_EQ(Binary(m, Num(7), Num(3), ActionCode::Modulo), "number:1");
    EXPECT_EQ(Binary(m, Num(-7.5), Num(2), ActionCode::Modulo), "number:-1.5");
    EXPECT_EQ(Binary(m, Str("abc"), Num(1), ActionCode::Multiply), "number:NaN");
    EXPECT_EQ(Binary(m, Undef(), Num(1), ActionCode::Add2), "number:NaN");
    EXPECT_EQ(Binary(m, Null(), Num(1), ActionCode::Subtract), "number:NaN");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNumber(41).Action(ActionCode::Increment); }), "number:42");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushString("5").Action(ActionCode::Decrement); }), "number:4");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushFloat(0.5f); }), "number:0.5");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNumber(-2147483648.0); }), "number:-2147483648");

    // Movies before version 7 read undefined as 0.
    Machine old(6);
    EXPECT_EQ(Binary(old, Undef(), Num(1), ActionCode::Add2), "number:1");
}

TEST(ActionArithmetic, NumberFormatting) {
    using swf::actions::FormatNumber;
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(42), "42");
    EXPECT_EQ(FormatNumber(-3), "-3");
    EXPECT_EQ(FormatNumber(123456789), "123456789");
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_EQ(FormatNumber(1e21), "1e+21");
    EXPECT_EQ(FormatNumber(1e-7), "1e-7");
    EXPECT_EQ(FormatNumber(4294967296.0), "4294967296");

    using swf::actions::ParseNumber;
    EXPECT_EQ(ParseNumber("0x1A", 8), 26);
    EXPECT_EQ(ParseNumber("-0x10", 8), -16);
    EXPECT_EQ(ParseNumber("  12.5e1 ", 8), 125);
    EXPECT_TRUE(std::isnan(ParseNumber("12abc", 8)));
    EXPECT_TRUE(std::isnan(ParseNumber("inf", 8)));
    EXPECT_TRUE(std::isnan(ParseNumber("", 8)));
    EXPECT_EQ(ParseNumber("", 6), 0);
}

TEST(ActionArithmetic, Comparisons) {
    Machine m;
    EXPECT_EQ(Binary(m, Str("1"), Num(1), ActionCode::Equals2), "boolean:true");
    EXPECT_EQ(Binary(m, Null(), Undef(), ActionCode::Equals2), "boolean:true");
    EXPECT_EQ(Binary(m, Null(), Num(0), ActionCode::Equals2), "boolean:false");
    EXPECT_EQ(Binary(m, Bool(true), Str("1"), ActionCode::Equals2), "boolean:true");
    EXPECT_EQ(Binary(m, Str("1"), Num(1), ActionCode::StrictEquals), "boolean:false");
    EXPECT_EQ(Binary(m, Str("x"), Str("x"), ActionCode::StrictEquals), "boolean:true");
    EXPECT_EQ(Binary(m, Num(2), Num(10), ActionCode::Less2), "boolean:true");
    EXPECT_EQ(Binary(m, Str("10"), Str("9"), ActionCode::Less2), "boolean:true");  // as text
    EXPECT_EQ(Binary(m, Str("10"), Num(9), ActionCode::Less2), "boolean:false");   // as numbers
    EXPECT_EQ(Binary(m, Str("a"), Num(1), ActionCode::Less2), "undefined");        // NaN involved
    EXPECT_EQ(Binary(m, Num(3), Num(2), ActionCode::Greater), "boolean:true");
    EXPECT_EQ(Binary(m, Str("b"), Str("a"), ActionCode::Greater), "boolean:true");
    EXPECT_EQ(Binary(m, Num(2), Num(2), ActionCode::Greater), "boolean:false");
    EXPECT_EQ(Binary(m, Str("5"), Num(5), ActionCode::Equals), "boolean:true");
    EXPECT_EQ(Binary(m, Num(1), Num(2), ActionCode::Less), "boolean:true");
}

TEST(ActionArithmetic, Logic) {
    Machine m;
    EXPECT_EQ(Binary(m, Num(1), Str("x"), ActionCode::And), "boolean:true");
    EXPECT_EQ(Binary(m, Num(1), Str(""), ActionCode::And), "boolean:false");
    EXPECT_EQ(Binary(m, Num(0), Null(), ActionCode::Or), "boolean:false");
    EXPECT_EQ(Binary(m, Num(0), Str("0"), ActionCode::Or), "boolean:true");  // non-empty text is true
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushUndefined().Action(ActionCode::Not); }), "boolean:true");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNumber(NAN).Action(ActionCode::Not); }), "boolean:true");
    // Version 6 reads strings as numbers here.
    Machine old(6);
    EXPECT_EQ(Binary(old, Num(1), Str("0"), ActionCode::And), "boolean:false");
}

TEST(ActionArithmetic, StringsAndConversions) {
    Machine m;
    EXPECT_EQ(Binary(m, Str("foo"), Str("bar"), ActionCode::StringAdd), "string:foobar");
    EXPECT_EQ(Binary(m, Str("n="), Num(1.5), ActionCode::StringAdd), "string:n=1.5");
    EXPECT_EQ(Binary(m, Str("1"), Num(1), ActionCode::StringEquals), "boolean:true");
    EXPECT_EQ(Binary(m, Str("a"), Str("A"), ActionCode::StringEquals), "boolean:false");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushString("hello").Action(ActionCode::StringLength); }), "number:5");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNumber(-12.25).Action(ActionCode::StringLength); }), "number:6");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushString("0x10").Action(ActionCode::ToNumber); }), "number:16");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushBool(true).Action(ActionCode::ToNumber); }), "number:1");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNumber(100).Action(ActionCode::ToString); }), "string:100");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushUndefined().Action(ActionCode::ToString); }), "string:undefined");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) { a.PushNull().Action(ActionCode::ToString); }), "string:null");

    auto type = [&](auto push) {
        return m.Eval([&](ActionAssembler& a) {
            push(a);
            a.Action(ActionCode::TypeOf);
        });
    };
    EXPECT_EQ(type(Num(1)), "string:number");
    EXPECT_EQ(type(Str("")), "string:string");
    EXPECT_EQ(type(Bool(false)), "string:boolean");
    EXPECT_EQ(type(Null()), "string:null");
    EXPECT_EQ(type(Undef()), "string:undefined");
    EXPECT_EQ(type([](ActionAssembler& a) { a.PushString("this").Action(ActionCode::GetVariable); }),
              "string:movieclip");
    EXPECT_EQ(type([](ActionAssembler& a) { a.PushNumber(0).Action(ActionCode::InitObject); }), "string:object");
    EXPECT_EQ(type([](ActionAssembler& a) { a.DefineFunction("", {}, ActionAssembler()); }), "string:function");

    // String methods through CallMethod on a primitive.
    EXPECT_EQ(m.Eval([](ActionAssembler& a) {
        a.PushNumber(0).PushString("Hello").PushString("toUpperCase").Action(ActionCode::CallMethod);
    }),
              "string:HELLO");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) {
        a.PushNumber(3).PushNumber(1).PushNumber(2).PushString("abcdef").PushString("substr").Action(
            ActionCode::CallMethod);
    }),
              "string:bcd");
    EXPECT_EQ(m.Eval([](ActionAssembler& a) {
        a.PushString("length").PushString("abc");
        a.Action(ActionCode::StackSwap).Action(ActionCode::GetMember);
    }),
              "number:3");
}
