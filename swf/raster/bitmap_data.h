#pragma once
// A bitmap that scripts create and change pixel by pixel, with every pixel
// operation they may apply to it.
//
// Colours cross this interface as straight (not premultiplied) 0xAARRGGBB;
// inside they are kept premultiplied, like every other picture the renderer
// draws, so a colour of low alpha reads back with only the precision its
// alpha leaves: 0x01336699 is stored as alpha 1 with channels 0, 0 and 1
// and reads back as 0x010000FF. An opaque colour reads back exactly, a fully
// transparent one as 0.
//
// Rectangles are clipped to the bitmaps they name; coordinates outside a
// bitmap are ignored by writes and answer 0 to reads. A bitmap made without
// transparency keeps alpha 255 everywhere whatever is written to it. After
// every change the image gets a new serial, so drawings that cache what they
// made of it notice. Once disposed, a bitmap has no pixels: writes do
// nothing, reads answer 0 / false / empty (scripts see -1 for the properties
// and methods that fail; the caller asks disposed()).
//
// Where the source of an operation is the bitmap itself, the operation reads
// the pixels as they were before it began (as if through a copy).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "swf/raster/color_transform.h"
#include "swf/raster/geometry.h"
#include "swf/raster/image.h"

namespace swf::raster {

// Colour channels as scripts number them; noise options or them together.
enum BitmapChannel : std::uint32_t {
    kChannelRed = 1,
    kChannelGreen = 2,
    kChannelBlue = 4,
    kChannelAlpha = 8,
};

enum class ThresholdOperation { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };
// "<", "<=", ">", ">=", "==" and "!="; false (and `operation` untouched) for anything else.
bool ThresholdOperationFromName(std::string_view name, ThresholdOperation* operation);

// A script number as a pixel coordinate or length: truncated towards zero,
// NaN counts as 0 and magnitudes are capped at 2^28, far beyond any bitmap,
// so that sums of a few of them cannot overflow.
int BitmapCoordinate(double value);
// A script rectangle (x, y, width, height) in whole pixels; a negative or NaN
// size makes it empty.
PixelRect BitmapRect(double x, double y, double width, double height);

class BitmapData;

// What compare() answers: code 0 with no difference when the bitmaps are
// equal, code 0 with the difference bitmap when they are not, -3 when the
// widths differ, -4 when the heights differ, -2 when the other bitmap is
// disposed and -1 when this one is.
struct BitmapComparison {
    int code = 0;
    std::unique_ptr<BitmapData> difference;
};

class BitmapData {
public:
    static constexpr int kMaxSide = 2880;
    // More octaves than this add nothing visible (their amplitude is below 1/1000).
    static constexpr int kMaxOctaves = 10;

    // Null unless both sides are 1..kMaxSide after truncation (NaN refused).
    // The bitmap starts filled with `fillColor`.
    static std::unique_ptr<BitmapData> Create(double width, double height, bool transparent = true,
                                              std::uint32_t fillColor = 0xFFFFFFFFu);
    // Bytes the pixels of a width x height bitmap take (0 for a refused size).
    static std::size_t ByteSizeFor(double width, double height);

    BitmapData(const BitmapData&) = delete;
    BitmapData& operator=(const BitmapData&) = delete;

    // 0 once disposed.
    int width() const { return width_; }
    int height() const { return height_; }
    bool transparent() const { return transparent_; }
    bool disposed() const { return image_ == nullptr; }
    PixelRect rect() const { return {0, 0, width_, height_}; }
    // Bytes of pixels held, to count against a memory budget (0 once disposed).
    std::size_t ByteSize() const;
    // The premultiplied pixels, for drawing the bitmap; null once disposed.
    // Changed in place by the operations below (each time with a new serial).
    std::shared_ptr<const Image> image() const { return image_; }

    // --- Single pixels. ---
    // 0xRRGGBB / 0xAARRGGBB straight; 0 outside the bitmap.
    std::uint32_t GetPixel(int x, int y) const;
    std::uint32_t GetPixel32(int x, int y) const;
    // Sets the colour channels and keeps the pixel's alpha (so a pixel of
    // alpha 0 stays transparent black).
    void SetPixel(int x, int y, std::uint32_t rgb);
    void SetPixel32(int x, int y, std::uint32_t argb);

    // --- Whole areas. ---
    void FillRect(const PixelRect& rect, std::uint32_t argb);
    // Each channel of straight colour becomes clamp(c * mult + add, 0, 255), truncated.
    void ApplyColorTransform(const PixelRect& rect, const ColorTransform& transform);
    // Moves the pixels by (dx, dy); those the move uncovers keep their colour.
    void Scroll(int dx, int dy);
    // Fills the 4-connected area of pixels of the colour at (x, y).
    void FloodFill(int x, int y, std::uint32_t argb);
    // A new bitmap with the same size, transparency and pixels (null once disposed).
    std::unique_ptr<BitmapData> Clone() const;
    // Frees the pixels.
    void Dispose();

