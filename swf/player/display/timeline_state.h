#pragma once
// The display list a timeline's tags describe, as plain placements per depth,
// before any instance exists.

#include <cstdint>
#include <map>

#include "swf/model/timeline.h"
#include "swf/player/display/display_object.h"

namespace swf {

using PlacementMap = std::map<std::uint16_t, Placement>;

// Applies one frame's place and remove commands to `state`.
void ApplyFrame(const Frame& frame, std::uint32_t frameIndex, PlacementMap& state);

// Whether a live instance with placement `live` may stand for `wanted`.
inline bool SameInstance(const Placement& live, const Placement& wanted) {
    return live.characterId == wanted.characterId && live.definition == wanted.definition &&
           live.placedFrame == wanted.placedFrame;
}

}  // namespace swf
