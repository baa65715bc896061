// The operand stack, conversions and the actions that only compute: pushes,
// arithmetic, comparison, strings, conversions, time and branches.

#include <chrono>
#include <cmath>
#include <cstdio>

#include "swf/actions/action_codes.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/code_reader.h"
#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/interpreter_detail.h"

namespace swf::actions {

using detail::Utf8Length;

Value Interpreter::Primitive(const Value& v) {
    Object* o = v.AsObject();
    if (!o) return v;
    // Dates prefer their text; everything else tries valueOf first.
    if (o->kind != ObjectKind::Array && o->proto != vm_.dateProto_) {
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

std::string Interpreter::Text(const Value& v) { return ToString(v, vm_.swfVersion_, Budget(), this); }
double Interpreter::Number(const Value& v) { return ToNumber(v, vm_.swfVersion_, Budget(), this); }

Value Interpreter::MakeString(std::string s) {
    if (s.size() > vm_.limits_.maxStringLength) {
        Fail(RunStatus::ResourceLimit);
        return Value();
    }
    // Copying text is work too: a loop that rebuilds a long string must not
    // outlast the step budget. Its bytes count toward collection and the
    // memory limit.
    Budget().SpendBytes(s.size());
    vm_.heap_.NoteBytes(s.size());
    if (vm_.OverMemoryLimit()) {
        Fail(RunStatus::MemoryLimit);
        return Value();
    }
    return Value::String(std::move(s));
}

Value Interpreter::Pop(Frame& f) {
    // Popping an empty stack yields undefined; AVM1 scripts rely on that.
    if (f.stack.empty()) return Value();
    Value v = std::move(f.stack.back());
    f.stack.pop_back();
    return v;
}

void Interpreter::Push(Frame& f, Value v) {
    if (f.stack.size() >= vm_.limits_.maxStackDepth) {
        Fail(RunStatus::ResourceLimit);
        return;
    }
    f.stack.push_back(std::move(v));
}

// A count popped from the stack, limited to what the stack can supply.
std::size_t Interpreter::PopCount(Frame& f, std::size_t perItem) {
    double n = Number(Pop(f));
    if (!(n > 0)) return 0;
    double most = static_cast<double>(f.stack.size() / perItem);
    return static_cast<std::size_t>(std::min(std::trunc(n), most));
}

std::vector<Value> Interpreter::PopArgs(Frame& f) {
    std::size_t n = PopCount(f, 1);
    std::vector<Value> args;
    args.reserve(n);
    for (std::size_t i = 0; i < n; ++i) args.push_back(Pop(f));
    return args;
}

std::size_t Interpreter::StepStack(Frame& f, Op op, std::span<const std::uint8_t> payload, std::size_t next) {
    const int version = vm_.swfVersion_;
    auto jumpTo = [&](std::int16_t offset) -> std::size_t {
        long long target = static_cast<long long>(next) + offset;
        if (target < 0 || target > static_cast<long long>(f.code.size())) return Malformed(f);
        return static_cast<std::size_t>(target);
    };
    auto binaryNumber = [&](auto fn) {
        double a = Number(Pop(f));
        double b = Number(Pop(f));
        Push(f, Value::Number(fn(b, a)));
    };
    auto bitwise = [&](auto fn) {
        std::int32_t a = ToInt32(Number(Pop(f)));
        std::int32_t b = ToInt32(Number(Pop(f)));
        Push(f, Value::Number(fn(b, a)));
    };
    // Less2/Greater: strings compare as text, otherwise as numbers; NaN gives undefined.
    auto compare = [&](bool greater) {
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
    };

    switch (op) {
    // Stack and constants.
    case Op::Push: {
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
                Push(f, i < f.constants->size() ? Value::String((*f.constants)[i]) : Value());
                break;
            }
            default: return Malformed(f);
            }
            if (r.failed()) return Malformed(f);
        }
        break;
    }
    case Op::Pop: Pop(f); break;
    case Op::PushDuplicate: {
        Value v = f.stack.empty() ? Value() : f.stack.back();
        Push(f, std::move(v));
        break;
    }
    case Op::StackSwap: {
        Value a = Pop(f), b = Pop(f);
        Push(f, std::move(a));
        Push(f, std::move(b));
        break;
    }
    case Op::ConstantPool: {
        CodeReader r(payload);
        std::uint16_t count = r.U16();
        auto pool = std::make_shared<std::vector<std::string>>();
        for (std::uint16_t i = 0; i < count && !r.failed(); ++i) pool->push_back(r.String());
        if (r.failed()) return Malformed(f);
        f.constants = std::move(pool);
        break;
    }
    case Op::StoreRegister: {
        CodeReader r(payload);
        std::uint8_t i = r.U8();
        if (r.failed()) return Malformed(f);
        if (i < f.registers.size()) f.registers[i] = f.stack.empty() ? Value() : f.stack.back();
        break;
    }

    // Arithmetic.
    case Op::Add: binaryNumber([](double b, double a) { return b + a; }); break;
    case Op::Subtract: binaryNumber([](double b, double a) { return b - a; }); break;
    case Op::Multiply: binaryNumber([](double b, double a) { return b * a; }); break;
    case Op::Divide: binaryNumber([](double b, double a) { return b / a; }); break;
    case Op::Modulo: binaryNumber([](double b, double a) { return std::fmod(b, a); }); break;
    case Op::Add2: {
        Value a = Primitive(Pop(f)), b = Primitive(Pop(f));
        if (a.IsString() || b.IsString() || a.IsObject() || b.IsObject())
            Push(f, MakeString(Text(b) + Text(a)));
        else
            Push(f, Value::Number(Number(b) + Number(a)));
        break;
    }
    case Op::Increment: Push(f, Value::Number(Number(Pop(f)) + 1)); break;
    case Op::Decrement: Push(f, Value::Number(Number(Pop(f)) - 1)); break;
    case Op::BitAnd: bitwise([](std::int32_t b, std::int32_t a) { return double(b & a); }); break;
    case Op::BitOr: bitwise([](std::int32_t b, std::int32_t a) { return double(b | a); }); break;
    case Op::BitXor: bitwise([](std::int32_t b, std::int32_t a) { return double(b ^ a); }); break;
    case Op::BitLShift:
        bitwise([](std::int32_t b, std::int32_t a) {
            return double(static_cast<std::int32_t>(static_cast<std::uint32_t>(b) << (a & 31)));
        });
        break;
    case Op::BitRShift: bitwise([](std::int32_t b, std::int32_t a) { return double(b >> (a & 31)); }); break;
    case Op::BitURShift:
        bitwise([](std::int32_t b, std::int32_t a) { return double(static_cast<std::uint32_t>(b) >> (a & 31)); });
        break;

    // Comparison and logic.
    case Op::Equals: {
        double a = Number(Pop(f)), b = Number(Pop(f));
        Push(f, Value::Bool(b == a));
        break;
    }
    case Op::Less: {
        double a = Number(Pop(f)), b = Number(Pop(f));
        Push(f, Value::Bool(b < a));
        break;
    }
    case Op::Equals2: {
        Value a = Pop(f), b = Pop(f);
        // An object met by a primitive compares through its own primitive value.
        auto nullish = [](const Value& v) { return v.IsUndefined() || v.IsNull(); };
        if (a.IsObject() && !b.IsObject() && !nullish(b)) a = Primitive(a);
        if (b.IsObject() && !a.IsObject() && !nullish(a)) b = Primitive(b);
        Push(f, Value::Bool(LooseEquals(b, a, version, Budget())));
        break;
    }
    case Op::StrictEquals: {
        Value a = Pop(f), b = Pop(f);
        Push(f, Value::Bool(StrictEquals(b, a)));
        break;
    }
    case Op::Less2: compare(false); break;
    case Op::Greater: compare(true); break;
    case Op::And: {
        bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
        Push(f, Value::Bool(b && a));
        break;
    }
    case Op::Or: {
        bool a = ToBoolean(Pop(f), version), b = ToBoolean(Pop(f), version);
        Push(f, Value::Bool(b || a));
        break;
    }
    case Op::Not: Push(f, Value::Bool(!ToBoolean(Pop(f), version))); break;

    // Strings.
    case Op::StringAdd: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, MakeString(b + a));
        break;
    }
    case Op::StringEquals: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b == a));
        break;
    }
    case Op::StringLess: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b < a));
        break;
    }
    case Op::StringGreater: {
        std::string a = Text(Pop(f)), b = Text(Pop(f));
        Push(f, Value::Bool(b > a));
        break;
    }
    case Op::StringLength: Push(f, Value::Number(static_cast<double>(Text(Pop(f)).size()))); break;
    case Op::MBStringLength: Push(f, Value::Number(static_cast<double>(Utf8Length(Text(Pop(f)))))); break;
    case Op::StringExtract:
    case Op::MBStringExtract: {
        double count = Number(Pop(f)), index = Number(Pop(f));
        std::string s = Text(Pop(f));
        // 1-based index; out-of-range parts are clipped.
        double start = std::isnan(index) ? 0 : std::max(0.0, std::trunc(index) - 1);
        if (start >= static_cast<double>(s.size()) || !(count > 0)) {
            Push(f, Value::String(""));
            break;
        }
        auto from = static_cast<std::size_t>(start);
        double most = static_cast<double>(s.size() - from);
        auto n = static_cast<std::size_t>(std::min(std::trunc(count), most));
        Push(f, Value::String(s.substr(from, n)));
        break;
    }
    case Op::CharToAscii:
    case Op::MBCharToAscii: {
        std::string s = Text(Pop(f));
        Push(f, s.empty() ? Value::Number(NAN) : Value::Number(static_cast<unsigned char>(s[0])));
        break;
    }
    case Op::AsciiToChar:
    case Op::MBAsciiToChar: {
        int c = ToInt32(Number(Pop(f))) & 0xFF;
        Push(f, Value::String(c ? std::string(1, static_cast<char>(c)) : std::string()));
        break;
    }

    // Conversions.
    case Op::ToInteger: {
        double n = Number(Pop(f));
        Push(f, Value::Number(std::isnan(n) ? 0 : std::trunc(n)));
        break;
    }
    case Op::ToNumber: Push(f, Value::Number(Number(Pop(f)))); break;
    case Op::ToString: Push(f, Value::String(Text(Pop(f)))); break;
    case Op::TypeOf: Push(f, Value::String(TypeOf(Pop(f)))); break;
    case Op::InstanceOf: {
        Value ctor = Pop(f), object = Pop(f);
        Push(f, Value::Bool(InstanceOf(object, ctor)));
        break;
    }

    // Time and chance.
    case Op::GetTime: {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now() - vm_.started_).count();
        Push(f, Value::Number(static_cast<double>(ms)));
        break;
    }
    case Op::RandomNumber: {
        double most = Number(Pop(f));
        std::uint32_t x = vm_.randomState_;
        x ^= x << 13; x ^= x >> 17; x ^= x << 5;
        vm_.randomState_ = x;
        double n = most >= 1 && most < 4294967296.0 ? std::floor((x / 4294967296.0) * std::trunc(most)) : 0;
        Push(f, Value::Number(n));
        break;
    }

    // Branches.
    case Op::Jump: {
        CodeReader r(payload);
        std::int16_t offset = r.S16();
        if (r.failed()) return Malformed(f);
        return jumpTo(offset);
    }
    case Op::If: {
        CodeReader r(payload);
        std::int16_t offset = r.S16();
        if (r.failed()) return Malformed(f);
        if (ToBoolean(Pop(f), version)) return jumpTo(offset);
        break;
    }

    default:
        if (op != Op::End) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(op));
            vm_.NoteUnsupported(std::string("action ") + code + " is not known to this player and is skipped");
        }
        break;
    }
    return next;
}

}  // namespace swf::actions
