// BitmapData's storage: creation, single pixels, whole-area fills, scrolling,
// cloning and disposal, and the clipping helpers the other operations share.

#include "swf/raster/bitmap_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "swf/raster/bitmap_data_internal.h"
#include "swf/raster/color.h"

namespace swf::raster {

using bitmap_detail::ToPremultiplied;
using bitmap_detail::ToStraight;

namespace {

constexpr double kCoordinateLimit = 1 << 28;

// A side of 1..kMaxSide once truncated; NaN fails both comparisons.
bool IsValidSide(double side) { return side >= 1 && side < BitmapData::kMaxSide + 1; }

// The channel table of a colour transform, truncated as everywhere else one applies.
std::array<std::uint8_t, 256> TransformTable(double mult, double add) {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const double out = v * mult + add;
        table[v] = out >= 255 ? 255 : out > 0 ? static_cast<std::uint8_t>(out) : 0;
    }
    return table;
}

}  // namespace

bool ThresholdOperationFromName(std::string_view name, ThresholdOperation* operation) {
    static constexpr std::pair<std::string_view, ThresholdOperation> kNames[] = {
        {"<", ThresholdOperation::Less},    {"<=", ThresholdOperation::LessOrEqual},
        {">", ThresholdOperation::Greater}, {">=", ThresholdOperation::GreaterOrEqual},
        {"==", ThresholdOperation::Equal},  {"!=", ThresholdOperation::NotEqual},
    };
    for (const auto& [text, value] : kNames) {
        if (name == text) {
            *operation = value;
            return true;
        }
    }
    return false;
}

