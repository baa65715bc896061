// The global object: ExternalInterface, the Object/Array/String/Number helpers
// and Math that timeline scripts commonly use, and the methods of clips,
// arrays and strings.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "conversions.h"
#include "external_interface.h"
#include "interpreter.h"

namespace swf::actions {

namespace {

ActionTarget* ClipTarget(const CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Clip ? o->target : nullptr;
}

// ---- flash.external.ExternalInterface ----

Value ExternalCall(CallContext& c) {
    if (c.args.empty()) return Value::Null();
    std::string name = c.interpreter.Text(c.args[0]);
    std::vector<Value> rest(c.args.begin() + 1, c.args.end());
    std::string request = BuildInvokeRequest(name, rest, c.interpreter.vm().swfVersion());
    return DecodeXmlAnswer(c.interpreter.host().FlashCall(request));
}

Value ExternalAddCallback(CallContext&) { return Value::Bool(false); }

// ---- constructors and conversion functions ----

Value ObjectConstructor(CallContext& c) {
    if (c.Arg(0).IsObject()) return c.Arg(0);
    return Value::Obj(c.interpreter.NewPlain());
}

Value ArrayConstructor(CallContext& c) {
    if (c.args.size() == 1 && c.args[0].IsNumber()) {
        double n = c.args[0].AsNumber();
        std::vector<Value> elements;
        if (n >= 0 && n <= 65536) elements.resize(static_cast<std::size_t>(n));
        return Value::Obj(c.interpreter.NewArray(std::move(elements)));
    }
    return Value::Obj(c.interpreter.NewArray(c.args));
}

Value StringFunction(CallContext& c) { return Value::String(c.args.empty() ? "" : c.interpreter.Text(c.args[0])); }
Value NumberFunction(CallContext& c) { return Value::Number(c.args.empty() ? 0 : c.interpreter.Number(c.args[0])); }
Value BooleanFunction(CallContext& c) {
    return Value::Bool(ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion()));
}
Value IsNaN(CallContext& c) { return Value::Bool(std::isnan(c.interpreter.Number(c.Arg(0)))); }
Value IsFinite(CallContext& c) { return Value::Bool(std::isfinite(c.interpreter.Number(c.Arg(0)))); }

Value ParseFloat(CallContext& c) {
    // The longest leading part that reads as a number.
    std::string s = c.interpreter.Text(c.Arg(0));
    std::size_t b = 0;
    while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    for (std::size_t e = s.size(); e > b; --e) {
        double n = ParseNumber(s.substr(b, e - b), 8);
        if (!std::isnan(n) && s.compare(b, 2, "0x") != 0) return Value::Number(n);
    }
    return Value::Number(NAN);
}

Value ParseInt(CallContext& c) {
    std::string s = c.interpreter.Text(c.Arg(0));
    int radix = c.args.size() > 1 ? ToInt32(c.interpreter.Number(c.args[1])) : 0;
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if ((radix == 0 || radix == 16) && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    if (radix == 0) radix = 10;
    if (radix < 2 || radix > 36) return Value::Number(NAN);
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        int d = std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0'
              : std::isalpha(static_cast<unsigned char>(s[i])) ? std::tolower(s[i]) - 'a' + 10 : 99;
        if (d >= radix) break;
        v = v * radix + d;
        any = true;
    }
    if (!any) return Value::Number(NAN);
    return Value::Number(negative ? -v : v);
}

// ---- Math ----

template <double (*F)(double)>
Value MathUnary(CallContext& c) { return Value::Number(F(c.interpreter.Number(c.Arg(0)))); }
double RoundHalfUp(double x) { return std::floor(x + 0.5); }
double Abs(double x) { return std::fabs(x); }
double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Sqrt(double x) { return std::sqrt(x); }

Value MathMin(CallContext& c) {
    double a = c.interpreter.Number(c.Arg(0)), b = c.interpreter.Number(c.Arg(1));
    return Value::Number(std::isnan(a) || std::isnan(b) ? NAN : std::min(a, b));
}
Value MathMax(CallContext& c) {
    double a = c.interpreter.Number(c.Arg(0)), b = c.interpreter.Number(c.Arg(1));
    return Value::Number(std::isnan(a) || std::isnan(b) ? NAN : std::max(a, b));
}
Value MathPow(CallContext& c) {
    return Value::Number(std::pow(c.interpreter.Number(c.Arg(0)), c.interpreter.Number(c.Arg(1))));
}

// ---- Object.prototype ----

Value ObjectToString(CallContext& c) { return Value::String(c.interpreter.Text(c.self)); }
Value HasOwnProperty(CallContext& c) {
    Object* o = c.self.AsObject();
    return Value::Bool(o && o->Find(c.interpreter.Text(c.Arg(0))) != nullptr);
}

// ---- Array.prototype ----

Object* SelfArray(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Array ? o : nullptr;
}

Value ArrayPush(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    for (const Value& v : c.args) a->elements.push_back(v);
    return Value::Number(static_cast<double>(a->elements.size()));
}

Value ArrayPop(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || a->elements.empty()) return Value();
    Value v = a->elements.back();
    a->elements.pop_back();
    return v;
}

