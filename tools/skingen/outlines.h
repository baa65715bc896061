#pragma once
// Plane figures for the artwork, as outlines for the engine's rasterizer.
// Points are in picture coordinates: x to the right, y downwards; the pixel in
// row r, column c covers x from c to c + 1 and y from r to r + 1. Every figure
// runs clockwise on screen and is filled with the non-zero rule, so appending
// one figure to another draws their union and a hole is an anticlockwise loop.

#include <vector>

#include "swf/raster/geometry.h"
#include "swf/raster/path.h"

namespace skin {

using Outline = swf::raster::Path;
using Point = swf::raster::Point;

Outline Rectangle(double left, double top, double right, double bottom);
Outline Disc(double centreX, double centreY, double radius);
Outline Ellipse(double centreX, double centreY, double radiusX, double radiusY);
// The closed outline through `corners`, given clockwise.
Outline Polygon(const std::vector<Point>& corners);
// All points within `halfWidth` of the segment from `from` to `to` (round ends).
Outline Stroke(Point from, Point to, double halfWidth);
// The band of a rectangle `thickness` wide along its inside edge.
Outline Frame(double left, double top, double right, double bottom, double thickness);
// A rectangle with its corners rounded to quarter circles of `radius`.
Outline RoundedRectangle(double left, double top, double right, double bottom, double radius);
// The part of the ring between `inner` and `outer` radius from angle `from` to
// angle `to` (degrees, clockwise on screen from the positive x axis; to > from).
Outline RingSector(Point centre, double inner, double outer, double from, double to);

// Continues `outline` from its current point, which lies on the circle at angle
// `from`, along the circle to angle `to` (either way round; degrees as above).
void ArcTo(Outline& outline, Point centre, double radius, double from, double to);
// The point of the circle at that angle.
Point OnCircle(Point centre, double radius, double degrees);

// Adds `figure` to `to`: the union of both.
void Append(Outline& to, const Outline& figure);

// `scale` times as large with the origin moved to (dx, dy).
swf::raster::Matrix Placed(double scale, double dx, double dy);

}  // namespace skin
