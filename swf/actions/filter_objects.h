#pragma once
// flash.filters objects and the filters the display list draws. A filter
// object keeps its settings in internal slots (builtins/filters.cpp makes
// and changes them); these convert between those slots and raster::Filter.

#include "swf/raster/filter.h"

namespace swf::actions {

class Interpreter;
struct Object;

// The filter classes, in the order of raster::Filter's alternatives.
enum class FilterClass {
    DropShadow = 0,
    Blur,
    Glow,
    Bevel,
    GradientGlow,
    ColorMatrix,
    Convolution,
    GradientBevel,
    DisplacementMap,
};
inline constexpr int kFilterClassCount = 9;

// The class name scripts see ("DropShadowFilter", ...).
const char* FilterClassName(FilterClass filter);
// The class of a filter object; false for anything else.
bool FilterClassOf(const Object* o, FilterClass* out);

// A new filter object of the class (the current flash.filters class's
// prototype) with no settings yet.
Object* NewFilterObject(Interpreter& in, FilterClass filter);

// Script units to drawing units: angles in degrees become radians,
// `quality` the number of blur passes, `type` the placement, colours with
// their 0..1 alpha one straight Color. False (out untouched) for an object
// that is not a filter.
bool FilterFromObject(const Object* o, raster::Filter* out);
// A new object of the filter's class holding its settings, as reading a
// clip's `filters` gives them.
Object* ObjectFromFilter(Interpreter& in, const raster::Filter& filter);

}  // namespace swf::actions
