#include "swf/files/movie_path.h"

#include <array>
#include <cctype>
#include <vector>

namespace swf {

namespace {

// Longer names are refused rather than handed to a file system.
constexpr std::size_t kMaxPathLength = 1024;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One pass of %XX decoding; a '%' without two hex digits stays as it is.
std::string DecodeEscapes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Names Windows opens as devices whatever the folder or extension.
bool IsDeviceName(const std::string& segment) {
    std::string base = Upper(segment.substr(0, segment.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const std::array<const char*, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* name : kNames) {
        if (base == name) return true;
    }
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        return base[3] >= '0' && base[3] <= '9';
    }
    // COM and LPT with a superscript digit (UTF-8 of U+00B9, U+00B2, U+00B3).
    if (base.size() == 5 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        const auto a = static_cast<unsigned char>(base[3]), b = static_cast<unsigned char>(base[4]);
        return a == 0xC2 && (b == 0xB9 || b == 0xB2 || b == 0xB3);
    }
    return false;
}

// A URL scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
// Returns the scheme's length, 0 when the text starts with none.
std::size_t SchemeLength(const std::string& text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    std::size_t i = 1;
    while (i < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' || text[i] == '-' || text[i] == '.')) {
        ++i;
    }
    return i < text.size() && text[i] == ':' ? i : 0;
}

std::string Refuse(std::string* why, const char* reason) {
    if (why != nullptr) *why = reason;
    return {};
}

}  // namespace

std::string ConfineMoviePath(const std::string& url, std::string* why) {
    if (why != nullptr) why->clear();
    std::string text = url.substr(0, url.find('?'));
    if (text.find('\0') != std::string::npos) return Refuse(why, "the path holds a NUL character");
    if (text.empty()) return Refuse(why, "the path is empty");
    if (text.size() > kMaxPathLength) return Refuse(why, "the path is too long");

    const std::size_t scheme = SchemeLength(text);
    if (scheme == 1) return Refuse(why, "drive letters are not allowed");
    if (scheme > 1) {
        if (Upper(text.substr(0, scheme)) != "FILE") return Refuse(why, "only files beside the movie may be read");
        text.erase(0, scheme + 1);
        if (text.compare(0, 2, "//") == 0 || text.compare(0, 2, "\\\\") == 0) {
            return Refuse(why, "file URLs with a host or an absolute path are not allowed");
        }
    }

    const std::string path = DecodeEscapes(text);
    if (path.find('\0') != std::string::npos) return Refuse(why, "the path holds a NUL character");
    if (path.empty()) return Refuse(why, "the path is empty");
    if (path[0] == '/' || path[0] == '\\') return Refuse(why, "absolute paths are not allowed");

    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos) end = path.size();
        const std::string segment = path.substr(start, end - start);
        start = end + 1;
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") return Refuse(why, "'..' is not allowed");
        for (unsigned char c : segment) {
            if (c < 0x20 || c == 0x7F) return Refuse(why, "the path holds a control character");
            if (c == ':') return Refuse(why, "':' (a drive or a data stream) is not allowed");
            if (c == '<' || c == '>' || c == '"' || c == '|' || c == '*') {
                return Refuse(why, "the path holds a character file names cannot have");
            }
        }
        // Windows drops trailing dots and spaces, which would turn ".. " into "..".
        if (segment.back() == '.' || segment.back() == ' ') {
            return Refuse(why, "names ending in '.' or ' ' are not allowed");
        }
        if (IsDeviceName(segment)) return Refuse(why, "device names are not allowed");
        segments.push_back(segment);
    }
    if (segments.empty()) return Refuse(why, "the path names no file");

    std::string result;
    for (const std::string& segment : segments) {
        if (!result.empty()) result += '/';
        result += segment;
    }
    return result;
}

}  // namespace swf
