#pragma once
// Steps over a FILTERLIST: the engine draws no filters, but must know where
// the data after one starts.

#include "swf/io/bit_reader.h"

namespace swf {

void SkipFilterList(BitReader& in);

}  // namespace swf
