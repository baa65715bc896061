#include "swf/player/display/display_object.h"

#include "swf/model/morph_shape.h"

namespace swf {

DisplayKind DisplayObject::Kind() const {
    if (character_ == nullptr) return DisplayKind::Empty;
    switch (character_->Kind()) {
    case CharacterKind::Shape: return DisplayKind::Shape;
    case CharacterKind::Morph: return DisplayKind::Morph;
    case CharacterKind::Text: return DisplayKind::Text;
    case CharacterKind::Sprite: return DisplayKind::MovieClip;
    case CharacterKind::Button: return DisplayKind::Button;
    case CharacterKind::EditText: return DisplayKind::EditText;
    case CharacterKind::Font:
    case CharacterKind::Bitmap:
    case CharacterKind::Sound: return DisplayKind::Empty;  // fonts, bitmaps and sounds are not placeable
    case CharacterKind::Video: return DisplayKind::Empty;  // shown by VideoInstance
    }
    return DisplayKind::Empty;
}

std::shared_ptr<const Shape> MorphShapeAt(const DisplayObject& morph) {
    const auto& definition = static_cast<const MorphShapeDefinition&>(*morph.GetCharacter());
    return definition.ShapeAt(morph.GetPlacement().ratio);
}

}  // namespace swf
