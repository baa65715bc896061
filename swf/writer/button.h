#pragma once
// DefineButton2: the characters shown per state and the actions run on
// mouse transitions.

#include <cstdint>
#include <vector>

#include "swf/writer/records.h"

namespace swf::writer {

// Button state flags of a BUTTONRECORD.
enum ButtonState : std::uint8_t { kStateUp = 0x01, kStateOver = 0x02, kStateDown = 0x04, kStateHitTest = 0x08 };

// Transition conditions, as the 16-bit field appears in the file (first byte high).
enum ButtonCondition : std::uint16_t {
    kIdleToOverUp = 0x0100,       // roll over
    kOverUpToIdle = 0x0200,       // roll out
    kOverUpToOverDown = 0x0400,   // press
    kOverDownToOverUp = 0x0800,   // release
    kOverDownToOutDown = 0x1000,  // drag out
    kOutDownToOverDown = 0x2000,  // drag over
    kOutDownToIdle = 0x4000,      // release outside
    kIdleToOverDown = 0x8000,
    kOverDownToIdle = 0x0001,
};

struct ButtonRecord {
    std::uint8_t states = kStateUp;
    std::uint16_t characterId = 0;
    std::uint16_t depth = 1;
    Matrix matrix;
    ColorTransform colorTransform;
};

struct ButtonAction {
    std::uint16_t conditions = kOverDownToOverUp;
    std::vector<std::uint8_t> actions;  // the End action is appended when missing
};

std::vector<std::uint8_t> DefineButton2Body(std::uint16_t id, const std::vector<ButtonRecord>& records,
                                            const std::vector<ButtonAction>& actions, bool trackAsMenu = false);

}  // namespace swf::writer
