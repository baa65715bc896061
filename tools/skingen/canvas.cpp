#include "tools/skingen/canvas.h"

#include <cmath>

namespace skin {

namespace {

namespace raster = swf::raster;

raster::Color opaque(Rgb colour) { return raster::Color{colour.r, colour.g, colour.b, 255}; }

}  // namespace

Rgb Mix(Rgb a, Rgb b, int amount) {
    auto channel = [amount](int from, int to) {
        return static_cast<std::uint8_t>(from + ((to - from) * amount + (to >= from ? 128 : -128)) / 256);
    };
    return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

raster::Paint VerticalGradient(double yTop, double yBottom, const std::vector<Rgb>& colours) {
    raster::Gradient gradient;
    gradient.shape = raster::GradientShape::Linear;
    gradient.spread = raster::SpreadMode::Pad;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const double at = colours.size() == 1 ? 0 : static_cast<double>(i) / static_cast<double>(colours.size() - 1);
        gradient.stops.push_back({static_cast<std::uint8_t>(std::lround(at * 255)), opaque(colours[i])});
    }
    // The gradient's x axis runs down the picture; its y axis across.
    const double perUnit = (yBottom - yTop) / (2 * raster::kGradientHalfSize);
    gradient.matrix = raster::Matrix{0, perUnit, perUnit, 0, 0, (yTop + yBottom) / 2};
    return raster::Paint::GradientFill(gradient);
}

Canvas::Canvas(int width, int height, const std::function<Rgb(int row)>& rowColour) : surface_(width, height) {
    for (int row = 0; row < height; ++row) {
        const std::uint32_t pixel = raster::Premultiply(opaque(rowColour(row)));
        for (int column = 0; column < width; ++column) surface_.row(row)[column] = pixel;
    }
}

void Canvas::Fill(const Outline& figure, Rgb colour, const raster::Matrix& placement) {
    raster::DrawOptions options;
    options.matrix = placement;
    rasterizer_.FillPath(surface_, figure, raster::FillRule::NonZero, raster::Paint::Solid(opaque(colour)), options);
}

void Canvas::Fill(const Outline& figure, const raster::Paint& paint, const raster::CoverageMask& clip) {
    raster::DrawOptions options;
    options.clip = &clip;
    rasterizer_.FillPath(surface_, figure, raster::FillRule::NonZero, paint, options);
}

raster::CoverageMask Canvas::Coverage(const Outline& figure) {
    raster::CoverageMask mask(surface_.width(), surface_.height());
    rasterizer_.FillMask(mask, figure, raster::FillRule::NonZero);
    return mask;
}

RgbImage Canvas::image() const {
    RgbImage image(surface_.width(), surface_.height());
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            // Opaque pixels: premultiplied and straight colours agree.
            const std::uint32_t pixel = surface_.pixel(column, row);
            image.at(row, column) = Rgb{raster::PixelRed(pixel), raster::PixelGreen(pixel), raster::PixelBlue(pixel)};
        }
    }
    return image;
}

BitImage MostlyInside(const Outline& figure, int width, int height) {
    raster::CoverageMask mask(width, height);
    raster::FillMask(mask, figure, raster::FillRule::NonZero);
    BitImage inside(width, height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) inside.at(row, column) = mask.at(column, row) >= 128;
    }
    return inside;
}

}  // namespace skin
