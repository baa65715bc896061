#pragma once
// Strings in a movie: UTF-8 from version 6 on, the system code page before
// (read as Latin-1). The engine keeps every string as UTF-8.

#include <string>

namespace swf {

std::string DecodeMovieString(const std::string& raw, int version);
std::string Latin1ToUtf8(const std::string& latin1);

}  // namespace swf
