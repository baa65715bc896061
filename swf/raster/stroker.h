#pragma once

#include <vector>

#include "swf/raster/geometry.h"
#include "swf/raster/stroke_style.h"

namespace swf::raster {

class CoverageAccumulator;

// Turns polylines into the outline of their stroke: closed loops that, filled
// with the non-zero rule, cover everything within half the width of the line,
// with the style's joins and caps.
class Stroker {
public:
    // Outlines one polyline (pixel space) into `out`. A closed polyline gets a
    // join where it meets its start instead of two caps.
    void StrokePolyline(const Point* points, int count, bool closed, const StrokeStyle& style,
                        CoverageAccumulator& out);

private:
    void EmitSide(bool reversed, bool closed);
    void Join(Point p, int incoming, int outgoing, bool reversed);
    void Cap(Point p, Point direction);
    void Arc(Point center, Point from, double sweep);
    void Dot(Point p);  // a zero-length line: just its caps

    void Begin(Point p);
    void To(Point p);
    void CloseLoop();

    // The polyline without repeated points, its unit directions and segment lengths.
    std::vector<Point> points_;
    std::vector<Point> directions_;
    std::vector<double> lengths_;
    double halfWidth_ = 0.5;
    StrokeStyle style_;
    CoverageAccumulator* out_ = nullptr;
    Point first_{}, last_{};
    bool open_ = false;
};

}  // namespace swf::raster
