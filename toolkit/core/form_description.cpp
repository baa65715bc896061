#include "toolkit/core/form_description.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace toolkit {

FormDescriptionError::FormDescriptionError(int line, const std::string& what)
    : Exception("line " + std::to_string(line) + ": " + what), line_(line) {}

namespace {

bool IsIdentifierStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A character as it should appear in a message.
std::string Describe(char c) {
    auto code = static_cast<unsigned char>(c);
    if (code >= 0x21 && code < 0x7F) return std::string("'") + c + "'";
    return "character #" + std::to_string(code);
}

enum class TokenKind { End, Identifier, Integer, String, Binary, Symbol };

struct Token {
    TokenKind Kind = TokenKind::End;
    int Line = 1;
    std::string Text;  // identifier, string contents, or the symbol
    std::int32_t Integer = 0;
    std::vector<std::uint8_t> Bytes;  // binary data
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token Next() {
        SkipBlanksAndComments();
        Token token;
        token.Line = line_;
        if (pos_ >= text_.size()) return token;
        atLineStart_ = false;

        char c = text_[pos_];
        if (IsIdentifierStart(c)) {
            token.Kind = TokenKind::Identifier;
            token.Text = ReadDottedIdentifier();
        } else if (IsDigit(c) || c == '$' ||
                   ((c == '-' || c == '+') && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
            token.Kind = TokenKind::Integer;
            token.Integer = ReadInteger();
        } else if (c == '\'' || c == '#') {
            token.Kind = TokenKind::String;
            token.Text = ReadString();
        } else if (c == '{') {
            token.Kind = TokenKind::Binary;
            token.Bytes = ReadBinary();
        } else if (c == '=' || c == ':' || c == '[' || c == ']' || c == ',' || c == '+') {
            token.Kind = TokenKind::Symbol;
            token.Text = std::string(1, c);
            ++pos_;
        } else {
            throw FormDescriptionError(line_, "unexpected " + Describe(c));
        }
        return token;
    }

    int Line() const { return line_; }

private:
    void SkipBlanksAndComments() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                atLineStart_ = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (atLineStart_ && c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                return;
            }
        }
    }

    std::string ReadDottedIdentifier() {
        std::string name;
        for (;;) {
            while (pos_ < text_.size() && IsIdentifierChar(text_[pos_])) name += text_[pos_++];
            if (pos_ < text_.size() && text_[pos_] == '.') {
                ++pos_;
                if (pos_ >= text_.size() || !IsIdentifierStart(text_[pos_])) {
                    throw FormDescriptionError(line_, "incomplete name '" + name + ".'");
                }
                name += '.';
                continue;
            }
            return name;
        }
    }

    std::int32_t ReadInteger() {
        std::size_t start = pos_;
        std::uint64_t value = 0;
        if (text_[pos_] == '$') {
            // Up to 32 bits, taken as two's complement ($FFFFFFFF is -1).
            ++pos_;
            std::size_t digits = 0;
            while (pos_ < text_.size() && HexDigitValue(text_[pos_]) >= 0) {
                value = value * 16 + static_cast<std::uint64_t>(HexDigitValue(text_[pos_++]));
                if (value > 0xFFFFFFFFull) throw FormDescriptionError(line_, "integer out of range: " + Spelled(start));
                ++digits;
            }
            if (digits == 0) throw FormDescriptionError(line_, "hexadecimal digits expected after '$'");
            CheckNumberEnd(start);
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        }
        bool negative = false;
        if (text_[pos_] == '-' || text_[pos_] == '+') negative = text_[pos_++] == '-';
        const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            value = value * 10 + static_cast<std::uint64_t>(text_[pos_++] - '0');
            if (value > limit) throw FormDescriptionError(line_, "integer out of range: " + Spelled(start));
        }
        CheckNumberEnd(start);
        std::uint64_t bits = negative ? (0 - value) : value;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFull));
    }

    // A number must not run into letters or a decimal point (12px, 1.5).
    void CheckNumberEnd(std::size_t start) {
        if (pos_ < text_.size() && (IsIdentifierChar(text_[pos_]) || text_[pos_] == '.')) {
            while (pos_ < text_.size() && (IsIdentifierChar(text_[pos_]) || text_[pos_] == '.')) ++pos_;
            throw FormDescriptionError(line_, "malformed number " + Spelled(start));
        }
    }

    // The text from start to the current position, for messages (shortened).
    std::string Spelled(std::size_t start) const {
        std::size_t end = pos_;
        while (end < text_.size() && (IsIdentifierChar(text_[end]) || text_[end] == '.')) ++end;
        std::string_view spelled = text_.substr(start, std::min<std::size_t>(end - start, 40));
        return "'" + std::string(spelled) + "'";
    }

    // Quoted parts and #n character codes written next to each other.
    std::string ReadString() {
        std::string value;
        while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
            if (text_[pos_] == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r') {
                        throw FormDescriptionError(line_, "unterminated string");
                    }
                    char c = text_[pos_++];
                    if (c == '\'') {
                        if (pos_ < text_.size() && text_[pos_] == '\'') {
                            value += '\'';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    value += c;
                }
            } else {
                ++pos_;
                value += static_cast<char>(ReadCharacterCode());
            }
        }
        return value;
    }

    int ReadCharacterCode() {
        bool hex = pos_ < text_.size() && text_[pos_] == '$';
        if (hex) ++pos_;
        int code = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size()) {
            int digit = hex ? HexDigitValue(text_[pos_]) : (IsDigit(text_[pos_]) ? text_[pos_] - '0' : -1);
            if (digit < 0) break;
            code = code * (hex ? 16 : 10) + digit;
            if (code > 255) throw FormDescriptionError(line_, "character code above 255 after '#'");
            ++pos_;
            ++digits;
        }
        if (digits == 0) throw FormDescriptionError(line_, "character code expected after '#'");
        return code;
    }

    std::vector<std::uint8_t> ReadBinary() {
        const int startLine = line_;
        ++pos_;  // '{'
        std::vector<std::uint8_t> bytes;
        int pending = -1;  // the high nibble waiting for its low one
        for (;;) {
            if (pos_ >= text_.size()) throw FormDescriptionError(startLine, "binary data without closing '}'");
            char c = text_[pos_++];
            if (c == '}') break;
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            int digit = HexDigitValue(c);
            if (digit < 0) throw FormDescriptionError(line_, "unexpected " + Describe(c) + " in binary data");
            if (pending < 0) {
                pending = digit;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(pending * 16 + digit));
                pending = -1;
            }
        }
        if (pending >= 0) throw FormDescriptionError(line_, "binary data has an odd number of hex digits");
        return bytes;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool atLineStart_ = true;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) { Advance(); }

    FormNode ParseDescription() {
        if (!IsIdentifier("object")) throw Unexpected("'object'");
        FormNode root = ParseObject(1);
        if (current_.Kind != TokenKind::End) {
            throw FormDescriptionError(current_.Line, "text after the final 'end'");
        }
        return root;
    }

