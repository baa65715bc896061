// The renderer's layers: objects whose filters or blend mode need what they
// draw kept apart from what is below until it is finished.

#include <algorithm>
#include <cmath>
#include <utility>

#include "swf/player/display/button_instance.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/render/renderer.h"
#include "swf/model/units.h"
#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

raster::Matrix ToRaster(const Matrix& m) { return {m.a, m.b, m.c, m.d, m.tx, m.ty}; }

// How far layers nested inside the object can spread beyond its bounds, in
// movie pixels (the caller scales): the largest chain's margin on any side.
int NestedReach(const DisplayObject& object, int depth) {
    if (depth > 16) return 0;
    int reach = 0;
    const auto visit = [&](const DisplayObject& child) {
        int own = 0;
        const Placement& p = child.GetPlacement();
        if (p.filters != nullptr) {
            own = WidestReach(raster::MarginsOf(*p.filters));
        }
        reach = std::max(reach, std::min(own + NestedReach(child, depth + 1), kMaxEffectReach));
    };
    if (object.Kind() == DisplayKind::MovieClip) {
        for (const auto& [depthKey, child] : static_cast<const MovieClip&>(object).Children()) visit(*child);
    } else if (object.Kind() == DisplayKind::Button) {
        for (const auto& part : static_cast<const ButtonInstance&>(object).Parts()) visit(*part.object);
    }
    return reach;
}

// Restores a value when the scope ends.
template <typename T>
class Restore {
public:
    Restore(T& slot, T value) : slot_(slot), outer_(std::exchange(slot, std::move(value))) {}
    ~Restore() { slot_ = std::move(outer_); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& slot_;
    T outer_;
};

// Whole pixels of a translation, kept well inside int.
int WholePixels(double v) { return static_cast<int>(std::floor(std::clamp(v, -1e9, 1e9))); }

// A kept layer larger than this is drawn afresh each time instead; all of
// them together hold at most kMaxKeptPixels (64 MB).
constexpr long long kMaxKeptLayerPixels = 2048LL * 2048;
constexpr long long kMaxKeptPixels = 4LL * 2048 * 2048;

bool Kept(const Placement& placement) {
    return placement.cacheAsBitmap || (placement.filters != nullptr && !placement.filters->empty());
}

}  // namespace

void Renderer::DrawPlaced(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                          const ColorTransform& colors, const raster::CoverageMask* clip) {
    const Placement& placement = object.GetPlacement();
    const ColorTransform own = colors * placement.colorTransform;
    if (!NeedsLayer(placement) || layerNesting_ >= kMaxLayerNesting) {
        DrawObject(surface, object, toPixels, own, clip);
        return;
    }
    LayerEffects& effects = layerEffects_[layerNesting_];
    PlanLayerEffects(placement, toPixels, MaxFilterPasses(), effects);
    const Restore<std::uint64_t> key(effectKey_, raster::Fingerprint().Add(effectKey_).Add(effects.key).value());
    const Restore<int> nesting(layerNesting_, layerNesting_ + 1);
    if (DamageRecorder* recorder = rasterizer_.Recorder()) {
        if (Kept(placement)) {
            RecordKeptLayer(surface, object, toPixels, own, clip, effects);
            return;
        }
        // Nothing is drawn while recording: what the object draws is noted
        // as spreading as far as its filters take it.
        recorder->PushEffect(effects.key, effects.Reach());
        DrawObject(surface, object, toPixels, own, clip);
        recorder->PopEffect();
        return;
    }
    if (useKept_ && Kept(placement) && DrawKeptLayer(surface, object, toPixels, clip, effects.blendMode)) return;
    DrawLayer(surface, object, toPixels, own, clip, effects);
}

