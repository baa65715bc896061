#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/coverage_accumulator.h"

namespace swf::raster {

class CoverageMask;
class Paint;
class Surface;

// Composites a paint source-over onto a surface through the coverage it receives,
// multiplied by an optional clip mask. With `reference` set it paints one pixel
// at a time with the plain formulas, which the fast paths must match exactly.
class SurfacePainter final : public CoverageRowSink {
public:
    SurfacePainter(Surface& surface, const Paint& paint, const CoverageMask* clip,
                   std::vector<std::uint32_t>& colorScratch, std::vector<std::uint8_t>& coverScratch,
                   bool reference = false);
    void CoverageRow(int y, const CoverageSpan* spans, int count) override;

private:
    void PaintSpan(std::uint32_t* pixels, int x, int y, int length, std::uint8_t cover, const std::uint8_t* covers);
    void PaintSpanReference(std::uint32_t* pixels, int x, int y, int length, std::uint8_t cover,
                            const std::uint8_t* covers);

    Surface& surface_;
    const Paint& paint_;
    const CoverageMask* clip_;
    std::vector<std::uint32_t>& colors_;
    std::vector<std::uint8_t>& covers_;
    bool reference_;
};

// Adds the coverage it receives to a mask (union: m + c - m * c), multiplied by
// an optional clip mask.
class MaskPainter final : public CoverageRowSink {
public:
    MaskPainter(CoverageMask& mask, const CoverageMask* clip, std::vector<std::uint8_t>& coverScratch);
    void CoverageRow(int y, const CoverageSpan* spans, int count) override;

private:
    CoverageMask& mask_;
    const CoverageMask* clip_;
    std::vector<std::uint8_t>& covers_;
};

// Multiplies a span's coverage by a clip row into `out`; returns the usable
// length (the part of the span that lies inside the clip's width).
int ClipSpanCoverage(const CoverageSpan& span, const CoverageMask& clip, int y, std::uint8_t* out);

}  // namespace swf::raster
