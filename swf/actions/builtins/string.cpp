// String: the constructor, fromCharCode and the prototype methods. Positions
// count characters (text is held as UTF-8), as in movies of version 6 and up.

#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/base/utf8.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

// Characters of a script's text: a byte that does not start a valid UTF-8
// sequence stands for itself, so any text round-trips.
std::u32string Decode(const std::string& s) { return base::DecodeUtf8(s, base::BadBytes::Keep); }

std::string Encode(const std::u32string& s, std::size_t from = 0, std::size_t count = std::u32string::npos) {
    std::string out;
    std::size_t end = count == std::u32string::npos ? s.size() : std::min(s.size(), from + count);
    for (std::size_t i = from; i < end; ++i) base::AppendUtf8(out, s[i]);
    return out;
}

std::u32string Self(CallContext& c) { return Decode(c.interpreter.Text(SelfPrimitive(c))); }

// A position argument as an integer: NaN is 0, the rest truncate.
double Position(CallContext& c, std::size_t i) {
    double v = ArgNumber(c, i);
    return std::isnan(v) ? 0 : std::trunc(v);
}

// Clamped to [0, size].
std::size_t Clamp(double v, std::size_t size) {
    if (v <= 0) return 0;
    return v >= static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

// From the end when negative (slice, substr).
std::size_t Relative(double v, std::size_t size) {
    return v < 0 ? Clamp(static_cast<double>(size) + v, size) : Clamp(v, size);
}

Value StringConstructor(CallContext& c) {
    std::string text = c.args.empty() ? "" : ArgText(c, 0);
    if (!c.construct || !c.self.IsObject()) return Value::String(std::move(text));
    Object* o = c.self.AsObject();
    o->Define("length", Value::Number(static_cast<double>(Decode(text).size())), kDontEnum);
    o->primitive = Value::String(std::move(text));
    return c.self;
}

Value FromCharCode(CallContext& c) {
    std::string out;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        std::uint32_t code = static_cast<std::uint32_t>(ToInt32(ArgNumber(c, i))) & 0xFFFF;
        if (code) base::AppendUtf8(out, code);
    }
    return c.interpreter.MakeString(std::move(out));
}

Value ToStringMethod(CallContext& c) { return Value::String(c.interpreter.Text(SelfPrimitive(c))); }

Value CharAt(CallContext& c) {
    std::u32string s = Self(c);
    double i = Position(c, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) return Value::String("");
    return Value::String(Encode(s, static_cast<std::size_t>(i), 1));
}

Value CharCodeAt(CallContext& c) {
    std::u32string s = Self(c);
    double i = Position(c, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) return Value::Number(NAN);
    return Value::Number(static_cast<double>(s[static_cast<std::size_t>(i)]));
}

Value Concat(CallContext& c) {
    std::string out = c.interpreter.Text(SelfPrimitive(c));
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        out += ArgText(c, i);
        if (out.size() > c.interpreter.vm().limits().maxStringLength) break;
    }
    return c.interpreter.MakeString(std::move(out));
}

Value IndexOf(CallContext& c) {
    std::u32string s = Self(c), what = Decode(ArgText(c, 0));
    std::size_t from = c.args.size() > 1 ? Clamp(Position(c, 1), s.size()) : 0;
    std::size_t at = s.find(what, from);
    return Value::Number(at == std::u32string::npos ? -1.0 : static_cast<double>(at));
}

Value LastIndexOf(CallContext& c) {
    std::u32string s = Self(c), what = Decode(ArgText(c, 0));
    std::size_t from = s.size();
    if (c.args.size() > 1 && !std::isnan(ArgNumber(c, 1))) {
        double v = Position(c, 1);
        if (v < 0) return Value::Number(-1);
        from = Clamp(v, s.size());
    }
    std::size_t at = s.rfind(what, from);
    return Value::Number(at == std::u32string::npos ? -1.0 : static_cast<double>(at));
}

