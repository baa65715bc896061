#include "swf/io/definition_pins.h"

#include "swf/io/bitmap_fills.h"
#include "swf/model/bitmap.h"
#include "swf/model/shape.h"

namespace swf {

namespace {

// Whether every bitmap fill of the shape paints with what its id names now.
bool FillsCurrent(const Shape& shape, const Dictionary& dictionary) {
    const auto current = [&](const FillStyle& fill) {
        if (fill.kind != FillKind::Bitmap) return true;
        FillStyle relinked = fill;
        ResolveBitmapFill(relinked, dictionary);
        return relinked.bitmap == fill.bitmap;
    };
    for (const ShapeLayer& layer : shape.layers) {
        for (const FillStyle& fill : layer.fills) {
            if (!current(fill)) return false;
        }
        for (const LineStyle& line : layer.lines) {
            if (line.hasFill && !current(line.fill)) return false;
        }
    }
    return true;
}

}  // namespace

void DefinitionPins::Pin(PlaceCommand& place, const Dictionary& dictionary) {
    if (!place.characterId) return;
    const auto it = dictionary.find(*place.characterId);
    if (it == dictionary.end()) return;
    place.definition = it->second->Kind() == CharacterKind::Shape ? Relinked(it->second, dictionary) : it->second;
}

std::shared_ptr<const Character> DefinitionPins::Relinked(const std::shared_ptr<const Character>& definition,
                                                          const Dictionary& dictionary) {
    const auto& shape = static_cast<const ShapeDefinition&>(*definition);
    if (FillsCurrent(shape.shape, dictionary)) return definition;
    auto& kept = relinked_[definition.get()];
    if (kept && FillsCurrent(kept->shape, dictionary)) return kept;
    auto copy = std::make_shared<ShapeDefinition>(shape);
    ResolveBitmapFills(copy->shape, dictionary);
    kept = copy;
    return copy;
}

}  // namespace swf
