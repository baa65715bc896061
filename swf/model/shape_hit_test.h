#pragma once
// Whether a point (in the shape's own twips) lies inside a shape's fills.

#include <vector>

#include "swf/model/font.h"
#include "swf/model/geometry.h"
#include "swf/model/shape.h"

namespace swf {

bool ShapeContains(const Shape& shape, Point p);
// The same test for one set of fill edges.
bool EdgesContain(const std::vector<Segment>& edges, Point p, bool nonZero);

}  // namespace swf
