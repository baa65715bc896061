#include "swf/raster/coverage_accumulator.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace swf::raster {

namespace {

constexpr int kSubpixelShift = 8;
constexpr std::int32_t kSubpixels = 1 << kSubpixelShift;
// Coverage of a full pixel in the sweep's units: cover * 2 * 256 - area.
constexpr std::int64_t kFullCoverage = std::int64_t{2} * kSubpixels * kSubpixels;
// Keeps width * 256 inside int32 with room to spare.
constexpr int kMaxDimension = 1 << 22;
// Runs shorter than this join the per-pixel span they touch: painting a few
// pixels more in one long span is cheaper than starting another.
constexpr int kShortRun = 16;

// n / d rounded to nearest, halves away from zero; d > 0.
std::int64_t DivideRounded(std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d); }

std::uint8_t CoverageToAlpha(std::int64_t value, FillRule rule) {
    if (value < 0) value = -value;
    if (rule == FillRule::EvenOdd) {
        value &= 2 * kFullCoverage - 1;
        if (value > kFullCoverage) value = 2 * kFullCoverage - value;
    } else if (value >= kFullCoverage) {
        return 255;
    }
    return static_cast<std::uint8_t>((value * 255 + kFullCoverage / 2) / kFullCoverage);
}

}  // namespace

void CoverageAccumulator::Reset(int width, int height) { Reset(width, height, PixelRect{0, 0, width, height}); }

void CoverageAccumulator::Reset(int width, int height, const PixelRect& area) {
    width_ = std::clamp(width, 0, kMaxDimension);
    height_ = std::clamp(height, 0, kMaxDimension);
    area_ = area.Intersected({0, 0, width_, height_});
    cells_.clear();
    current_ = {INT_MIN, INT_MIN, 0, 0};
    minRow_ = INT_MAX;
    maxRow_ = INT_MIN;
}

void CoverageAccumulator::FlushCell() {
    // Cells right of the area only feed pixels further right; rows outside it are not emitted.
    const bool inArea = current_.y >= area_.top && current_.y < area_.bottom && current_.x < area_.right;
    if (inArea && (current_.cover != 0 || current_.area != 0)) {
        cells_.push_back(current_);
        minRow_ = std::min(minRow_, current_.y);
        maxRow_ = std::max(maxRow_, current_.y);
    }
    current_.cover = 0;
    current_.area = 0;
}

void CoverageAccumulator::AddLine(double x0, double y0, double x1, double y1) {
    const double w = width_, h = height_;
    if (y0 == y1 || width_ == 0 || height_ == 0) return;  // horizontal edges cross no row
    if ((y0 <= 0 && y1 <= 0) || (y0 >= h && y1 >= h)) return;
    if (x0 >= w && x1 >= w) return;  // right of the target: changes no visible winding
    // Wholly above, below or right of the area: every cell it makes would be dropped.
    const double top = area_.top, bottom = area_.bottom, right = area_.right;
    if ((y0 <= top && y1 <= top) || (y0 >= bottom && y1 >= bottom) || (x0 >= right && x1 >= right)) return;

    // Clip to the rows of the target; edges above or below it change nothing inside.
    if (y0 < 0 || y0 > h || y1 < 0 || y1 > h) {
        const double ox = x0, oy = y0, dx = x1 - x0, dy = y1 - y0;
        auto xAt = [&](double y) { return ox + dx * ((y - oy) / dy); };
        if (y0 < 0) {
            x0 = xAt(0), y0 = 0;
        } else if (y0 > h) {
            x0 = xAt(h), y0 = h;
        }
        if (y1 < 0) {
            x1 = xAt(0), y1 = 0;
        } else if (y1 > h) {
            x1 = xAt(h), y1 = h;
        }
    }

    // Split where the edge crosses the left or right border. Parts left of the
    // target keep their vertical extent on x = 0 (they still carry winding to
    // every pixel of their rows); parts right of it are dropped.
    double ts[4] = {0, 0, 0, 1};
    int count = 1;
    const double dx = x1 - x0;
    if (dx != 0) {
        for (double border : {0.0, w}) {
            double t = (border - x0) / dx;
            if (t > 0 && t < 1) ts[count++] = t;
        }
    }
    if (count == 3 && ts[1] > ts[2]) std::swap(ts[1], ts[2]);
    ts[count] = 1;
    const double dy = y1 - y0;
    double px = x0, py = y0;
    for (int i = 1; i <= count; ++i) {
        double t = ts[i];
        double qx = i == count ? x1 : x0 + dx * t;
        double qy = i == count ? y1 : y0 + dy * t;
        double mid = (px + qx) * 0.5;
        if (mid <= 0) {
            AddClippedLine(0, py, 0, qy);
        } else if (mid < w) {
            AddClippedLine(px, py, qx, qy);
        }
        px = qx;
        py = qy;
    }
}

