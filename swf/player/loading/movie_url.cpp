#include "swf/player/loading/movie_url.h"

#include <cctype>

namespace swf {

namespace {

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/' || c == ':' || c == '|' ||
           c == '!' || c == '$' || c == '&' || c == '\'' || c == '(' || c == ')' || c == '*' || c == '+' || c == ',' ||
           c == ';' || c == '=' || c == '@';
}

// A file name's '%' is itself encoded; a reference's escapes stay as written.
void AppendEncoded(std::string& out, std::string_view text, bool keepEscapes) {
    static const char kHex[] = "0123456789ABCDEF";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch == '\\' ? '/' : ch);
        if (IsUnreserved(c) || (keepEscapes && c == '%')) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// "http:", "file:" (two letters at least, so a drive letter is not one).
bool HasScheme(std::string_view reference) {
    const std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(reference[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return std::isalpha(static_cast<unsigned char>(reference[0])) != 0;
}

}  // namespace

std::string FileUrl(std::string_view path) {
    std::string out = "file://";
    if (HasDrive(path)) {
        out += '/';
        out += path[0];
        out += '|';
        path.remove_prefix(2);
    }
    if (path.empty() || (path[0] != '/' && path[0] != '\\')) out += '/';
    AppendEncoded(out, path, false);
    return out;
}

std::string ResolveUrl(std::string_view base, std::string_view reference) {
    if (HasScheme(reference)) return std::string(reference);
    if (HasDrive(reference)) return FileUrl(reference);
    std::string relative;
    AppendEncoded(relative, reference, true);
    if (base.empty()) return relative;
    if (!relative.empty() && relative[0] == '/') {
        // From the root of the base's address: after "scheme://host" and a drive ("/C|").
        const std::size_t authority = base.find("://");
        std::size_t root = authority == std::string_view::npos ? 0 : base.find('/', authority + 3);
        if (root == std::string_view::npos) root = base.size();
        if (base.size() >= root + 3 && base[root + 2] == '|') root += 3;
        return std::string(base.substr(0, root)) + relative;
    }
    const std::size_t slash = base.rfind('/');
    return std::string(base.substr(0, slash == std::string_view::npos ? 0 : slash + 1)) + relative;
}

}  // namespace swf
