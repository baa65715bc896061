#pragma once
// DefineText and DefineText2.

#include <memory>
#include <span>

#include "swf/model/text.h"

namespace swf {

// `version` is 1 (RGB colours) or 2 (RGBA colours).
std::shared_ptr<TextDefinition> ParseDefineText(std::span<const std::uint8_t> body, int version);

}  // namespace swf
