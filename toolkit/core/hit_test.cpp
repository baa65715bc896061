#include "toolkit/core/hit_test.h"

#include <cstdint>

namespace toolkit {

namespace {

bool Contains(const Bounds& area, int x, int y) {
    return x >= area.Left && y >= area.Top && std::int64_t{x} < std::int64_t{area.Left} + area.Width &&
           std::int64_t{y} < std::int64_t{area.Top} + area.Height;
}

}  // namespace

std::optional<std::size_t> HitTest(const std::vector<PaintedChild>& paintingOrder, int x, int y) {
    for (std::size_t i = paintingOrder.size(); i-- > 0;) {
        const PaintedChild& child = paintingOrder[i];
        if (child.Visible && child.Enabled && Contains(child.Area, x, y)) return i;
    }
    return std::nullopt;
}

}  // namespace toolkit
