#pragma once

namespace swf::raster {

// Which areas a set of edges encloses: non-zero winding, or an odd number of crossings.
enum class FillRule { NonZero, EvenOdd };

}  // namespace swf::raster
