#pragma once
// UTF-8 and UTF-16 text for the system's wide interfaces. The strict
// conversions never lose characters silently: invalid input gives nothing.
// The replacing ones are for text only shown or passed on (logs, events, the
// clipboard): each invalid sequence becomes U+FFFD.

#include <optional>
#include <string>
#include <string_view>

namespace win32 {

std::optional<std::wstring> WideFromUtf8(std::string_view text);
std::optional<std::string> Utf8FromWide(std::wstring_view text);

std::wstring WideFromUtf8Replacing(std::string_view text);
std::string Utf8FromWideReplacing(std::wstring_view text);

// The same UTF-16 text in the system's wide type, and back.
inline std::wstring WideFromUtf16(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string Utf16FromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// Text in the system's ANSI code page, for the 8-bit window interfaces;
// characters it has no form for become the code page's default character.
std::string AnsiFromWide(std::wstring_view text);

}  // namespace win32
