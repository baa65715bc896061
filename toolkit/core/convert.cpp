#include "toolkit/core/convert.h"

#include "toolkit/core/exception.h"

namespace toolkit {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
        hex = true;
        i += 2;
    }

    if (i == text.size()) return std::nullopt;  // no digits at all

    // Accumulate in 64 bits and stop as soon as the value leaves the range.
    std::uint64_t value = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < text.size(); ++i) {
        int digit = hex ? HexDigitValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }

    // Two's complement in 64 bits, then truncation to 32: a hex value above
    // 0x7FFFFFFF becomes negative, and "-" negates either kind.
    std::uint64_t bits = negative ? (0 - value) : value;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFull));
}

std::int32_t StrToInt(const std::string& text) {
    if (auto value = TryStrToInt(text)) return *value;
    throw EConvertError("'" + text + "' is not a valid integer value");
}

}  // namespace toolkit
