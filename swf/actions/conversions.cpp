#include "swf/actions/conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace swf::actions {

namespace {

// Nesting of arrays inside arrays beyond this converts to the empty string.
constexpr std::size_t kMaxJoinDepth = 16;
// Joined text stops growing here; the interpreter rejects such strings anyway.
constexpr std::size_t kMaxJoinLength = 16u << 20;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// One conversion to text: the arrays being joined, outermost first, and the
// work budget it draws on.
struct TextConversion {
    int swfVersion;
    WorkBudget budget;
    PrimitiveHook* hook;
    std::vector<const Object*> joining;

    std::string Convert(const Value& v);
    std::string Join(const Object& array);
};

std::string TextConversion::Join(const Object& array) {
    if (joining.size() >= kMaxJoinDepth || std::find(joining.begin(), joining.end(), &array) != joining.end()) {
        return "";
    }
    joining.push_back(&array);
    std::string out;
    for (std::size_t i = 0; i < array.elements.size(); ++i) {
        if (!budget.Spend(1)) break;
        if (i) out += ',';
        const Value& e = array.elements[i];
        if (!e.IsUndefined() && !e.IsNull()) {
            const std::string part = Convert(e);
            if (!budget.SpendBytes(part.size())) break;
            out += part;
        }
        if (out.size() > kMaxJoinLength) break;
    }
    joining.pop_back();
    return out;
}

std::string TextConversion::Convert(const Value& v) {
    switch (v.type()) {
    case ValueType::Undefined: return swfVersion >= 7 ? "undefined" : "";
    case ValueType::Null: return "null";
    case ValueType::Boolean: return v.AsBool() ? "true" : "false";
    case ValueType::Number: return FormatNumber(v.AsNumber());
    case ValueType::String: return v.AsString();
    case ValueType::Object: {
        Object& o = *v.AsObject();
        if (o.kind == ObjectKind::Array) return Join(o);
        Value primitive;
        if (hook && hook->ToPrimitive(o, true, primitive)) {
            if (!primitive.IsObject()) return Convert(primitive);
        } else if (!o.primitive.IsUndefined()) {
            return Convert(o.primitive);
        }
        switch (o.kind) {
        case ObjectKind::Function: return "[type Function]";
        case ObjectKind::Clip: return "_level0";
        default: return "[object Object]";
        }
    }
    }
    return "";
}

}  // namespace

std::string FormatNumber(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";  // also -0
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", n);
    std::string s = buf;
    // C writes the exponent with at least two digits ("1e+05"); drop the padding.
    std::size_t e = s.find('e');
    if (e != std::string::npos && e + 2 < s.size()) {
        std::size_t digits = e + 2;
        while (digits + 1 < s.size() && s[digits] == '0') s.erase(digits, 1);
    }
    return s;
}

double ParseNumber(const std::string& text, int swfVersion) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    if (b == e) return swfVersion >= 7 ? NAN : 0.0;
    std::string t = text.substr(b, e - b);
    bool negative = false;
    std::size_t p = 0;
    if (t[p] == '-' || t[p] == '+') {
        negative = t[p] == '-';
        ++p;
    }
    if (p + 1 < t.size() && t[p] == '0' && (t[p + 1] == 'x' || t[p + 1] == 'X')) {
        double v = 0;
        if (p + 2 >= t.size()) return NAN;
        for (std::size_t i = p + 2; i < t.size(); ++i) {
            char c = t[i];
            int d = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (d < 0) return NAN;
            v = v * 16 + d;
        }
        return negative ? -v : v;
    }
    // Only plain decimal syntax: strtod alone would also take "inf" and "nan".
    bool digits = false;
    for (std::size_t i = p; i < t.size(); ++i) {
        char c = t[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+')
            return NAN;
    }
    if (!digits) return NAN;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size()) return NAN;
    return v;
}

