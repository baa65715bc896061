// XML and XMLNode: a tree of script objects. The structural members
// (childNodes, parentNode, firstChild, siblings) are read-only to scripts and
// kept up to date by the methods that change the tree.

#include "swf/actions/builtins/xml.h"

#include <cctype>

#include "swf/actions/builtins/builtins.h"
#include "swf/base/utf8.h"

namespace swf::actions {

namespace {

enum NodeType { kElement = 1, kText = 3 };

// Parse results (the `status` member).
enum Status {
    kOk = 0,
    kCdataOpen = -2,
    kDeclarationOpen = -3,
    kDocTypeOpen = -4,
    kCommentOpen = -5,
    kMalformedElement = -6,
    kAttributeOpen = -8,
    kStartTagOpen = -9,
    kEndTagUnmatched = -10,
};

// Elements nest at most this deep when parsed, printed or cloned.
constexpr std::size_t kMaxDepth = 256;

constexpr std::uint8_t kStructural = kDontEnum | kReadOnly;

Object* Children(Object* node) {
    Value* v = node ? node->Find("childNodes") : nullptr;
    Object* a = v ? v->AsObject() : nullptr;
    return a && a->kind == ObjectKind::Array ? a : nullptr;
}

Object* ParentOf(Object* node) {
    Value* v = node->Find("parentNode");
    return v ? v->AsObject() : nullptr;
}

bool IsNode(const Value& v) { return v.AsObject() && Children(v.AsObject()); }

// Gives `node` the members every node has.
void InitNode(Interpreter& in, Object* node, int type, Value name, Value value) {
    node->Define("nodeType", Value::Number(type), kStructural);
    node->Define("nodeName", std::move(name), kDontEnum);
    node->Define("nodeValue", std::move(value), kDontEnum);
    node->Define("attributes", Value::Obj(in.NewPlain()), kDontEnum);
    node->Define("childNodes", Value::Obj(in.NewArray({})), kStructural);
    for (const char* link : {"parentNode", "firstChild", "lastChild", "previousSibling", "nextSibling"})
        node->Define(link, Value::Null(), kStructural);
}

Object* NewNode(Interpreter& in, int type, Value name, Value value) {
    Object* node = in.NewObject(in.vm().xmlNodeProto());
    InitNode(in, node, type, std::move(name), std::move(value));
    return node;
}

// Brings first/last child and the siblings of `parent`'s children up to date.
void Relink(Object* parent) {
    Object* children = Children(parent);
    if (!children) return;
    auto& list = children->elements;
    for (std::size_t i = 0; i < list.size(); ++i) {
        Object* child = list[i].AsObject();
        if (!child) continue;
        child->Set("previousSibling", i ? list[i - 1] : Value::Null());
        child->Set("nextSibling", i + 1 < list.size() ? list[i + 1] : Value::Null());
    }
    parent->Set("firstChild", list.empty() ? Value::Null() : list.front());
    parent->Set("lastChild", list.empty() ? Value::Null() : list.back());
}

void Detach(Object* node) {
    Object* parent = ParentOf(node);
    if (Object* children = parent ? Children(parent) : nullptr) {
        std::erase_if(children->elements, [node](const Value& v) { return v.AsObject() == node; });
        Relink(parent);
    }
    node->Set("parentNode", Value::Null());
    node->Set("previousSibling", Value::Null());
    node->Set("nextSibling", Value::Null());
}

// True when `node` is `other` or one of its ancestors (a move there would make a cycle).
bool Contains(Object* node, Object* other) {
    for (std::size_t depth = 0; other && depth <= kMaxDepth + 1; ++depth, other = ParentOf(other))
        if (other == node) return true;
    return false;
}

void Insert(Object* parent, Object* node, std::size_t index) {
    if (Contains(node, parent)) return;
    Detach(node);
    Object* children = Children(parent);
    index = std::min(index, children->elements.size());
    children->elements.insert(children->elements.begin() + static_cast<std::ptrdiff_t>(index), Value::Obj(node));
    node->Set("parentNode", Value::Obj(parent));
    Relink(parent);
}

// ---- text ----

std::string Escape(const std::string& s) {
    std::string out;
    for (char ch : s) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += ch;
        }
    }
    return out;
}

