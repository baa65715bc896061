#pragma once

#include <cmath>

#include "swf/raster/raster.h"

namespace swf::raster::test {

// Total coverage of a mask in pixels (255 = one pixel).
inline double CoveredArea(const CoverageMask& mask) {
    double sum = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) sum += mask.at(x, y);
    return sum / 255.0;
}

inline bool SameMask(const CoverageMask& a, const CoverageMask& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

inline CoverageMask MaskOf(const Path& path, FillRule rule, int w = 64, int h = 64, const DrawOptions& options = {}) {
    CoverageMask mask(w, h);
    FillMask(mask, path, rule, options);
    return mask;
}

inline Path polygon(std::initializer_list<Point> points) {
    Path p;
    bool first = true;
    for (Point q : points) {
        if (first)
            p.MoveTo(q.x, q.y);
        else
            p.LineTo(q.x, q.y);
        first = false;
    }
    p.Close();
    return p;
}

}  // namespace swf::raster::test
