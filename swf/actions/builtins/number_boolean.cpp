// Number and Boolean: conversion functions when called, wrapper objects when
// constructed, and their prototype methods and constants.

#include <cfloat>
#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

Value Wrap(CallContext& c, Value primitive) {
    if (!c.construct || !c.self.IsObject()) return primitive;
    c.self.AsObject()->primitive = std::move(primitive);
    return c.self;
}

Value NumberConstructor(CallContext& c) { return Wrap(c, Value::Number(c.args.empty() ? 0 : ArgNumber(c, 0))); }

Value BooleanConstructor(CallContext& c) {
    return Wrap(c, Value::Bool(ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion())));
}

double SelfNumber(CallContext& c) { return c.interpreter.Number(SelfPrimitive(c)); }

// toString(radix): radix 10 (the default) prints as numbers always do; other
// radixes print the integer part in that base.
Value NumberToString(CallContext& c) {
    double n = SelfNumber(c);
    int radix = c.Arg(0).IsUndefined() ? 10 : ToInt32(ArgNumber(c, 0));
    if (radix < 2 || radix > 36 || radix == 10 || !std::isfinite(n)) return Value::String(FormatNumber(n));
    double whole = std::trunc(std::fabs(n));
    if (whole >= 9007199254740992.0) return Value::String(FormatNumber(n));
    auto v = static_cast<std::uint64_t>(whole);
    std::string digits;
    do {
        int d = static_cast<int>(v % static_cast<std::uint64_t>(radix));
        digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
        v /= static_cast<std::uint64_t>(radix);
    } while (v);
    if (n < 0 && whole != 0) digits.insert(digits.begin(), '-');
    return Value::String(digits);
}

Value NumberValueOf(CallContext& c) { return Value::Number(SelfNumber(c)); }

Value BooleanToString(CallContext& c) {
    return Value::String(ToBoolean(SelfPrimitive(c), c.interpreter.vm().swfVersion()) ? "true" : "false");
}
Value BooleanValueOf(CallContext& c) {
    return Value::Bool(ToBoolean(SelfPrimitive(c), c.interpreter.vm().swfVersion()));
}

}  // namespace

void InstallNumberBooleanBuiltins(Installer& in) {
    Object* numberProto = in.vm().numberProto();
    Object* number = in.Class("Number", NumberConstructor, numberProto);
    in.Method(numberProto, "toString", NumberToString);
    in.Method(numberProto, "valueOf", NumberValueOf);
    in.Constant(number, "MAX_VALUE", Value::Number(DBL_MAX));
    in.Constant(number, "MIN_VALUE", Value::Number(4.9406564584124654e-324));  // the least denormal
    in.Constant(number, "NaN", Value::Number(NAN));
    in.Constant(number, "NEGATIVE_INFINITY", Value::Number(-INFINITY));
    in.Constant(number, "POSITIVE_INFINITY", Value::Number(INFINITY));

    Object* booleanProto = in.vm().booleanProto();
    in.Class("Boolean", BooleanConstructor, booleanProto);
    in.Method(booleanProto, "toString", BooleanToString);
    in.Method(booleanProto, "valueOf", BooleanValueOf);
}

}  // namespace swf::actions
