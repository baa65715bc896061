#pragma once
// DefineFont, DefineFont2 and DefineFont3.

#include <memory>
#include <span>

#include "swf/io/shape_parser.h"
#include "swf/model/font.h"

namespace swf {

std::shared_ptr<FontDefinition> ParseDefineFont(std::span<const std::uint8_t> body, EdgeBudget& budget);
// `version` is 2 or 3 (DefineFont3 outlines use a 20x finer em square).
std::shared_ptr<FontDefinition> ParseDefineFont2(std::span<const std::uint8_t> body, int version,
                                                 EdgeBudget& budget);

}  // namespace swf