double ToNumber(const Value& v, int swfVersion, WorkBudget budget, PrimitiveHook* hook) {
    switch (v.type()) {
    case ValueType::Undefined:
    case ValueType::Null: return swfVersion >= 7 ? NAN : 0.0;
    case ValueType::Boolean: return v.AsBool() ? 1.0 : 0.0;
    case ValueType::Number: return v.AsNumber();
    case ValueType::String: return ParseNumber(v.AsString(), swfVersion);
    case ValueType::Object: {
        Object& o = *v.AsObject();
        if (o.kind == ObjectKind::Array) return ParseNumber(ToString(v, swfVersion, budget, hook), swfVersion);
        Value primitive;
        if (hook && hook->ToPrimitive(o, false, primitive)) {
            if (!primitive.IsObject()) return ToNumber(primitive, swfVersion, budget);
        } else if (!o.primitive.IsUndefined()) {
            return ToNumber(o.primitive, swfVersion, budget);
        }
        // No usable valueOf: the text form decides ("[object Object]" is NaN).
        return ParseNumber(ToString(v, swfVersion, budget, hook), swfVersion);
    }
    }
    return NAN;
}

std::string ToString(const Value& v, int swfVersion, WorkBudget budget, PrimitiveHook* hook) {
    TextConversion conversion{swfVersion, budget, hook, {}};
    return conversion.Convert(v);
}

bool ToBoolean(const Value& v, int swfVersion) {
    switch (v.type()) {
    case ValueType::Undefined:
    case ValueType::Null: return false;
    case ValueType::Boolean: return v.AsBool();
    case ValueType::Number: return v.AsNumber() != 0 && !std::isnan(v.AsNumber());
    case ValueType::String:
        if (swfVersion >= 7) return !v.AsString().empty();
        {
            double n = ParseNumber(v.AsString(), swfVersion);
            return n != 0 && !std::isnan(n);
        }
    case ValueType::Object: return true;
    }
    return false;
}

std::int32_t ToInt32(double n) {
    if (std::isnan(n) || std::isinf(n)) return 0;
    double t = std::fmod(std::trunc(n), 4294967296.0);
    if (t < 0) t += 4294967296.0;
    auto u = static_cast<std::uint32_t>(t);
    return static_cast<std::int32_t>(u);
}

std::string TypeOf(const Value& v) {
    switch (v.type()) {
    case ValueType::Undefined: return "undefined";
    case ValueType::Null: return "null";
    case ValueType::Boolean: return "boolean";
    case ValueType::Number: return "number";
    case ValueType::String: return "string";
    case ValueType::Object:
        switch (v.AsObject()->kind) {
        case ObjectKind::Function: return "function";
        // Text fields and buttons are display objects without a timeline.
        case ObjectKind::Clip: return v.AsObject()->display && !v.AsObject()->target ? "object" : "movieclip";
        default: return "object";
        }
    }
    return "undefined";
}

bool StrictEquals(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case ValueType::Undefined:
    case ValueType::Null: return true;
    case ValueType::Boolean: return a.AsBool() == b.AsBool();
    case ValueType::Number: return a.AsNumber() == b.AsNumber();
    case ValueType::String: return a.AsString() == b.AsString();
    case ValueType::Object: return a.AsObject() == b.AsObject();
    }
    return false;
}

bool LooseEquals(const Value& a, const Value& b, int swfVersion, WorkBudget budget) {
    if (a.type() == b.type()) return StrictEquals(a, b);
    auto nullish = [](const Value& v) { return v.IsUndefined() || v.IsNull(); };
    if (nullish(a) || nullish(b)) return nullish(a) && nullish(b);
    if (a.IsObject() || b.IsObject()) {
        // An object equals a primitive through its primitive (string) form.
        const Value& obj = a.IsObject() ? a : b;
        const Value& prim = a.IsObject() ? b : a;
        return LooseEquals(Value::String(ToString(obj, swfVersion, budget)), prim, swfVersion, budget);
    }
    // Remaining mixes of boolean, number and string compare as numbers.
    return ToNumber(a, swfVersion, budget) == ToNumber(b, swfVersion, budget);
}

bool ParseArrayIndex(const std::string& name, std::size_t& index) {
    if (name.empty() || name.size() > 9) return false;
    if (name.size() > 1 && name[0] == '0') return false;
    std::size_t v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::size_t>(c - '0');
    }
    index = v;
    return true;
}

}  // namespace swf::actions
