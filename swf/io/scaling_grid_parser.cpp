#include "swf/io/scaling_grid_parser.h"

#include <string>

#include "swf/io/bit_reader.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/model/button.h"
#include "swf/model/timeline.h"

namespace swf {

namespace {

template <typename Definition>
std::shared_ptr<const Character> Amended(const Definition& definition, const Rect& grid) {
    if (definition.scalingGrid) return nullptr;
    auto amended = std::make_shared<Definition>(definition);
    amended->scalingGrid = grid;
    return amended;
}

}  // namespace

std::shared_ptr<const Character> ApplyDefineScalingGrid(std::span<const std::uint8_t> body,
                                                        const Dictionary& dictionary) {
    BitReader in(body);
    const std::uint16_t id = in.ReadU16();
    const Rect grid = ReadRect(in);
    if (const auto* sprite = FindCharacter<SpriteDefinition>(dictionary, id)) return Amended(*sprite, grid);
    if (const auto* button = FindCharacter<ButtonDefinition>(dictionary, id)) return Amended(*button, grid);
    throw ParseError("DefineScalingGrid for " + std::to_string(id) + ", which is neither a sprite nor a button");
}

}  // namespace swf
