#include "swf/player/display_object.h"

namespace swf {

DisplayKind DisplayObject::Kind() const {
    if (character_ == nullptr) return DisplayKind::Empty;
    switch (character_->Kind()) {
        case CharacterKind::Shape: return DisplayKind::Shape;
        case CharacterKind::Text: return DisplayKind::Text;
        case CharacterKind::Sprite: return DisplayKind::MovieClip;
        case CharacterKind::Button: return DisplayKind::Button;
        case CharacterKind::EditText: return DisplayKind::EditText;
        case CharacterKind::Font:
        case CharacterKind::Bitmap: return DisplayKind::Empty;  // fonts and bitmaps are not placeable
    }
    return DisplayKind::Empty;
}

}  // namespace swf
