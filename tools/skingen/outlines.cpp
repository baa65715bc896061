#include "tools/skingen/outlines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skin {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

}  // namespace

Point OnCircle(Point centre, double radius, double degrees) {
    return {centre.x + radius * std::cos(degrees * kDegree), centre.y + radius * std::sin(degrees * kDegree)};
}

void ArcTo(Outline& outline, Point centre, double radius, double from, double to) {
    // Quadratic arcs of at most 22.5 degrees, each control point where the end tangents meet.
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(to - from) / 22.5)));
    const double step = (to - from) / pieces;
    const double controlRadius = radius / std::cos(step / 2 * kDegree);
    for (int i = 0; i < pieces; ++i) {
        const Point control = OnCircle(centre, controlRadius, from + (i + 0.5) * step);
        const Point end = OnCircle(centre, radius, from + (i + 1) * step);
        outline.QuadTo(control.x, control.y, end.x, end.y);
    }
}

Outline Rectangle(double left, double top, double right, double bottom) {
    Outline outline;
    outline.AddRect(left, top, right - left, bottom - top);
    return outline;
}

Outline Disc(double centreX, double centreY, double radius) { return Ellipse(centreX, centreY, radius, radius); }

Outline Ellipse(double centreX, double centreY, double radiusX, double radiusY) {
    Outline outline;
    outline.AddEllipse(centreX, centreY, radiusX, radiusY);
    return outline;
}

Outline Polygon(const std::vector<Point>& corners) {
    Outline outline;
    if (corners.empty()) return outline;
    outline.MoveTo(corners.front().x, corners.front().y);
    for (std::size_t i = 1; i < corners.size(); ++i) outline.LineTo(corners[i].x, corners[i].y);
    outline.Close();
    return outline;
}

Outline Stroke(Point from, Point to, double halfWidth) {
    // Along one side, round the end, back along the other side, round the start.
    const double degrees = std::atan2(to.y - from.y, to.x - from.x) / kDegree;
    Outline outline;
    const Point start = OnCircle(from, halfWidth, degrees - 90);
    outline.MoveTo(start.x, start.y);
    const Point side = OnCircle(to, halfWidth, degrees - 90);
    outline.LineTo(side.x, side.y);
    ArcTo(outline, to, halfWidth, degrees - 90, degrees + 90);
    const Point back = OnCircle(from, halfWidth, degrees + 90);
    outline.LineTo(back.x, back.y);
    ArcTo(outline, from, halfWidth, degrees + 90, degrees + 270);
    outline.Close();
    return outline;
}

Outline Frame(double left, double top, double right, double bottom, double thickness) {
    Outline outline = Rectangle(left, top, right, bottom);
    // The inner rectangle anticlockwise: a hole.
    outline.MoveTo(left + thickness, top + thickness);
    outline.LineTo(left + thickness, bottom - thickness);
    outline.LineTo(right - thickness, bottom - thickness);
    outline.LineTo(right - thickness, top + thickness);
    outline.Close();
    return outline;
}

Outline RoundedRectangle(double left, double top, double right, double bottom, double radius) {
    Outline outline;
    outline.MoveTo(left + radius, top);
    outline.LineTo(right - radius, top);
    ArcTo(outline, {right - radius, top + radius}, radius, 270, 360);
    outline.LineTo(right, bottom - radius);
    ArcTo(outline, {right - radius, bottom - radius}, radius, 0, 90);
    outline.LineTo(left + radius, bottom);
    ArcTo(outline, {left + radius, bottom - radius}, radius, 90, 180);
    outline.LineTo(left, top + radius);
    ArcTo(outline, {left + radius, top + radius}, radius, 180, 270);
    outline.Close();
    return outline;
}

Outline RingSector(Point centre, double inner, double outer, double from, double to) {
    Outline outline;
    const Point start = OnCircle(centre, outer, from);
    outline.MoveTo(start.x, start.y);
    ArcTo(outline, centre, outer, from, to);
    const Point turn = OnCircle(centre, inner, to);
    outline.LineTo(turn.x, turn.y);
    ArcTo(outline, centre, inner, to, from);
    outline.Close();
    return outline;
}

void Append(Outline& to, const Outline& figure) {
    const auto& points = figure.points();
    std::size_t next = 0;
    for (swf::raster::PathVerb verb : figure.verbs()) {
        switch (verb) {
        case swf::raster::PathVerb::MoveTo:
            to.MoveTo(points[next].x, points[next].y);
            ++next;
            break;
        case swf::raster::PathVerb::LineTo:
            to.LineTo(points[next].x, points[next].y);
            ++next;
            break;
        case swf::raster::PathVerb::QuadTo:
            to.QuadTo(points[next].x, points[next].y, points[next + 1].x, points[next + 1].y);
            next += 2;
            break;
        case swf::raster::PathVerb::Close: to.Close(); break;
        }
    }
}

swf::raster::Matrix Placed(double scale, double dx, double dy) { return {scale, 0, 0, scale, dx, dy}; }

}  // namespace skin