int BitmapCoordinate(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

PixelRect BitmapRect(double x, double y, double width, double height) {
    const int left = BitmapCoordinate(x), top = BitmapCoordinate(y);
    return {left, top, left + std::max(0, BitmapCoordinate(width)), top + std::max(0, BitmapCoordinate(height))};
}

namespace bitmap_detail {

CopyRegion ClipCopy(const PixelRect& sourceRect, int sourceWidth, int sourceHeight, int destX, int destY, int destWidth,
                    int destHeight) {
    // 64-bit throughout: callers may pass any int.
    using I = long long;
    I sx0 = std::max<I>(sourceRect.left, 0), sy0 = std::max<I>(sourceRect.top, 0);
    I sx1 = std::min<I>(sourceRect.right, sourceWidth), sy1 = std::min<I>(sourceRect.bottom, sourceHeight);
    I dx0 = I{destX} + (sx0 - sourceRect.left), dy0 = I{destY} + (sy0 - sourceRect.top);
    // Trim what would land left of or above the destination, then what lands beyond it.
    if (dx0 < 0) sx0 -= dx0, dx0 = 0;
    if (dy0 < 0) sy0 -= dy0, dy0 = 0;
    const I width = std::min(sx1 - sx0, I{destWidth} - dx0);
    const I height = std::min(sy1 - sy0, I{destHeight} - dy0);
    if (width <= 0 || height <= 0) return {};
    return {static_cast<int>(sx0), static_cast<int>(sy0),   static_cast<int>(dx0),
            static_cast<int>(dy0), static_cast<int>(width), static_cast<int>(height)};
}

SourceRows::SourceRows(const Image& source, int x, int y, int width, int height, bool copyAside) {
    const std::uint32_t* first = source.pixels.data() + static_cast<std::size_t>(y) * source.width + x;
    if (!copyAside) {
        first_ = first;
        stride_ = source.width;
        return;
    }
    copy_.resize(static_cast<std::size_t>(width) * height);
    for (int i = 0; i < height; ++i) {
        std::memcpy(copy_.data() + static_cast<std::size_t>(i) * width,
                    first + static_cast<std::size_t>(i) * source.width, static_cast<std::size_t>(width) * 4);
    }
    first_ = copy_.data();
    stride_ = width;
}

}  // namespace bitmap_detail

BitmapData::BitmapData(std::shared_ptr<Image> image, bool transparent)
    : image_(std::move(image)), width_(image_->width), height_(image_->height), transparent_(transparent) {}

std::unique_ptr<BitmapData> BitmapData::Create(double width, double height, bool transparent, std::uint32_t fillColor) {
    if (!IsValidSide(width) || !IsValidSide(height)) return nullptr;
    auto image = std::make_shared<Image>();
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    const std::uint32_t stored = ToPremultiplied(transparent ? fillColor : fillColor | 0xFF000000u);
    image->pixels.assign(static_cast<std::size_t>(image->width) * image->height, stored);
    return std::unique_ptr<BitmapData>(new BitmapData(std::move(image), transparent));
}

std::size_t BitmapData::ByteSizeFor(double width, double height) {
    if (!IsValidSide(width) || !IsValidSide(height)) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

std::size_t BitmapData::ByteSize() const { return disposed() ? 0 : image_->pixels.size() * 4; }

std::uint32_t BitmapData::Stored(std::uint32_t argb) const {
    return ToPremultiplied(transparent_ ? argb : argb | 0xFF000000u);
}

std::uint32_t BitmapData::KeepOpaque(std::uint32_t pixel) const {
    if (transparent_ || pixel >> 24 == 255) return pixel;
    return ToStraight(pixel) | 0xFF000000u;
}

std::uint32_t BitmapData::GetPixel(int x, int y) const { return GetPixel32(x, y) & 0xFFFFFFu; }

std::uint32_t BitmapData::GetPixel32(int x, int y) const {
    if (disposed() || !Contains(x, y)) return 0;
    return ToStraight(Row(y)[x]);
}

void BitmapData::SetPixel(int x, int y, std::uint32_t rgb) {
    if (disposed() || !Contains(x, y)) return;
    std::uint32_t& pixel = Row(y)[x];
    pixel = Stored((pixel & 0xFF000000u) | (rgb & 0xFFFFFFu));
    Changed();
}

void BitmapData::SetPixel32(int x, int y, std::uint32_t argb) {
    if (disposed() || !Contains(x, y)) return;
    Row(y)[x] = Stored(argb);
    Changed();
}

void BitmapData::FillRect(const PixelRect& rect, std::uint32_t argb) {
    if (disposed()) return;
    const bitmap_detail::CopyRegion r =
        bitmap_detail::ClipCopy(rect, width_, height_, rect.left, rect.top, width_, height_);
    if (r.empty()) return;
    const std::uint32_t stored = Stored(argb);
    for (int y = r.destY; y < r.destY + r.height; ++y) std::fill_n(Row(y) + r.destX, r.width, stored);
    Changed();
}

void BitmapData::ApplyColorTransform(const PixelRect& rect, const ColorTransform& t) {
    if (disposed()) return;
    const bitmap_detail::CopyRegion r =
        bitmap_detail::ClipCopy(rect, width_, height_, rect.left, rect.top, width_, height_);
    if (r.empty()) return;
    const auto red = TransformTable(t.redMult, t.redAdd), green = TransformTable(t.greenMult, t.greenAdd);
    const auto blue = TransformTable(t.blueMult, t.blueAdd), alpha = TransformTable(t.alphaMult, t.alphaAdd);
    for (int y = r.destY; y < r.destY + r.height; ++y) {
        std::uint32_t* row = Row(y) + r.destX;
        for (int i = 0; i < r.width; ++i) {
            const std::uint32_t c = ToStraight(row[i]);
            row[i] =
                Stored(PackPixel(alpha[PixelAlpha(c)], red[PixelRed(c)], green[PixelGreen(c)], blue[PixelBlue(c)]));
        }
    }
    Changed();
}

void BitmapData::Scroll(int dx, int dy) {
    if (disposed() || (dx == 0 && dy == 0)) return;
    // What stays inside: destination columns [x0, x0 + count), rows [y0, y1).
    if (std::abs(static_cast<long long>(dx)) >= width_ || std::abs(static_cast<long long>(dy)) >= height_) return;
    const int x0 = std::max(0, dx), count = width_ - std::abs(dx);
    const int y0 = std::max(0, dy), y1 = std::min(height_, height_ + dy);
    // Rows move away from the side they come from first, so none is overwritten before it is read.
    auto moveRow = [&](int y) {
        std::memmove(Row(y) + x0, Row(y - dy) + (x0 - dx), static_cast<std::size_t>(count) * 4);
    };
    if (dy > 0) {
        for (int y = y1 - 1; y >= y0; --y) moveRow(y);
    } else {
        for (int y = y0; y < y1; ++y) moveRow(y);
    }
    Changed();
}

void BitmapData::FloodFill(int x, int y, std::uint32_t argb) {
    if (disposed() || !Contains(x, y)) return;
    const std::uint32_t target = Row(y)[x], fill = Stored(argb);
    if (target == fill) return;
    // Span fill: each popped seed grows into its whole run of the target
    // colour, and the runs touching it above and below become seeds. A pixel
    // is pushed at most once from each vertical neighbour's run, so the stack
    // never holds more than two entries per pixel.
    std::vector<std::uint32_t> seeds{static_cast<std::uint32_t>(y) * width_ + x};
    while (!seeds.empty()) {
        const int sy = static_cast<int>(seeds.back() / width_), sx = static_cast<int>(seeds.back() % width_);
        seeds.pop_back();
        std::uint32_t* row = Row(sy);
        if (row[sx] != target) continue;
        int left = sx, right = sx;
        while (left > 0 && row[left - 1] == target) --left;
        while (right + 1 < width_ && row[right + 1] == target) ++right;
        std::fill(row + left, row + right + 1, fill);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height_) continue;
            const std::uint32_t* next = Row(ny);
            for (int nx = left; nx <= right; ++nx) {
                if (next[nx] == target && (nx == left || next[nx - 1] != target)) {
                    seeds.push_back(static_cast<std::uint32_t>(ny) * width_ + nx);
                }
            }
        }
    }
    Changed();
}

std::unique_ptr<BitmapData> BitmapData::Clone() const {
    if (disposed()) return nullptr;
    auto image = std::make_shared<Image>();
    image->width = width_;
    image->height = height_;
    image->pixels = image_->pixels;
    return std::unique_ptr<BitmapData>(new BitmapData(std::move(image), transparent_));
}

void BitmapData::Dispose() {
    image_.reset();
    width_ = height_ = 0;
}

}  // namespace swf::raster