private:
    void Advance() { current_ = lexer_.Next(); }

    bool IsIdentifier(std::string_view text) const {
        return current_.Kind == TokenKind::Identifier && current_.Text == text;
    }
    bool IsSymbol(char symbol) const {
        return current_.Kind == TokenKind::Symbol && current_.Text.size() == 1 && current_.Text[0] == symbol;
    }

    std::string Spelled() const {
        switch (current_.Kind) {
        case TokenKind::End: return "the end of the text";
        case TokenKind::Identifier: return "'" + current_.Text + "'";
        case TokenKind::Integer: return "the number " + std::to_string(current_.Integer);
        case TokenKind::String: return "a string";
        case TokenKind::Binary: return "binary data";
        case TokenKind::Symbol: return "'" + current_.Text + "'";
        }
        return "?";
    }

    FormDescriptionError Unexpected(const std::string& expected) const {
        return FormDescriptionError(current_.Line, expected + " expected but " + Spelled() + " found");
    }

    std::string ExpectPlainName(const std::string& what) {
        if (current_.Kind != TokenKind::Identifier || current_.Text.find('.') != std::string::npos) {
            throw Unexpected(what);
        }
        std::string name = current_.Text;
        Advance();
        return name;
    }

    FormNode ParseObject(int depth) {
        if (depth > kMaxFormNestingDepth) {
            throw FormDescriptionError(current_.Line,
                                       "objects nested more than " + std::to_string(kMaxFormNestingDepth) + " deep");
        }
        FormNode node;
        node.Line = current_.Line;
        Advance();  // 'object'
        node.Name = ExpectPlainName("component name");
        if (!IsSymbol(':')) throw Unexpected("':'");
        Advance();
        node.ClassName = ExpectPlainName("class name");
        if (!names_.insert(node.Name).second) {
            throw FormDescriptionError(node.Line, "duplicate component name '" + node.Name + "'");
        }

        std::set<std::string> propertyNames;
        for (;;) {
            if (current_.Kind == TokenKind::End) {
                throw FormDescriptionError(current_.Line, "'end' missing for object '" + node.Name + "' (line " +
                                                              std::to_string(node.Line) + ")");
            }
            if (IsIdentifier("end")) {
                Advance();
                return node;
            }
            if (IsIdentifier("object")) {
                node.Children.push_back(ParseObject(depth + 1));
                continue;
            }
            if (current_.Kind != TokenKind::Identifier) throw Unexpected("property name, 'object' or 'end'");
            FormProperty property;
            property.Line = current_.Line;
            property.Name = current_.Text;
            Advance();
            if (!IsSymbol('=')) throw Unexpected("'='");
            Advance();
            property.Value = ParseValue();
            if (!propertyNames.insert(property.Name).second) {
                throw FormDescriptionError(property.Line, "property '" + property.Name + "' given twice");
            }
            node.Properties.push_back(std::move(property));
        }
    }

    FormValue ParseValue() {
        switch (current_.Kind) {
        case TokenKind::Integer: {
            std::int32_t value = current_.Integer;
            Advance();
            return value;
        }
        case TokenKind::String: return ParseStringValue();
        case TokenKind::Binary: {
            FormBinary binary{std::move(current_.Bytes)};
            Advance();
            return binary;
        }
        case TokenKind::Identifier: {
            if (current_.Text == "bitmap" || current_.Text == "icon") {
                FormPicture picture;
                picture.Kind = current_.Text == "bitmap" ? FormPictureKind::Bitmap : FormPictureKind::Icon;
                Advance();
                if (current_.Kind != TokenKind::String) throw Unexpected("picture resource name");
                picture.ResourceName = current_.Text;
                if (picture.ResourceName.empty())
                    throw FormDescriptionError(current_.Line, "empty picture resource name");
                Advance();
                return picture;
            }
            if (current_.Text == "object" || current_.Text == "end") throw Unexpected("value");
            FormIdentifier identifier{current_.Text};
            Advance();
            return identifier;
        }
        case TokenKind::Symbol:
            if (IsSymbol('[')) return ParseSet();
            break;
        case TokenKind::End: break;
        }
        throw Unexpected("value");
    }

    // 'first part' + <line break> 'second part' ...
    FormValue ParseStringValue() {
        std::string value = std::move(current_.Text);
        Advance();
        while (IsSymbol('+')) {
            Advance();
            if (current_.Kind != TokenKind::String) throw Unexpected("string after '+'");
            value += current_.Text;
            Advance();
        }
        return value;
    }

    FormValue ParseSet() {
        Advance();  // '['
        FormSet set;
        if (IsSymbol(']')) {
            Advance();
            return set;
        }
        for (;;) {
            set.Items.push_back(ExpectPlainName("set element"));
            if (IsSymbol(']')) {
                Advance();
                return set;
            }
            if (!IsSymbol(',')) throw Unexpected("',' or ']'");
            Advance();
        }
    }

    Lexer lexer_;
    Token current_;
    std::set<std::string> names_;
};

