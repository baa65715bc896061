#pragma once
// The fields of a movie file's header.

#include <cstdint>

#include "swf/model/geometry.h"

namespace swf {

struct MovieHeader {
    bool compressed = false;
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;  // as declared, whole uncompressed file
    Rect frameSize;                // twips
    double frameRate = 0;          // frames per second (8.8 in the file)
    std::uint16_t frameCount = 0;  // as declared
};

}  // namespace swf
