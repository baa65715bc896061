// Math: the functions and constants of ECMAScript's Math object.

#include <cmath>

#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

template <double (*F)(double)>
Value Unary(CallContext& c) {
    return Value::Number(F(ArgNumber(c, 0)));
}

// Halves round up, toward positive infinity (-2.5 -> -2).
double RoundHalfUp(double x) { return std::floor(x + 0.5); }
double Abs(double x) { return std::fabs(x); }
double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }
double Exp(double x) { return std::exp(x); }
double Log(double x) { return std::log(x); }

// min and max take any number of arguments; NaN anywhere gives NaN.
template <bool Max>
Value Extreme(CallContext& c) {
    double best = Max ? -INFINITY : INFINITY;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        double v = ArgNumber(c, i);
        if (std::isnan(v)) return Value::Number(NAN);
        if (Max ? v > best : v < best) best = v;
    }
    return Value::Number(best);
}

Value Pow(CallContext& c) { return Value::Number(std::pow(ArgNumber(c, 0), ArgNumber(c, 1))); }
Value Atan2(CallContext& c) { return Value::Number(std::atan2(ArgNumber(c, 0), ArgNumber(c, 1))); }
Value Random(CallContext& c) { return Value::Number(c.interpreter.vm().Random()); }

}  // namespace

void InstallMathBuiltins(Installer& in) {
    Object* math = in.NewObject(in.vm().objectProto());
    in.vm().global()->Define("Math", Value::Obj(math), kDontEnum);
    in.Method(math, "abs", Unary<Abs>);
    in.Method(math, "floor", Unary<Floor>);
    in.Method(math, "ceil", Unary<Ceil>);
    in.Method(math, "round", Unary<RoundHalfUp>);
    in.Method(math, "sqrt", Unary<Sqrt>);
    in.Method(math, "sin", Unary<Sin>);
    in.Method(math, "cos", Unary<Cos>);
    in.Method(math, "tan", Unary<Tan>);
    in.Method(math, "asin", Unary<Asin>);
    in.Method(math, "acos", Unary<Acos>);
    in.Method(math, "atan", Unary<Atan>);
    in.Method(math, "exp", Unary<Exp>);
    in.Method(math, "log", Unary<Log>);
    in.Method(math, "atan2", Atan2);
    in.Method(math, "pow", Pow);
    in.Method(math, "min", Extreme<false>);
    in.Method(math, "max", Extreme<true>);
    in.Method(math, "random", Random);
    in.Constant(math, "E", Value::Number(2.718281828459045));
    in.Constant(math, "LN10", Value::Number(2.302585092994046));
    in.Constant(math, "LN2", Value::Number(0.6931471805599453));
    in.Constant(math, "LOG10E", Value::Number(0.4342944819032518));
    in.Constant(math, "LOG2E", Value::Number(1.4426950408889634));
    in.Constant(math, "PI", Value::Number(3.141592653589793));
    in.Constant(math, "SQRT1_2", Value::Number(0.7071067811865476));
    in.Constant(math, "SQRT2", Value::Number(1.4142135623730951));
}

}  // namespace swf::actions