void Renderer::RecordKeptLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                               const ColorTransform& colors, const raster::CoverageMask* clip,
                               const LayerEffects& effects) {
    DamageRecorder& recorder = *rasterizer_.Recorder();
    // Walked in the layer's own pixels: moving by whole pixels changes
    // where the layer goes, not what it holds.
    const int dx = WholePixels(toPixels.tx), dy = WholePixels(toPixels.ty);
    const Matrix shift = Matrix::Translate(-dx, -dy);
    const Matrix local = shift * toPixels;
    recorder.PushEffect(effects.key, effects.Reach(), dx, dy);
    const std::size_t first = recorder.ItemCount();
    {
        const Restore<Matrix> stage(stageToPixels_, shift * stageToPixels_);
        const Restore<int> offsetX(layerOffsetX_, layerOffsetX_ + dx);
        const Restore<int> offsetY(layerOffsetY_, layerOffsetY_ + dy);
        DrawObject(surface, object, local, colors, clip);
    }
    recorder.PopEffect();
    if (keptWalk_.size() <= keptWalkCount_) keptWalk_.resize(keptWalkCount_ + 1);
    KeptLayerWalk& walk = keptWalk_[keptWalkCount_++];
    walk.object = &object;
    raster::Fingerprint content;
    content.Add(recorder.ContentSince(first)).Add(effects.key);
    for (double v : {local.a, local.b, local.c, local.d, local.tx, local.ty}) content.Add(v);
    for (double v :
         {colors.rMult, colors.gMult, colors.bMult, colors.aMult, colors.rAdd, colors.gAdd, colors.bAdd, colors.aAdd})
        content.Add(v);
    walk.key = content.value();
    walk.local = local;
    walk.stageToLocal = shift * stageToPixels_;
    walk.colors = colors;
    walk.effects = effects;
}

void Renderer::EndRecording() {
    recorded_.EndWalk();
    RedrawKeptLayers();
}

void Renderer::RedrawKeptLayers() {
    for (auto& [object, layer] : kept_) layer.met = false;
    long long total = 0;
    // Inner layers were met first: an outer one drawn again puts them in as they are now.
    const Restore<bool> use(useKept_, true);
    const Restore<int> nesting(layerNesting_, 1);
    for (std::size_t i = 0; i < keptWalkCount_; ++i) {
        const KeptLayerWalk& walk = keptWalk_[i];
        const double scale = std::max(std::hypot(walk.local.a, walk.local.b), std::hypot(walk.local.c, walk.local.d));
        const int nested = std::min(static_cast<int>(std::ceil(NestedReach(*walk.object, 0) * scale * kTwipsPerPixel)),
                                    kMaxEffectReach);
        const raster::PixelRect content = Grown(PixelsTouched(LocalBounds(*walk.object), ToRaster(walk.local)),
                                                {nested + 1, nested + 1, nested + 1, nested + 1});
        const raster::PixelRect rect = Grown(content, walk.effects.margins);
        if (rect.empty() || rect.Area() > kMaxKeptLayerPixels || total + rect.Area() > kMaxKeptPixels) {
            kept_.erase(walk.object);  // drawn afresh each time
            continue;
        }
        total += rect.Area();
        KeptLayer& layer = kept_[walk.object];
        layer.met = true;
        if (layer.key == walk.key && layer.local == walk.local && layer.rect == rect) continue;
        if (layer.pixels.width() != rect.width() || layer.pixels.height() != rect.height()) {
            layer.pixels = raster::Surface(rect.width(), rect.height());
        } else {
            layer.pixels.ClearPremultiplied(0);
        }
        const Matrix shift = Matrix::Translate(-rect.left, -rect.top);
        const Restore<Matrix> stage(stageToPixels_, shift * walk.stageToLocal);
        FillLayer(layer.pixels, *walk.object, shift * walk.local, walk.colors, walk.effects,
                  {0, 0, rect.width(), rect.height()});
        layer.key = walk.key;
        layer.local = walk.local;
        layer.rect = rect;
        ++keptRedraws_;
    }
    keptWalkCount_ = 0;
    std::erase_if(kept_, [](const auto& entry) { return !entry.second.met; });
}

bool Renderer::DrawKeptLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                             const raster::CoverageMask* clip, raster::BlendMode mode) {
    const auto& kept = notesOf_ != nullptr ? notesOf_->kept_ : kept_;
    const auto it = kept.find(&object);
    if (it == kept.end()) return false;
    const KeptLayer& layer = it->second;
    const int dx = WholePixels(toPixels.tx), dy = WholePixels(toPixels.ty);
    if (!(Matrix::Translate(-dx, -dy) * toPixels == layer.local)) return false;
    raster::PixelRect visible{0, 0, surface.width(), surface.height()};
    if (const raster::PixelRect* area = rasterizer_.Area()) visible = visible.Intersected(*area);
    const raster::PixelRect placed{layer.rect.left + dx, layer.rect.top + dy, layer.rect.right + dx,
                                   layer.rect.bottom + dy};
    const raster::PixelRect out = visible.Intersected(placed);
    if (!out.empty()) raster::CompositeLayer(layer.pixels, placed.left, placed.top, surface, out, mode, clip);
    return true;
}

