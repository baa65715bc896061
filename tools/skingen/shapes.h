#pragma once
// Plane figures for the artwork, each a test "is this point inside?".
// Points are in picture coordinates: x to the right, y downwards; the pixel in
// row r, column c covers x from c to c + 1 and y from r to r + 1. The tests use
// only exact arithmetic on the sample points (no trigonometry), so the pictures
// come out the same on every machine.

#include <functional>
#include <vector>

namespace skin {

using Shape = std::function<bool(double x, double y)>;

struct Point {
    double x = 0;
    double y = 0;
};

Shape rectangle(double left, double top, double right, double bottom);
Shape disc(double centre_x, double centre_y, double radius);
Shape ellipse(double centre_x, double centre_y, double radius_x, double radius_y);
// Even-odd rule over the closed outline through `corners`.
Shape polygon(std::vector<Point> corners);
// All points within `half_width` of the segment from `from` to `to` (round ends).
Shape stroke(Point from, Point to, double half_width);
// The band of a rectangle `thickness` wide along its inside edge.
Shape frame(double left, double top, double right, double bottom, double thickness);
// A rectangle with its corners rounded to quarter circles of `radius`.
Shape rounded_rectangle(double left, double top, double right, double bottom, double radius);

Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
// `shape` drawn `scale` times as large with its origin moved to (dx, dy).
Shape placed(Shape shape, double scale, double dx, double dy);

}  // namespace skin
