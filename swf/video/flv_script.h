#pragma once
// The call an FLV script data tag carries: a handler name ("onMetaData",
// "onCuePoint") and its argument, one AMF0 value.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "swf/video/amf0.h"

namespace swf::video {

struct FlvScriptData {
    std::string name;
    AmfValue value;  // undefined when the tag holds the name alone
};

// The name and value of a script data tag's body; nothing, and `problem`
// (when given) says why, when the body does not start with a name or its
// value cannot be read.
std::optional<FlvScriptData> ReadFlvScriptData(std::span<const std::uint8_t> body, std::string* problem = nullptr,
                                               const AmfLimits& limits = {});

}  // namespace swf::video
