#pragma once
// Strict text-to-integer conversion.

#include <cstdint>
#include <optional>
#include <string>

namespace toolkit {

// Accepts optional leading blanks, an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X" or "0x", and nothing else. Decimal
// values must fit a signed 32-bit integer; hexadecimal ones fit 32 bits and
// are taken as two's complement ($FFFFFFFF is -1). Returns nothing otherwise.
std::optional<std::int32_t> TryStrToInt(const std::string& text);

// As TryStrToInt, throwing EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

}  // namespace toolkit
