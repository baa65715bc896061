#pragma once
// DefineScalingGrid: the nine-slice grid of a sprite or button defined earlier.

#include <memory>
#include <span>

#include "swf/model/character.h"

namespace swf {

// The named sprite or button amended with the grid, a copy to replace it in
// the dictionary; null when it has a grid already (the first one stands, so
// a definition is copied once at most). Throws ParseError when the id names
// neither a sprite nor a button.
std::shared_ptr<const Character> ApplyDefineScalingGrid(std::span<const std::uint8_t> body,
                                                        const Dictionary& dictionary);

}  // namespace swf
