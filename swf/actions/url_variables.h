#pragma once
// The URL-encoded variables text that loadVariables and LoadVars read and
// LoadVars.toString writes: "&name=value&name2=value2&".
//
// Reading: pairs end at '&'; a pair's name runs to its first '=', the value
// is the rest (further '=' included); '+' is a space and %XX a byte (a '%'
// without two hex digits stays as it is; a decoded NUL ends the text). Text
// files written by hand carry line breaks and indentation around pairs, so
// names lose surrounding white space and values lose line breaks (CR, LF) at
// either end, while spaces inside or around a value and encoded %0D%0A stay.
// A pair with an empty name is dropped; a name without '=' gets "". Pairs
// come back in file order, duplicates included (the last one set wins).

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::actions {

using UrlVariables = std::vector<std::pair<std::string, std::string>>;

// Pairs past `maxPairs` are dropped.
UrlVariables DecodeUrlVariables(const std::string& text, std::size_t maxPairs = 65536);

// Letters, digits, '-', '_' and '.' stay; every other byte becomes %XX.
std::string UrlEscape(const std::string& text);
// '+' becomes a space and %XX its byte, as above.
std::string UrlUnescape(std::string_view text);

// "name=value&name2=value2", both sides escaped.
std::string EncodeUrlVariables(const UrlVariables& variables);

}  // namespace swf::actions
