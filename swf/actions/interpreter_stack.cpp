// The operand stack, conversions and the actions that only compute: pushes,
// arithmetic, comparison, strings, conversions, time and branches.

#include <cmath>
#include <cstdio>

#include "swf/actions/action_codes.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/code_reader.h"
#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/interpreter_detail.h"
#include "swf/base/utf8.h"

namespace swf::actions {

using base::Utf8Length;

Value Interpreter::Primitive(const Value& v) {
    Object* o = v.AsObject();
    if (!o) return v;
    // Dates prefer their text; everything else tries valueOf first.
    if (o->kind != ObjectKind::Array && o->proto != vm_.dateProto()) {
        Value out;
        if (ToPrimitive(*o, false, out)) {
            if (!out.IsObject()) return out;
        } else if (!o->primitive.IsUndefined()) {
            return o->primitive;
        }
    }
    return Value::String(Text(v));
}

bool Interpreter::ToPrimitive(Object& o, bool preferString, Value& out) {
    if (o.kind == ObjectKind::Clip || o.kind == ObjectKind::Super || !ok()) return false;
    Value self = Value::Obj(&o);
    Value method;
    Lookup(&o, preferString ? "toString" : "valueOf", method, nullptr, &self);
    Object* fn = method.AsObject();
    if (!fn || fn->kind != ObjectKind::Function) return false;
    // The built-in Object forms: the conversion knows them without a call.
    if (fn->native == ObjectProtoToString || fn->native == ObjectProtoValueOf) return false;
    out = Call(method, self, {});
    return true;
}

// ---- values and the operand stack --------------------------------------------

std::string Interpreter::Text(const Value& v) { return ToString(v, vm_.swfVersion(), Budget(), this); }
double Interpreter::Number(const Value& v) {
    return v.IsNumber() ? v.AsNumber() : ToNumber(v, vm_.swfVersion(), Budget(), this);
}

Value Interpreter::MakeString(std::string s) {
    if (s.size() > vm_.limits().maxStringLength) {
        Fail(RunStatus::ResourceLimit);
        return Value();
    }
    // Copying text is work too: a loop that rebuilds a long string must not
    // outlast the step budget. Its bytes count toward collection and the
    // memory limit.
    Budget().SpendBytes(s.size());
    vm_.heap().NoteBytes(s.size());
    if (vm_.OverMemoryLimit()) {
        Fail(RunStatus::MemoryLimit);
        return Value();
    }
    return Value::String(std::move(s));
}

Value Interpreter::PopName(Frame& f) {
    Value v = Pop(f);
    if (v.IsString()) return v;
    return Value::String(Text(v));
}

// A count popped from the stack, limited to what the stack can supply.
std::size_t Interpreter::PopCount(Frame& f, std::size_t perItem) {
    double n = Number(Pop(f));
    if (!(n > 0)) return 0;
    double most = static_cast<double>(f.stack.size() / perItem);
    return static_cast<std::size_t>(std::min(std::trunc(n), most));
}

std::vector<Value> Interpreter::SpareValues() {
    if (spareValues_.empty()) {
        std::vector<Value> values;
        values.reserve(16);
        return values;
    }
    std::vector<Value> values = std::move(spareValues_.back());
    spareValues_.pop_back();
    return values;
}

void Interpreter::KeepSpare(std::vector<Value> values) {
    // A few dozen cover any call depth scripts reach often; big ones go.
    constexpr std::size_t kMostKept = 64, kLargestKept = 256;
    if (spareValues_.size() >= kMostKept || values.capacity() > kLargestKept) return;
    values.clear();
    spareValues_.push_back(std::move(values));
}

std::vector<Value> Interpreter::PopArgs(Frame& f) {
    std::size_t n = PopCount(f, 1);
    std::vector<Value> args = SpareValues();
    args.reserve(n);
    for (std::size_t i = 0; i < n; ++i) args.push_back(Pop(f));
    return args;
}

std::size_t Interpreter::JumpTo(Frame& f, std::size_t next, std::int16_t offset) {
    long long target = static_cast<long long>(next) + offset;
    if (target < 0 || target > static_cast<long long>(f.code.size())) return Malformed(f);
    return static_cast<std::size_t>(target);
}

template <class Fn>
void Interpreter::BinaryNumber(Frame& f, Fn fn) {
    double a = Number(Pop(f));
    double b = Number(Pop(f));
    Push(f, Value::Number(fn(b, a)));
}

template <class Fn>
void Interpreter::Bitwise(Frame& f, Fn fn) {
    std::int32_t a = ToInt32(Number(Pop(f)));
    std::int32_t b = ToInt32(Number(Pop(f)));
    Push(f, Value::Number(fn(b, a)));
}

// Less2/Greater: strings compare as text, otherwise as numbers; NaN gives undefined.
void Interpreter::Compare(Frame& f, bool greater) {
    Value a = Pop(f), b = Pop(f);
    if (greater) std::swap(a, b);  // now the question is b < a
    if (b.IsString() && a.IsString()) {
        Push(f, Value::Bool(b.AsString() < a.AsString()));
        return;
    }
    double x = Number(b), y = Number(a);
    if (std::isnan(x) || std::isnan(y))
        Push(f, Value());
    else
        Push(f, Value::Bool(x < y));
}

// ---- stack and constants ------------------------------------------------------------

std::size_t Interpreter::DoPush(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    while (!r.AtEnd() && ok()) {
        auto type = static_cast<PushType>(r.U8());
        switch (type) {
        case PushType::String: {
            std::string s = r.String();
            if (!r.failed()) Push(f, Value::String(std::move(s)));
            break;
        }
        case PushType::Float: {
            float v = r.F32();
            if (!r.failed()) Push(f, Value::Number(v));
            break;
        }
        case PushType::Null: Push(f, Value::Null()); break;
        case PushType::Undefined: Push(f, Value()); break;
        case PushType::Register: {
            std::uint8_t i = r.U8();
            if (!r.failed()) Push(f, i < f.registers.size() ? f.registers[i] : Value());
            break;
        }
        case PushType::Boolean: {
            std::uint8_t b = r.U8();
            if (!r.failed()) Push(f, Value::Bool(b != 0));
            break;
        }
        case PushType::Double: {
            double d = r.SwappedDouble();
            if (!r.failed()) Push(f, Value::Number(d));
            break;
        }
        case PushType::Integer: {
            auto v = static_cast<std::int32_t>(r.U32());
            if (!r.failed()) Push(f, Value::Number(v));
            break;
        }
        case PushType::Constant8:
        case PushType::Constant16: {
            std::size_t i = type == PushType::Constant8 ? r.U8() : r.U16();
            if (r.failed()) break;
            Push(f, i < f.constants->size() ? (*f.constants)[i] : Value());
            break;
        }
        default: return Malformed(f);
        }
        if (r.failed()) return Malformed(f);
    }
    return next;
}

std::size_t Interpreter::DoPop(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Pop(f);
    return next;
}

std::size_t Interpreter::DoPushDuplicate(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = f.stack.empty() ? Value() : f.stack.back();
    Push(f, std::move(v));
    return next;
}

std::size_t Interpreter::DoStackSwap(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value a = Pop(f), b = Pop(f);
    Push(f, std::move(a));
    Push(f, std::move(b));
    return next;
}

std::size_t Interpreter::DoConstantPool(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::uint16_t count = r.U16();
    auto pool = std::make_shared<std::vector<Value>>();
    // Made into values once: each push of a constant then shares its text.
    for (std::uint16_t i = 0; i < count && !r.failed(); ++i) pool->push_back(Value::String(r.String()));
    if (r.failed()) return Malformed(f);
    f.constants = pool.get();
    f.declaredConstants = std::move(pool);
    return next;
}

std::size_t Interpreter::DoStoreRegister(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::uint8_t i = r.U8();
    if (r.failed()) return Malformed(f);
    if (i < f.registers.size()) f.registers[i] = f.stack.empty() ? Value() : f.stack.back();
    return next;
}

// ---- arithmetic ------------------------------------------------------------------

std::size_t Interpreter::DoAdd(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    BinaryNumber(f, [](double b, double a) { return b + a; });
    return next;
}

std::size_t Interpreter::DoSubtract(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    BinaryNumber(f, [](double b, double a) { return b - a; });
    return next;
}

std::size_t Interpreter::DoMultiply(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    BinaryNumber(f, [](double b, double a) { return b * a; });
    return next;
}

std::size_t Interpreter::DoDivide(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    BinaryNumber(f, [](double b, double a) { return b / a; });
    return next;
}

std::size_t Interpreter::DoModulo(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    BinaryNumber(f, [](double b, double a) { return std::fmod(b, a); });
    return next;
}

std::size_t Interpreter::DoAdd2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    // Two numbers, the usual case, need no conversion.
    const std::size_t size = f.stack.size();
    if (size >= 2 && f.stack[size - 1].IsNumber() && f.stack[size - 2].IsNumber()) {
        const double sum = f.stack[size - 2].AsNumber() + f.stack[size - 1].AsNumber();
        f.stack.pop_back();
        f.stack.back() = Value::Number(sum);
        return next;
    }
    Value a = Primitive(Pop(f)), b = Primitive(Pop(f));
    if (a.IsString() || b.IsString() || a.IsObject() || b.IsObject())
        Push(f, MakeString(Text(b) + Text(a)));
    else
        Push(f, Value::Number(Number(b) + Number(a)));
    return next;
}

