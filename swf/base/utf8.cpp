#include "swf/base/utf8.h"

namespace swf::base {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Continuation bytes a lead byte announces; -1 for a byte that cannot lead.
int ExtraBytes(unsigned char lead) {
    if (lead < 0x80) return 0;
    if ((lead & 0xE0) == 0xC0) return 1;
    if ((lead & 0xF0) == 0xE0) return 2;
    if ((lead & 0xF8) == 0xF0) return 3;
    return -1;
}

// One sequence starting at `at`: its code point and length, or false with
// the number of bytes that were read before it broke off.
bool ReadSequence(std::string_view s, std::size_t at, char32_t& c, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(s[at]);
    const int extra = ExtraBytes(lead);
    length = 1;
    if (extra < 0) return false;
    c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if (at + k >= s.size()) return false;
        const auto next = static_cast<unsigned char>(s[at + k]);
        if ((next & 0xC0) != 0x80) return false;
        c = (c << 6) | (next & 0x3F);
        ++length;
    }
    return true;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view utf8, BadBytes bad) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        std::size_t length = 0;
        const bool whole = ReadSequence(utf8, i, c, length);
        if (bad == BadBytes::Keep) {
            if (whole) {
                out.push_back(c);
                i += length;
            } else {
                out.push_back(static_cast<unsigned char>(utf8[i]));
                ++i;
            }
            continue;
        }
        const bool valid = whole && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        out.push_back(valid ? c : kReplacement);
        i += length;  // a broken sequence is skipped with the bytes that were read
    }
    return out;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) {
        char32_t c = 0;
        std::size_t length = 0;
        i += ReadSequence(utf8, i, c, length) ? length : 1;
    }
    return count;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) AppendUtf8(out, c);
    return out;
}

}  // namespace swf::base
