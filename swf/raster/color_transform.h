#pragma once

namespace swf::raster {

// Per-channel colour change on straight (not premultiplied) colour:
// channel' = clamp(channel * mult + add, 0, 255), with add in 0..255 units.
struct ColorTransform {
    double redMult = 1, greenMult = 1, blueMult = 1, alphaMult = 1;
    double redAdd = 0, greenAdd = 0, blueAdd = 0, alphaAdd = 0;

    bool IsIdentity() const { return *this == ColorTransform{}; }
    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

}  // namespace swf::raster