void CoverageAccumulator::AddClippedLine(double x0, double y0, double x1, double y1) {
    const double maxX = static_cast<double>(width_) * kSubpixels;
    const double maxY = static_cast<double>(height_) * kSubpixels;
    // lround without the library call, for values in 0 .. 2^30 (v - whole is exact;
    // v + 0.5 would round up just below one half).
    auto ToFixed = [](double v, double limit) {
        v = std::clamp(v * kSubpixels, 0.0, limit);
        const std::int32_t whole = static_cast<std::int32_t>(v);
        return whole + (v - whole >= 0.5 ? 1 : 0);
    };
    AddFixedLine(ToFixed(x0, maxX), ToFixed(y0, maxY), ToFixed(x1, maxX), ToFixed(y1, maxY));
}

void CoverageAccumulator::AddFixedLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    if (y0 == y1) return;
    std::int32_t sign = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        sign = -1;
    }
    const std::int32_t firstRow = y0 >> kSubpixelShift;
    const std::int32_t lastRow = (y1 - 1) >> kSubpixelShift;

    if (x0 == x1) {
        std::int32_t column = x0 >> kSubpixelShift;
        if (column >= width_) return;
        std::int32_t twiceFx = 2 * (x0 & (kSubpixels - 1));
        for (std::int32_t row = firstRow; row <= lastRow; ++row) {
            std::int32_t rowTop = row << kSubpixelShift;
            std::int32_t height = std::min(y1, rowTop + kSubpixels) - std::max(y0, rowTop);
            AddToCell(column, row, sign * height, sign * twiceFx * height);
        }
        return;
    }

    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    auto xAtY = [&](std::int32_t y) -> std::int32_t {
        if (y == y0) return x0;
        if (y == y1) return x1;
        return static_cast<std::int32_t>(x0 + DivideRounded(dx * (y - y0), dy));
    };
    std::int32_t ya = y0;
    std::int32_t xa = x0;
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        std::int32_t rowTop = row << kSubpixelShift;
        std::int32_t yb = std::min(y1, rowTop + kSubpixels);
        std::int32_t xb = xAtY(yb);
        AddRowPiece(row, xa, ya - rowTop, xb, yb - rowTop, sign);
        ya = yb;
        xa = xb;
    }
}