    // --- Copies from a source (which may be this bitmap). The source
    // rectangle is clipped to the source, and what it lands on (its top-left
    // at destX, destY) to this bitmap. ---
    // Copies the pixels. With `alphaBitmap`, each source alpha is multiplied by
    // the alpha of the alpha bitmap's pixel at (alphaX, alphaY) plus the
    // pixel's offset in sourceRect; pixels whose alpha pixel lies outside the
    // alpha bitmap are not copied. With mergeAlpha the source is drawn over
    // the destination; otherwise it replaces it.
    void CopyPixels(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                    const BitmapData* alphaBitmap = nullptr, int alphaX = 0, int alphaY = 0, bool mergeAlpha = false);
    // Copies one channel of straight colour into another (one BitmapChannel
    // each; any other value copies nothing).
    void CopyChannel(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                     std::uint32_t sourceChannel, std::uint32_t destChannel);
    // Each channel of straight colour becomes (src * mult + dst * (256 - mult)) / 256,
    // rounded down, the multipliers clamped to 0..256.
    void Merge(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY, int redMultiplier,
               int greenMultiplier, int blueMultiplier, int alphaMultiplier);
    // Each pixel becomes the sum (modulo 2^32) of the four tables' entries
    // for its straight channels; a null table gives the channel unchanged.
    void PaletteMap(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                    const std::array<std::uint32_t, 256>* redTable, const std::array<std::uint32_t, 256>* greenTable,
                    const std::array<std::uint32_t, 256>* blueTable, const std::array<std::uint32_t, 256>* alphaTable);
    // Tests (sourcePixel & mask) <op> (threshold & mask) on straight colour:
    // passing pixels become `color`, failing ones take the source pixel when
    // copySource and stay otherwise. Answers how many passed.
    int Threshold(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY,
                  ThresholdOperation operation, std::uint32_t threshold, std::uint32_t color, std::uint32_t mask,
                  bool copySource);
    // Replaces numPixels pixels of the rectangle (clamped to 0..its area) by
    // the source's, or by fillColor when the source is this bitmap, in a
    // pseudo-random order fixed by the rectangle's size and the seed. Answers
    // the seed that continues the order: calls that pass on the answer visit
    // every pixel of the rectangle exactly once before any comes again.
    int PixelDissolve(const BitmapData& source, const PixelRect& sourceRect, int destX, int destY, int randomSeed,
                      long long numPixels, std::uint32_t fillColor);
    // The default numPixels: 1/30 of the rectangle's area.
    static long long DefaultDissolvePixels(const PixelRect& sourceRect);

    // --- Generated pictures (whole bitmap; same seed, same picture). ---
    // Every selected channel a random value in low..high (clamped to 0..255);
    // unselected colour channels 0, alpha 255 unless selected. grayScale
    // gives red, green and blue one value.
    void Noise(int randomSeed, int low = 0, int high = 255, std::uint32_t channelOptions = 7, bool grayScale = false);
    // Gradient noise summed over octaves (at most kMaxOctaves), each of twice
    // the frequency and half the amplitude of the one before; baseX / baseY is
    // the first octave's wavelength in pixels. fractalNoise sums signed noise
    // (mid-grey on average), otherwise its magnitude (turbulence). stitch
    // makes the picture tile seamlessly; offsets[i] shifts octave i (in pixels).
    void PerlinNoise(double baseX, double baseY, int numOctaves, int randomSeed, bool stitch, bool fractalNoise,
                     std::uint32_t channelOptions = 7, bool grayScale = false, const std::vector<Point>& offsets = {});

    // --- Questions. ---
    // The smallest rectangle holding every pixel whose (straight colour & mask)
    // equals `color` (findColor) or differs from it (!findColor); empty (0, 0, 0, 0) when none.
    PixelRect GetColorBoundsRect(std::uint32_t mask, std::uint32_t color, bool findColor = true) const;
    // Hit tests with this bitmap's top-left at (x, y): a pixel counts when
    // its alpha is at least the threshold; a bitmap without transparency
    // counts everywhere. The point and rectangle are in the same space as (x, y).
    bool HitTestPoint(int x, int y, int alphaThreshold, int pointX, int pointY) const;
    bool HitTestRect(int x, int y, int alphaThreshold, const PixelRect& rect) const;
    bool HitTestBitmap(int x, int y, int alphaThreshold, const BitmapData& other, int otherX, int otherY,
                       int otherAlphaThreshold = 1) const;
    // Pixel by pixel on straight colour: where red, green or blue differ the
    // difference pixel is 0xFF with each channel (this - other) & 0xFF;
    // where only alpha differs, (alpha difference & 0xFF) << 24 | 0xFFFFFF;
    // elsewhere 0.
    BitmapComparison Compare(const BitmapData& other) const;

private:
    BitmapData(std::shared_ptr<Image> image, bool transparent);

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint32_t* Row(int y) { return image_->pixels.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* Row(int y) const { return image_->pixels.data() + static_cast<std::size_t>(y) * width_; }
    // The stored (premultiplied) form of a straight colour, opaque when this bitmap must be.
    std::uint32_t Stored(std::uint32_t argb) const;
    // A premultiplied pixel as this bitmap may hold it.
    std::uint32_t KeepOpaque(std::uint32_t pixel) const;
    // Tells caches the pixels changed.
    void Changed() { image_->serial = Image::NewSerial(); }

    std::shared_ptr<Image> image_;
    int width_ = 0;
    int height_ = 0;
    bool transparent_ = true;
};

}  // namespace swf::raster
