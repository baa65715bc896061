#pragma once
// Movie definitions that loaded files turn into: a picture becomes a movie of
// one frame showing it, and "nothing" (an unloaded clip or level) an empty one.

#include <cstdint>
#include <memory>

#include "swf/model/movie.h"
#include "swf/raster/image.h"

namespace swf {

// No frames, no characters.
std::shared_ptr<const MovieDefinition> EmptyMovie();

// One frame with the picture at the origin, one pixel to 20 twips: a
// rectangle the picture's size filled with it (clipped, smoothed).
// `fileBytes`: the size of the file it came from.
std::shared_ptr<const MovieDefinition> PictureMovie(std::shared_ptr<const raster::Image> image,
                                                    std::uint32_t fileBytes = 0);

}  // namespace swf
