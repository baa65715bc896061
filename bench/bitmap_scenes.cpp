#include "bench/bitmap_scenes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace bench {

using namespace swf::raster;

std::shared_ptr<const Image> BenchPicture() {
    static const std::shared_ptr<const Image> picture = [] {
        auto image = std::make_shared<Image>();
        image->width = 1024;
        image->height = 768;
        image->pixels.resize(1024 * 768);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> noise(-24, 24);
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const double ring = std::hypot(x - 400.0, y - 300.0);
                const bool band = static_cast<int>(ring / 40) % 2 == 0;
                const bool stripe = ((x + 2 * y) / 16) % 3 == 0;
                const int r = std::clamp(x / 4 + (band ? 60 : 0) + noise(random), 0, 255);
                const int g = std::clamp(y / 3 + (stripe ? 80 : 0) + noise(random), 0, 255);
                const int b = std::clamp(static_cast<int>(128 + 127 * std::sin(x * 0.05) * std::cos(y * 0.03)), 0, 255);
                image->pixels[static_cast<std::size_t>(y) * 1024 + x] = PackPixel(255, r, g, b);
            }
        }
        return image;
    }();
    return picture;
}

std::vector<BitmapScene> BitmapScenes(int width, int height) {
    auto placed = [&](double scale) {
        return Matrix::Translate(width / 2.0, height / 2.0) * Matrix::Rotate(20 * std::numbers::pi / 180) *
               Matrix::Scale(scale, scale) * Matrix::Translate(-512, -384);
    };
    return {
        {"bitmap-repeat", width, height, BenchPicture(), placed(1.5), true},
        {"bitmap-clip", width, height, BenchPicture(), placed(1.5), false},
        {"bitmap-shrink", width, height, BenchPicture(), placed(0.4), true},
    };
}

}  // namespace bench