// The five named entities and numeric references; unknown ones stay as written.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::size_t semi = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (semi == std::string::npos || semi - i > 10) {
            out += s[i];
            continue;
        }
        std::string name = s.substr(i + 1, semi - i - 1);
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (digits.empty() || *end) {
                out += s[i];
                continue;
            }
            base::AppendUtf8(out, code < 0x110000 ? static_cast<char32_t>(code) : U'\uFFFD');
        } else {
            out += s[i];
            continue;
        }
        i = semi;
    }
    return out;
}

bool AllSpace(const std::string& s) {
    for (unsigned char ch : s)
        if (!std::isspace(ch)) return false;
    return true;
}

// ---- parsing ----

class Parser {
public:
    Parser(Interpreter& in, Object* document, const std::string& text, bool ignoreWhite)
        : in_(in), text_(text), ignoreWhite_(ignoreWhite) {
        open_.push_back(document);
    }

    Status Run() {
        while (pos_ < text_.size() && status_ == kOk && in_.ok()) {
            if (!in_.Budget().Spend(1)) break;
            if (text_[pos_] == '<')
                Markup();
            else
                Text();
        }
        if (status_ == kOk && open_.size() > 1) status_ = kStartTagOpen;
        return status_;
    }

    std::string xmlDecl, docTypeDecl;

private:
    bool At(const char* s) const { return text_.compare(pos_, std::char_traits<char>::length(s), s) == 0; }

    // The position after `close`, or npos with the status set.
    std::size_t Through(const char* close, Status failure) {
        std::size_t at = text_.find(close, pos_);
        if (at == std::string::npos) {
            status_ = failure;
            return at;
        }
        return at + std::char_traits<char>::length(close);
    }

    void Add(Object* node) {
        Object* parent = open_.back();
        Children(parent)->elements.push_back(Value::Obj(node));
        node->Set("parentNode", Value::Obj(parent));
        Relink(parent);
    }

    void Text() {
        std::size_t end = text_.find('<', pos_);
        if (end == std::string::npos) end = text_.size();
        std::string raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && AllSpace(raw)) return;
        Add(NewNode(in_, kText, Value::Null(), Value::String(Unescape(raw))));
    }

    void Markup() {
        std::size_t end;
        if (At("<!--")) {
            if ((end = Through("-->", kCommentOpen)) != std::string::npos) pos_ = end;
        } else if (At("<![CDATA[")) {
            if ((end = Through("]]>", kCdataOpen)) == std::string::npos) return;
            Add(NewNode(in_, kText, Value::Null(), Value::String(text_.substr(pos_ + 9, end - 3 - pos_ - 9))));
            pos_ = end;
        } else if (At("<?")) {
            if ((end = Through("?>", kDeclarationOpen)) == std::string::npos) return;
            if (At("<?xml")) xmlDecl += text_.substr(pos_, end - pos_);
            pos_ = end;
        } else if (At("<!")) {
            if ((end = Through(">", kDocTypeOpen)) == std::string::npos) return;
            docTypeDecl = text_.substr(pos_, end - pos_);
            pos_ = end;
        } else if (At("</")) {
            EndTag();
        } else {
            StartTag();
        }
    }

    std::string Name() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) && text_[pos_] != '>' &&
               text_[pos_] != '/' && text_[pos_] != '=')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void SkipSpace() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }

    void EndTag() {
        pos_ += 2;
        std::string name = Name();
        SkipSpace();
        if (pos_ >= text_.size() || text_[pos_] != '>') {
            status_ = kMalformedElement;
            return;
        }
        ++pos_;
        Value* open = open_.size() > 1 ? open_.back()->Find("nodeName") : nullptr;
        if (!open || !open->IsString() || open->AsString() != name) {
            status_ = kEndTagUnmatched;
            return;
        }
        open_.pop_back();
    }

    void StartTag() {
        ++pos_;
        std::string name = Name();
        if (name.empty()) {
            status_ = kMalformedElement;
            return;
        }
        Object* element = NewNode(in_, kElement, Value::String(name), Value::Null());
        Object* attributes = element->Find("attributes")->AsObject();
        Add(element);
        while (true) {
            SkipSpace();
            if (pos_ >= text_.size()) {
                status_ = kMalformedElement;
                return;
            }
            if (text_[pos_] == '>') {
                ++pos_;
                if (open_.size() > kMaxDepth) {
                    status_ = kMalformedElement;
                    return;
                }
                open_.push_back(element);
                return;
            }
            if (At("/>")) {
                pos_ += 2;
                return;
            }
            std::string attribute = Name();
            SkipSpace();
            if (attribute.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
                status_ = kMalformedElement;
                return;
            }
            ++pos_;
            SkipSpace();
            char quote = pos_ < text_.size() ? text_[pos_] : 0;
            if (quote != '"' && quote != '\'') {
                status_ = kMalformedElement;
                return;
            }
            std::size_t close = text_.find(quote, pos_ + 1);
            if (close == std::string::npos) {
                status_ = kAttributeOpen;
                return;
            }
            attributes->Set(attribute, Value::String(Unescape(text_.substr(pos_ + 1, close - pos_ - 1))));
            pos_ = close + 1;
        }
    }

    Interpreter& in_;
    const std::string& text_;
    bool ignoreWhite_;
    std::size_t pos_ = 0;
    Status status_ = kOk;
    std::vector<Object*> open_;
};

