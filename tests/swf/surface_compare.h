#pragma once
// Pixel-for-pixel comparison of two drawings of the same size, and of a
// partial redraw with a whole one.

#include <gtest/gtest.h>

#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"

namespace swf::test {

inline int DifferentPixels(const raster::Surface& a, const raster::Surface& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

// After one change to the movie: the change shows against `previous` (the
// whole drawing before it), the partial redraw reports an area, and the
// partly redrawn `partial` equals a whole drawing. `previous` then holds the
// new whole drawing for the next change.
inline void ExpectPartialRedrawMatchesWhole(Player& player, raster::Surface& partial, raster::Surface& previous) {
    const std::vector<raster::PixelRect> areas = player.RenderChanges(partial);
    raster::Surface whole(partial.width(), partial.height());
    player.Render(whole);
    EXPECT_GT(DifferentPixels(whole, previous), 0);
    EXPECT_FALSE(areas.empty());
    EXPECT_EQ(DifferentPixels(partial, whole), 0);
    player.Render(previous);
}

}  // namespace swf::test
