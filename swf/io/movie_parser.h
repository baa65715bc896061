#pragma once
// Reads a whole movie file into its definition: dictionary and timelines.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "swf/model/movie.h"

namespace swf {

// Throws ParseError when the file is not a readable movie (no signature, no
// whole header). Everything else is read leniently, as players do: definition
// tags with malformed contents are dropped, a stream cut inside a tag ends
// before it, and each such repair is listed in `warnings`. `url` is where the
// bytes came from, kept for scripts' _url.
std::shared_ptr<const MovieDefinition> ParseMovie(std::span<const std::uint8_t> bytes, std::string url = {});

}  // namespace swf
