#include "swf/actions/external_interface.h"

#include <cmath>

#include "swf/actions/conversions.h"

namespace swf::actions {

namespace {

// Self-containing arrays and objects are cut off at this depth.
constexpr int kMaxDepth = 16;

std::string EncodeDepth(const Value& v, int swfVersion, int depth) {
    switch (v.type()) {
    case ValueType::Undefined: return "<undefined/>";
    case ValueType::Null: return "<null/>";
    case ValueType::Boolean: return v.AsBool() ? "<true/>" : "<false/>";
    case ValueType::Number: return "<number>" + FormatNumber(v.AsNumber()) + "</number>";
    case ValueType::String: return "<string>" + EscapeXml(v.AsString()) + "</string>";
    case ValueType::Object: break;
    }
    const Object& o = *v.AsObject();
    if (depth >= kMaxDepth || o.kind == ObjectKind::Function) return "<null/>";
    std::string out;
    if (o.kind == ObjectKind::Array) {
        out = "<array>";
        for (std::size_t i = 0; i < o.elements.size(); ++i)
            out += "<property id=\"" + std::to_string(i) + "\">" + EncodeDepth(o.elements[i], swfVersion, depth + 1) +
                   "</property>";
        return out + "</array>";
    }
    out = "<object>";
    for (const Property& p : o.properties) {
        const std::string& key = p.name;
        const Value& value = p.value;
        if (value.IsObject() && value.AsObject()->kind == ObjectKind::Function) continue;
        out += "<property id=\"" + EscapeXml(key) + "\">" + EncodeDepth(value, swfVersion, depth + 1) + "</property>";
    }
    return out + "</object>";
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (b < e && space(s[b])) ++b;
    while (e > b && space(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool Enclosed(const std::string& s, const std::string& open, const std::string& close, std::string& inner) {
    if (s.size() < open.size() + close.size()) return false;
    if (s.compare(0, open.size(), open) != 0) return false;
    if (s.compare(s.size() - close.size(), close.size(), close) != 0) return false;
    inner = s.substr(open.size(), s.size() - open.size() - close.size());
    return true;
}

}  // namespace

std::string EscapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeXml(const std::string& text) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                std::size_t n = std::char_traits<char>::length(entity);
                if (text.compare(i, n, entity) == 0) {
                    out += c;
                    i += n;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::string EncodeXmlValue(const Value& v, int swfVersion) { return EncodeDepth(v, swfVersion, 0); }

std::string BuildInvokeRequest(const std::string& name, const std::vector<Value>& args, int swfVersion) {
    std::string out = "<invoke name=\"" + EscapeXml(name) + "\" returntype=\"xml\"><arguments>";
    for (const Value& a : args) out += EncodeXmlValue(a, swfVersion);
    return out + "</arguments></invoke>";
}

Value DecodeXmlAnswer(const std::string& xml) {
    std::string s = Trim(xml), inner;
    if (s == "<true/>") return Value::Bool(true);
    if (s == "<false/>") return Value::Bool(false);
    if (s == "<null/>") return Value::Null();
    if (s == "<string/>") return Value::String("");
    if (Enclosed(s, "<string>", "</string>", inner)) {
        if (inner.find('<') != std::string::npos) return Value();
        return Value::String(UnescapeXml(inner));
    }
    if (Enclosed(s, "<number>", "</number>", inner)) {
        double n = ParseNumber(inner, 8);
        return std::isnan(n) && Trim(inner) != "NaN" ? Value() : Value::Number(n);
    }
    return Value();
}

}  // namespace swf::actions
