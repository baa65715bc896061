#pragma once
// Finds what changed on screen between two frames without help from the code
// that changes things: a recording walk of the renderer notes, for every
// display object, what its drawing calls were given (paths, matrices, paints,
// clipping) and which pixels they can touch. Two frames' notes compared give
// the rectangles to redraw; whatever cannot be shown equal counts as changed.

#include <cstdint>
#include <vector>

#include "swf/raster/raster.h"

namespace swf {

// What one display object drew (onto the surface, or into a clip mask) in a frame.
struct DrawnItem {
    const void* object = nullptr;  // identity, valid while the frame is drawn
    bool mask = false;             // drawn into a clip layer's mask
    std::uint64_t order = 0;       // its place in the drawing order and the clip layers over it
    std::uint64_t content = 0;     // everything its drawing calls were given
    raster::PixelRect bounds;      // the pixels those calls can touch

    bool operator==(const DrawnItem&) const = default;
};

// Collects the items of one frame while the renderer walks it.
class DamageRecorder {
public:
    void Clear();
    // Starts the item of `object`; calls until the matching Leave belong to it
    // (an item entered meanwhile takes the calls until it leaves).
    void Enter(const void* object, bool mask, std::uint64_t order);
    void Leave();
    // One drawing call: `path` in path units mapped by `options.matrix`,
    // drawn with a paint (or into a mask) described by `kind`; the outline may
    // spread `reach` pixels beyond its points (strokes).
    void AddCall(const raster::Path& path, const raster::DrawOptions& options, std::uint64_t kind, double reach);
    // Calls until the matching PopEffect are drawn through a layer effect
    // (filters, a blend mode) described by `key` that spreads what they draw
    // up to `reach` pixels further. Effects nest: keys combine, reaches add.
    // A layer kept as a picture between frames is walked in its own pixels,
    // (dx, dy) from the surface's: its calls' bounds are moved back by that
    // much, their content is not, so a layer that only moves keeps its content.
    void PushEffect(std::uint64_t key, int reach, int dx = 0, int dy = 0);
    void PopEffect();
    // How many items were entered so far, and what those from `first` on
    // drew, summed up (a kept layer's content).
    std::size_t ItemCount() const { return items_.size(); }
    std::uint64_t ContentSince(std::size_t first) const;
    // What the calls of the innermost open item came to so far; false when none is open.
    bool OpenItem(std::uint64_t* content, raster::PixelRect* bounds, bool* drew) const;
    // Gives the innermost open item what an earlier walk's calls came to,
    // in place of making those calls again.
    void Replay(std::uint64_t content, const raster::PixelRect& bounds, bool drew);
    // The frame's items that drew something, in drawing order.
    std::vector<DrawnItem> Take();

private:
    std::vector<DrawnItem> items_;
    std::vector<std::size_t> open_;  // indices of the items entered and not yet left
    std::vector<bool> drew_;
    struct Effect {
        std::uint64_t key = 0;
        int reach = 0;
        int dx = 0;
        int dy = 0;
    };
    std::vector<Effect> effects_;  // the innermost last
};

// Rectangles holding every pixel that differs between a frame drawn from
// `before` and one drawn from `after` (at the same size): the old and new
// bounds of each item that changed, appeared or went away.
std::vector<raster::PixelRect> ChangedAreas(const std::vector<DrawnItem>& before, const std::vector<DrawnItem>& after);

// Joins rectangles that overlap or lie close, then the cheapest pairs until at
// most `maxCount` are left; empty ones are dropped. The result covers the input.
std::vector<raster::PixelRect> MergeAreas(std::vector<raster::PixelRect> areas, std::size_t maxCount);

}  // namespace swf
