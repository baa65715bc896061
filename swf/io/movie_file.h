#pragma once
// The file envelope: signature, version, length, optional zlib compression,
// and the header fields that precede the tag stream.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "swf/model/movie_header.h"

namespace swf {

// No movie body (uncompressed) larger than this is accepted.
inline constexpr std::size_t kMaxMovieLength = 256u * 1024u * 1024u;

struct MovieFile {
    MovieHeader header;
    std::vector<std::uint8_t> tags;  // the tag stream after the header
};

// Throws ParseError for a missing or unknown signature, a truncated file or a
// corrupt compressed body.
MovieFile ReadMovieFile(std::span<const std::uint8_t> bytes);

}  // namespace swf
