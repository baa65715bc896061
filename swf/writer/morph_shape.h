#pragma once
// Builds DefineMorphShape and DefineMorphShape2 tag bodies: styles given at
// their start and end states, and two outlines drawn with ShapeBuilder. The
// start outline carries the style indices; the end outline only moves and
// draws, edge for edge with the start one.

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/writer/records.h"
#include "swf/writer/shape.h"

namespace swf::writer {

struct MorphGradientStop {
    std::uint8_t startRatio = 0;
    Rgba startColor;
    std::uint8_t endRatio = 0;
    Rgba endColor;
};

struct MorphFillStyle {
    enum class Type : std::uint8_t {
        Solid = 0x00,
        Linear = 0x10,
        Radial = 0x12,
        Focal = 0x13,
        RepeatingBitmap = 0x40,
        ClippedBitmap = 0x41,
    };
    Type type = Type::Solid;
    Rgba startColor, endColor;      // Solid
    Matrix startMatrix, endMatrix;  // gradients and bitmaps
    std::vector<MorphGradientStop> stops;
    double startFocalPoint = 0, endFocalPoint = 0;  // Focal only
    std::uint16_t bitmapId = 0;

    static MorphFillStyle Solid(Rgba start, Rgba end);
};

struct MorphLineStyle {
    std::uint16_t startWidth = 20, endWidth = 20;  // twips
    Rgba startColor, endColor;
    // DefineMorphShape2 only: caps (0 round, 1 none, 2 square), join
    // (0 round, 1 bevel, 2 miter) and a fill painting the stroke.
    std::uint8_t cap = 0;
    std::uint8_t join = 0;
    double miterLimit = 3;
    std::optional<MorphFillStyle> fill;
};

class MorphShapeBuilder {
public:
    // Style indices are 1-based, for the start outline's SetStyles.
    std::uint16_t AddFill(const MorphFillStyle& fill);
    std::uint16_t AddLine(const MorphLineStyle& line);

    ShapeBuilder& Start() { return start_; }
    ShapeBuilder& End() { return end_; }

    // DefineMorphShape (version 1) or DefineMorphShape2 (version 2) body.
    std::vector<std::uint8_t> DefineMorphShapeBody(std::uint16_t id, int version) const;

private:
    std::vector<MorphFillStyle> fills_;
    std::vector<MorphLineStyle> lines_;
    ShapeBuilder start_;
    ShapeBuilder end_;
};

}  // namespace swf::writer