// ---- printing and copying ----

void Print(Interpreter& in, Object* node, std::string& out, std::size_t depth) {
    if (depth > kMaxDepth || !in.Budget().Spend(1)) return;
    Value* type = node->Find("nodeType");
    if (type && type->IsNumber() && type->AsNumber() == static_cast<double>(kText)) {
        Value* value = node->Find("nodeValue");
        if (value) out += Escape(in.Text(*value));
        return;
    }
    Value* name = node->Find("nodeName");
    bool document = !name || name->IsNull() || name->IsUndefined();
    Object* children = Children(node);
    if (!document) {
        out += '<';
        out += in.Text(*name);
        Value* attributes = node->Find("attributes");
        if (Object* a = attributes ? attributes->AsObject() : nullptr)
            for (const Property& p : a->properties) out += " " + p.name + "=\"" + Escape(in.Text(p.value)) + "\"";
        if (!children || children->elements.empty()) {
            out += " />";
            return;
        }
        out += ">";
    }
    if (children) {
        std::vector<Value> list = children->elements;  // printing runs no script, but stay safe
        for (const Value& child : list)
            if (IsNode(child)) Print(in, child.AsObject(), out, depth + 1);
    }
    if (!document) out += "</" + in.Text(*name) + ">";
}

Object* Clone(Interpreter& in, Object* node, bool deep, std::size_t depth) {
    Value type = node->Find("nodeType") ? *node->Find("nodeType") : Value::Number(kElement);
    Value name = node->Find("nodeName") ? *node->Find("nodeName") : Value::Null();
    Value value = node->Find("nodeValue") ? *node->Find("nodeValue") : Value::Null();
    Object* copy = NewNode(in, static_cast<int>(in.Number(type)), name, value);
    Value* attributes = node->Find("attributes");
    if (Object* a = attributes ? attributes->AsObject() : nullptr) {
        Object* target = copy->Find("attributes")->AsObject();
        for (const Property& p : a->properties) target->Set(p.name, p.value);
    }
    if (deep && depth < kMaxDepth && in.Budget().Spend(1)) {
        std::vector<Value> list = Children(node)->elements;
        for (const Value& child : list) {
            if (!IsNode(child) || !in.ok()) continue;
            Object* c = Clone(in, child.AsObject(), true, depth + 1);
            Children(copy)->elements.push_back(Value::Obj(c));
            c->Set("parentNode", Value::Obj(copy));
        }
        Relink(copy);
    }
    return copy;
}

// ---- script methods ----

Object* SelfNode(CallContext& c) { return IsNode(c.self) ? c.self.AsObject() : nullptr; }

Value XmlNodeConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    int type = ToInt32(ArgNumber(c, 0));
    Value text = Value::String(ArgText(c, 1));
    if (type == kText)
        InitNode(c.interpreter, c.self.AsObject(), kText, Value::Null(), text);
    else
        InitNode(c.interpreter, c.self.AsObject(), kElement, text, Value::Null());
    return c.self;
}

Value XmlConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) return Value();
    Object* document = c.self.AsObject();
    InitNode(c.interpreter, document, kElement, Value::Null(), Value::Null());
    document->Set("status", Value::Number(kOk));
    document->Set("loaded", Value());
    if (!c.Arg(0).IsUndefined()) ParseXmlInto(c.interpreter, document, ArgText(c, 0));
    return c.self;
}

Value AppendChild(CallContext& c) {
    Object* self = SelfNode(c);
    if (self && IsNode(c.Arg(0))) Insert(self, c.Arg(0).AsObject(), Children(self)->elements.size());
    return Value();
}