void CoverageAccumulator::AddRowPiece(std::int32_t row, std::int32_t xa, std::int32_t fya, std::int32_t xb,
                                      std::int32_t fyb, std::int32_t sign) {
    const std::int32_t height = fyb - fya;
    if (height == 0) return;
    if (xa == xb) {
        std::int32_t column = xa >> kSubpixelShift;
        if (column >= width_) return;
        std::int32_t fx = xa - (column << kSubpixelShift);
        AddToCell(column, row, sign * height, sign * 2 * fx * height);
        return;
    }
    // The cells the open interval (xa, xb) passes through, in the edge's direction.
    const bool rightward = xa < xb;
    const std::int32_t firstColumn = rightward ? xa >> kSubpixelShift : (xa - 1) >> kSubpixelShift;
    const std::int32_t lastColumn = rightward ? (xb - 1) >> kSubpixelShift : xb >> kSubpixelShift;
    if (firstColumn == lastColumn) {
        std::int32_t left = firstColumn << kSubpixelShift;
        AddToCell(firstColumn, row, sign * height, sign * ((xa - left) + (xb - left)) * height);
        return;
    }
    const std::int64_t spanX = rightward ? xb - xa : xa - xb;
    const std::int32_t step = rightward ? 1 : -1;
    std::int32_t xs = xa, ys = fya;
    for (std::int32_t column = firstColumn;; column += step) {
        std::int32_t left = column << kSubpixelShift;
        std::int32_t border = rightward ? left + kSubpixels : left;
        bool last = column == lastColumn;
        std::int32_t xe = last ? xb : border;
        std::int32_t ye = last ? fyb
                               : fya + static_cast<std::int32_t>(
                                           DivideRounded(std::int64_t{rightward ? xe - xa : xa - xe} * height, spanX));
        std::int32_t piece = ye - ys;
        if (piece != 0) AddToCell(column, row, sign * piece, sign * ((xs - left) + (xe - left)) * piece);
        if (last) break;
        xs = xe;
        ys = ye;
    }
}

void CoverageAccumulator::SortCellsByRow() {
    const int rows = maxRow_ - minRow_ + 1;
    rowStarts_.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (const Cell& c : cells_) ++rowStarts_[c.y - minRow_ + 1];
    for (int r = 0; r < rows; ++r) rowStarts_[r + 1] += rowStarts_[r];
    sorted_.resize(cells_.size());
    // rowStarts_[r] walks forward while placing, ending where row r + 1 starts;
    // shifting back afterwards restores the starts.
    for (const Cell& c : cells_) sorted_[rowStarts_[c.y - minRow_]++] = c;
    for (int r = rows; r > 0; --r) rowStarts_[r] = rowStarts_[r - 1];
    rowStarts_[0] = 0;
}

void CoverageAccumulator::Sweep(FillRule rule, CoverageRowSink& sink, bool reference) {
    FlushCell();
    current_ = {INT_MIN, INT_MIN, 0, 0};
    if (cells_.empty()) return;
    SortCellsByRow();
    rowCovers_.resize(static_cast<std::size_t>(width_));
    if (!reference && columnCover_.size() < static_cast<std::size_t>(width_)) {
        columnCover_.assign(static_cast<std::size_t>(width_), 0);
        columnArea_.assign(static_cast<std::size_t>(width_), 0);
        touchedColumns_.assign(static_cast<std::size_t>(width_ + 63) / 64, 0);
    }
    const int rows = maxRow_ - minRow_ + 1;
    for (int r = 0; r < rows; ++r) {
        int begin = rowStarts_[r], end = rowStarts_[r + 1];
        if (begin == end) continue;
        Cell* cells = sorted_.data() + begin;
        int count = end - begin;
        if (!reference) {
            EmitRowByColumns(minRow_ + r, cells, count, rule, sink);
            continue;
        }
        if (count < 24) {
            for (int i = 1; i < count; ++i) {
                Cell c = cells[i];
                int j = i;
                while (j > 0 && cells[j - 1].x > c.x) {
                    cells[j] = cells[j - 1];
                    --j;
                }
                cells[j] = c;
            }
        } else {
            std::sort(cells, cells + count, [](const Cell& a, const Cell& b) { return a.x < b.x; });
        }
        EmitRow(minRow_ + r, cells, count, rule, sink);
    }
    cells_.clear();
}

