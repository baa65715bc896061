#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/raster/raster.h"

namespace bench {

// A picture filling the whole surface through a bitmap paint, smoothed.
struct BitmapScene {
    std::string name;
    int width = 0;
    int height = 0;
    std::shared_ptr<const swf::raster::Image> picture;
    swf::raster::Matrix matrix;  // picture pixels -> surface pixels
    bool repeat = true;          // else clipped: the edge pixels extend outwards
};

// A 1024 x 768 opaque picture: gradients, hard-edged rings, stripes and noise.
std::shared_ptr<const swf::raster::Image> BenchPicture();

// The picture turned by 20 degrees about the surface centre at 1.5 x, repeated
// and clipped; and at 0.4 x (a reduction), repeated.
std::vector<BitmapScene> BitmapScenes(int width, int height);

}  // namespace bench
