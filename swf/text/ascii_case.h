#pragma once
// Case folding of names and keywords that scripts compare without regard to
// case: only the ASCII letters change.

#include <string>

namespace swf::text {

inline std::string AsciiLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace swf::text
