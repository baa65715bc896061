#include "tools/skingen/raster.h"

namespace skin {

namespace {

// The centre of sample i of n along one side of the pixel starting at `origin`.
double sample_position(int origin, int i, int n) { return origin + (2.0 * i + 1.0) / (2.0 * n); }

}  // namespace

Paint solid(Rgb colour) {
    return [colour](double, double) { return colour; };
}

Rgb mix(Rgb a, Rgb b, int amount) {
    auto channel = [amount](int from, int to) {
        return static_cast<std::uint8_t>(from + ((to - from) * amount + (to >= from ? 128 : -128)) / 256);
    };
    return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

void Scene::add(Shape shape, Paint paint) { layers_.emplace_back(std::move(shape), std::move(paint)); }

Rgb Scene::colour_at(double x, double y) const {
    for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
        if (layer->first(x, y)) return layer->second(x, y);
    }
    return background_(x, y);
}

RgbImage render(const Scene& scene, int width, int height, int samples) {
    RgbImage image(width, height);
    const int count = samples * samples;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            int r = 0, g = 0, b = 0;
            for (int i = 0; i < samples; ++i) {
                for (int j = 0; j < samples; ++j) {
                    const Rgb c = scene.colour_at(sample_position(column, j, samples), sample_position(row, i, samples));
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            image.at(row, column) = Rgb{static_cast<std::uint8_t>((r + count / 2) / count),
                                        static_cast<std::uint8_t>((g + count / 2) / count),
                                        static_cast<std::uint8_t>((b + count / 2) / count)};
        }
    }
    return image;
}

BitImage mostly_inside(const Shape& shape, int width, int height, int samples) {
    BitImage result(width, height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            int inside = 0;
            for (int i = 0; i < samples; ++i) {
                for (int j = 0; j < samples; ++j) {
                    if (shape(sample_position(column, j, samples), sample_position(row, i, samples))) ++inside;
                }
            }
            result.at(row, column) = 2 * inside >= samples * samples;
        }
    }
    return result;
}

}  // namespace skin
