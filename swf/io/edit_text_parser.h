#pragma once
// DefineEditText: a dynamic or input text field.

#include <memory>
#include <span>

#include "swf/model/edit_text.h"

namespace swf {

// `version` is the movie's: it decides how the strings are encoded.
std::shared_ptr<EditTextDefinition> ParseDefineEditText(std::span<const std::uint8_t> body, int version);

}  // namespace swf