Value Slice(CallContext& c) {
    std::u32string s = Self(c);
    std::size_t from = Relative(Position(c, 0), s.size());
    std::size_t to = c.Arg(1).IsUndefined() ? s.size() : Relative(Position(c, 1), s.size());
    return Value::String(to > from ? Encode(s, from, to - from) : "");
}

Value Substring(CallContext& c) {
    std::u32string s = Self(c);
    std::size_t a = Clamp(Position(c, 0), s.size());
    std::size_t b = c.Arg(1).IsUndefined() ? s.size() : Clamp(Position(c, 1), s.size());
    if (a > b) std::swap(a, b);
    return Value::String(Encode(s, a, b - a));
}

Value Substr(CallContext& c) {
    std::u32string s = Self(c);
    std::size_t from = Relative(Position(c, 0), s.size());
    std::size_t n = s.size() - from;
    if (!c.Arg(1).IsUndefined()) n = std::min(n, Clamp(Position(c, 1), s.size()));
    return Value::String(Encode(s, from, n));
}

// split(delimiter, limit): no delimiter gives the whole text as one element,
// an empty one gives each character.
Value Split(CallContext& c) {
    std::u32string s = Self(c);
    std::vector<Value> parts;
    // The limit reads as an unsigned 32-bit count (so -1 means no limit).
    double limit =
        c.Arg(1).IsUndefined() ? INFINITY : static_cast<double>(static_cast<std::uint32_t>(ToInt32(ArgNumber(c, 1))));
    auto add = [&](std::string part) {
        if (static_cast<double>(parts.size()) >= limit || !c.interpreter.Budget().Spend(1)) return false;
        parts.push_back(Value::String(std::move(part)));
        return true;
    };
    if (c.Arg(0).IsUndefined()) {
        add(Encode(s));
    } else {
        std::u32string delimiter = Decode(ArgText(c, 0));
        if (delimiter.empty()) {
            for (std::size_t i = 0; i < s.size(); ++i)
                if (!add(Encode(s, i, 1))) break;
        } else {
            std::size_t start = 0;
            while (true) {
                std::size_t at = s.find(delimiter, start);
                if (!add(Encode(s, start, at == std::u32string::npos ? std::u32string::npos : at - start))) break;
                if (at == std::u32string::npos) break;
                start = at + delimiter.size();
            }
        }
    }
    return Value::Obj(c.interpreter.NewArray(std::move(parts)));
}

// ASCII and Latin-1 letters change case; other characters stay.
char32_t Upper(char32_t ch) {
    if ((ch >= 'a' && ch <= 'z') || (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7)) return ch - 0x20;
    return ch;
}
char32_t Lower(char32_t ch) {
    if ((ch >= 'A' && ch <= 'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) return ch + 0x20;
    return ch;
}

template <char32_t (*F)(char32_t)>
Value ChangeCase(CallContext& c) {
    std::u32string s = Self(c);
    for (char32_t& ch : s) ch = F(ch);
    return Value::String(Encode(s));
}

}  // namespace

void InstallStringBuiltins(Installer& in) {
    Object* proto = in.vm().stringProto();
    Object* ctor = in.Class("String", StringConstructor, proto);
    in.Method(ctor, "fromCharCode", FromCharCode);
    in.Method(proto, "toString", ToStringMethod);
    in.Method(proto, "valueOf", ToStringMethod);
    in.Method(proto, "charAt", CharAt);
    in.Method(proto, "charCodeAt", CharCodeAt);
    in.Method(proto, "concat", Concat);
    in.Method(proto, "indexOf", IndexOf);
    in.Method(proto, "lastIndexOf", LastIndexOf);
    in.Method(proto, "slice", Slice);
    in.Method(proto, "substring", Substring);
    in.Method(proto, "substr", Substr);
    in.Method(proto, "split", Split);
    in.Method(proto, "toUpperCase", ChangeCase<Upper>);
    in.Method(proto, "toLowerCase", ChangeCase<Lower>);
}

}  // namespace swf::actions
