#pragma once
// DefineButton and DefineButton2.

#include <memory>
#include <span>

#include "swf/model/button.h"

namespace swf {

// `version` is 1 (one release action, no colour transforms) or 2.
std::shared_ptr<ButtonDefinition> ParseDefineButton(std::span<const std::uint8_t> body, int version);

}  // namespace swf
