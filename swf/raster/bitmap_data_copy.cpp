// BitmapData operations that copy a rectangle of a source bitmap onto this
// one, changing the pixels on the way: copyPixels, copyChannel, merge,
// paletteMap and threshold. All but the plain copy work on straight colour.

#include <algorithm>
#include <array>
#include <optional>

#include "swf/raster/bitmap_data.h"
#include "swf/raster/bitmap_data_internal.h"
#include "swf/raster/color.h"

namespace swf::raster {

using bitmap_detail::ClipCopy;
using bitmap_detail::CopyRegion;
using bitmap_detail::ForEachCopiedRow;
using bitmap_detail::SourceRows;
using bitmap_detail::ToStraight;

namespace {

// Where a channel lies in 0xAARRGGBB; -1 for anything but one channel.
int ChannelShift(std::uint32_t channel) {
    switch (channel) {
    case kChannelRed: return 16;
    case kChannelGreen: return 8;
    case kChannelBlue: return 0;
    case kChannelAlpha: return 24;
    default: return -1;
    }
}

bool Passes(ThresholdOperation op, std::uint32_t value, std::uint32_t threshold) {
    switch (op) {
    case ThresholdOperation::Less: return value < threshold;
    case ThresholdOperation::LessOrEqual: return value <= threshold;
    case ThresholdOperation::Greater: return value > threshold;
    case ThresholdOperation::GreaterOrEqual: return value >= threshold;
    case ThresholdOperation::Equal: return value == threshold;
    case ThresholdOperation::NotEqual: return value != threshold;
    }
    return false;
}

// The table that leaves a channel where it is, for a palette map given none.
std::array<std::uint32_t, 256> IdentityTable(int shift) {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t v = 0; v < 256; ++v) table[v] = v << shift;
    return table;
}

// The merge formula for one channel of straight colour.
std::uint32_t MergeChannel(std::uint32_t src, std::uint32_t dst, std::uint32_t mult) {
    return (src * mult + dst * (256 - mult)) / 256;
}

}  // namespace

void BitmapData::CopyPixels(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                            const BitmapData* alphaBitmap, int alphaX, int alphaY, bool mergeAlpha) {
    if (disposed() || source.disposed() || (alphaBitmap && alphaBitmap->disposed())) return;
    CopyRegion r = ClipCopy(sourceRect, source.width_, source.height_, destX, destY, width_, height_);
    if (r.empty()) return;
    if (!alphaBitmap && !mergeAlpha && transparent_) {
        ForEachCopiedRow(*source.image_, sourceRect, destX, destY, *image_,
                         [](std::uint32_t* dst, const std::uint32_t* src, int n) { std::copy_n(src, n, dst); });
        Changed();
        return;
    }
    // The alpha bitmap's pixel for source pixel (sx, sy) is (alphaX, alphaY) + (sx, sy) - the rectangle's
    // corner; the region shrinks to where that pixel exists.
    long long ax = 0, ay = 0;
    if (alphaBitmap) {
        ax = static_cast<long long>(alphaX) + (r.sourceX - sourceRect.left);
        ay = static_cast<long long>(alphaY) + (r.sourceY - sourceRect.top);
        if (-ax >= r.width || -ay >= r.height || ax >= alphaBitmap->width_ || ay >= alphaBitmap->height_) return;
        if (ax < 0) {
            const int skip = static_cast<int>(-ax);
            r.sourceX += skip, r.destX += skip, r.width -= skip, ax = 0;
        }
        if (ay < 0) {
            const int skip = static_cast<int>(-ay);
            r.sourceY += skip, r.destY += skip, r.height -= skip, ay = 0;
        }
        r.width = std::min(r.width, alphaBitmap->width_ - static_cast<int>(ax));
        r.height = std::min(r.height, alphaBitmap->height_ - static_cast<int>(ay));
    }
    const SourceRows src(*source.image_, r.sourceX, r.sourceY, r.width, r.height, source.image_ == image_);
    std::optional<SourceRows> alpha;
    if (alphaBitmap) {
        alpha.emplace(*alphaBitmap->image_, static_cast<int>(ax), static_cast<int>(ay), r.width, r.height,
                      alphaBitmap->image_ == image_);
    }
    for (int i = 0; i < r.height; ++i) {
        std::uint32_t* dst = Row(r.destY + i) + r.destX;
        const std::uint32_t* s = src.row(i);
        const std::uint32_t* a = alpha ? alpha->row(i) : nullptr;
        for (int x = 0; x < r.width; ++x) {
            // Scaling a premultiplied pixel scales its alpha and keeps its colour.
            const std::uint32_t p = a ? ScalePixel(s[x], a[x] >> 24) : s[x];
            dst[x] = KeepOpaque(mergeAlpha ? BlendOver(p, dst[x]) : p);
        }
    }
    Changed();
}

