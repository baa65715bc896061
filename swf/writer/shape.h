#pragma once
// Builds shape outlines and their DefineShape (1-4) tag bodies, and the bare
// SHAPE records that font glyphs use.
//
// Closed outlines drawn clockwise on screen (y grows downwards) have their
// inside on the right of each edge: the helpers put the fill in FillStyle1.

#include <cstdint>
#include <vector>

#include "swf/writer/records.h"

namespace swf::writer {

struct GradientStop {
    std::uint8_t ratio = 0;  // 0..255 along the gradient
    Rgba color;
};

struct FillStyle {
    enum class Type : std::uint8_t {
        Solid = 0x00,
        Linear = 0x10,
        Radial = 0x12,
        Focal = 0x13,
        // Bitmaps: repeated or clipped (edge pixels extended), smoothed or not.
        RepeatingBitmap = 0x40,
        ClippedBitmap = 0x41,
        RepeatingHardBitmap = 0x42,
        ClippedHardBitmap = 0x43,
    };
    Type type = Type::Solid;
    Rgba color;
    // Gradients: maps the gradient square (-16384..16384 twips) onto the shape.
    // Bitmaps: maps bitmap pixels onto the shape (20 twips per pixel for actual size).
    Matrix matrix;
    std::vector<GradientStop> stops;
    double focalPoint = 0;  // Focal only, -1..1
    std::uint16_t bitmapId = 0;

    static FillStyle Solid(Rgba color);
    // Runs from `from` to `to` colour across the box, at `radians` (0 = left to right).
    static FillStyle Linear(const Rect& box, double radians, std::vector<GradientStop> stops);
    // Centred on the box, reaching its edges.
    static FillStyle Radial(const Rect& box, std::vector<GradientStop> stops);
    // A bitmap character; a matrix scaling by 20 shows one bitmap pixel per
    // 20 twips (its own size). Clipped fills extend the edge pixels outwards.
    static FillStyle Bitmap(std::uint16_t bitmapId, const Matrix& matrix, bool repeat = true, bool smooth = true);
};

struct LineStyle {
    std::uint16_t width = 20;  // twips
    Rgba color;
};

class ShapeBuilder {
public:
    // Style indices are 1-based; 0 means none.
    std::uint16_t AddFill(const FillStyle& fill);
    std::uint16_t AddLine(const LineStyle& line);

    // Styles for the edges that follow (applied at the next MoveTo or edge).
    void SetStyles(std::uint16_t fill0, std::uint16_t fill1, std::uint16_t line);
    void MoveTo(std::int32_t x, std::int32_t y);
    void LineTo(std::int32_t x, std::int32_t y);
    void CurveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y);

    void Rectangle(const Rect& r, std::uint16_t fill, std::uint16_t line = 0);
    void RoundedRectangle(const Rect& r, std::int32_t radius, std::uint16_t fill, std::uint16_t line = 0);
    // Eight quadratic arcs.
    void Ellipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry, std::uint16_t fill,
                 std::uint16_t line = 0);

    // Edge bounds (points and control points), and with half the widest line.
    Rect EdgeBounds() const;
    Rect ShapeBounds() const;
    bool empty() const { return records_.empty(); }

    // DefineShape, DefineShape2, DefineShape3 or DefineShape4 body (version 1-4).
    std::vector<std::uint8_t> DefineShapeBody(std::uint16_t id, int version) const;
    // A glyph's SHAPE: one fill bit, no line bits, styles taken as fill index 1.
    std::vector<std::uint8_t> GlyphShape() const;
    // A SHAPE (the index widths, then the records) with style indices of the
    // given widths, for styles kept elsewhere (a morph shape's outlines).
    std::vector<std::uint8_t> Outline(unsigned fillBits, unsigned lineBits) const;

private:
    struct Record {
        enum class Kind { Style, Line, Curve } kind;
        bool move = false;
        std::int32_t x = 0, y = 0;    // Style: move target; edges: anchor delta
        std::int32_t cx = 0, cy = 0;  // Curve: control delta
        bool setStyles = false;
        std::uint16_t fill0 = 0, fill1 = 0, line = 0;
    };

    void WriteRecords(BitWriter& w, unsigned fillBits, unsigned lineBits) const;
    void Include(std::int32_t x, std::int32_t y);
    void FlushPendingStyles();

    std::vector<FillStyle> fills_;
    std::vector<LineStyle> lines_;
    std::vector<Record> records_;
    bool pending_ = false;
    std::uint16_t fill0_ = 0, fill1_ = 0, line_ = 0;
    std::int32_t penX_ = 0, penY_ = 0;
    bool hasBounds_ = false;
    Rect bounds_;
};

}  // namespace swf::writer
