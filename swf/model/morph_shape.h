#pragma once
// A morph shape (DefineMorphShape, DefineMorphShape2): one outline and one set
// of styles given at two states, drawn at any ratio in between. Each start
// edge is paired with the end edge at the same place in the file's order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/shape.h"

namespace swf {

struct MorphGradientStop {
    std::uint8_t startRatio = 0, endRatio = 0;
    Rgba startColor, endColor;
};

struct MorphFillStyle {
    FillKind kind = FillKind::Solid;
    Rgba startColor, endColor;  // solid fills
    Matrix startMatrix, endMatrix;
    SpreadMode spread = SpreadMode::Pad;
    bool linearRgb = false;
    std::vector<MorphGradientStop> stops;
    double startFocalPoint = 0, endFocalPoint = 0;
    // Bitmap fills, as in FillStyle: the id, its pixels once resolved, the flags.
    std::uint16_t bitmapId = 0;
    std::shared_ptr<const raster::Image> bitmap;
    bool bitmapRepeat = true;
    bool bitmapSmooth = true;
};

struct MorphLineStyle {
    std::uint16_t startWidth = 0, endWidth = 0;
    Rgba startColor, endColor;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    bool hasFill = false;
    MorphFillStyle fill;
    bool noClose = false;
};

// A start edge, the styles it was drawn with, and its end state.
struct MorphEdge {
    Segment start, end;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
};

// The shape at ratio/65535 of the way from start to end. Edges lerp point by
// point (a straight edge paired with a curve bends with its control point at
// its midpoint); colours, gradient stops, matrices and widths lerp too.
Shape InterpolateMorph(const std::vector<MorphFillStyle>& fills, const std::vector<MorphLineStyle>& lines,
                       const std::vector<MorphEdge>& edges, std::uint16_t ratio);

struct MorphShapeDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Morph;
    CharacterKind Kind() const override { return kKind; }

    Rect startBounds, endBounds;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    // When the end outline has a different number of edges than the start one
    // the two cannot be paired: `end` then repeats `start`, so the outline
    // stays the start one at every ratio while the styles still morph.
    std::vector<MorphEdge> edges;
    bool outlineMorphs = true;  // false when the end edges could not be paired

    // The shape at `ratio`; the last few ratios drawn are kept, so a morph
    // that holds still is not interpolated again every frame. Bands of one
    // frame drawn on two threads may ask at once.
    std::shared_ptr<const Shape> ShapeAt(std::uint16_t ratio) const;

private:
    struct CachedShape {
        std::uint16_t ratio;
        std::shared_ptr<const Shape> shape;
    };
    static constexpr std::size_t kCachedRatios = 4;
    mutable std::mutex cacheMutex_;
    mutable std::vector<CachedShape> cache_;  // most recently used last
};

}  // namespace swf
