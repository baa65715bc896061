#include "swf/actions/external_interface.h"

#include <cmath>
#include <string_view>

#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/base/utf8.h"

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

// A decimal or hexadecimal digit's value; -1 for anything else.
int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "&amp;", "&#65;", "&#x41;" at `at`: appends the character and moves past
// the entity; false (nothing read) for anything else.
bool ReadEntity(std::string_view text, std::size_t& at, std::string& out) {
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [entity, c] : kEntities) {
        if (text.substr(at, entity.size()) == entity) {
            out += c;
            at += entity.size();
            return true;
        }
    }
    if (text.substr(at, 2) != "&#") return false;
    std::size_t i = at + 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    std::uint32_t code = 0;
    std::size_t digits = 0;
    for (; i < text.size() && digits < 8; ++i, ++digits) {
        const char c = text[i];
        const int v = DigitValue(c, hex);
        if (v < 0) break;
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
    }
    // Only whole references to characters text can hold.
    const bool valid = code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (digits == 0 || i >= text.size() || text[i] != ';' || !valid) return false;
    base::AppendUtf8(out, static_cast<char32_t>(code));
    at = i + 1;
    return true;
}

// Reads the host's XML value form. Recursion follows the nesting of arrays
// and objects, which is capped; every loop moves on through the text, so
// the work is bounded by the text's length.
class XmlValueReader {
public:
    XmlValueReader(std::string_view text, Interpreter& in) : text_(text), in_(in) {}

    bool Answer(Value& out, std::string& error) {
        out = Value();
        if (text_.size() > kMaxXmlBytes) return Fail(error, "the answer is too long");
        SkipSpace();
        if (at_ == text_.size()) return true;  // no answer
        if (!ReadValue(out, 0) || !AtEnd()) return Fail(error, error_);
        return true;
    }

    bool Invoke(InvokeRequest& out, std::string& error) {
        out = {};
        if (text_.size() > kMaxXmlBytes) return Fail(error, "the request is too long");
        if (!ReadInvoke(out) || !AtEnd()) {
            out.args.clear();
            return Fail(error, error_);
        }
        return true;
    }

private:
    struct Tag {
        std::string name;
        bool closing = false;
        bool empty = false;  // <name/>
        std::vector<std::pair<std::string, std::string>> attributes;

        const std::string* Attribute(std::string_view key) const {
            for (const auto& [k, v] : attributes)
                if (k == key) return &v;
            return nullptr;
        }
    };