std::size_t Interpreter::DoIncrement(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(Number(Pop(f)) + 1));
    return next;
}

std::size_t Interpreter::DoDecrement(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(Number(Pop(f)) - 1));
    return next;
}

std::size_t Interpreter::DoBitAnd(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) { return double(b & a); });
    return next;
}

std::size_t Interpreter::DoBitOr(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) { return double(b | a); });
    return next;
}

std::size_t Interpreter::DoBitXor(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) { return double(b ^ a); });
    return next;
}

std::size_t Interpreter::DoBitLShift(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) {
        return double(static_cast<std::int32_t>(static_cast<std::uint32_t>(b) << (a & 31)));
    });
    return next;
}

std::size_t Interpreter::DoBitRShift(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) { return double(b >> (a & 31)); });
    return next;
}

std::size_t Interpreter::DoBitURShift(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Bitwise(f, [](std::int32_t b, std::int32_t a) { return double(static_cast<std::uint32_t>(b) >> (a & 31)); });
    return next;
}

// ---- comparison and logic --------------------------------------------------------

std::size_t Interpreter::DoEquals(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double a = Number(Pop(f)), b = Number(Pop(f));
    Push(f, Value::Bool(b == a));
    return next;
}

std::size_t Interpreter::DoLess(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double a = Number(Pop(f)), b = Number(Pop(f));
    Push(f, Value::Bool(b < a));
    return next;
}

