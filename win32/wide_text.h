#pragma once
// UTF-8 and UTF-16 text for the system's wide interfaces. Conversions never
// lose characters silently: invalid input gives nothing.

#include <optional>
#include <string>
#include <string_view>

namespace win32 {

std::optional<std::wstring> WideFromUtf8(std::string_view text);
std::optional<std::string> Utf8FromWide(std::wstring_view text);

}  // namespace win32