    static bool Fail(std::string& error, const std::string& why) {
        error = why.empty() ? "malformed XML" : why;
        return false;
    }
    bool Malformed(const std::string& why) {
        if (error_.empty()) error_ = "malformed XML: " + why;
        return false;
    }
    bool AtEnd() {
        SkipSpace();
        return at_ == text_.size() || Malformed("text after the end");
    }
    void SkipSpace() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }
    static bool NameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == ':' || c == '.';
    }
    std::string ReadName() {
        const std::size_t start = at_;
        while (at_ < text_.size() && NameChar(text_[at_])) ++at_;
        return std::string(text_.substr(start, at_ - start));
    }

    bool ReadTag(Tag& tag) {
        tag = {};
        SkipSpace();
        if (at_ >= text_.size() || text_[at_] != '<') return Malformed("a tag was expected");
        ++at_;
        if (at_ < text_.size() && text_[at_] == '/') {
            tag.closing = true;
            ++at_;
        }
        tag.name = ReadName();
        if (tag.name.empty()) return Malformed("a tag without a name");
        while (true) {
            SkipSpace();
            if (at_ >= text_.size()) return Malformed("a tag is not closed");
            if (text_[at_] == '>') {
                ++at_;
                return true;
            }
            if (text_[at_] == '/' && !tag.closing) {
                if (at_ + 1 >= text_.size() || text_[at_ + 1] != '>') return Malformed("a stray '/' in a tag");
                at_ += 2;
                tag.empty = true;
                return true;
            }
            if (tag.closing || !ReadAttribute(tag)) return Malformed("a bad attribute in <" + tag.name + ">");
        }
    }

    bool ReadAttribute(Tag& tag) {
        std::string key = ReadName();
        SkipSpace();
        if (key.empty() || at_ >= text_.size() || text_[at_] != '=') return false;
        ++at_;
        SkipSpace();
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return false;
        const char quote = text_[at_++];
        const std::size_t end = text_.find(quote, at_);
        if (end == std::string_view::npos) return false;
        std::string value = std::string(text_.substr(at_, end - at_));
        if (value.find('<') != std::string::npos) return false;
        at_ = end + 1;
        tag.attributes.emplace_back(std::move(key), UnescapeXml(value));
        return true;
    }

    bool ExpectClosing(const std::string& name) {
        Tag tag;
        if (!ReadTag(tag)) return false;
        return (tag.closing && tag.name == name) || Malformed("<" + name + "> is not closed");
    }
    bool NextIsClosing() {
        SkipSpace();
        return text_.substr(at_, 2) == "</";
    }

    // The text up to the next tag, entities decoded.
    bool ReadText(std::string& out) {
        const std::size_t end = text_.find('<', at_);
        if (end == std::string_view::npos) return Malformed("text is not closed");
        out = UnescapeXml(std::string(text_.substr(at_, end - at_)));
        at_ = end;
        return true;
    }

    bool ReadInvoke(InvokeRequest& out) {
        SkipSpace();
        // An XML declaration may come first.
        if (text_.substr(at_, 5) == "<?xml") {
            const std::size_t end = text_.find("?>", at_);
            if (end == std::string_view::npos) return Malformed("the declaration is not closed");
            at_ = end + 2;
        }
        Tag invoke;
        if (!ReadTag(invoke)) return false;
        const std::string* name = invoke.Attribute("name");
        if (invoke.closing || invoke.name != "invoke") return Malformed("<invoke> was expected");
        if (name == nullptr || name->empty()) return Malformed("<invoke> names no function");
        out.name = *name;
        if (invoke.empty) return true;
        if (!NextIsClosing()) {
            Tag arguments;
            if (!ReadTag(arguments)) return false;
            if (arguments.closing || arguments.name != "arguments") return Malformed("<arguments> was expected");
            while (!arguments.empty && !NextIsClosing()) {
                Value v;
                if (!ReadValue(v, 0)) return false;
                out.args.push_back(std::move(v));
            }
            if (!arguments.empty && !ExpectClosing("arguments")) return false;
        }
        return ExpectClosing("invoke");
    }

    bool ReadValue(Value& out, int depth) {
        if (depth >= kMaxXmlValueDepth) return Malformed("values nest too deeply");
        Tag tag;
        if (!ReadTag(tag)) return false;
        if (tag.closing) return Malformed("a value was expected");
        const std::string& kind = tag.name;
        if (kind == "string" || kind == "number") {
            std::string text;
            if (!tag.empty && (!ReadText(text) || !ExpectClosing(kind))) return false;
            if (kind == "string") {
                out = in_.MakeString(std::move(text));
                return in_.ok() || Malformed("a string is too long");
            }
            return ReadNumber(text, out);
        }
        if (kind == "true" || kind == "false" || kind == "null" || kind == "undefined") {
            if (!tag.empty && !ExpectClosing(kind)) return false;
            out = kind == "null" ? Value::Null() : kind == "undefined" ? Value() : Value::Bool(kind == "true");
            return true;
        }
        if (kind == "array" || kind == "object") return ReadComposite(tag, out, depth);
        return Malformed("<" + kind + "> is no value");
    }

    bool ReadNumber(const std::string& text, Value& out) {
        const double n = ParseNumber(text, 8);
        std::string trimmed = text;
        std::erase_if(trimmed, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        if (std::isnan(n) && trimmed != "NaN") return Malformed("\"" + trimmed.substr(0, 40) + "\" is no number");
        out = Value::Number(n);
        return true;
    }

    bool ReadComposite(const Tag& tag, Value& out, int depth) {
        const bool array = tag.name == "array";
        Object* o = array ? in_.NewArray({}) : in_.NewPlain();
        if (!in_.ok()) return Malformed("the scripts' memory is used up");
        out = Value::Obj(o);
        if (tag.empty) return true;
        while (!NextIsClosing()) {
            Tag property;
            if (!ReadTag(property)) return false;
            const std::string* id = property.Attribute("id");
            if (property.closing || property.name != "property" || id == nullptr)
                return Malformed("<property id=...> was expected");
            Value v;
            if (!property.empty && (!ReadValue(v, depth + 1) || !ExpectClosing("property"))) return false;
            if (array ? !SetElement(*o, *id, std::move(v)) : !SetMember(*o, *id, std::move(v))) return false;
        }
        return ExpectClosing(tag.name);
    }

    bool SetElement(Object& array, const std::string& id, Value v) {
        std::size_t index = 0;
        if (id.empty() || id.size() > 9 || id.find_first_not_of("0123456789") != std::string::npos)
            return Malformed("\"" + id.substr(0, 40) + "\" is no array index");
        index = std::stoul(id);
        if (index >= array.elements.size()) {
            // Gaps are filled with undefined, as many in all as the text is long:
            // a few bytes cannot ask for a huge array.
            const std::size_t grow = index + 1 - array.elements.size();
            if (grow > 1 && grow - 1 > text_.size() - std::min(text_.size(), padded_))
                return Malformed("an array index is too far ahead");
            padded_ += grow - 1;
            array.elements.resize(index + 1);
            in_.vm().heap().NoteBytes(grow * sizeof(Value));
        }
        array.elements[index] = std::move(v);
        return true;
    }

    bool SetMember(Object& object, const std::string& id, Value v) {
        in_.vm().heap().NoteBytes(id.size() + sizeof(Property));
        object.Set(id, std::move(v), in_.IgnoreCase());
        return !in_.vm().OverMemoryLimit() || Malformed("the scripts' memory is used up");
    }

    std::string_view text_;
    Interpreter& in_;
    std::size_t at_ = 0;
    std::size_t padded_ = 0;
    std::string error_;
};

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
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&' || !ReadEntity(text, i, out)) out += text[i++];
    }
    return out;
}

std::string EncodeXmlValue(const Value& v, int swfVersion) { return EncodeDepth(v, swfVersion, 0); }

std::string BuildInvokeRequest(const std::string& name, const std::vector<Value>& args, int swfVersion) {
    std::string out = "<invoke name=\"" + EscapeXml(name) + "\" returntype=\"xml\"><arguments>";
    for (const Value& a : args) out += EncodeXmlValue(a, swfVersion);
    return out + "</arguments></invoke>";
}

bool DecodeXmlValue(const std::string& xml, Interpreter& in, Value& out, std::string& error) {
    XmlValueReader reader(xml, in);
    return reader.Answer(out, error);
}

bool DecodeInvokeRequest(const std::string& xml, Interpreter& in, InvokeRequest& out, std::string& error) {
    XmlValueReader reader(xml, in);
    return reader.Invoke(out, error);
}

}  // namespace swf::actions
