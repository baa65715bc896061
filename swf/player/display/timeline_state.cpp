#include "swf/player/display/timeline_state.h"

#include <variant>

namespace swf {

namespace {

void ApplyPlace(const PlaceCommand& cmd, std::uint32_t frameIndex, PlacementMap& state) {
    auto existing = state.find(cmd.depth);
    Placement p;
    if (cmd.move) {
        if (existing == state.end()) {
            if (!cmd.characterId) return;  // nothing there to modify
        } else {
            p = existing->second;  // a move keeps what it does not restate
        }
    } else if (!cmd.characterId) {
        return;  // a new placement needs a character
    }
    if (cmd.characterId) {
        // A (different) character at the depth is a new instance.
        if (existing == state.end() || !cmd.move || p.characterId != *cmd.characterId ||
            p.definition != cmd.definition) {
            p.placedFrame = frameIndex;
        }
        p.characterId = *cmd.characterId;
        p.definition = cmd.definition;
    }
    if (cmd.matrix) p.matrix = *cmd.matrix;
    if (cmd.colorTransform) p.colorTransform = *cmd.colorTransform;
    if (cmd.ratio) p.ratio = *cmd.ratio;
    if (cmd.name) p.name = *cmd.name;
    if (cmd.clipDepth) p.clipDepth = *cmd.clipDepth;
    if (cmd.clipActions) p.clipActions = cmd.clipActions;
    if (cmd.filters) p.filters = *cmd.filters;
    if (cmd.blendMode) p.blendMode = *cmd.blendMode;
    if (cmd.cacheAsBitmap) p.cacheAsBitmap = *cmd.cacheAsBitmap;
    state[cmd.depth] = p;
}

}  // namespace

void ApplyFrame(const Frame& frame, std::uint32_t frameIndex, PlacementMap& state) {
    for (const DisplayCommand& command : frame.commands) {
        if (const auto* place = std::get_if<PlaceCommand>(&command)) {
            ApplyPlace(*place, frameIndex, state);
        } else {
            state.erase(std::get<RemoveCommand>(command).depth);
        }
    }
}

}  // namespace swf
