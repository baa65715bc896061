#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/geometry.h"

namespace swf::raster {

enum class PathVerb : std::uint8_t { MoveTo, LineTo, QuadTo, Close };

// A list of directed edges: straight lines and quadratic Bézier curves.
//
// Edges need not form consecutive closed subpaths: a fill uses exactly the
// edges that were added, so a shape may arrive as scattered pieces (each one
// starting with MoveTo) that only together enclose its areas. Nothing is
// closed implicitly unless the caller asks for it when filling, or calls close().
class Path {
public:
    void MoveTo(double x, double y);
    // Without a preceding MoveTo an edge starts at (0, 0).
    void LineTo(double x, double y);
    void QuadTo(double controlX, double controlY, double x, double y);
    // Adds an edge back to the start of the current subpath.
    void Close();

    // Convenience shapes (each a closed subpath, clockwise on screen for positive sizes).
    void AddRect(double x, double y, double width, double height);
    void AddEllipse(double centerX, double centerY, double radiusX, double radiusY);

    void Clear();
    bool empty() const { return verbs_.empty(); }

    const std::vector<PathVerb>& verbs() const { return verbs_; }
    // MoveTo and LineTo own one point each, QuadTo two (control, end), Close none.
    const std::vector<Point>& points() const { return points_; }

private:
    void EnsureStarted();

    std::vector<PathVerb> verbs_;
    std::vector<Point> points_;
    bool started_ = false;
};

}  // namespace swf::raster