Value InsertBefore(CallContext& c) {
    Object* self = SelfNode(c);
    if (!self || !IsNode(c.Arg(0))) return Value();
    auto& list = Children(self)->elements;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].AsObject() == c.Arg(1).AsObject()) {
            Insert(self, c.Arg(0).AsObject(), i);
            break;
        }
    }
    return Value();
}

Value RemoveNode(CallContext& c) {
    if (Object* self = SelfNode(c)) Detach(self);
    return Value();
}

Value CloneNode(CallContext& c) {
    Object* self = SelfNode(c);
    if (!self) return Value();
    return Value::Obj(Clone(c.interpreter, self, ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion()), 0));
}

Value HasChildNodes(CallContext& c) {
    Object* self = SelfNode(c);
    return Value::Bool(self && !Children(self)->elements.empty());
}

Value NodeToString(CallContext& c) {
    Object* self = SelfNode(c);
    if (!self) return Value::String("");
    std::string out;
    Print(c.interpreter, self, out, 0);
    return c.interpreter.MakeString(std::move(out));
}

// A document prints its declarations before its nodes.
Value XmlToString(CallContext& c) {
    Object* self = SelfNode(c);
    if (!self) return Value::String("");
    std::string out;
    for (const char* decl : {"xmlDecl", "docTypeDecl"}) {
        Value v;
        v = c.interpreter.GetMember(c.self, decl);
        if (!v.IsUndefined() && !v.IsNull()) out += c.interpreter.Text(v);
    }
    Print(c.interpreter, self, out, 0);
    return c.interpreter.MakeString(std::move(out));
}

Value ParseXml(CallContext& c) {
    if (Object* self = SelfNode(c)) ParseXmlInto(c.interpreter, self, ArgText(c, 0));
    return Value();
}

Value CreateElement(CallContext& c) {
    return Value::Obj(NewNode(c.interpreter, kElement, Value::String(ArgText(c, 0)), Value::Null()));
}

Value CreateTextNode(CallContext& c) {
    return Value::Obj(NewNode(c.interpreter, kText, Value::Null(), Value::String(ArgText(c, 0))));
}

}  // namespace

void ParseXmlInto(Interpreter& in, Object* document, const std::string& text) {
    Object* children = Children(document);
    if (!children) return;
    for (const Value& child : std::vector<Value>(children->elements))
        if (IsNode(child)) Detach(child.AsObject());
    bool ignoreWhite = ToBoolean(in.GetMember(Value::Obj(document), "ignoreWhite"), in.vm().swfVersion());
    Parser parser(in, document, text, ignoreWhite);
    Status status = parser.Run();
    document->Set("status", Value::Number(status));
    document->Set("xmlDecl", parser.xmlDecl.empty() ? Value() : Value::String(parser.xmlDecl));
    document->Set("docTypeDecl", parser.docTypeDecl.empty() ? Value() : Value::String(parser.docTypeDecl));
}

void XmlLoaded(Interpreter& in, Object* document, bool success, const std::string& text) {
    if (success) ParseXmlInto(in, document, text);
    document->Set("loaded", Value::Bool(success));
    Value self = Value::Obj(document);
    in.Call(in.GetMember(self, "onLoad"), self, {Value::Bool(success)});
}

void InstallXmlBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* nodeProto = vm.xmlNodeProto();
    in.Class("XMLNode", XmlNodeConstructor, nodeProto);
    in.Method(nodeProto, "appendChild", AppendChild);
    in.Method(nodeProto, "insertBefore", InsertBefore);
    in.Method(nodeProto, "removeNode", RemoveNode);
    in.Method(nodeProto, "cloneNode", CloneNode);
    in.Method(nodeProto, "hasChildNodes", HasChildNodes);
    in.Method(nodeProto, "toString", NodeToString);

    Object* xmlProto = in.NewObject(nodeProto);
    in.Class("XML", XmlConstructor, xmlProto);
    in.Method(xmlProto, "parseXML", ParseXml);
    in.Method(xmlProto, "createElement", CreateElement);
    in.Method(xmlProto, "createTextNode", CreateTextNode);
    in.Method(xmlProto, "toString", XmlToString);
    xmlProto->Define("ignoreWhite", Value::Bool(false), kDontEnum);
}

}  // namespace swf::actions
