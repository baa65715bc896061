// The fast drawing paths (SSE2 span blending, gradient spans, coverage sweep)
// against the plain pixel-by-pixel reference the rasterizer keeps: every
// pixel must come out the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "swf/raster/gradient_span.h"
#include "swf/raster/span_blend.h"
#include "tests/raster/raster_test_support.h"

namespace swf::raster {
namespace {

std::uint32_t RandomPremultiplied(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    const std::uint32_t a = static_cast<std::uint32_t>(byte(random));
    auto channel = [&] { return a == 0 ? 0u : static_cast<std::uint32_t>(byte(random)) % (a + 1); };
    return PackPixel(a, channel(), channel(), channel());
}

// Coverage as a rasterizer produces it: runs of 0 and 255 with edges between.
std::vector<std::uint8_t> RandomCovers(std::mt19937& random, int length) {
    std::uniform_int_distribution<int> kind(0, 3), byte(0, 255);
    std::vector<std::uint8_t> covers(static_cast<std::size_t>(length));
    for (std::uint8_t& c : covers) {
        const int k = kind(random);
        c = k == 0 ? 0 : k == 1 ? 255 : static_cast<std::uint8_t>(byte(random));
    }
    return covers;
}

TEST(SpanBlend, EveryKernelMatchesBlendOverPixelByPixel) {
    std::mt19937 random(7);
    for (int length = 0; length < 40; ++length) {
        for (int round = 0; round < 20; ++round) {
            std::vector<std::uint32_t> below(static_cast<std::size_t>(length)), colors(below.size());
            for (std::uint32_t& p : below) p = RandomPremultiplied(random);
            for (std::uint32_t& p : colors) p = RandomPremultiplied(random);
            const std::vector<std::uint8_t> covers = RandomCovers(random, length);
            const std::uint32_t color = round == 0 ? 0xFF102030u : RandomPremultiplied(random);
            const std::uint8_t cover = round == 1 ? 255 : static_cast<std::uint8_t>(random() & 255);

            std::vector<std::uint32_t> fast = below, expected = below;
            BlendSolidSpan(fast.data(), length, color);
            for (std::uint32_t& p : expected) p = BlendOver(color, p);
            ASSERT_EQ(fast, expected) << "solid span, length " << length;

            fast = expected = below;
            BlendSolidCovers(fast.data(), length, color, covers.data());
            for (int i = 0; i < length; ++i) expected[i] = BlendOver(ScalePixel(color, covers[i]), expected[i]);
            ASSERT_EQ(fast, expected) << "solid covers, length " << length;

            fast = expected = below;
            BlendColorSpan(fast.data(), colors.data(), length, cover);
            for (int i = 0; i < length; ++i) expected[i] = BlendOver(ScalePixel(colors[i], cover), expected[i]);
            ASSERT_EQ(fast, expected) << "colour span, length " << length;

            fast = expected = below;
            BlendColorCovers(fast.data(), colors.data(), length, covers.data());
            for (int i = 0; i < length; ++i) expected[i] = BlendOver(ScalePixel(colors[i], covers[i]), expected[i]);
            ASSERT_EQ(fast, expected) << "colour covers, length " << length;
        }
    }
}

TEST(GradientSpan, IndicesMatchThePerPixelFormulaForEverySpread) {
    std::array<std::uint32_t, 256> ramp;
    for (int i = 0; i < 256; ++i) ramp[i] = static_cast<std::uint32_t>(i);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> start(-3000, 3000), step(-40, 40), unit(-1, 1);
    const double farAway[] = {1e7, -1e7, 1e300, -1e300, 2.9999999999999996, 255.99999999999997, -0.5, 1048575.5};
    for (SpreadMode spread : {SpreadMode::Pad, SpreadMode::Repeat, SpreadMode::Reflect}) {
        for (int round = 0; round < 300; ++round) {
            const int length = round % 37;
            double position = round < 8 ? farAway[round] : start(random);
            const double advance = round % 5 == 0 ? unit(random) * 1e-3 : step(random);
            std::vector<std::uint32_t> out(static_cast<std::size_t>(length));
            ShadeLinearGradientSpan(position, advance, spread, ramp.data(), length, out.data());
            for (int i = 0; i < length; ++i, position += advance) {
                ASSERT_EQ(out[i], static_cast<std::uint32_t>(SpreadIndex(position, spread))) << "linear " << i;
            }

            double gx = start(random) * 10, gy = start(random) * 10;
            const double stepX = step(random) * 5, stepY = step(random) * 5;
            ShadeRadialGradientSpan(gx, gy, stepX, stepY, spread, ramp.data(), length, out.data());
            for (int i = 0; i < length; ++i, gx += stepX, gy += stepY) {
                const double radius = std::sqrt(gx * gx + gy * gy) * (256.0 / kGradientHalfSize);
                ASSERT_EQ(out[i], static_cast<std::uint32_t>(SpreadIndex(radius, spread))) << "radial " << i;
            }
        }
    }
}

// A closed blob of quadratic curves, wobbling around a circle.
void AddBlob(Path& path, std::mt19937& random, double cx, double cy, double radius, int lobes, bool reverse) {
    std::uniform_real_distribution<double> wobble(0.6, 1.2);
    std::vector<Point> ring;
    for (int i = 0; i < 2 * lobes; ++i) {
        const double angle = (reverse ? -1 : 1) * std::numbers::pi * i / lobes;
        const double r = radius * wobble(random);
        ring.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    path.MoveTo(ring[0].x, ring[0].y);
    for (int i = 0; i < lobes; ++i) {
        const Point& c = ring[2 * i + 1];
        const Point& e = ring[(2 * i + 2) % ring.size()];
        path.QuadTo(c.x, c.y, e.x, e.y);
    }
}

Color RandomColor(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255), kind(0, 2);
    const int alpha = kind(random) == 0 ? 255 : byte(random);
    return {static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)),
            static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(alpha)};
}