std::size_t Interpreter::DoEquals2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const int version = vm_.swfVersion();
    Value a = Pop(f), b = Pop(f);
    // An object met by a primitive compares through its own primitive value.
    auto nullish = [](const Value& v) { return v.IsUndefined() || v.IsNull(); };
    if (a.IsObject() && !b.IsObject() && !nullish(b)) a = Primitive(a);
    if (b.IsObject() && !a.IsObject() && !nullish(a)) b = Primitive(b);
    Push(f, Value::Bool(LooseEquals(b, a, version, Budget())));
    return next;
}

std::size_t Interpreter::DoStrictEquals(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value a = Pop(f), b = Pop(f);
    Push(f, Value::Bool(StrictEquals(b, a)));
    return next;
}

std::size_t Interpreter::DoLess2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Compare(f, false);
    return next;
}

std::size_t Interpreter::DoGreater(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Compare(f, true);
    return next;
}

std::size_t Interpreter::DoAnd(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const int version = vm_.swfVersion();
    bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
    Push(f, Value::Bool(b && a));
    return next;
}

std::size_t Interpreter::DoOr(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const int version = vm_.swfVersion();
    bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
    Push(f, Value::Bool(b || a));
    return next;
}

std::size_t Interpreter::DoNot(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    const int version = vm_.swfVersion();
    Push(f, Value::Bool(!ToBoolean(Pop(f), version)));
    return next;
}

// ---- strings ---------------------------------------------------------------------

std::size_t Interpreter::DoStringAdd(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string a = Text(Pop(f)), b = Text(Pop(f));
    Push(f, MakeString(b + a));
    return next;
}

std::size_t Interpreter::DoStringEquals(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string a = Text(Pop(f)), b = Text(Pop(f));
    Push(f, Value::Bool(b == a));
    return next;
}

