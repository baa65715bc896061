#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/coverage_accumulator.h"
#include "swf/raster/coverage_mask.h"
#include "swf/raster/fill_rule.h"
#include "swf/raster/geometry.h"
#include "swf/raster/paint.h"
#include "swf/raster/path.h"
#include "swf/raster/stroke_style.h"
#include "swf/raster/stroker.h"
#include "swf/raster/surface.h"

namespace swf::raster {

// Settings shared by every drawing call.
struct DrawOptions {
    // Applied to the path's points as they are added (path units -> pixels).
    Matrix matrix;
    // When set, coverage is multiplied by this mask (pixels outside it count as 0).
    const CoverageMask* clip = nullptr;
    // When set, only pixels inside this rectangle are written; they come out as
    // they would without it (a partial redraw matches a full one).
    const PixelRect* area = nullptr;
    // Fills: add an edge from the end of each subpath back to its start.
    // Strokes: join each subpath's end to its start instead of capping both.
    bool closeSubpaths = false;
};

// Draws paths with anti-aliasing. Keeps its working memory between calls, so
// keep one per thread and reuse it. Paths with non-finite coordinates (or a
// non-finite matrix) draw nothing; nothing is ever written outside the target.
class Rasterizer {
public:
    void FillPath(Surface& surface, const Path& path, FillRule rule, const Paint& paint,
                  const DrawOptions& options = {});
    // Strokes are outlined and filled with the non-zero rule.
    void StrokePath(Surface& surface, const Path& path, const StrokeStyle& style, const Paint& paint,
                    const DrawOptions& options = {});

    // Add a shape's coverage to a clip mask (union with what it holds).
    void FillMask(CoverageMask& mask, const Path& path, FillRule rule, const DrawOptions& options = {});
    void StrokeMask(CoverageMask& mask, const Path& path, const StrokeStyle& style, const DrawOptions& options = {});

    // Draws through the plain pixel-by-pixel code instead of the fast paths.
    // Both must give the same pixels; tests compare them.
    void SetReferenceMode(bool reference) { reference_ = reference; }

private:
    bool AddFill(const Path& path, int width, int height, const DrawOptions& options);
    bool AddStroke(const Path& path, int width, int height, const StrokeStyle& style, const DrawOptions& options);
    // Starts the accumulator, or returns false when the transformed points,
    // grown by `reach` pixels, cannot touch the area being drawn.
    bool Begin(int width, int height, const DrawOptions& options, double reach);

    CoverageAccumulator accumulator_;
    Stroker stroker_;
    std::vector<Point> pixelPoints_;
    std::vector<Point> polyline_;
    std::vector<std::uint32_t> colorScratch_;
    std::vector<std::uint8_t> coverScratch_;
    bool reference_ = false;
};

// The same operations on a per-thread Rasterizer.
void FillPath(Surface& surface, const Path& path, FillRule rule, const Paint& paint, const DrawOptions& options = {});
void StrokePath(Surface& surface, const Path& path, const StrokeStyle& style, const Paint& paint,
                const DrawOptions& options = {});
void FillMask(CoverageMask& mask, const Path& path, FillRule rule, const DrawOptions& options = {});
void StrokeMask(CoverageMask& mask, const Path& path, const StrokeStyle& style, const DrawOptions& options = {});

}  // namespace swf::raster
