#pragma once
// Small helpers and limits shared by the interpreter's action families.

#include <cstddef>
#include <string>

namespace swf::actions::detail {

// Prototype chains are followed this far; longer (or circular) chains end there.
constexpr int kMaxProtoDepth = 32;
// Arrays grow by index assignment only up to this many elements.
constexpr std::size_t kMaxArrayLength = 1u << 20;

inline bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// A single name, not a path.
inline bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/.:") == std::string::npos;
}

inline std::size_t Utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace swf::actions::detail