void BitmapData::CopyChannel(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                             std::uint32_t sourceChannel, std::uint32_t destChannel) {
    const int from = ChannelShift(sourceChannel), to = ChannelShift(destChannel);
    if (disposed() || source.disposed() || from < 0 || to < 0 || (to == 24 && !transparent_)) return;
    const std::uint32_t keep = ~(0xFFu << to);
    const bool changed = ForEachCopiedRow(*source.image_, sourceRect, destX, destY, *image_,
                                          [&](std::uint32_t* dst, const std::uint32_t* src, int n) {
                                              for (int x = 0; x < n; ++x) {
                                                  const std::uint32_t v = (ToStraight(src[x]) >> from) & 0xFFu;
                                                  dst[x] = Stored((ToStraight(dst[x]) & keep) | (v << to));
                                              }
                                          });
    if (changed) Changed();
}

void BitmapData::Merge(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY, int redMultiplier,
                       int greenMultiplier, int blueMultiplier, int alphaMultiplier) {
    if (disposed() || source.disposed()) return;
    auto clampMultiplier = [](int m) { return static_cast<std::uint32_t>(std::clamp(m, 0, 256)); };
    const std::uint32_t rm = clampMultiplier(redMultiplier), gm = clampMultiplier(greenMultiplier);
    const std::uint32_t bm = clampMultiplier(blueMultiplier), am = clampMultiplier(alphaMultiplier);
    const bool changed = ForEachCopiedRow(
        *source.image_, sourceRect, destX, destY, *image_, [&](std::uint32_t* dst, const std::uint32_t* src, int n) {
            for (int x = 0; x < n; ++x) {
                const std::uint32_t s = ToStraight(src[x]), d = ToStraight(dst[x]);
                dst[x] = Stored(PackPixel(
                    MergeChannel(PixelAlpha(s), PixelAlpha(d), am), MergeChannel(PixelRed(s), PixelRed(d), rm),
                    MergeChannel(PixelGreen(s), PixelGreen(d), gm), MergeChannel(PixelBlue(s), PixelBlue(d), bm)));
            }
        });
    if (changed) Changed();
}

void BitmapData::PaletteMap(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                            const std::array<std::uint32_t, 256>* redTable,
                            const std::array<std::uint32_t, 256>* greenTable,
                            const std::array<std::uint32_t, 256>* blueTable,
                            const std::array<std::uint32_t, 256>* alphaTable) {
    if (disposed() || source.disposed()) return;
    static const auto kRed = IdentityTable(16), kGreen = IdentityTable(8), kBlue = IdentityTable(0),
                      kAlpha = IdentityTable(24);
    const auto& red = redTable ? *redTable : kRed;
    const auto& green = greenTable ? *greenTable : kGreen;
    const auto& blue = blueTable ? *blueTable : kBlue;
    const auto& alpha = alphaTable ? *alphaTable : kAlpha;
    const bool changed = ForEachCopiedRow(
        *source.image_, sourceRect, destX, destY, *image_, [&](std::uint32_t* dst, const std::uint32_t* src, int n) {
            for (int x = 0; x < n; ++x) {
                const std::uint32_t s = ToStraight(src[x]);
                dst[x] = Stored(red[PixelRed(s)] + green[PixelGreen(s)] + blue[PixelBlue(s)] + alpha[PixelAlpha(s)]);
            }
        });
    if (changed) Changed();
}

int BitmapData::Threshold(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                          ThresholdOperation operation, std::uint32_t threshold, std::uint32_t color,
                          std::uint32_t mask, bool copySource) {
    if (disposed() || source.disposed()) return 0;
    const std::uint32_t stored = Stored(color), limit = threshold & mask;
    int passed = 0;
    const bool changed = ForEachCopiedRow(*source.image_, sourceRect, destX, destY, *image_,
                                          [&](std::uint32_t* dst, const std::uint32_t* src, int n) {
                                              for (int x = 0; x < n; ++x) {
                                                  if (Passes(operation, ToStraight(src[x]) & mask, limit)) {
                                                      dst[x] = stored;
                                                      ++passed;
                                                  } else if (copySource) {
                                                      dst[x] = KeepOpaque(src[x]);
                                                  }
                                              }
                                          });
    if (changed) Changed();
    return passed;
}

}  // namespace swf::raster