std::size_t Interpreter::DoStringLess(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string a = Text(Pop(f)), b = Text(Pop(f));
    Push(f, Value::Bool(b < a));
    return next;
}

std::size_t Interpreter::DoStringGreater(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string a = Text(Pop(f)), b = Text(Pop(f));
    Push(f, Value::Bool(b > a));
    return next;
}

std::size_t Interpreter::DoStringLength(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(static_cast<double>(Text(Pop(f)).size())));
    return next;
}

std::size_t Interpreter::DoMBStringLength(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(static_cast<double>(Utf8Length(Text(Pop(f))))));
    return next;
}

std::size_t Interpreter::DoStringExtract(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double count = Number(Pop(f)), index = Number(Pop(f));
    std::string s = Text(Pop(f));
    // 1-based index; out-of-range parts are clipped.
    double start = std::isnan(index) ? 0 : std::max(0.0, std::trunc(index) - 1);
    if (start >= static_cast<double>(s.size()) || !(count > 0)) {
        Push(f, Value::String(""));
        return next;
    }
    auto from = static_cast<std::size_t>(start);
    double most = static_cast<double>(s.size() - from);
    auto n = static_cast<std::size_t>(std::min(std::trunc(count), most));
    Push(f, Value::String(s.substr(from, n)));
    return next;
}

// Strings are kept as UTF-8 bytes; the multibyte forms act as the plain ones.
std::size_t Interpreter::DoMBStringExtract(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    return DoStringExtract(f, payload, next);
}

std::size_t Interpreter::DoCharToAscii(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    std::string s = Text(Pop(f));
    Push(f, s.empty() ? Value::Number(NAN) : Value::Number(static_cast<unsigned char>(s[0])));
    return next;
}

// Strings are kept as UTF-8 bytes; the multibyte forms act as the plain ones.
std::size_t Interpreter::DoMBCharToAscii(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    return DoCharToAscii(f, payload, next);
}

std::size_t Interpreter::DoAsciiToChar(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    int c = ToInt32(Number(Pop(f))) & 0xFF;
    Push(f, Value::String(c ? std::string(1, static_cast<char>(c)) : std::string()));
    return next;
}

// Strings are kept as UTF-8 bytes; the multibyte forms act as the plain ones.
std::size_t Interpreter::DoMBAsciiToChar(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    return DoAsciiToChar(f, payload, next);
}

// ---- conversions -----------------------------------------------------------------

std::size_t Interpreter::DoToInteger(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double n = Number(Pop(f));
    Push(f, Value::Number(std::isnan(n) ? 0 : std::trunc(n)));
    return next;
}

std::size_t Interpreter::DoToNumber(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(Number(Pop(f))));
    return next;
}

std::size_t Interpreter::DoToString(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::String(Text(Pop(f))));
    return next;
}

std::size_t Interpreter::DoTypeOf(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::String(TypeOf(Pop(f))));
    return next;
}

std::size_t Interpreter::DoInstanceOf(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value ctor = Pop(f), object = Pop(f);
    Push(f, Value::Bool(InstanceOf(object, ctor)));
    return next;
}

// ---- time and chance -------------------------------------------------------------

std::size_t Interpreter::DoGetTime(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Push(f, Value::Number(vm_.ElapsedMs()));
    return next;
}

// random(n): a whole number from 0 to n - 1; 0 when n is below 1 or too large.
std::size_t Interpreter::DoRandomNumber(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double most = Number(Pop(f));
    double fraction = vm_.Random();
    Push(f, Value::Number(most >= 1 && most < 4294967296.0 ? std::floor(fraction * std::trunc(most)) : 0));
    return next;
}

// ---- branches --------------------------------------------------------------------

std::size_t Interpreter::DoJump(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::int16_t offset = r.S16();
    if (r.failed()) return Malformed(f);
    return JumpTo(f, next, offset);
}

std::size_t Interpreter::DoIf(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    const int version = vm_.swfVersion();
    CodeReader r(payload);
    std::int16_t offset = r.S16();
    if (r.failed()) return Malformed(f);
    if (ToBoolean(Pop(f), version)) return JumpTo(f, next, offset);
    return next;
}

}  // namespace swf::actions
