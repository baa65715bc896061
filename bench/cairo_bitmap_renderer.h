#pragma once

#include <memory>
#include <string>

#include "bench/bitmap_scenes.h"

namespace bench {

// Cairo's sampling filters the bitmap scenes are compared against: bilinear,
// and "good" (the same bilinear when enlarging, a box filter when reducing).
enum class CairoFilter { Bilinear, Good };

// Draws a bitmap scene with Cairo's image backend: a surface pattern with the
// same matrix, extended by repeating or padding (when built with Cairo).
class CairoBitmapRenderer {
public:
    CairoBitmapRenderer(const BitmapScene& scene, CairoFilter filter);
    ~CairoBitmapRenderer();
    CairoBitmapRenderer(const CairoBitmapRenderer&) = delete;
    CairoBitmapRenderer& operator=(const CairoBitmapRenderer&) = delete;

    void render();
    void WritePng(const std::string& file) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace bench
