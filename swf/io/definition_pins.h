#pragma once
// Ties each placement to the definition its id names when the tag is read.
// Movies free ids and define them again (video-frame movies redefine one
// bitmap every frame), and shapes may fill with a bitmap defined after them;
// players resolve both against the dictionary of the moment, so a placement
// keeps that moment's definition, with a shape's bitmap fills linked anew
// when the bitmaps they name have changed since.

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "swf/model/character.h"
#include "swf/model/timeline.h"

namespace swf {

struct ShapeDefinition;

class DefinitionPins {
public:
    // Sets `place.definition` when its id names a definition now.
    void Pin(PlaceCommand& place, const Dictionary& dictionary);

private:
    std::shared_ptr<const Character> Relinked(const std::shared_ptr<const Character>& definition,
                                              const Dictionary& dictionary);

    // The last relinked copy of each shape, reused while its bitmaps stay.
    std::unordered_map<const Character*, std::shared_ptr<const ShapeDefinition>> relinked_;
};

}  // namespace swf