void Renderer::DrawLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                         const ColorTransform& colors, const raster::CoverageMask* clip, const LayerEffects& effects) {
    raster::PixelRect visible{0, 0, surface.width(), surface.height()};
    if (const raster::PixelRect* area = rasterizer_.Area()) visible = visible.Intersected(*area);
    // What the object draws, with room for anti-aliasing and for layers inside it.
    const double scale = std::max(std::hypot(toPixels.a, toPixels.b), std::hypot(toPixels.c, toPixels.d));
    const int nested =
        std::min(static_cast<int>(std::ceil(NestedReach(object, 0) * scale * kTwipsPerPixel)), kMaxEffectReach);
    const raster::PixelRect content =
        Grown(PixelsTouched(LocalBounds(object), ToRaster(toPixels)), {nested + 1, nested + 1, nested + 1, nested + 1});
    // The pixels the result can change, and the layer: those, and what the
    // filters read around them where the object draws.
    const raster::PixelRect out = visible.Intersected(Grown(content, effects.margins));
    if (out.empty()) return;
    const raster::PixelRect layerRect = out.United(Grown(out, Mirrored(effects.margins)).Intersected(content));
    std::vector<std::uint32_t>& pixels = layerPixels_[layerNesting_ - 1];
    const std::size_t count = static_cast<std::size_t>(layerRect.width()) * layerRect.height();
    if (pixels.size() < count) pixels.resize(count);
    std::fill_n(pixels.begin(), count, 0u);
    raster::Surface layer(pixels.data(), layerRect.width(), layerRect.height(),
                          static_cast<std::ptrdiff_t>(layerRect.width()) * 4);
    const Matrix shift = Matrix::Translate(-layerRect.left, -layerRect.top);
    {
        const Restore<Matrix> stage(stageToPixels_, shift * stageToPixels_);
        FillLayer(layer, object, shift * toPixels, colors, effects,
                  {out.left - layerRect.left, out.top - layerRect.top, out.right - layerRect.left,
                   out.bottom - layerRect.top});
    }
    raster::CompositeLayer(layer, layerRect.left, layerRect.top, surface, out, effects.blendMode, clip);
}

void Renderer::FillLayer(raster::Surface& layer, const DisplayObject& object, const Matrix& toLayer,
                         const ColorTransform& colors, const LayerEffects& effects, const raster::PixelRect& area) {
    // The object's alpha applies to the finished layer (a group), not to each
    // of its parts; other colour changes go to the parts.
    ColorTransform partColors = colors;
    double groupAlpha = 1;
    if (colors.aAdd == 0) {
        groupAlpha = std::clamp(colors.aMult, 0.0, 1.0);
        partColors.aMult = 1;
    }
    const raster::PixelRect* outerArea = rasterizer_.Area();
    rasterizer_.SetArea(nullptr);
    DrawObject(layer, object, toLayer, partColors, nullptr);
    rasterizer_.SetArea(outerArea);

    // Each filter works where the ones after it will read.
    const raster::PixelRect whole{0, 0, layer.width(), layer.height()};
    for (std::size_t i = 0; i < effects.filters.size(); ++i) {
        raster::PixelRect filtered = area;
        for (std::size_t j = i + 1; j < effects.filters.size(); ++j) {
            filtered = Grown(filtered, Mirrored(raster::MarginsOf(effects.filters[j])));
        }
        raster::ApplyFilter(effects.filters[i], layer, filtered.Intersected(whole), filterScratch_);
    }
    if (groupAlpha < 1) {
        const auto k = static_cast<std::uint32_t>(groupAlpha * 255 + 0.5);
        const raster::PixelRect scaled = area.Intersected(whole);
        for (int y = scaled.top; y < scaled.bottom; ++y) {
            std::uint32_t* row = layer.row(y);
            for (int x = scaled.left; x < scaled.right; ++x) row[x] = raster::ScalePixel(row[x], k);
        }
    }
}

}  // namespace swf
