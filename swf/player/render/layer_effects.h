#pragma once
// What a placement's filters and blend mode come to on the surface being
// drawn: the filters at the object's pixel scale, how far they spread, and a
// fingerprint of it all for change detection.

#include <cstdint>
#include <vector>

#include "swf/model/geometry.h"
#include "swf/player/display/display_object.h"
#include "swf/raster/blend_mode.h"
#include "swf/raster/filters.h"
#include "swf/raster/geometry.h"

namespace swf {

// Filters that would spread further are drawn as if they spread this far:
// a layer stays within a few megapixels whatever a movie asks for.
inline constexpr int kMaxEffectReach = 512;

// How much further than its drawing a layer may touch: its box is worked
// out from bounds that may lie a pixel or two outside what was drawn.
inline constexpr int kLayerBoxSlack = 3;

struct LayerEffects {
    std::vector<raster::Filter> filters;  // scaled to pixels
    raster::FilterMargins margins;        // of the whole chain, each side at most kMaxEffectReach
    raster::BlendMode blendMode = raster::BlendMode::Normal;
    std::uint64_t key = 0;

    // How far the layer can change pixels beyond what its content draws.
    int Reach() const;
};

// True when drawing the object needs a layer of its own.
bool NeedsLayer(const Placement& placement);

// Fills `effects` (reusing its memory) for a placement drawn with
// `toPixels` (twips to pixels): lengths grow with the matrix's scale on each
// axis; directions stay as the movie gives them; blurs take at most `maxPasses`.
void PlanLayerEffects(const Placement& placement, const Matrix& toPixels, int maxPasses, LayerEffects& effects);

// The pixels a filled rectangle can touch under `m`: its corners' box, one
// pixel wider on each side for anti-aliasing. Empty when `m` is not finite.
raster::PixelRect PixelsTouched(const Rect& box, const raster::Matrix& m);

// `rect` grown by the margins (left margin to the left, and so on).
raster::PixelRect Grown(const raster::PixelRect& rect, const raster::FilterMargins& margins);
// The widest side of the margins as a layer spreads (see Capped).
int WidestReach(const raster::FilterMargins& margins);
// What a filter reads to make a pixel lies opposite to where it spreads: a
// shadow cast right and down reads left and up.
raster::FilterMargins Mirrored(const raster::FilterMargins& margins);

}  // namespace swf