void CoverageAccumulator::EmitRow(std::int32_t y, Cell* cells, int count, FillRule rule, CoverageRowSink& sink) {
    spans_.clear();
    std::int64_t winding = 0;  // cover accumulated from the cells to the left
    int i = 0;
    while (i < count) {
        const std::int32_t x = cells[i].x;
        std::int64_t cover = 0, area = 0;
        for (; i < count && cells[i].x == x; ++i) {
            cover += cells[i].cover;
            area += cells[i].area;
        }
        std::uint8_t alpha = CoverageToAlpha((winding + cover) * 2 * kSubpixels - area, rule);
        winding += cover;
        if (alpha != 0) {
            rowCovers_[x] = alpha;
            CoverageSpan* previous = spans_.empty() ? nullptr : &spans_.back();
            if (previous && previous->covers && previous->x + previous->length == x) {
                ++previous->length;
            } else {
                spans_.push_back({x, 1, 0, &rowCovers_[x]});
            }
        }
        const std::int32_t next = i < count ? cells[i].x : width_;
        if (winding != 0 && next > x + 1) {
            std::uint8_t runAlpha = CoverageToAlpha(winding * 2 * kSubpixels, rule);
            if (runAlpha != 0) spans_.push_back({x + 1, next - x - 1, runAlpha, nullptr});
        }
    }
    if (area_.left > 0 || area_.right < width_) ClipSpansToArea();
    if (!spans_.empty()) sink.CoverageRow(y, spans_.data(), static_cast<int>(spans_.size()));
}

void CoverageAccumulator::EmitRowByColumns(std::int32_t y, const Cell* cells, int count, FillRule rule,
                                           CoverageRowSink& sink) {
    std::int32_t minX = INT_MAX, maxX = INT_MIN;
    for (int i = 0; i < count; ++i) {
        const Cell& c = cells[i];
        columnCover_[c.x] += c.cover;
        columnArea_[c.x] += c.area;
        touchedColumns_[c.x >> 6] |= std::uint64_t{1} << (c.x & 63);
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
    }
    spans_.clear();
    std::int64_t winding = 0;  // cover accumulated from the columns to the left
    int end = minX;            // first pixel not yet emitted
    for (int word = minX >> 6; word <= maxX >> 6; ++word) {
        std::uint64_t bits = touchedColumns_[word];
        touchedColumns_[word] = 0;
        for (; bits != 0; bits &= bits - 1) {
            const int x = word * 64 + std::countr_zero(bits);
            const std::int64_t cover = columnCover_[x], area = columnArea_[x];
            columnCover_[x] = 0;
            columnArea_[x] = 0;
            if (x > end && winding != 0) AppendRun(end, x - end, CoverageToAlpha(winding * 2 * kSubpixels, rule));
            AppendRun(x, 1, CoverageToAlpha((winding + cover) * 2 * kSubpixels - area, rule));
            winding += cover;
            end = x + 1;
        }
    }
    if (end < width_ && winding != 0) AppendRun(end, width_ - end, CoverageToAlpha(winding * 2 * kSubpixels, rule));
    if (area_.left > 0 || area_.right < width_) ClipSpansToArea();
    if (!spans_.empty()) sink.CoverageRow(y, spans_.data(), static_cast<int>(spans_.size()));
}

void CoverageAccumulator::AppendRun(int x, int length, std::uint8_t alpha) {
    CoverageSpan* last = spans_.empty() ? nullptr : &spans_.back();
    const bool joins = last != nullptr && last->covers != nullptr && last->x + last->length == x;
    if (length < kShortRun && (joins || alpha != 0)) {
        // Zero coverage inside a per-pixel span paints nothing, like a gap.
        if (length == 1) {
            rowCovers_[x] = alpha;
        } else {
            std::memset(rowCovers_.data() + x, alpha, static_cast<std::size_t>(length));
        }
        if (joins) {
            last->length += length;
        } else {
            spans_.push_back({x, length, 0, rowCovers_.data() + x});
        }
    } else if (alpha != 0) {
        spans_.push_back({x, length, alpha, nullptr});
    }
}

void CoverageAccumulator::ClipSpansToArea() {
    std::size_t kept = 0;
    for (CoverageSpan span : spans_) {
        const int begin = std::max(span.x, area_.left);
        const int end = std::min(span.x + span.length, area_.right);
        if (begin >= end) continue;
        if (span.covers != nullptr) span.covers += begin - span.x;
        span.x = begin;
        span.length = end - begin;
        spans_[kept++] = span;
    }
    spans_.resize(kept);
}

}  // namespace swf::raster
