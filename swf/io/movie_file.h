#pragma once
// The file envelope: signature, version, length, optional zlib compression,
// and the header fields that precede the tag stream.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "swf/model/movie_header.h"

namespace swf {

// No movie body (uncompressed) larger than this is read; what lies beyond is dropped.
inline constexpr std::size_t kMaxMovieLength = 256u * 1024u * 1024u;

struct MovieFile {
    MovieHeader header;
    std::vector<std::uint8_t> tags;  // the tag stream after the header
    // Where the file disagreed with itself and what was made of it.
    std::vector<std::string> warnings;
};

// Reads leniently, as shipped players do: a declared length that disagrees
// with the data, compressed data that ends early or goes bad part-way, all
// give the data that is there, with a warning. Throws ParseError only when
// nothing playable is left: a missing or unknown signature, or a header that
// cannot be read whole.
MovieFile ReadMovieFile(std::span<const std::uint8_t> bytes);

}  // namespace swf
