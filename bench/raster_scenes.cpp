#include "bench/raster_scenes.h"

#include <cmath>
#include <numbers>
#include <random>

namespace bench {

using namespace swf::raster;

namespace {

// A closed blob of quadratic curves around a centre, with a wobbling radius.
void AddBlob(Path& path, std::mt19937& random, double cx, double cy, double radius, int lobes, bool reverse = false) {
    std::uniform_real_distribution<double> wobble(0.7, 1.15);
    std::vector<Point> ring;
    for (int i = 0; i < 2 * lobes; ++i) {
        double angle = (reverse ? -1 : 1) * std::numbers::pi * i / lobes;
        double r = radius * wobble(random);
        ring.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    // Even points are on the curve, odd ones are controls.
    path.MoveTo(ring[0].x, ring[0].y);
    for (int i = 0; i < lobes; ++i) {
        const Point& c = ring[2 * i + 1];
        const Point& e = ring[(2 * i + 2) % ring.size()];
        path.QuadTo(c.x, c.y, e.x, e.y);
    }
}

Color RandomColor(std::mt19937& random, int minAlpha) {
    std::uniform_int_distribution<int> channel(0, 255), alpha(minAlpha, 255);
    return {static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)),
            static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(alpha(random))};
}

}  // namespace

Scene GradientShapesScene(int width, int height) {
    Scene scene{"gradients", width, height, {}};
    std::mt19937 random(1);
    const double scale = height / 720.0;
    std::uniform_real_distribution<double> x(0, width), y(0, height), size(30 * scale, 160 * scale),
        angle(0, 2 * std::numbers::pi);
    std::uniform_int_distribution<int> lobes(4, 9), kind(0, 2);
    for (int i = 0; i < 200; ++i) {
        SceneShape shape;
        double cx = x(random), cy = y(random), r = size(random);
        AddBlob(shape.path, random, cx, cy, r, lobes(random));
        shape.gradient = true;
        Gradient& g = shape.gradientStyle;
        g.shape = kind(random) == 0 ? GradientShape::Linear : GradientShape::Radial;
        g.stops = {{0, RandomColor(random, 255)}, {128, RandomColor(random, 160)}, {255, RandomColor(random, 255)}};
        // The gradient square scaled onto the blob and turned at random.
        g.matrix = Matrix::Translate(cx, cy) * Matrix::Rotate(angle(random)) * Matrix::Scale(r / 16384.0, r / 16384.0);
        scene.shapes.push_back(std::move(shape));
    }
    return scene;
}

Scene StrokedPathsScene(int width, int height) {
    Scene scene{"strokes", width, height, {}};
    std::mt19937 random(2);
    const double scale = height / 720.0;
    std::uniform_real_distribution<double> x(0, width), y(0, height), step(-80 * scale, 80 * scale),
        lineWidth(1, 8 * scale);
    std::uniform_int_distribution<int> segments(3, 10), curve(0, 1);
    for (int i = 0; i < 500; ++i) {
        SceneShape shape;
        shape.stroked = true;
        shape.stroke = {lineWidth(random), LineCap::Round, LineJoin::Round, 3};
        shape.color = RandomColor(random, 128);
        double px = x(random), py = y(random);
        shape.path.MoveTo(px, py);
        for (int s = segments(random); s > 0; --s) {
            double nx = px + step(random), ny = py + step(random);
            if (curve(random)) {
                shape.path.QuadTo(px + step(random), py + step(random), nx, ny);
            } else {
                shape.path.LineTo(nx, ny);
            }
            px = nx;
            py = ny;
        }
        scene.shapes.push_back(std::move(shape));
    }
    return scene;
}

Scene GlyphsScene(int width, int height) {
    Scene scene{"glyphs", width, height, {}};
    std::mt19937 random(3);
    const double em = 14.0 * height / 720.0;
    std::uniform_int_distribution<int> lobes(3, 6), holed(0, 2);
    // Lines of text-sized shapes over the whole surface, like a page of small type.
    for (double baseline = em; baseline < height; baseline += em * 1.4) {
        for (double left = 4; left + em < width; left += em * 0.62) {
            SceneShape shape;
            shape.color = {20, 20, 20, 255};
            double cx = left + em * 0.3, cy = baseline - em * 0.35;
            AddBlob(shape.path, random, cx, cy, em * 0.32, lobes(random));
            if (holed(random) == 0) {  // a counter, like in "o" or "e"
                shape.rule = FillRule::EvenOdd;
                AddBlob(shape.path, random, cx, cy, em * 0.14, 4, true);
            }
            scene.shapes.push_back(std::move(shape));
        }
    }
    return scene;
}

}  // namespace bench
