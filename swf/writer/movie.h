#pragma once
// A whole SWF file: the "FWS" (plain) or "CWS" (zlib) header, then the tags.

#include <cstdint>
#include <vector>

#include "swf/writer/tag_stream.h"

namespace swf::writer {

struct MovieHeader {
    std::uint8_t version = 8;
    Rect frameSize;         // twips
    double frameRate = 24;  // frames per second, 8.8 fixed point in the file
    bool compressed = false;
};

// The complete file. The frame count comes from the tags; an End tag is
// appended when the tags do not finish with one.
std::vector<std::uint8_t> BuildMovie(const MovieHeader& header, const TagStream& tags);

}  // namespace swf::writer
