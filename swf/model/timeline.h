#pragma once
// What a timeline (the movie's or a sprite's) says, frame by frame: display
// list changes, action blocks and labels.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"

namespace swf {

// PlaceObject 1/2/3. A `move` without a character modifies the object at the
// depth; with a character it replaces it; without `move` it places anew.
struct PlaceCommand {
    std::uint16_t depth = 0;
    bool move = false;
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
};

struct RemoveCommand {
    std::uint16_t depth = 0;
};

using DisplayCommand = std::variant<PlaceCommand, RemoveCommand>;
using ActionCode = std::shared_ptr<const std::vector<std::uint8_t>>;

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<ActionCode> actions;  // DoAction blocks in file order
};

struct Timeline {
    std::vector<Frame> frames;  // never empty once built
    std::map<std::string, std::uint32_t> labels;
};

struct SpriteDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Sprite;
    CharacterKind Kind() const override { return kKind; }
    Timeline timeline;
};

}  // namespace swf
