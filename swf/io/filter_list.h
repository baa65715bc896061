#pragma once
// Steps over a FILTERLIST: the engine draws no filters, but must know where
// the data after one starts, and tells which kinds were asked for.

#include "swf/io/bit_reader.h"

namespace swf {

// Bit n of the result is set when a filter of kind n (0 drop shadow, 1 blur,
// 2 glow, 3 bevel, 4 gradient glow, 5 convolution, 6 colour matrix,
// 7 gradient bevel) is in the list.
std::uint8_t SkipFilterList(BitReader& in);

}  // namespace swf
