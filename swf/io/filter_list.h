#pragma once
// Reads a FILTERLIST (PlaceObject3, DefineButton2 records) into the filters
// the renderer applies.

#include <cstdint>
#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/raster/filter.h"

namespace swf {

// Throws ParseError for a filter kind the format does not define (the data
// after it cannot be found) or a list cut short.
std::vector<raster::Filter> ReadFilterList(BitReader& in);

}  // namespace swf
