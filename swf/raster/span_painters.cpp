#include "swf/raster/span_painters.h"

#include <algorithm>

#include "swf/raster/color.h"
#include "swf/raster/coverage_mask.h"
#include "swf/raster/paint.h"
#include "swf/raster/span_blend.h"
#include "swf/raster/surface.h"

namespace swf::raster {

int ClipSpanCoverage(const CoverageSpan& span, const CoverageMask& clip, int y, std::uint8_t* out) {
    if (y >= clip.height() || span.x >= clip.width()) return 0;
    const int length = std::min(span.length, clip.width() - span.x);
    const std::uint8_t* mask = clip.row(y) + span.x;
    if (span.covers) {
        for (int i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(Mul255(span.covers[i], mask[i]));
    } else {
        for (int i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(Mul255(span.cover, mask[i]));
    }
    return length;
}

namespace {

// A shape's next row usually covers about the same columns as this one: asking
// for those pixels now hides much of the wait for memory behind this row's work.
void PrefetchRow(const std::uint32_t* row, const CoverageSpan* spans, int count) {
#if defined(__GNUC__) || defined(__clang__)
    constexpr int kPixelsPerLine = 16;
    const int begin = spans[0].x, end = spans[count - 1].x + spans[count - 1].length;
    for (int x = begin; x < end; x += kPixelsPerLine) __builtin_prefetch(row + x, 1);
    __builtin_prefetch(row + end - 1, 1);
#else
    (void)row, (void)spans, (void)count;
#endif
}

}  // namespace

SurfacePainter::SurfacePainter(Surface& surface, const Paint& paint, const CoverageMask* clip,
                               std::vector<std::uint32_t>& colorScratch, std::vector<std::uint8_t>& coverScratch,
                               bool reference)
    : surface_(surface),
      paint_(paint),
      clip_(clip),
      colors_(colorScratch),
      covers_(coverScratch),
      reference_(reference) {
    colors_.resize(static_cast<std::size_t>(surface.width()));
    if (clip_) covers_.resize(static_cast<std::size_t>(surface.width()));
}

void SurfacePainter::CoverageRow(int y, const CoverageSpan* spans, int count) {
    std::uint32_t* row = surface_.row(y);
    if (!reference_ && y + 1 < surface_.height()) PrefetchRow(surface_.row(y + 1), spans, count);
    for (int i = 0; i < count; ++i) {
        const CoverageSpan& span = spans[i];
        if (clip_) {
            int length = ClipSpanCoverage(span, *clip_, y, covers_.data());
            if (length > 0) PaintSpan(row + span.x, span.x, y, length, 0, covers_.data());
        } else {
            PaintSpan(row + span.x, span.x, y, span.length, span.cover, span.covers);
        }
    }
}

void SurfacePainter::PaintSpan(std::uint32_t* pixels, int x, int y, int length, std::uint8_t cover,
                               const std::uint8_t* covers) {
    if (reference_) {
        PaintSpanReference(pixels, x, y, length, cover, covers);
        return;
    }
    const bool opaque = paint_.opaque();
    if (paint_.IsSolid()) {
        const std::uint32_t color = paint_.SolidPixel();
        if (color == 0) return;
        if (covers) {
            BlendSolidCovers(pixels, length, color, covers);
        } else if (cover == 255 && opaque) {
            std::fill(pixels, pixels + length, color);
        } else {
            BlendSolidSpan(pixels, length, ScalePixel(color, cover));
        }
        return;
    }
    if (!covers && cover == 255 && opaque) {
        paint_.ShadeSpan(x, y, length, pixels);  // replaces what lies beneath
        return;
    }
    std::uint32_t* colors = colors_.data();
    paint_.ShadeSpan(x, y, length, colors);
    if (covers) {
        BlendColorCovers(pixels, colors, length, covers);
    } else {
        BlendColorSpan(pixels, colors, length, cover);
    }
}

void SurfacePainter::PaintSpanReference(std::uint32_t* pixels, int x, int y, int length, std::uint8_t cover,
                                        const std::uint8_t* covers) {
    const bool opaque = paint_.opaque();
    if (paint_.IsSolid()) {
        const std::uint32_t color = paint_.SolidPixel();
        if (color == 0) return;
        if (!covers) {
            if (cover == 255 && opaque) {
                std::fill(pixels, pixels + length, color);
                return;
            }
            const std::uint32_t source = ScalePixel(color, cover);
            const std::uint32_t keep = 255u - (source >> 24);
            for (int i = 0; i < length; ++i) pixels[i] = source + ScalePixel(pixels[i], keep);
            return;
        }
        for (int i = 0; i < length; ++i) {
            std::uint32_t c = covers[i];
            if (c == 255) {
                pixels[i] = opaque ? color : BlendOver(color, pixels[i]);
            } else if (c != 0) {
                pixels[i] = BlendOver(ScalePixel(color, c), pixels[i]);
            }
        }
        return;
    }

    if (!covers && cover == 255 && opaque) {
        paint_.ShadeSpanReference(x, y, length, pixels);  // replaces what lies beneath
        return;
    }
    std::uint32_t* colors = colors_.data();
    paint_.ShadeSpanReference(x, y, length, colors);
    if (!covers) {
        if (cover == 255) {
            for (int i = 0; i < length; ++i) pixels[i] = BlendOver(colors[i], pixels[i]);
        } else {
            for (int i = 0; i < length; ++i) pixels[i] = BlendOver(ScalePixel(colors[i], cover), pixels[i]);
        }
        return;
    }
    for (int i = 0; i < length; ++i) {
        std::uint32_t c = covers[i];
        if (c == 255) {
            pixels[i] = BlendOver(colors[i], pixels[i]);
        } else if (c != 0) {
            pixels[i] = BlendOver(ScalePixel(colors[i], c), pixels[i]);
        }
    }
}

MaskPainter::MaskPainter(CoverageMask& mask, const CoverageMask* clip, std::vector<std::uint8_t>& coverScratch)
    : mask_(mask), clip_(clip), covers_(coverScratch) {
    covers_.resize(static_cast<std::size_t>(mask.width()));
}

void MaskPainter::CoverageRow(int y, const CoverageSpan* spans, int count) {
    if (y >= mask_.height()) return;
    std::uint8_t* row = mask_.row(y);
    for (int i = 0; i < count; ++i) {
        CoverageSpan span = spans[i];
        if (span.x >= mask_.width()) continue;
        span.length = std::min(span.length, mask_.width() - span.x);
        const std::uint8_t* covers = span.covers;
        if (clip_) {
            span.length = ClipSpanCoverage(span, *clip_, y, covers_.data());
            covers = covers_.data();
        }
        std::uint8_t* out = row + span.x;
        for (int k = 0; k < span.length; ++k) {
            std::uint32_t c = covers ? covers[k] : span.cover;
            out[k] = static_cast<std::uint8_t>(c + Mul255(out[k], 255u - c));
        }
    }
}

}  // namespace swf::raster
