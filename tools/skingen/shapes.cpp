#include "tools/skingen/shapes.h"

#include <algorithm>
#include <utility>

namespace skin {

Shape rectangle(double left, double top, double right, double bottom) {
    return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

Shape disc(double centre_x, double centre_y, double radius) {
    return [=](double x, double y) {
        const double dx = x - centre_x;
        const double dy = y - centre_y;
        return dx * dx + dy * dy < radius * radius;
    };
}

Shape ellipse(double centre_x, double centre_y, double radius_x, double radius_y) {
    return [=](double x, double y) {
        const double dx = (x - centre_x) * radius_y;
        const double dy = (y - centre_y) * radius_x;
        return dx * dx + dy * dy < radius_x * radius_x * radius_y * radius_y;
    };
}

Shape polygon(std::vector<Point> corners) {
    return [corners = std::move(corners)](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > y) != (b.y > y)) {
                // Compare without dividing: the crossing lies right of x when
                // (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x > x.
                const double lhs = (b.x - a.x) * (y - a.y);
                const double rhs = (x - a.x) * (b.y - a.y);
                if (b.y > a.y ? lhs > rhs : lhs < rhs) inside = !inside;
            }
        }
        return inside;
    };
}

Shape stroke(Point from, Point to, double half_width) {
    return [=](double x, double y) {
        const double ex = to.x - from.x;
        const double ey = to.y - from.y;
        const double length_squared = ex * ex + ey * ey;
        double t = length_squared == 0 ? 0 : ((x - from.x) * ex + (y - from.y) * ey) / length_squared;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (from.x + t * ex);
        const double dy = y - (from.y + t * ey);
        return dx * dx + dy * dy <= half_width * half_width;
    };
}

Shape frame(double left, double top, double right, double bottom, double thickness) {
    return subtract(rectangle(left, top, right, bottom),
                    rectangle(left + thickness, top + thickness, right - thickness, bottom - thickness));
}

Shape rounded_rectangle(double left, double top, double right, double bottom, double radius) {
    Shape body = unite(rectangle(left + radius, top, right - radius, bottom),
                       rectangle(left, top + radius, right, bottom - radius));
    for (double cx : {left + radius, right - radius}) {
        for (double cy : {top + radius, bottom - radius}) body = unite(body, disc(cx, cy, radius));
    }
    return body;
}

Shape unite(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Shape subtract(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape intersect(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

Shape placed(Shape shape, double scale, double dx, double dy) {
    return [shape = std::move(shape), scale, dx, dy](double x, double y) {
        return shape((x - dx) / scale, (y - dy) / scale);
    };
}

}  // namespace skin
