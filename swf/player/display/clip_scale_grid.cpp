#include "swf/player/display/clip_scale_grid.h"

#include "swf/model/button.h"
#include "swf/model/timeline.h"
#include "swf/player/display/display_properties.h"

namespace swf {

std::optional<Rect> ScaleGridRect(const DisplayObject& object) {
    if (object.Kind() != DisplayKind::MovieClip && object.Kind() != DisplayKind::Button) return std::nullopt;
    if (object.Script().gridSet) return object.Script().grid;
    const Character* character = object.GetCharacter();
    if (character == nullptr) return std::nullopt;
    if (character->Kind() == CharacterKind::Sprite) return static_cast<const SpriteDefinition*>(character)->scalingGrid;
    if (character->Kind() == CharacterKind::Button) return static_cast<const ButtonDefinition*>(character)->scalingGrid;
    return std::nullopt;
}

std::optional<ScaleGrid> ActiveScaleGrid(const DisplayObject& object) {
    const std::optional<Rect> grid = ScaleGridRect(object);
    if (!grid) return std::nullopt;
    return ScaleGrid::Make(*grid, LocalBounds(object), object.GetPlacement().matrix);
}

}  // namespace swf