template <typename T>
const T& RequireKind(const FormNode& node, std::string_view name, const char* kind) {
    const FormProperty& property = node.Require(name);
    if (const T* value = std::get_if<T>(&property.Value)) return *value;
    throw FormDescriptionError(property.Line, "property " + std::string(name) + " of " + node.Name + " is " +
                                                  FormValueKindName(property.Value) + ", not " + kind);
}

}  // namespace

const char* FormValueKindName(const FormValue& value) {
    switch (value.index()) {
    case 0: return "an integer";
    case 1: return "a string";
    case 2: return "an identifier";
    case 3: return "a set";
    case 4: return "binary data";
    case 5: return "a picture";
    }
    return "a value";
}

const FormProperty* FormNode::FindProperty(std::string_view name) const {
    for (const FormProperty& property : Properties) {
        if (property.Name == name) return &property;
    }
    return nullptr;
}

const FormNode* FormNode::FindChild(std::string_view name) const {
    for (const FormNode& child : Children) {
        if (child.Name == name) return &child;
    }
    return nullptr;
}

const FormNode* FormNode::FindComponent(std::string_view name) const {
    if (Name == name) return this;
    for (const FormNode& child : Children) {
        if (const FormNode* found = child.FindComponent(name)) return found;
    }
    return nullptr;
}

const FormProperty& FormNode::Require(std::string_view name) const {
    if (const FormProperty* property = FindProperty(name)) return *property;
    throw FormDescriptionError(Line, Name + " has no property " + std::string(name));
}

std::int32_t FormNode::Integer(std::string_view name) const {
    return RequireKind<std::int32_t>(*this, name, "an integer");
}

const std::string& FormNode::String(std::string_view name) const {
    return RequireKind<std::string>(*this, name, "a string");
}

const std::string& FormNode::Identifier(std::string_view name) const {
    return RequireKind<FormIdentifier>(*this, name, "an identifier").Name;
}

bool FormNode::Boolean(std::string_view name) const {
    const std::string& value = RequireKind<FormIdentifier>(*this, name, "True or False").Name;
    if (value == "True") return true;
    if (value == "False") return false;
    throw FormDescriptionError(
        Require(name).Line, "property " + std::string(name) + " of " + Name + " is " + value + ", not True or False");
}

const std::vector<std::string>& FormNode::Set(std::string_view name) const {
    return RequireKind<FormSet>(*this, name, "a set").Items;
}

const std::vector<std::uint8_t>& FormNode::Binary(std::string_view name) const {
    return RequireKind<FormBinary>(*this, name, "binary data").Bytes;
}

const FormPicture& FormNode::Picture(std::string_view name) const {
    return RequireKind<FormPicture>(*this, name, "a picture");
}

FormNode ParseFormDescription(std::string_view text) {
    Parser parser(text);
    return parser.ParseDescription();
}

}  // namespace toolkit
