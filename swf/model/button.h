#pragma once
// A button: characters shown per state and actions run on state transitions.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"
#include "swf/model/sound.h"
#include "swf/model/timeline.h"

namespace swf {

enum ButtonStateBits : std::uint8_t {
    kButtonUp = 1,
    kButtonOver = 2,
    kButtonDown = 4,
    kButtonHit = 8,
};

struct ButtonRecord {
    std::uint8_t states = 0;  // ButtonStateBits
    std::uint16_t characterId = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    Filters filters;
    raster::BlendMode blendMode = raster::BlendMode::Normal;
};

// Transition bits of a condition action, as the file packs them.
enum ButtonCondition : std::uint16_t {
    kCondIdleToOverUp = 1u << 0,
    kCondOverUpToIdle = 1u << 1,
    kCondOverUpToOverDown = 1u << 2,  // press
    kCondOverDownToOverUp = 1u << 3,  // release inside
    kCondOverDownToOutDown = 1u << 4,
    kCondOutDownToOverDown = 1u << 5,
    kCondOutDownToIdle = 1u << 6,  // release outside
    kCondIdleToOverDown = 1u << 7,
    kCondOverDownToIdle = 1u << 8,
};

struct ButtonAction {
    std::uint16_t conditions = 0;  // ButtonCondition bits
    std::uint8_t keyCode = 0;
    ActionCode code;
};

struct ButtonDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Button;
    CharacterKind Kind() const override { return kKind; }
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
    std::array<ButtonSound, 4> sounds;  // by ButtonSoundTransition
    // DefineScalingGrid: the centre of its nine-slice grid, twips of its own space.
    std::optional<Rect> scalingGrid;
};

}  // namespace swf
