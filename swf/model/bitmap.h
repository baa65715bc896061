#pragma once
// A bitmap character (DefineBits family): its decoded pixels, shared with the
// fill styles that paint with it.

#include <memory>

#include "swf/model/character.h"
#include "swf/raster/image.h"

namespace swf {

struct BitmapDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Bitmap;
    CharacterKind Kind() const override { return kKind; }
    std::shared_ptr<const raster::Image> image;  // never null in a dictionary entry
};

}  // namespace swf
