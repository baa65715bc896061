#pragma once

#include <string>
#include <vector>

#include "swf/raster/raster.h"

namespace bench {

// One shape of a scene, in pixels; engines convert it to their own form.
struct SceneShape {
    swf::raster::Path path;
    swf::raster::FillRule rule = swf::raster::FillRule::NonZero;
    bool stroked = false;
    swf::raster::StrokeStyle stroke;
    bool gradient = false;
    swf::raster::Color color;             // solid shapes
    swf::raster::Gradient gradientStyle;  // gradient shapes
};

struct Scene {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<SceneShape> shapes;
};

// Deterministic scenes: 200 gradient-filled curved shapes, 500 stroked paths,
// and a page of small glyph-like shapes.
Scene GradientShapesScene(int width, int height);
Scene StrokedPathsScene(int width, int height);
Scene GlyphsScene(int width, int height);

}  // namespace bench
