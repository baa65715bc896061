#pragma once
// What a timeline (the movie's or a sprite's) says, frame by frame: display
// list changes, action blocks, labels and sounds.

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
#include "swf/model/sound.h"
#include "swf/raster/blend_mode.h"
#include "swf/raster/filter.h"

namespace swf {

using ActionCode = std::shared_ptr<const std::vector<std::uint8_t>>;

// A display object's filters, shared by the placements that name them; null: none.
using Filters = std::shared_ptr<const std::vector<raster::Filter>>;

// Clip event bits, numbered as the file's event flags read little-endian
// (16 bits up to version 5, 32 bits from version 6).
enum ClipEvent : std::uint32_t {
    kClipLoad = 1u << 0,
    kClipEnterFrame = 1u << 1,
    kClipUnload = 1u << 2,
    kClipMouseMove = 1u << 3,
    kClipMouseDown = 1u << 4,
    kClipMouseUp = 1u << 5,
    kClipKeyDown = 1u << 6,
    kClipKeyUp = 1u << 7,
    kClipData = 1u << 8,
    kClipInitialize = 1u << 9,
    kClipPress = 1u << 10,
    kClipRelease = 1u << 11,
    kClipReleaseOutside = 1u << 12,
    kClipRollOver = 1u << 13,
    kClipRollOut = 1u << 14,
    kClipDragOver = 1u << 15,
    kClipDragOut = 1u << 16,
    kClipKeyPress = 1u << 17,
    kClipConstruct = 1u << 18,
};

// One onClipEvent / on() handler a placement attaches to a sprite instance.
struct ClipAction {
    std::uint32_t events = 0;  // ClipEvent bits
    std::uint8_t keyCode = 0;  // for kClipKeyPress: the key as button key codes name it
    ActionCode code;
};
using ClipActions = std::shared_ptr<const std::vector<ClipAction>>;

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
    ClipActions clipActions;  // null when the tag carries none
    // PlaceObject3's effects; unset ones keep what a move finds.
    std::optional<Filters> filters;
    std::optional<raster::BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    // The definition the id named when the tag was read (ids may be freed and
    // defined again); null: the id is looked up when the object is made.
    std::shared_ptr<const Character> definition;
};

struct RemoveCommand {
    std::uint16_t depth = 0;
};

using DisplayCommand = std::variant<PlaceCommand, RemoveCommand>;

// A DoInitAction block: runs once per movie for the sprite it names.
struct InitAction {
    std::uint16_t spriteId = 0;
    ActionCode code;
};

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<ActionCode> actions;      // DoAction blocks in file order
    std::vector<InitAction> initActions;  // DoInitAction blocks in file order
    std::vector<StartSoundCommand> sounds;
    std::optional<StreamSoundBlock> streamBlock;
};

struct Timeline {
    std::vector<Frame> frames;  // never empty once built
    std::map<std::string, std::uint32_t> labels;
    std::optional<StreamSoundHead> streamHead;
};

struct SpriteDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::Sprite;
    CharacterKind Kind() const override { return kKind; }
    Timeline timeline;
    // DefineScalingGrid: the centre of its nine-slice grid, twips of its own space.
    std::optional<Rect> scalingGrid;
};

}  // namespace swf
