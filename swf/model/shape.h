#pragma once
// A shape ready for drawing: style arrays and, per style, its edges in twips.
// Fill edges are oriented so the filled area lies on the same side of each,
// whichever side the file recorded it on.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"
#include "swf/raster/image.h"

namespace swf {

enum class FillKind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
enum class SpreadMode { Pad, Reflect, Repeat };
enum class CapStyle { Round, None, Square };
enum class JoinStyle { Round, Bevel, Miter };

struct GradientStop {
    std::uint8_t ratio = 0;
    Rgba color;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    bool linearRgb = false;
    std::vector<GradientStop> stops;
    double focalPoint = 0;  // -1..1 along the gradient's x axis (focal gradients)
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba color;     // solid fills
    Matrix matrix;  // gradient square (-16384..16384) or bitmap to shape space
    Gradient gradient;
    std::uint16_t bitmapId = 0;
    // Bitmap fills: the character's pixels, resolved when the movie is read
    // (null when the id names no bitmap), and the fill type's two flags.
    std::shared_ptr<const raster::Image> bitmap;
    bool bitmapRepeat = true;  // 0x40, 0x42; clipped fills extend their edge pixels
    bool bitmapSmooth = true;  // 0x40, 0x41
};

struct LineStyle {
    std::uint16_t width = 0;  // twips
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    bool hasFill = false;  // stroke painted with `fill` instead of `color`
    FillStyle fill;
    bool noClose = false;
};

// A straight (curved == false, control unused) or quadratic segment, twips.
struct Segment {
    float x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;
    bool curved = false;
};

using Contour = std::vector<Segment>;  // consecutive, connected segments

// The same segment walked the other way.
inline Segment Reversed(const Segment& s) { return {s.x1, s.y1, s.cx, s.cy, s.x0, s.y0, s.curved}; }

// One style-array section of a shape; a new-styles record starts the next.
struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<std::vector<Segment>> fillEdges;     // per fill style
    std::vector<std::vector<Contour>> lineContours;  // per line style
};

struct Shape {
    std::vector<ShapeLayer> layers;
    bool nonZeroWinding = false;  // even-odd unless the file asks otherwise
};

// Files an edge under the styles on its sides (1-based indices, 0 for none;
// indices past the layer's arrays are ignored): fill 1 keeps the edge as
// drawn, fill 0 gets it reversed, a line extends or starts a contour.
// Returns how many copies were kept.
std::size_t AddEdge(ShapeLayer& layer, const Segment& edge, std::uint32_t fill0, std::uint32_t fill1,
                    std::uint32_t line);

struct ShapeDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Shape;
    CharacterKind Kind() const override { return kKind; }
    Rect bounds;
    Shape shape;
};

}  // namespace swf
