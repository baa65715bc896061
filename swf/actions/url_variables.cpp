#include "swf/actions/url_variables.h"

#include <string_view>

namespace swf::actions {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || IsLineBreak(c); }

template <typename Predicate>
std::string_view Trim(std::string_view s, Predicate strip) {
    while (!s.empty() && strip(s.front())) s.remove_prefix(1);
    while (!s.empty() && strip(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string UrlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            c = static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        }
        if (c == '\0') break;  // script strings end there
        out.push_back(c);
    }
    return out;
}

std::string UrlEscape(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

UrlVariables DecodeUrlVariables(const std::string& text, std::size_t maxPairs) {
    UrlVariables result;
    const std::string_view all(text);
    std::size_t start = 0;
    while (start <= all.size() && result.size() < maxPairs) {
        std::size_t end = all.find('&', start);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view pair = all.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = pair.find('=');
        const std::string_view name = Trim(pair.substr(0, equals), IsWhiteSpace);
        if (name.empty()) continue;
        std::string value;
        if (equals != std::string_view::npos) value = UrlUnescape(Trim(pair.substr(equals + 1), IsLineBreak));
        std::string decodedName = UrlUnescape(name);
        if (decodedName.empty()) continue;
        result.emplace_back(std::move(decodedName), std::move(value));
    }
    return result;
}

std::string EncodeUrlVariables(const UrlVariables& variables) {
    std::string out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) out += '&';
        out += UrlEscape(name);
        out += '=';
        out += UrlEscape(value);
    }
    return out;
}

}  // namespace swf::actions
