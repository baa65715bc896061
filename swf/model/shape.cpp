#include "swf/model/shape.h"

namespace swf {

namespace {

void AddToContours(std::vector<Contour>& contours, const Segment& s) {
    if (!contours.empty()) {
        const Segment& last = contours.back().back();
        if (last.x1 == s.x0 && last.y1 == s.y0) {
            contours.back().push_back(s);
            return;
        }
    }
    contours.push_back({s});
}

}  // namespace

std::size_t AddEdge(ShapeLayer& layer, const Segment& edge, std::uint32_t fill0, std::uint32_t fill1,
                    std::uint32_t line) {
    std::size_t kept = 0;
    if (fill0 != 0 && fill0 <= layer.fills.size()) {
        layer.fillEdges[fill0 - 1].push_back(Reversed(edge));
        ++kept;
    }
    if (fill1 != 0 && fill1 <= layer.fills.size()) {
        layer.fillEdges[fill1 - 1].push_back(edge);
        ++kept;
    }
    if (line != 0 && line <= layer.lines.size()) {
        AddToContours(layer.lineContours[line - 1], edge);
        ++kept;
    }
    return kept;
}

}  // namespace swf
