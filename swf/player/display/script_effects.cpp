#include "swf/player/display/script_effects.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "swf/model/units.h"
#include "swf/player/display/clip_scale_grid.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

// Deeper parents than this are not followed (a guard, not a real limit).
constexpr int kMaxParents = 256;

raster::ColorTransform ToScript(const ColorTransform& c) {
    return {c.rMult, c.gMult, c.bMult, c.aMult, c.rAdd, c.gAdd, c.bAdd, c.aAdd};
}

raster::Matrix ToScript(const Matrix& m) { return {m.a, m.b, m.c, m.d, m.tx / kTwipsPerPixel, m.ty / kTwipsPerPixel}; }

bool Finite(const raster::ColorTransform& c) {
    for (double v : {c.redMult, c.greenMult, c.blueMult, c.alphaMult, c.redAdd, c.greenAdd, c.blueAdd, c.alphaAdd}) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// Transform changes made by script: the timeline stops placing the object.
template <typename Change>
void ChangePlacement(DisplayObject& object, Change change) {
    Placement placement = object.GetPlacement();
    change(placement);
    object.SetPlacement(placement);
    object.Script().detached = true;
}

// Effects set by script stay while the timeline goes on placing the object.
template <typename Change>
void ChangeEffects(DisplayObject& object, Change change) {
    Placement placement = object.GetPlacement();
    change(placement);
    object.SetPlacement(placement);
    object.Script().effectsSet = true;
}

std::optional<ScriptBox> PixelBox(const std::optional<Rect>& r) {
    if (!r) return std::nullopt;
    return ScriptBox{r->xMin / kTwipsPerPixel, r->xMax / kTwipsPerPixel, r->yMin / kTwipsPerPixel,
                     r->yMax / kTwipsPerPixel};
}

// Whole twips, kept well inside what a matrix can carry; an inside-out box is
// empty. False (and *out unchanged) when a side is not finite.
bool TwipsBox(const ScriptBox& box, Rect* out) {
    const auto twips = [](double v) {
        return static_cast<std::int32_t>(std::trunc(std::clamp(v, -1e7, 1e7) * kTwipsPerPixel));
    };
    for (double v : {box.xMin, box.xMax, box.yMin, box.yMax}) {
        if (!std::isfinite(v)) return false;
    }
    *out = Rect{twips(box.xMin), std::max(twips(box.xMin), twips(box.xMax)), twips(box.yMin),
                std::max(twips(box.yMin), twips(box.yMax))};
    return true;
}

}  // namespace

raster::ColorTransform GetScriptColorTransform(const DisplayObject& object) {
    return ToScript(object.GetPlacement().colorTransform);
}

void SetScriptColorTransform(DisplayObject& object, const raster::ColorTransform& c) {
    if (!Finite(c)) return;
    ChangePlacement(object, [&](Placement& p) {
        p.colorTransform = {c.redMult, c.greenMult, c.blueMult, c.alphaMult,
                            c.redAdd,  c.greenAdd,  c.blueAdd,  c.alphaAdd};
    });
}

raster::ColorTransform GetConcatenatedColorTransform(const DisplayObject& object) {
    ColorTransform c = object.GetPlacement().colorTransform;
    int depth = 0;
    for (const MovieClip* p = object.Parent(); p != nullptr && depth < kMaxParents; p = p->Parent(), ++depth)
        c = p->GetPlacement().colorTransform * c;
    return ToScript(c);
}

raster::Matrix GetScriptMatrix(const DisplayObject& object) { return ToScript(object.GetPlacement().matrix); }

void SetScriptMatrix(DisplayObject& object, const raster::Matrix& m) {
    if (!m.IsFinite()) return;
    ChangePlacement(object, [&](Placement& p) {
        p.matrix = {m.a, m.b, m.c, m.d, std::trunc(m.tx * kTwipsPerPixel), std::trunc(m.ty * kTwipsPerPixel)};
    });
    // Scale and rotation are read from the new matrix again.
    object.Script().transformKnown = false;
}

raster::Matrix GetConcatenatedMatrix(const DisplayObject& object) { return ToScript(ToStage(object)); }

void SetScriptFilters(DisplayObject& object, std::vector<raster::Filter> filters) {
    ChangeEffects(object, [&](Placement& p) {
        p.filters = filters.empty() ? nullptr : std::make_shared<const std::vector<raster::Filter>>(std::move(filters));
    });
}

void SetScriptBlendMode(DisplayObject& object, raster::BlendMode mode) {
    ChangeEffects(object, [&](Placement& p) { p.blendMode = mode; });
}

void SetScriptCacheAsBitmap(DisplayObject& object, bool cache) {
    ChangeEffects(object, [&](Placement& p) { p.cacheAsBitmap = cache; });
}

std::optional<ScriptBox> GetScriptScrollRect(const DisplayObject& object) {
    return PixelBox(object.GetPlacement().scrollRect);
}

void SetScriptScrollRect(DisplayObject& object, std::optional<ScriptBox> box) {
    std::optional<Rect> rect;
    if (box && !TwipsBox(*box, &rect.emplace())) return;
    ChangeEffects(object, [&](Placement& p) { p.scrollRect = rect; });
}

std::optional<ScriptBox> GetScriptScale9Grid(const DisplayObject& object) { return PixelBox(ScaleGridRect(object)); }

// A zero-width or inside-out grid is kept as an empty centre.
void SetScriptScale9Grid(DisplayObject& object, std::optional<ScriptBox> box) {
    std::optional<Rect> grid;
    if (box && !TwipsBox(*box, &grid.emplace())) return;
    object.Script().gridSet = true;
    object.Script().grid = grid;
}

std::optional<std::uint32_t> GetScriptOpaqueBackground(const DisplayObject& object) {
    const std::optional<Rgba>& c = object.GetPlacement().opaqueBackground;
    if (!c) return std::nullopt;
    return std::uint32_t{c->r} << 16 | std::uint32_t{c->g} << 8 | c->b;
}

void SetScriptOpaqueBackground(DisplayObject& object, std::optional<std::uint32_t> color) {
    std::optional<Rgba> rgba;
    if (color) {
        rgba = Rgba{static_cast<std::uint8_t>(*color >> 16), static_cast<std::uint8_t>(*color >> 8),
                    static_cast<std::uint8_t>(*color), 255};
    }
    ChangeEffects(object, [&](Placement& p) { p.opaqueBackground = rgba; });
}

}  // namespace swf
