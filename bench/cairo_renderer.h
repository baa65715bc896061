#pragma once

#include <memory>
#include <string>

#include "bench/raster_scenes.h"

namespace bench {

// Draws a scene with Cairo's image backend (when the bench was built with Cairo).
class CairoRenderer {
public:
    static bool available();
    explicit CairoRenderer(const Scene& scene);
    ~CairoRenderer();
    CairoRenderer(const CairoRenderer&) = delete;
    CairoRenderer& operator=(const CairoRenderer&) = delete;

    void render();
    void WritePng(const std::string& file) const;
    // Writes one of our surfaces (the same premultiplied ARGB32 layout) as PNG.
    static void WriteSurfacePng(const swf::raster::Surface& surface, const std::string& file);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace bench