Value ArrayJoin(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::string separator = c.Arg(0).IsUndefined() ? "," : c.interpreter.Text(c.Arg(0));
    std::string out;
    for (std::size_t i = 0; i < a->elements.size(); ++i) {
        if (!c.interpreter.Budget().Spend(1)) break;
        if (i) out += separator;
        const Value& e = a->elements[i];
        if (!e.IsUndefined() && !e.IsNull()) out += c.interpreter.Text(e);
        if (out.size() > c.interpreter.vm().limits().maxStringLength) break;
    }
    return c.interpreter.MakeString(std::move(out));
}

// ---- String.prototype ----

std::string SelfString(CallContext& c) { return c.interpreter.Text(c.self); }

// A start position from a script number, clipped to [0, size].
std::size_t Clip(double v, std::size_t size) {
    if (std::isnan(v) || v < 0) return 0;
    return v > static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

Value StringCharAt(CallContext& c) {
    std::string s = SelfString(c);
    double i = c.interpreter.Number(c.Arg(0));
    if (std::isnan(i)) i = 0;
    if (i < 0 || i >= static_cast<double>(s.size())) return Value::String("");
    return Value::String(std::string(1, s[static_cast<std::size_t>(i)]));
}

Value StringCharCodeAt(CallContext& c) {
    std::string s = SelfString(c);
    double i = c.interpreter.Number(c.Arg(0));
    if (std::isnan(i)) i = 0;
    if (i < 0 || i >= static_cast<double>(s.size())) return Value::Number(NAN);
    return Value::Number(static_cast<unsigned char>(s[static_cast<std::size_t>(i)]));
}

Value StringIndexOf(CallContext& c) {
    std::string s = SelfString(c);
    std::size_t from = c.args.size() > 1 ? Clip(c.interpreter.Number(c.args[1]), s.size()) : 0;
    std::size_t at = s.find(c.interpreter.Text(c.Arg(0)), from);
    return Value::Number(at == std::string::npos ? -1.0 : static_cast<double>(at));
}

Value StringSubstr(CallContext& c) {
    std::string s = SelfString(c);
    double start = c.interpreter.Number(c.Arg(0));
    if (std::isnan(start)) start = 0;
    if (start < 0) start = std::max(0.0, static_cast<double>(s.size()) + start);
    std::size_t from = Clip(start, s.size());
    std::size_t n = s.size() - from;
    if (c.args.size() > 1) n = std::min(n, Clip(c.interpreter.Number(c.args[1]), s.size()));
    return Value::String(s.substr(from, n));
}

Value StringSubstring(CallContext& c) {
    std::string s = SelfString(c);
    std::size_t a = Clip(c.interpreter.Number(c.Arg(0)), s.size());
    std::size_t b = c.args.size() > 1 ? Clip(c.interpreter.Number(c.args[1]), s.size()) : s.size();
    if (a > b) std::swap(a, b);
    return Value::String(s.substr(a, b - a));
}

Value StringToUpper(CallContext& c) {
    std::string s = SelfString(c);
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return Value::String(s);
}

Value StringToLower(CallContext& c) {
    std::string s = SelfString(c);
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return Value::String(s);
}

// ---- MovieClip methods ----

Value ClipPlay(CallContext& c) { if (auto* t = ClipTarget(c)) t->Play(); return Value(); }
Value ClipStop(CallContext& c) { if (auto* t = ClipTarget(c)) t->Stop(); return Value(); }
Value ClipNextFrame(CallContext& c) { if (auto* t = ClipTarget(c)) t->NextFrame(); return Value(); }
Value ClipPrevFrame(CallContext& c) { if (auto* t = ClipTarget(c)) t->PrevFrame(); return Value(); }
Value ClipGotoAndPlay(CallContext& c) { c.interpreter.Goto(ClipTarget(c), c.Arg(0), true); return Value(); }
Value ClipGotoAndStop(CallContext& c) { c.interpreter.Goto(ClipTarget(c), c.Arg(0), false); return Value(); }

}  // namespace

