#pragma once
// PlaceObject 1-3, RemoveObject 1-2.

#include <span>

#include "swf/model/timeline.h"

namespace swf {

// `version` is 1, 2 or 3; `swfVersion` is the movie's (clip event flags are
// 16 bits up to 5, 32 bits from 6).
PlaceCommand ParsePlaceObject(std::span<const std::uint8_t> body, int version, int swfVersion = 8);
// `version` is 1 (character and depth) or 2 (depth only).
RemoveCommand ParseRemoveObject(std::span<const std::uint8_t> body, int version);

}  // namespace swf
