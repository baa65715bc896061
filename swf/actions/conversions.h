#pragma once
// The script's type conversions. Behaviour that changed between player
// generations takes the movie's SWF version.

#include <string>

#include "value.h"

namespace swf::actions {

// Numbers print as integers when whole, else with up to 15 significant digits;
// very large or small magnitudes use the exponent form ("1e+21", "1e-7").
std::string FormatNumber(double n);

// Parses decimal or "0x" hexadecimal text, ignoring surrounding white space;
// anything else is NaN.
double ParseNumber(const std::string& text, int swfVersion);

double ToNumber(const Value& v, int swfVersion);
std::string ToString(const Value& v, int swfVersion);
bool ToBoolean(const Value& v, int swfVersion);
// ECMAScript ToInt32: NaN and infinities become 0, others wrap modulo 2^32.
std::int32_t ToInt32(double n);
// What the TypeOf action pushes: "number", "string", "movieclip", ...
std::string TypeOf(const Value& v);

// Loose (==) and strict (===) equality.
bool LooseEquals(const Value& a, const Value& b, int swfVersion);
bool StrictEquals(const Value& a, const Value& b);

// Index of an array element when the name is a canonical non-negative integer.
bool ParseArrayIndex(const std::string& name, std::size_t& index);

}  // namespace swf::actions
