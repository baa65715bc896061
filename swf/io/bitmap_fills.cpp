#include "swf/io/bitmap_fills.h"

#include "swf/model/bitmap.h"

namespace swf {

namespace {

constexpr std::uint16_t kNoBitmap = 0xFFFF;

// The pixels a bitmap fill of that kind and id paints with, or null.
std::shared_ptr<const raster::Image> BitmapFor(FillKind kind, std::uint16_t id, const Dictionary& dictionary) {
    if (kind != FillKind::Bitmap || id == kNoBitmap) return nullptr;
    const auto* bitmap = FindCharacter<BitmapDefinition>(dictionary, id);
    return bitmap != nullptr ? bitmap->image : nullptr;
}

}  // namespace

void ResolveBitmapFill(FillStyle& fill, const Dictionary& dictionary) {
    fill.bitmap = BitmapFor(fill.kind, fill.bitmapId, dictionary);
}

void ResolveBitmapFills(Shape& shape, const Dictionary& dictionary) {
    for (ShapeLayer& layer : shape.layers) {
        for (FillStyle& fill : layer.fills) ResolveBitmapFill(fill, dictionary);
        for (LineStyle& line : layer.lines) {
            if (line.hasFill) ResolveBitmapFill(line.fill, dictionary);
        }
    }
}

void ResolveBitmapFills(MorphShapeDefinition& morph, const Dictionary& dictionary) {
    for (MorphFillStyle& fill : morph.fills) fill.bitmap = BitmapFor(fill.kind, fill.bitmapId, dictionary);
    for (MorphLineStyle& line : morph.lines) {
        if (line.hasFill) line.fill.bitmap = BitmapFor(line.fill.kind, line.fill.bitmapId, dictionary);
    }
}

}  // namespace swf