std::shared_ptr<const Image> NoisePicture(std::mt19937& random, int w, int h) {
    auto image = std::make_shared<Image>();
    image->width = w;
    image->height = h;
    for (int i = 0; i < w * h; ++i) image->pixels.push_back(RandomPremultiplied(random));
    return image;
}

Paint RandomPaint(std::mt19937& random, int kind) {
    std::uniform_real_distribution<double> place(0, 120), size(5, 90), angle(0, 2 * std::numbers::pi);
    if (kind == 0) return Paint::Solid(RandomColor(random));
    if (kind == 1) {
        Gradient g;
        g.shape = static_cast<GradientShape>(random() % 3);
        g.spread = static_cast<SpreadMode>(random() % 3);
        g.interpolation = random() % 4 == 0 ? GradientInterpolation::LinearRGB : GradientInterpolation::RGB;
        g.focalPoint = std::uniform_real_distribution<double>(-1, 1)(random);
        g.stops = {{0, RandomColor(random)}, {100, RandomColor(random)}, {255, RandomColor(random)}};
        const double s = size(random) / kGradientHalfSize;
        g.matrix =
            Matrix::Translate(place(random), place(random)) * Matrix::Rotate(angle(random)) * Matrix::Scale(s, s);
        return Paint::GradientFill(g);
    }
    BitmapStyle style;
    style.image = NoisePicture(random, 7, 5);
    style.matrix = Matrix::Translate(place(random), place(random)) * Matrix::Rotate(angle(random)) *
                   Matrix::Scale(size(random) / 10, size(random) / 10);
    style.repeat = random() % 2 == 0;
    style.smooth = random() % 2 == 0;
    return Paint::BitmapFill(style);
}

Path RandomShape(std::mt19937& random, bool forStroke) {
    std::uniform_real_distribution<double> place(-20, 140), radius(0.5, 60), step(-50, 50);
    Path path;
    if (forStroke) {
        double x = place(random), y = place(random);
        path.MoveTo(x, y);
        for (int s = 2 + static_cast<int>(random() % 8); s > 0; --s) {
            const double nx = x + step(random), ny = y + step(random);
            if (random() % 2) {
                path.QuadTo(x + step(random), y + step(random), nx, ny);
            } else {
                path.LineTo(nx, ny);
            }
            x = nx;
            y = ny;
        }
        if (random() % 4 == 0) path.Close();
        return path;
    }
    const double cx = place(random), cy = place(random), r = radius(random);
    AddBlob(path, random, cx, cy, r, 3 + static_cast<int>(random() % 7), false);
    if (random() % 2) AddBlob(path, random, cx, cy, r * 0.4, 4, random() % 2 == 0);
    if (random() % 3 == 0) path.AddRect(place(random), place(random), radius(random), radius(random));
    return path;
}

