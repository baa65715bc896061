#include "swf/io/swf_string.h"

namespace swf {

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string DecodeMovieString(const std::string& raw, int version) { return version >= 6 ? raw : Latin1ToUtf8(raw); }

}  // namespace swf
