#include "swf/io/bitmap_fills.h"

#include "swf/model/bitmap.h"

namespace swf {

namespace {

constexpr std::uint16_t kNoBitmap = 0xFFFF;

}  // namespace

void ResolveBitmapFill(FillStyle& fill, const Dictionary& dictionary) {
    fill.bitmap = nullptr;
    if (fill.kind != FillKind::Bitmap || fill.bitmapId == kNoBitmap) return;
    if (const auto* bitmap = FindCharacter<BitmapDefinition>(dictionary, fill.bitmapId)) fill.bitmap = bitmap->image;
}

void ResolveBitmapFills(Shape& shape, const Dictionary& dictionary) {
    for (ShapeLayer& layer : shape.layers) {
        for (FillStyle& fill : layer.fills) ResolveBitmapFill(fill, dictionary);
        for (LineStyle& line : layer.lines) {
            if (line.hasFill) ResolveBitmapFill(line.fill, dictionary);
        }
    }
}

}  // namespace swf
