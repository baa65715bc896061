#pragma once
// Paints layered figures into a picture with anti-aliased edges: every pixel is
// the rounded average of a square grid of sample points, each sample taking the
// colour of the topmost layer that contains it.

#include <functional>
#include <utility>
#include <vector>

#include "tools/skingen/image.h"
#include "tools/skingen/shapes.h"

namespace skin {

// A colour that may vary over the picture (for gradients and gloss).
using Paint = std::function<Rgb(double x, double y)>;

Paint solid(Rgb colour);
// `a` moved towards `b` by `amount` of 256 steps (0 keeps `a`, 256 gives `b`).
Rgb mix(Rgb a, Rgb b, int amount);

class Scene {
public:
    explicit Scene(Paint background) : background_(std::move(background)) {}

    // Layers added later lie above earlier ones.
    void add(Shape shape, Paint paint);
    void add(Shape shape, Rgb colour) { add(std::move(shape), solid(colour)); }

    Rgb colour_at(double x, double y) const;

private:
    Paint background_;
    std::vector<std::pair<Shape, Paint>> layers_;
};

// Renders `scene` with `samples` × `samples` sample points per pixel.
RgbImage render(const Scene& scene, int width, int height, int samples);

// True for each pixel of which at least half the sample points lie inside `shape`.
BitImage mostly_inside(const Shape& shape, int width, int height, int samples);

}  // namespace skin