// Draws the same random scene through the fast paths and the reference, onto
// a noisy background, with every combination of clip and area.
TEST(FastPaths, DrawExactlyAsTheReference) {
    constexpr int kWidth = 131, kHeight = 97;
    std::mt19937 random(5);
    std::vector<std::uint32_t> background;
    for (int i = 0; i < kWidth * kHeight; ++i) background.push_back(RandomPremultiplied(random));
    CoverageMask clip(kWidth, kHeight);
    FillMask(clip, RandomShape(random, false), FillRule::NonZero);
    FillMask(clip, RandomShape(random, false), FillRule::EvenOdd);
    const PixelRect area{17, 9, 103, 80};

    for (int scene = 0; scene < 24; ++scene) {
        const bool withClip = scene % 2 == 1, withArea = scene % 4 >= 2;
        Surface fast(kWidth, kHeight), reference(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            std::copy_n(background.begin() + y * kWidth, kWidth, fast.row(y));
            std::copy_n(background.begin() + y * kWidth, kWidth, reference.row(y));
        }
        Rasterizer fastRasterizer, referenceRasterizer;
        referenceRasterizer.SetReferenceMode(true);
        DrawOptions options;
        options.clip = withClip ? &clip : nullptr;
        options.area = withArea ? &area : nullptr;
        for (int shape = 0; shape < 30; ++shape) {
            const Paint paint = RandomPaint(random, shape % 3);
            const bool stroked = random() % 3 == 0;
            const Path path = RandomShape(random, stroked);
            options.matrix = random() % 3 == 0 ? Matrix::Rotate(0.3) * Matrix::Scale(0.8, 1.1) : Matrix();
            if (stroked) {
                StrokeStyle style;
                style.width = std::uniform_real_distribution<double>(0.2, 12)(random);
                style.cap = static_cast<LineCap>(random() % 3);
                style.join = static_cast<LineJoin>(random() % 3);
                fastRasterizer.StrokePath(fast, path, style, paint, options);
                referenceRasterizer.StrokePath(reference, path, style, paint, options);
            } else {
                const FillRule rule = random() % 2 ? FillRule::EvenOdd : FillRule::NonZero;
                fastRasterizer.FillPath(fast, path, rule, paint, options);
                referenceRasterizer.FillPath(reference, path, rule, paint, options);
            }
        }
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                ASSERT_EQ(fast.pixel(x, y), reference.pixel(x, y))
                    << "scene " << scene << " at " << x << ", " << y << (withClip ? " clipped" : "")
                    << (withArea ? " in an area" : "");
            }
        }
    }
}

TEST(FastPaths, MasksMatchTheReference) {
    constexpr int kWidth = 90, kHeight = 70;
    std::mt19937 random(9);
    CoverageMask clip(kWidth, kHeight);
    FillMask(clip, RandomShape(random, false), FillRule::NonZero);
    for (int round = 0; round < 40; ++round) {
        CoverageMask fast(kWidth, kHeight), reference(kWidth, kHeight);
        Rasterizer fastRasterizer, referenceRasterizer;
        referenceRasterizer.SetReferenceMode(true);
        DrawOptions options;
        options.clip = round % 2 ? &clip : nullptr;
        for (int shape = 0; shape < 6; ++shape) {
            const bool stroked = random() % 2 == 0;
            const Path path = RandomShape(random, stroked);
            if (stroked) {
                StrokeStyle style;
                style.width = std::uniform_real_distribution<double>(0.5, 9)(random);
                fastRasterizer.StrokeMask(fast, path, style, options);
                referenceRasterizer.StrokeMask(reference, path, style, options);
            } else {
                const FillRule rule = random() % 2 ? FillRule::EvenOdd : FillRule::NonZero;
                fastRasterizer.FillMask(fast, path, rule, options);
                referenceRasterizer.FillMask(reference, path, rule, options);
            }
        }
        ASSERT_TRUE(test::SameMask(fast, reference)) << "round " << round;
    }
}

}  // namespace
}  // namespace swf::raster
