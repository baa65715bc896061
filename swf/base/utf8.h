#pragma once
// The engine's one UTF-8 codec. Text is held as UTF-8 bytes everywhere; it is
// decoded to code points only where characters are counted or drawn.

#include <cstddef>
#include <string>
#include <string_view>

namespace swf::base {

// What a decoder makes of bytes that are not a whole, valid sequence.
enum class BadBytes {
    // Each bad sequence reads as U+FFFD, as text is drawn.
    Replace,
    // Each bad byte stands for itself (as Latin-1), so any bytes a script
    // holds keep their length and come back unchanged.
    Keep,
};

std::u32string DecodeUtf8(std::string_view utf8, BadBytes bad);

// The number of characters DecodeUtf8(utf8, BadBytes::Keep) gives, counted
// without decoding.
std::size_t Utf8Length(std::string_view utf8);

// Code points above U+10FFFF are written as U+FFFD. Surrogates are written as
// three bytes, so that a script's lone surrogate survives a round trip;
// decoding with BadBytes::Replace reads them as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
std::string EncodeUtf8(std::u32string_view text);

}  // namespace swf::base