void InstallBuiltins(Vm& vm) {
    auto object = [&](Object* proto) {
        Object* o = vm.heap_.New(ObjectKind::Plain);
        o->proto = proto;
        return o;
    };
    auto function = [&](NativeFunction f) {
        Object* o = vm.heap_.New(ObjectKind::Function);
        o->native = f;
        o->proto = vm.functionProto_;
        return o;
    };
    auto method = [&](Object* owner, const char* name, NativeFunction f) {
        owner->Set(name, Value::Obj(function(f)));
    };

    vm.objectProto_ = object(nullptr);
    vm.functionProto_ = object(vm.objectProto_);
    vm.arrayProto_ = object(vm.objectProto_);
    vm.stringProto_ = object(vm.objectProto_);
    vm.clipProto_ = object(vm.objectProto_);
    vm.global_ = object(vm.objectProto_);

    method(vm.objectProto_, "toString", ObjectToString);
    method(vm.objectProto_, "hasOwnProperty", HasOwnProperty);

    method(vm.arrayProto_, "push", ArrayPush);
    method(vm.arrayProto_, "pop", ArrayPop);
    method(vm.arrayProto_, "join", ArrayJoin);

    method(vm.stringProto_, "charAt", StringCharAt);
    method(vm.stringProto_, "charCodeAt", StringCharCodeAt);
    method(vm.stringProto_, "indexOf", StringIndexOf);
    method(vm.stringProto_, "substr", StringSubstr);
    method(vm.stringProto_, "substring", StringSubstring);
    method(vm.stringProto_, "toUpperCase", StringToUpper);
    method(vm.stringProto_, "toLowerCase", StringToLower);

    method(vm.clipProto_, "play", ClipPlay);
    method(vm.clipProto_, "stop", ClipStop);
    method(vm.clipProto_, "nextFrame", ClipNextFrame);
    method(vm.clipProto_, "prevFrame", ClipPrevFrame);
    method(vm.clipProto_, "gotoAndPlay", ClipGotoAndPlay);
    method(vm.clipProto_, "gotoAndStop", ClipGotoAndStop);

    Object* g = vm.global_;
    Object* objectCtor = function(ObjectConstructor);
    objectCtor->Set("prototype", Value::Obj(vm.objectProto_));
    g->Set("Object", Value::Obj(objectCtor));
    Object* arrayCtor = function(ArrayConstructor);
    arrayCtor->Set("prototype", Value::Obj(vm.arrayProto_));
    g->Set("Array", Value::Obj(arrayCtor));
    method(g, "String", StringFunction);
    method(g, "Number", NumberFunction);
    method(g, "Boolean", BooleanFunction);
    method(g, "isNaN", IsNaN);
    method(g, "isFinite", IsFinite);
    method(g, "parseInt", ParseInt);
    method(g, "parseFloat", ParseFloat);
    g->Set("NaN", Value::Number(NAN));
    g->Set("Infinity", Value::Number(INFINITY));

    Object* math = object(vm.objectProto_);
    method(math, "abs", MathUnary<Abs>);
    method(math, "floor", MathUnary<Floor>);
    method(math, "ceil", MathUnary<Ceil>);
    method(math, "round", MathUnary<RoundHalfUp>);
    method(math, "sqrt", MathUnary<Sqrt>);
    method(math, "min", MathMin);
    method(math, "max", MathMax);
    method(math, "pow", MathPow);
    math->Set("PI", Value::Number(3.141592653589793));
    g->Set("Math", Value::Obj(math));

    Object* externalInterface = object(vm.objectProto_);
    method(externalInterface, "call", ExternalCall);
    method(externalInterface, "addCallback", ExternalAddCallback);
    externalInterface->Set("available", Value::Bool(true));
    Object* external = object(vm.objectProto_);
    external->Set("ExternalInterface", Value::Obj(externalInterface));
    Object* flash = object(vm.objectProto_);
    flash->Set("external", Value::Obj(external));
    g->Set("flash", Value::Obj(flash));

    InstallLoadingBuiltins(vm);
}

}  // namespace swf::actions
