#pragma once
// The shape a script draws into a clip with moveTo / lineTo / curveTo and
// fill and line styles. It is drawn below the clip's children and counts for
// hit tests and bounds like any other shape. Coordinates are twips.

#include <cstdint>
#include <optional>

#include "swf/actions/shape_drawing.h"
#include "swf/model/geometry.h"
#include "swf/model/shape.h"

namespace swf {

class DrawnShape final : public ShapeDrawing {
public:
    // Starts a filled path at the pen; an open fill is ended first.
    void BeginFill(const FillStyle& fill) override;
    // Closes the filled path to where it started (a stroked edge when a line
    // style is set) and stops filling.
    void EndFill() override;
    // The line for the next edges; nullopt draws none.
    void SetLine(const std::optional<LineStyle>& line) override;
    void SetLineFill(const FillStyle& fill) override;
    void MoveTo(Point p) override;
    void LineTo(Point p) override;
    void CurveTo(Point control, Point anchor) override;
    // Forgets everything drawn and the styles; the pen returns to (0, 0).
    void Clear() override;

    const Shape& GetShape() const { return shape_; }
    bool Empty() const { return shape_.layers.empty(); }
    // Everything drawn, strokes included; an empty rectangle when nothing is.
    Rect Bounds() const;
    // Goes up by one whenever what is drawn changes.
    std::uint64_t Version() const { return version_; }

    // Edges kept per shape at most; a script drawing more is ignored past it.
    static constexpr std::size_t kMaxEdges = 1 << 20;

private:
    ShapeLayer& CurrentLayer();
    void AddEdge(const Segment& segment, bool stroked);
    void CloseSubpath(bool stroked);
    void Grow(double x, double y, double margin);

    Shape shape_;
    std::optional<LineStyle> line_;
    std::uint32_t lineIndex_ = 0;  // 1-based in the current layer; 0: no line
    bool filling_ = false;
    Point pen_{0, 0};
    Point subpathStart_{0, 0};
    std::size_t edges_ = 0;
    bool hasBounds_ = false;
    double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    std::uint64_t version_ = 0;
};

}  // namespace swf
