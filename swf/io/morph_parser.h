#pragma once
// DefineMorphShape and DefineMorphShape2.

#include <memory>
#include <span>

#include "swf/io/shape_parser.h"
#include "swf/model/morph_shape.h"

namespace swf {

// `version` is 1 for DefineMorphShape, 2 for DefineMorphShape2 (line styles
// with caps, joins and fills).
std::shared_ptr<MorphShapeDefinition> ParseDefineMorphShape(std::span<const std::uint8_t> body, int version,
                                                            EdgeBudget& budget);

}  // namespace swf
