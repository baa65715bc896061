#pragma once
// Paints figures into a picture through the engine's anti-aliased rasterizer.
// Later figures lie above earlier ones; the background is opaque, so every
// pixel of the finished picture is too.

#include <functional>
#include <vector>

#include "swf/raster/coverage_mask.h"
#include "swf/raster/paint.h"
#include "swf/raster/rasterizer.h"
#include "swf/raster/surface.h"
#include "tools/skingen/image.h"
#include "tools/skingen/outlines.h"

namespace skin {

// `a` moved towards `b` by `amount` of 256 steps (0 keeps `a`, 256 gives `b`).
Rgb Mix(Rgb a, Rgb b, int amount);

// A gradient down the picture from height `yTop` to `yBottom`, continuing
// each end colour beyond its edge; the colours are evenly spaced from top to bottom.
swf::raster::Paint VerticalGradient(double yTop, double yBottom, const std::vector<Rgb>& colours);

class Canvas {
public:
    // Each row in one colour: the backgrounds continue the title strip.
    Canvas(int width, int height, const std::function<Rgb(int row)>& rowColour);

    void Fill(const Outline& figure, Rgb colour, const swf::raster::Matrix& placement = {});
    // Paints only as far as `clip` covers.
    void Fill(const Outline& figure, const swf::raster::Paint& paint, const swf::raster::CoverageMask& clip);

    // The figure's coverage at this canvas's size.
    swf::raster::CoverageMask Coverage(const Outline& figure);

    RgbImage image() const;

private:
    swf::raster::Surface surface_;
    swf::raster::Rasterizer rasterizer_;
};

// True for each pixel that `figure` covers at least half of.
BitImage MostlyInside(const Outline& figure, int width, int height);

}  // namespace skin
