#pragma once
// UTF-8 to code points and back. Malformed bytes read as U+FFFD.

#include <string>

namespace swf::text {

std::u32string DecodeUtf8(const std::string& utf8);
std::string EncodeUtf8(const std::u32string& text);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace swf::text
