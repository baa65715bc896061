#include "swf/raster/rasterizer.h"

#include <algorithm>
#include <cmath>

#include "swf/raster/flatten.h"
#include "swf/raster/span_painters.h"

namespace swf::raster {

namespace {

// Sends a flattened path straight to the accumulator as edges.
class FillEdgeSink final : public PolylineSink {
public:
    FillEdgeSink(CoverageAccumulator& out, bool closeSubpaths) : out_(out), close_(closeSubpaths) {}

    void BeginSubpath(Point start) override {
        FinishSubpath();
        start_ = current_ = start;
    }
    void LineTo(Point end) override {
        out_.AddLine(current_.x, current_.y, end.x, end.y);
        current_ = end;
    }
    void CloseSubpath() override { LineTo(start_); }
    void FinishSubpath() {
        if (close_) LineTo(start_);
    }

private:
    CoverageAccumulator& out_;
    bool close_;
    Point start_{}, current_{};
};

// Collects a flattened path as polylines and strokes each one when it ends.
class StrokeSink final : public PolylineSink {
public:
    StrokeSink(Stroker& stroker, CoverageAccumulator& out, const StrokeStyle& style, std::vector<Point>& points,
               bool closeSubpaths)
        : stroker_(stroker), out_(out), style_(style), points_(points), close_(closeSubpaths) {
        points_.clear();
    }

    void BeginSubpath(Point start) override {
        finish(close_);
        points_.push_back(start);
    }
    void LineTo(Point end) override {
        if (points_.empty()) points_.push_back(resume_);
        points_.push_back(end);
    }
    void CloseSubpath() override {
        if (points_.empty()) return;
        resume_ = points_.front();  // later edges continue from the start
        finish(true);
    }
    void finish(bool closed) {
        if (points_.empty()) return;
        // A subpath that ends on its start is a closed outline and gets a join there.
        bool endsAtStart =
            points_.size() > 3 && points_.front().x == points_.back().x && points_.front().y == points_.back().y;
        stroker_.StrokePolyline(points_.data(), static_cast<int>(points_.size()), closed || endsAtStart, style_, out_);
        points_.clear();
    }

private:
    Stroker& stroker_;
    CoverageAccumulator& out_;
    const StrokeStyle& style_;
    std::vector<Point>& points_;
    bool close_;
    Point resume_{};
};

}  // namespace

bool Rasterizer::Begin(int width, int height, const DrawOptions& options, double reach) {
    if (options.area == nullptr) {
        accumulator_.Reset(width, height);
        return true;
    }
    const PixelRect area = options.area->Intersected({0, 0, width, height});
    if (area.empty() || pixelPoints_.empty()) return false;
    double minX = pixelPoints_[0].x, maxX = minX, minY = pixelPoints_[0].y, maxY = minY;
    for (const Point& p : pixelPoints_) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Curves stay inside their control points' hull, so the box holds the whole outline.
    if (maxX + reach < area.left || minX - reach > area.right || maxY + reach < area.top ||
        minY - reach > area.bottom) {
        return false;
    }
    accumulator_.Reset(width, height, area);
    return true;
}

bool Rasterizer::AddFill(const Path& path, int width, int height, const DrawOptions& options) {
    if (width <= 0 || height <= 0 || path.empty()) return false;
    if (!TransformPoints(path, options.matrix, pixelPoints_)) return false;
    if (!Begin(width, height, options, 1)) return false;
    FillEdgeSink sink(accumulator_, options.closeSubpaths);
    const CullBox cull{0, 0, static_cast<double>(width), static_cast<double>(height)};
    FlattenPath(path.verbs(), pixelPoints_, &cull, sink);
    sink.FinishSubpath();
    return true;
}

bool Rasterizer::AddStroke(const Path& path, int width, int height, const StrokeStyle& style,
                           const DrawOptions& options) {
    if (width <= 0 || height <= 0 || path.empty()) return false;
    if (!TransformPoints(path, options.matrix, pixelPoints_)) return false;
    // Miters reach out at most miterLimit half-widths; caps and round joins less.
    const double width1 = std::max(style.width, 1.0);
    const double reach = width1 * std::max(style.miterLimit, 2.0) + 2;
    if (!Begin(width, height, options, std::isfinite(reach) ? reach : 1e18)) return false;
    StrokeSink sink(stroker_, accumulator_, style, polyline_, options.closeSubpaths);
    FlattenPath(path.verbs(), pixelPoints_, nullptr, sink);
    sink.finish(options.closeSubpaths);
    return true;
}

void Rasterizer::FillPath(Surface& surface, const Path& path, FillRule rule, const Paint& paint,
                          const DrawOptions& options) {
    if (!AddFill(path, surface.width(), surface.height(), options)) return;
    SurfacePainter painter(surface, paint, options.clip, colorScratch_, coverScratch_, reference_);
    accumulator_.Sweep(rule, painter, reference_);
}

void Rasterizer::StrokePath(Surface& surface, const Path& path, const StrokeStyle& style, const Paint& paint,
                            const DrawOptions& options) {
    if (!AddStroke(path, surface.width(), surface.height(), style, options)) return;
    SurfacePainter painter(surface, paint, options.clip, colorScratch_, coverScratch_, reference_);
    accumulator_.Sweep(FillRule::NonZero, painter, reference_);
}

void Rasterizer::FillMask(CoverageMask& mask, const Path& path, FillRule rule, const DrawOptions& options) {
    if (!AddFill(path, mask.width(), mask.height(), options)) return;
    MaskPainter painter(mask, options.clip, coverScratch_);
    accumulator_.Sweep(rule, painter, reference_);
}

void Rasterizer::StrokeMask(CoverageMask& mask, const Path& path, const StrokeStyle& style,
                            const DrawOptions& options) {
    if (!AddStroke(path, mask.width(), mask.height(), style, options)) return;
    MaskPainter painter(mask, options.clip, coverScratch_);
    accumulator_.Sweep(FillRule::NonZero, painter, reference_);
}

namespace {
Rasterizer& ThreadRasterizer() {
    thread_local Rasterizer rasterizer;
    return rasterizer;
}
}  // namespace

void FillPath(Surface& surface, const Path& path, FillRule rule, const Paint& paint, const DrawOptions& options) {
    ThreadRasterizer().FillPath(surface, path, rule, paint, options);
}

void StrokePath(Surface& surface, const Path& path, const StrokeStyle& style, const Paint& paint,
                const DrawOptions& options) {
    ThreadRasterizer().StrokePath(surface, path, style, paint, options);
}

void FillMask(CoverageMask& mask, const Path& path, FillRule rule, const DrawOptions& options) {
    ThreadRasterizer().FillMask(mask, path, rule, options);
}

void StrokeMask(CoverageMask& mask, const Path& path, const StrokeStyle& style, const DrawOptions& options) {
    ThreadRasterizer().StrokeMask(mask, path, style, options);
}

}  // namespace swf::raster
