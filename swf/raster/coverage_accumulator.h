#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/fill_rule.h"
#include "swf/raster/geometry.h"

namespace swf::raster {

// A horizontal run of coverage on one row: either one value for the whole
// run (covers == nullptr) or one value per pixel.
struct CoverageSpan {
    int x = 0;
    int length = 0;
    std::uint8_t cover = 0;
    const std::uint8_t* covers = nullptr;
};

// Receives the coverage of a shape row by row, top to bottom, spans left to right.
class CoverageRowSink {
public:
    virtual ~CoverageRowSink() = default;
    virtual void CoverageRow(int y, const CoverageSpan* spans, int count) = 0;
};

// Turns line segments into exact-area anti-aliased coverage.
//
// Each segment is clipped to the target rectangle and walked through the pixel
// cells it crosses in 24.8 fixed point; a cell keeps the signed height the edges
// cross in it (cover) and twice the signed area they leave to their left (area).
// Only touched cells are stored, so the cost follows the outline, not the area.
// A sweep sorts the cells by row and accumulates the cover from left to right,
// giving each pixel its covered fraction in 256 levels. Within a row the cells
// are summed into per-column totals and visited through a bitmap of touched
// columns, which orders them without sorting.
class CoverageAccumulator {
public:
    // Starts a new shape for a target of width x height pixels; keeps the memory.
    void Reset(int width, int height);
    // The same, emitting coverage only inside `area` (clipped to the target).
    // Rows do not depend on each other and winding flows left to right, so the
    // pixels inside come out exactly as without the area.
    void Reset(int width, int height, const PixelRect& area);
    // Adds a directed edge in pixel coordinates. The caller passes finite values
    // of at most about 1e9 in magnitude.
    void AddLine(double x0, double y0, double x1, double y1);
    // Emits the coverage of everything added since reset(). Short runs are
    // folded into the per-pixel spans around them so that painters get long
    // spans. With `reference` set, the cells of each row are sorted instead and
    // every run becomes a span of its own: the same coverage, the plain way.
    void Sweep(FillRule rule, CoverageRowSink& sink, bool reference = false);

private:
    struct Cell {
        std::int32_t x;
        std::int32_t y;
        std::int32_t cover;
        std::int32_t area;
    };

    void AddClippedLine(double x0, double y0, double x1, double y1);
    void AddFixedLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
    void AddRowPiece(std::int32_t row, std::int32_t xa, std::int32_t fya, std::int32_t xb, std::int32_t fyb,
                     std::int32_t sign);
    void AddToCell(std::int32_t x, std::int32_t y, std::int32_t cover, std::int32_t area) {
        if (x != current_.x || y != current_.y) {
            FlushCell();
            current_ = {x, y, 0, 0};
        }
        current_.cover += cover;
        current_.area += area;
        // Keep far from int32 limits when very many edges pile up in one cell;
        // the sweep adds repeated cells together in 64 bits.
        if (current_.area > kAreaFlushLimit || current_.area < -kAreaFlushLimit) FlushCell();
    }
    void FlushCell();
    void SortCellsByRow();
    void ClipSpansToArea();
    void EmitRow(std::int32_t y, Cell* cells, int count, FillRule rule, CoverageRowSink& sink);
    void EmitRowByColumns(std::int32_t y, const Cell* cells, int count, FillRule rule, CoverageRowSink& sink);
    void AppendRun(int x, int length, std::uint8_t alpha);

    static constexpr std::int32_t kAreaFlushLimit = 1 << 29;

    int width_ = 0;
    int height_ = 0;
    PixelRect area_;
    Cell current_{};
    std::vector<Cell> cells_;
    std::vector<Cell> sorted_;
    std::vector<int> rowStarts_;
    std::int32_t minRow_ = 0;
    std::int32_t maxRow_ = -1;
    std::vector<std::uint8_t> rowCovers_;
    // Per-column sums of one row's cells, and which columns have any; all zero between rows.
    std::vector<std::int64_t> columnCover_;
    std::vector<std::int64_t> columnArea_;
    std::vector<std::uint64_t> touchedColumns_;
    std::vector<CoverageSpan> spans_;
};

}  // namespace swf::raster
