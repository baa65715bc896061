#pragma once
// What the drawing methods of a clip (beginFill, lineTo, ...) draw into: the
// clip's own shape, below its children. Coordinates and styles are those of
// shapes in files: twips, fill matrices from the gradient square to shape space.

#include <optional>

#include "swf/model/geometry.h"
#include "swf/model/shape.h"

namespace swf {

class ShapeDrawing {
public:
    virtual ~ShapeDrawing() = default;
    virtual void BeginFill(const FillStyle& fill) = 0;
    virtual void EndFill() = 0;
    virtual void SetLine(const std::optional<LineStyle>& line) = 0;
    // The current line painted with `fill` from here on; nothing without a line.
    virtual void SetLineFill(const FillStyle& fill) { (void)fill; }
    virtual void MoveTo(Point p) = 0;
    virtual void LineTo(Point p) = 0;
    virtual void CurveTo(Point control, Point anchor) = 0;
    virtual void Clear() = 0;
};

}  // namespace swf
