#include "swf/raster/bitmap_data.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace swf::raster {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::unique_ptr<BitmapData> Make(int width, int height, bool transparent = true, std::uint32_t fill = 0) {
    auto bitmap = BitmapData::Create(width, height, transparent, fill);
    EXPECT_NE(bitmap, nullptr);
    return bitmap;
}

// All straight pixels, row by row.
std::vector<std::uint32_t> Pixels(const BitmapData& b) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) out.push_back(b.GetPixel32(x, y));
    return out;
}

// Every pixel a different opaque colour, so moved pixels can be told apart.
std::unique_ptr<BitmapData> Numbered(int width, int height) {
    auto b = Make(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b->SetPixel32(x, y, 0xFF000000u | (x * 16 + 1) << 16 | (y * 16 + 1) << 8 | 7);
    return b;
}

std::uint32_t Channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFFu; }

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// What a straight channel reads back as after being stored premultiplied by
// alpha a (both steps rounded to nearest).
std::uint32_t RoundTrip(std::uint32_t c, std::uint32_t a) {
    if (a == 0) return 0;
    const auto stored = static_cast<std::uint32_t>(std::lround(c * a / 255.0));
    return static_cast<std::uint32_t>(std::lround(stored * 255.0 / a));
}

TEST(BitmapDataCreate, RefusesSizesOutsideOneTo2880AndCountsBytes) {
    for (auto [w, h] : std::vector<std::pair<double, double>>{{0, 1},
                                                              {1, 0},
                                                              {-1, 5},
                                                              {5, -1},
                                                              {2881, 1},
                                                              {1, 2881},
                                                              {0.5, 1},
                                                              {kNaN, 1},
                                                              {1, kNaN},
                                                              {kInf, 1},
                                                              {-kInf, 1},
                                                              {1e300, 1}}) {
        EXPECT_EQ(BitmapData::Create(w, h), nullptr) << w << " x " << h;
        EXPECT_EQ(BitmapData::ByteSizeFor(w, h), 0u) << w << " x " << h;
    }
    auto widest = BitmapData::Create(2880, 1);
    ASSERT_NE(widest, nullptr);
    EXPECT_EQ(widest->ByteSize(), 2880u * 1 * 4);
    auto truncated = BitmapData::Create(3.9, 5.2);
    ASSERT_NE(truncated, nullptr);
    EXPECT_EQ(truncated->width(), 3);
    EXPECT_EQ(truncated->height(), 5);
    EXPECT_EQ(truncated->ByteSize(), 3u * 5 * 4);
    EXPECT_EQ(BitmapData::ByteSizeFor(2880, 2880), 2880u * 2880 * 4);

    auto filled = Make(2, 2, true, 0xFF123456u);
    EXPECT_EQ(filled->GetPixel32(1, 1), 0xFF123456u);
    EXPECT_TRUE(filled->transparent());
    EXPECT_EQ(filled->image()->width, 2);
    EXPECT_EQ(filled->image()->pixels.size(), 4u);
    // Without transparency the fill's alpha is ignored.
    auto opaque = Make(2, 2, false, 0x00123456u);
    EXPECT_EQ(opaque->GetPixel32(0, 0), 0xFF123456u);
}

TEST(BitmapDataPixels, StoredPremultipliedReadBackWithTheirAlphasPrecision) {
    auto b = Make(1, 1);
    for (std::uint32_t a = 0; a < 256; ++a) {
        for (std::uint32_t c : {0u, 1u, 0x33u, 0x80u, 0x99u, 0xFEu, 0xFFu}) {
            b->SetPixel32(0, 0, Argb(a, c, 255 - c, c / 2));
            const std::uint32_t expected =
                a == 0 ? 0 : Argb(a, RoundTrip(c, a), RoundTrip(255 - c, a), RoundTrip(c / 2, a));
            ASSERT_EQ(b->GetPixel32(0, 0), expected) << "alpha " << a << " channel " << c;
            // The image holds the premultiplied form.
            const std::uint32_t p = b->image()->pixels[0];
            ASSERT_EQ(p >> 24, a);
            ASSERT_EQ(Channel(p, 16), static_cast<std::uint32_t>(std::lround(c * a / 255.0)));
        }
    }
    // The example of the header: 0x33, 0x66, 0x99 at alpha 1 keep 0, 0 and 1 (153 / 255 rounds up).
    b->SetPixel32(0, 0, 0x01336699u);
    EXPECT_EQ(b->GetPixel32(0, 0), 0x010000FFu);
    // Opaque colours are exact.
    b->SetPixel32(0, 0, 0xFF3A7B2Cu);
    EXPECT_EQ(b->GetPixel32(0, 0), 0xFF3A7B2Cu);
    EXPECT_EQ(b->GetPixel(0, 0), 0x3A7B2Cu);
}

TEST(BitmapDataPixels, OutsideReadsZeroWritesNothingAndSetPixelKeepsAlpha) {
    auto b = Make(3, 2, true, 0x80FF0000u);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, INT_MAX}}) {
        EXPECT_EQ(b->GetPixel32(x, y), 0u);
        EXPECT_EQ(b->GetPixel(x, y), 0u);
        b->SetPixel32(x, y, 0xFFFFFFFFu);
        b->SetPixel(x, y, 0xFFFFFFu);
    }
    EXPECT_EQ(Pixels(*b), std::vector<std::uint32_t>(6, 0x80FF0000u));

    const std::uint64_t serial = b->image()->serial;
    b->SetPixel(1, 0, 0x00FF00u);  // alpha 0x80 stays; 255 survives any alpha
    EXPECT_EQ(b->GetPixel32(1, 0), 0x8000FF00u);
    EXPECT_NE(b->image()->serial, serial);
    b->SetPixel32(2, 1, 0);
    b->SetPixel(2, 1, 0x123456u);  // no alpha, no colour
    EXPECT_EQ(b->GetPixel32(2, 1), 0u);
    const std::uint64_t afterWrites = b->image()->serial;
    (void)b->GetPixel32(0, 0);
    EXPECT_EQ(b->image()->serial, afterWrites);
}

TEST(BitmapDataPixels, WithoutTransparencyEveryWriteStaysOpaque) {
    auto b = Make(4, 4, false, 0xFF000000u);
    b->SetPixel32(0, 0, 0x10ABCDEFu);
    EXPECT_EQ(b->GetPixel32(0, 0), 0xFFABCDEFu);
    b->FillRect({1, 0, 2, 1}, 0x00112233u);
    EXPECT_EQ(b->GetPixel32(1, 0), 0xFF112233u);

    // A transparent source copied in keeps its straight colour at alpha 255.
    auto source = Make(4, 4, true, 0x80FF0000u);
    b->CopyPixels(*source, {0, 0, 1, 1}, 2, 0);
    EXPECT_EQ(b->GetPixel32(2, 0), 0xFFFF0000u);
    b->CopyChannel(*source, {0, 0, 4, 4}, 0, 0, kChannelRed, kChannelAlpha);
    b->Merge(*source, {0, 0, 4, 4}, 0, 1, 0, 0, 0, 256);
    b->Threshold(*source, {0, 0, 4, 4}, 0, 2, ThresholdOperation::NotEqual, 0, 0x00445566u, 0xFFFFFFFFu, false);
    EXPECT_EQ(b->GetPixel32(0, 2), 0xFF445566u);
    b->PaletteMap(*source, {0, 0, 4, 4}, 0, 3, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(b->GetPixel32(0, 3), 0xFFFF0000u);
    b->ApplyColorTransform(b->rect(), {1, 1, 1, 0, 0, 0, 0, 0});
    b->Noise(3, 0, 255, kChannelRed | kChannelAlpha);
    b->PixelDissolve(*source, {0, 0, 4, 4}, 0, 0, 1, 16, 0);
    b->FloodFill(0, 0, 0);
    for (std::uint32_t p : Pixels(*b)) EXPECT_EQ(p >> 24, 0xFFu);
    b->PerlinNoise(4, 4, 2, 1, false, true, 15);
    for (std::uint32_t p : Pixels(*b)) EXPECT_EQ(p >> 24, 0xFFu);
}

TEST(BitmapDataFill, FillRectClipsToTheBitmap) {
    auto b = Make(5, 5, true, 0xFF0000FFu);
    const std::uint64_t serial = b->image()->serial;
    b->FillRect({-10, 7, 20, 9}, 0xFFFF0000u);  // wholly below
    b->FillRect(BitmapRect(1, 1, kNaN, 3), 0xFFFF0000u);
    b->FillRect(BitmapRect(1, 1, -3, 3), 0xFFFF0000u);
    EXPECT_EQ(b->image()->serial, serial);
    EXPECT_EQ(Pixels(*b), std::vector<std::uint32_t>(25, 0xFF0000FFu));

    b->FillRect(BitmapRect(-2, 3, 4, 1e300), 0xFF00FF00u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(b->GetPixel32(x, y), x < 2 && y >= 3 ? 0xFF00FF00u : 0xFF0000FFu);
    EXPECT_NE(b->image()->serial, serial);
    b->FillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0xFF112233u);
    EXPECT_EQ(Pixels(*b), std::vector<std::uint32_t>(25, 0xFF112233u));
}

TEST(BitmapDataFill, ScriptNumbersBecomeBoundedCoordinates) {
    EXPECT_EQ(BitmapCoordinate(kNaN), 0);
    EXPECT_EQ(BitmapCoordinate(-3.7), -3);
    EXPECT_EQ(BitmapCoordinate(2.9), 2);
    EXPECT_EQ(BitmapCoordinate(1e300), 1 << 28);
    EXPECT_EQ(BitmapCoordinate(-kInf), -(1 << 28));
    EXPECT_EQ(BitmapRect(1, 2, 3, 4), (PixelRect{1, 2, 4, 6}));
    EXPECT_TRUE(BitmapRect(1, 2, -3, 4).empty());
    EXPECT_TRUE(BitmapRect(1, 2, 3, kNaN).empty());
}

TEST(BitmapDataCopy, CopyPixelsClipsMergesAndTakesAlphaFromAnAlphaBitmap) {
    auto source = Numbered(4, 4);
    auto dest = Make(5, 5, true, 0xFF0000FFu);
    // Source rectangle partly outside the source, landing partly outside the destination.
    dest->CopyPixels(*source, {-1, 2, 3, 6}, 3, 1);
    // Source pixel (sx, sy) lands on (sx - (-1) + 3, sy - 2 + 1) = (sx + 4, sy - 1); only sx = 0 lands (x = 4).
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool copied = x == 4 && y >= 1 && y <= 2;
            EXPECT_EQ(dest->GetPixel32(x, y), copied ? source->GetPixel32(0, y + 1) : 0xFF0000FFu) << x << "," << y;
        }

    // mergeAlpha draws over: premultiplied src + dst * (255 - srcAlpha) / 255.
    auto half = Make(1, 1, true, 0x80FF0000u);
    auto over = Make(2, 1, true, 0xFF0000FFu);
    over->CopyPixels(*half, {0, 0, 1, 1}, 0, 0, nullptr, 0, 0, true);
    over->CopyPixels(*half, {0, 0, 1, 1}, 1, 0, nullptr, 0, 0, false);
    const std::uint32_t srcRed = std::lround(255 * 128 / 255.0);  // 128
    const std::uint32_t keptBlue = std::lround(255 * (255 - 128) / 255.0);
    EXPECT_EQ(over->GetPixel32(0, 0), Argb(128 + keptBlue, srcRed, 0, keptBlue));
    EXPECT_EQ(over->GetPixel32(1, 0), 0x80FF0000u);

    // The alpha bitmap's pixel at alphaPoint + offset scales each source alpha;
    // where the alpha bitmap has no pixel nothing is copied.
    auto red = Make(3, 1, true, 0xFFFF0000u);
    auto mask = Make(2, 1, true, 0);
    mask->SetPixel32(1, 0, 0x80FFFFFFu);
    auto target = Make(3, 1, true, 0xFF00FF00u);
    target->CopyPixels(*red, {0, 0, 3, 1}, 0, 0, mask.get(), -1, 0, false);
    EXPECT_EQ(target->GetPixel32(0, 0), 0xFF00FF00u);  // alpha pixel (-1, 0) missing
    EXPECT_EQ(target->GetPixel32(1, 0), 0u);           // alpha 0
    EXPECT_EQ(target->GetPixel32(2, 0), 0x80FF0000u);  // 255 * 0x80 / 255
}

TEST(BitmapDataCopy, ASourceThatIsTheDestinationIsReadAsBeforeTheOperation) {
    const PixelRect rect{0, 0, 5, 4};
    auto through = [&](auto operation) {
        auto self = Numbered(6, 5);
        self->SetPixel32(2, 2, 0x40102030u);
        auto copy = self->Clone();
        auto viaCopy = self->Clone();
        operation(*self, *self);
        operation(*viaCopy, *copy);
        return Pixels(*self) == Pixels(*viaCopy);
    };
    EXPECT_TRUE(through([&](BitmapData& d, BitmapData& s) { d.CopyPixels(s, rect, 1, 1); }));
    EXPECT_TRUE(through([&](BitmapData& d, BitmapData& s) { d.CopyPixels(s, rect, -1, 0); }));
    EXPECT_TRUE(through([&](BitmapData& d, BitmapData& s) { d.CopyPixels(s, rect, 1, 0, &s, 1, 1, true); }));
    EXPECT_TRUE(
        through([&](BitmapData& d, BitmapData& s) { d.CopyChannel(s, rect, 0, 1, kChannelRed, kChannelGreen); }));
    EXPECT_TRUE(through([&](BitmapData& d, BitmapData& s) { d.Merge(s, rect, 1, 1, 100, 30, 256, 128); }));
    EXPECT_TRUE(through([&](BitmapData& d, BitmapData& s) {
        d.Threshold(s, rect, 1, 0, ThresholdOperation::Less, 0xFF300000u, 0xFF00FF00u, 0x00FF0000u, true);
    }));
    std::array<std::uint32_t, 256> swap{};
    for (std::uint32_t i = 0; i < 256; ++i) swap[i] = i;  // red into blue
    EXPECT_TRUE(
        through([&](BitmapData& d, BitmapData& s) { d.PaletteMap(s, rect, 0, 1, &swap, nullptr, nullptr, nullptr); }));

    // And the plain copy moves what was there: row 0 shifted right by one.
    auto self = Numbered(4, 1);
    const auto before = Pixels(*self);
    self->CopyPixels(*self, {0, 0, 4, 1}, 1, 0);
    EXPECT_EQ(Pixels(*self), (std::vector<std::uint32_t>{before[0], before[0], before[1], before[2]}));
}

TEST(BitmapDataCopy, CopyChannelMovesOneChannelOfStraightColour) {
    auto source = Make(3, 1);
    source->SetPixel32(0, 0, 0xFF102030u);
    source->SetPixel32(1, 0, 0xFFA0B0C0u);
    source->SetPixel32(2, 0, 0x80FFFFFFu);
    auto dest = Make(3, 1, true, 0xFF445566u);
    dest->CopyChannel(*source, {0, 0, 3, 1}, 0, 0, kChannelRed, kChannelBlue);
    EXPECT_EQ(dest->GetPixel32(0, 0), 0xFF445510u);
    EXPECT_EQ(dest->GetPixel32(1, 0), 0xFF4455A0u);
    EXPECT_EQ(dest->GetPixel32(2, 0), 0xFF4455FFu);
    dest->CopyChannel(*source, {0, 0, 3, 1}, 0, 0, kChannelAlpha, kChannelGreen);
    EXPECT_EQ(dest->GetPixel32(2, 0), 0xFF4480FFu);
    // Into alpha: the colour is kept as far as the new alpha's precision allows.
    dest->CopyChannel(*source, {2, 0, 3, 1}, 0, 0, kChannelAlpha, kChannelAlpha);
    EXPECT_EQ(dest->GetPixel32(0, 0), Argb(0x80, RoundTrip(0x44, 0x80), RoundTrip(0xFF, 0x80), RoundTrip(0x10, 0x80)));

    // Anything but a single channel copies nothing.
    const auto before = Pixels(*dest);
    for (std::uint32_t bad : {0u, 3u, 16u, 0xFFFFFFFFu}) {
        dest->CopyChannel(*source, {0, 0, 3, 1}, 0, 0, bad, kChannelRed);
        dest->CopyChannel(*source, {0, 0, 3, 1}, 0, 0, kChannelRed, bad);
    }
    EXPECT_EQ(Pixels(*dest), before);
}

TEST(BitmapDataCopy, MergeWeighsEachChannelOutOf256) {
    auto merged = [](std::uint32_t sc, std::uint32_t dc, std::uint32_t m) { return (sc * m + dc * (256 - m)) / 256; };
    // Opaque pixels read back exactly. Red 255 over 0 with weight 1 is 255 / 256, which rounds down to 0.
    auto source = Make(3, 1, true, 0xFFFF64FFu);
    auto dest = Make(3, 1, true, 0xFF004060u);
    const std::uint32_t rm = 1, gm = 0x40, bm = 256, am = 0;
    dest->Merge(*source, {0, 0, 1, 1}, 0, 0, rm, gm, bm, am);
    EXPECT_EQ(merged(0xFF, 0x00, rm), 0u);
    EXPECT_EQ(dest->GetPixel32(0, 0),
              Argb(merged(0xFF, 0xFF, am), merged(0xFF, 0x00, rm), merged(0x64, 0x40, gm), merged(0xFF, 0x60, bm)));
    // Multipliers beyond 0..256 are clamped: -5 keeps the destination, 1000 takes the source.
    dest->Merge(*source, {1, 0, 2, 1}, 1, 0, -5, 1000, -5, 1000);
    EXPECT_EQ(dest->GetPixel32(1, 0), Argb(0xFF, 0x00, 0x64, 0x60));
    // Alpha merges like the colours.
    auto translucent = Make(1, 1, true, 0x80004060u);
    translucent->Merge(*source, {0, 0, 1, 1}, 0, 0, 0, 0, 0, 0x80);
    EXPECT_EQ(translucent->GetPixel32(0, 0) >> 24, merged(0xFF, 0x80, 0x80));
}

TEST(BitmapDataCopy, ThresholdCountsPassingPixelsAndWritesTheColour) {
    auto source = Make(16, 1);
    for (int x = 0; x < 16; ++x) source->SetPixel32(x, 0, Argb(0xFF, x * 16, 0x55, 0xAA));
    const std::uint32_t mask = 0x00FF0000u, threshold = 0x12800000u;  // red vs 0x80; the 0x12 is masked off
    struct Case {
        const char* name;
        int expected;  // red values 0, 16, ..., 240 against 128
    };
    for (const Case& c : {Case{"<", 8}, Case{"<=", 9}, Case{">", 7}, Case{">=", 8}, Case{"==", 1}, Case{"!=", 15}}) {
        ThresholdOperation op{};
        ASSERT_TRUE(ThresholdOperationFromName(c.name, &op));
        auto dest = Make(16, 1, true, 0xFF000000u);
        EXPECT_EQ(dest->Threshold(*source, source->rect(), 0, 0, op, threshold, 0xFF00FF00u, mask, false), c.expected)
            << c.name;
        int written = 0;
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t p = dest->GetPixel32(x, 0);
            EXPECT_TRUE(p == 0xFF00FF00u || p == 0xFF000000u);
            written += p == 0xFF00FF00u;
        }
        EXPECT_EQ(written, c.expected) << c.name;
    }
    // copySource: failing pixels take the source's.
    auto dest = Make(16, 1, true, 0);
    EXPECT_EQ(
        dest->Threshold(*source, source->rect(), 0, 0, ThresholdOperation::Less, threshold, 0xFF00FF00u, mask, true),
        8);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(dest->GetPixel32(x, 0), x < 8 ? 0xFF00FF00u : source->GetPixel32(x, 0));

    ThresholdOperation op = ThresholdOperation::Less;
    for (const char* bad : {"", "=", "=<", "<>", "<<", "== "}) EXPECT_FALSE(ThresholdOperationFromName(bad, &op));
    EXPECT_EQ(op, ThresholdOperation::Less);
}

TEST(BitmapDataCopy, PaletteMapSumsTheFourTablesEntries) {
    auto source = Make(2, 1);
    source->SetPixel32(0, 0, 0xFF102030u);
    source->SetPixel32(1, 0, 0xFFFFFFFFu);
    std::array<std::uint32_t, 256> red{}, green{}, blue{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        red[i] = i << 8;            // red becomes green
        green[i] = 0;               // green disappears
        blue[i] = 0xFF000000u + i;  // blue stays and adds alpha FF...
    }
    auto dest = Make(2, 1, true, 0);
    dest->PaletteMap(*source, source->rect(), 0, 0, &red, &green, &blue, nullptr);
    // ... and the identity alpha table adds the alpha itself: the sum wraps modulo 2^32.
    const std::uint32_t sum0 = (0x10u << 8) + 0 + (0xFF000000u + 0x30u) + (0xFFu << 24);
    EXPECT_EQ(sum0, 0xFE001030u);
    EXPECT_EQ(dest->GetPixel32(0, 0), Argb(0xFE, 0, RoundTrip(0x10, 0xFE), RoundTrip(0x30, 0xFE)));
    const std::uint32_t sum1 = (0xFFu << 8) + (0xFF000000u + 0xFFu) + (0xFFu << 24);
    EXPECT_EQ(sum1, 0xFE00FFFFu);
    EXPECT_EQ(dest->GetPixel32(1, 0), Argb(0xFE, 0, RoundTrip(0xFF, 0xFE), RoundTrip(0xFF, 0xFE)));
    // No tables: unchanged.
    auto copy = Make(2, 1);
    copy->PaletteMap(*source, source->rect(), 0, 0, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Pixels(*copy), Pixels(*source));
}

TEST(BitmapDataArea, ColorTransformChangesOnlyTheRectangle) {
    auto b = Make(3, 1, true, 0xFFC86432u);
    ColorTransform t;
    t.redMult = 0.5;
    t.greenMult = 1.5;
    t.blueAdd = 10.7;
    t.alphaMult = 0.25;
    b->ApplyColorTransform({1, 0, 5, 1}, t);
    EXPECT_EQ(b->GetPixel32(0, 0), 0xFFC86432u);
    // Truncated: 200 * 0.5, 100 * 1.5, 50 + 10.7, 255 * 0.25 = 63.75; then stored at alpha 63.
    const std::uint32_t a = 63;
    EXPECT_EQ(b->GetPixel32(1, 0), Argb(a, RoundTrip(100, a), RoundTrip(150, a), RoundTrip(60, a)));
    t = ColorTransform{};
    t.redAdd = 1000;
    t.greenMult = kNaN;
    b->ApplyColorTransform(b->rect(), t);
    EXPECT_EQ(b->GetPixel32(0, 0), 0xFFFF0032u);
}

TEST(BitmapDataArea, ScrollMovesPixelsAndKeepsTheUncoveredOnes) {
    auto b = Numbered(4, 3);
    const auto before = Pixels(*b);
    auto old = [&](int x, int y) { return before[y * 4 + x]; };
    b->Scroll(1, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b->GetPixel32(x, y), x >= 1 && y >= 1 ? old(x - 1, y - 1) : old(x, y)) << x << "," << y;

    auto c = Numbered(4, 3);
    c->Scroll(-2, -1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(c->GetPixel32(x, y), x < 2 && y < 2 ? old(x + 2, y + 1) : old(x, y)) << x << "," << y;

    auto d = Numbered(4, 3);
    for (auto [dx, dy] : std::vector<std::pair<int, int>>{{4, 0}, {0, -3}, {INT_MIN, 0}, {0, INT_MAX}, {0, 0}}) {
        d->Scroll(dx, dy);
    }
    EXPECT_EQ(Pixels(*d), before);
}

TEST(BitmapDataArea, FloodFillStaysInsideARing) {
    // A 9 x 9 white square with a black ring (the border of the square 2..6).
    auto b = Make(9, 9, true, 0xFFFFFFFFu);
    auto onRing = [](int x, int y) {
        return (x >= 2 && x <= 6 && y >= 2 && y <= 6) && (x == 2 || x == 6 || y == 2 || y == 6);
    };
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if (onRing(x, y)) b->SetPixel32(x, y, 0xFF000000u);
    b->FloodFill(4, 4, 0xFFFF0000u);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool inside = x > 2 && x < 6 && y > 2 && y < 6;
            EXPECT_EQ(b->GetPixel32(x, y), onRing(x, y) ? 0xFF000000u : inside ? 0xFFFF0000u : 0xFFFFFFFFu);
        }
    b->FloodFill(0, 8, 0x800000FFu);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool outside = !onRing(x, y) && !(x > 2 && x < 6 && y > 2 && y < 6);
            if (outside) {
                EXPECT_EQ(b->GetPixel32(x, y), 0x800000FFu);
            }
        }
    // Diagonal neighbours are not connected.
    auto diagonal = Make(2, 2, true, 0xFF000000u);
    diagonal->SetPixel32(1, 0, 0xFFFFFFFFu);
    diagonal->SetPixel32(0, 1, 0xFFFFFFFFu);
    diagonal->FloodFill(0, 0, 0xFF00FF00u);
    EXPECT_EQ(Pixels(*diagonal), (std::vector<std::uint32_t>{0xFF00FF00u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u}));
    diagonal->FloodFill(-1, 0, 0);
    diagonal->FloodFill(2, 0, 0);
}

TEST(BitmapDataArea, FloodFillFollowsAWindingCorridorWithinBoundedMemory) {
    // A serpentine: walls on every other row, each with a gap at alternating ends.
    const int w = 301, h = 301;
    auto b = Make(w, h, true, 0xFFFFFFFFu);
    for (int y = 1; y < h; y += 2) {
        b->FillRect({0, y, w, y + 1}, 0xFF000000u);
        b->SetPixel32((y / 2) % 2 ? 0 : w - 1, y, 0xFFFFFFFFu);
    }
    b->FloodFill(0, 0, 0xFF00FF00u);
    int filled = 0, white = 0;
    for (std::uint32_t p : Pixels(*b)) {
        filled += p == 0xFF00FF00u;
        white += p == 0xFFFFFFFFu;
    }
    EXPECT_EQ(white, 0);
    EXPECT_EQ(filled, ((h + 1) / 2) * w + h / 2);  // the corridor rows and one gap per wall
}

TEST(BitmapDataQuestions, GetColorBoundsRectEnclosesTheMatchingPixels) {
    auto b = Make(10, 10, true, 0xFFFFFFFFu);
    b->FillRect({3, 2, 6, 7}, 0xFF00FF00u);
    b->SetPixel32(4, 4, 0xFF00FE00u);
    EXPECT_EQ(b->GetColorBoundsRect(0xFFFFFFFFu, 0xFF00FF00u, true), (PixelRect{3, 2, 6, 7}));
    EXPECT_EQ(b->GetColorBoundsRect(0xFFFFFFFFu, 0xFF00FE00u, true), (PixelRect{4, 4, 5, 5}));
    EXPECT_EQ(b->GetColorBoundsRect(0xFFFFFFFFu, 0xFFFFFFFFu, false), (PixelRect{3, 2, 6, 7}));
    // Masked to red: every pixel but the blob has red 0xFF.
    EXPECT_EQ(b->GetColorBoundsRect(0x00FF0000u, 0, true), (PixelRect{3, 2, 6, 7}));
    EXPECT_EQ(b->GetColorBoundsRect(0xFF000000u, 0xFF000000u, true), b->rect());
    EXPECT_TRUE(b->GetColorBoundsRect(0xFFFFFFFFu, 0x12345678u, true).empty());
    EXPECT_EQ(b->GetColorBoundsRect(0xFFFFFFFFu, 0x12345678u, true), (PixelRect{}));
}

TEST(BitmapDataQuestions, HitTestsCountPixelsAtOrAboveTheThreshold) {
    auto b = Make(4, 4, true, 0);
    b->SetPixel32(1, 2, 0x80FF0000u);
    // This bitmap's corner at (10, 20): pixel (1, 2) is point (11, 22).
    EXPECT_TRUE(b->HitTestPoint(10, 20, 0x80, 11, 22));
    EXPECT_FALSE(b->HitTestPoint(10, 20, 0x81, 11, 22));
    EXPECT_FALSE(b->HitTestPoint(10, 20, 1, 10, 20));
    EXPECT_TRUE(b->HitTestPoint(10, 20, 0, 10, 20));  // threshold 0: every pixel counts
    EXPECT_FALSE(b->HitTestPoint(10, 20, 0, 14, 20));
    EXPECT_FALSE(b->HitTestPoint(INT_MAX, INT_MAX, 0, INT_MIN, INT_MIN));

    EXPECT_TRUE(b->HitTestRect(10, 20, 1, {11, 22, 12, 23}));
    EXPECT_FALSE(b->HitTestRect(10, 20, 1, {12, 20, 20, 30}));
    EXPECT_TRUE(b->HitTestRect(10, 20, 1, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
    EXPECT_FALSE(b->HitTestRect(10, 20, 0x81, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}));

    auto other = Make(2, 2, true, 0);
    other->SetPixel32(1, 1, 0xFF000000u);
    // other's (1, 1) on b's (1, 2): other's corner at b's (0, 1), i.e. (10, 21).
    EXPECT_TRUE(b->HitTestBitmap(10, 20, 1, *other, 10, 21, 1));
    EXPECT_FALSE(b->HitTestBitmap(10, 20, 1, *other, 11, 21, 1));
    EXPECT_FALSE(b->HitTestBitmap(10, 20, 0x81, *other, 10, 21, 1));
    EXPECT_FALSE(b->HitTestBitmap(10, 20, 1, *other, 100, 100, 1));
    // A bitmap without transparency counts everywhere, whatever the threshold.
    auto opaque = Make(2, 2, false, 0);
    EXPECT_TRUE(b->HitTestBitmap(10, 20, 1, *opaque, 10, 21, 256));
    EXPECT_FALSE(b->HitTestBitmap(10, 20, 1, *opaque, 13, 23, 256));
    EXPECT_TRUE(opaque->HitTestPoint(0, 0, 256, 1, 1));
    EXPECT_TRUE(opaque->HitTestRect(0, 0, 256, {1, 1, 2, 2}));
}

TEST(BitmapDataQuestions, CompareAnswersCodesOrADifferenceBitmap) {
    EXPECT_EQ(Make(3, 2)->Compare(*Make(4, 2)).code, -3);
    EXPECT_EQ(Make(3, 2)->Compare(*Make(3, 3)).code, -4);
    EXPECT_EQ(Make(3, 2)->Compare(*Make(4, 3)).code, -3);
    const BitmapComparison same = Make(3, 2, true, 0xFF123456u)->Compare(*Make(3, 2, true, 0xFF123456u));
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.difference, nullptr);

    auto a = Make(3, 1, true, 0xFF00FF99u);
    auto b = Make(3, 1, true, 0x99AA3366u);
    a->SetPixel32(1, 0, 0xFFFFAA00u);
    b->SetPixel32(1, 0, 0xCCFFAA00u);
    b->SetPixel32(2, 0, 0xFF00FF99u);
    ASSERT_EQ(b->GetPixel32(1, 0), 0xCCFFAA00u);  // its colour survives alpha 0xCC
    const BitmapComparison diff = a->Compare(*b);
    EXPECT_EQ(diff.code, 0);
    ASSERT_NE(diff.difference, nullptr);
    EXPECT_EQ(diff.difference->width(), 3);
    EXPECT_TRUE(diff.difference->transparent());
    // Colours differ: 0xFF then each channel (this - other) & 0xFF of the colours the bitmaps hold.
    const std::uint32_t p = a->GetPixel32(0, 0), q = b->GetPixel32(0, 0);
    auto d = [&](int shift) { return (Channel(p, shift) - Channel(q, shift)) & 0xFFu; };
    EXPECT_EQ(diff.difference->GetPixel32(0, 0), Argb(0xFF, d(16), d(8), d(0)));
    EXPECT_EQ(d(16), (0x00u - 0xAAu) & 0xFFu);
    // Only alpha differs: the alpha difference over white.
    EXPECT_EQ(diff.difference->GetPixel32(1, 0), (0xFFu - 0xCCu) << 24 | 0xFFFFFFu);
    EXPECT_EQ(diff.difference->GetPixel32(2, 0), 0u);
}

TEST(BitmapDataLifetime, CloneIsIndependentAndDisposeMakesEverythingANoOp) {
    auto b = Numbered(3, 2);
    auto clone = b->Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Pixels(*clone), Pixels(*b));
    EXPECT_NE(clone->image()->serial, b->image()->serial);
    EXPECT_NE(clone->image().get(), b->image().get());
    clone->SetPixel32(0, 0, 0);
    EXPECT_NE(b->GetPixel32(0, 0), 0u);
    EXPECT_FALSE(Make(1, 1, false)->Clone()->transparent());

    auto other = Numbered(3, 2);
    b->Dispose();
    EXPECT_TRUE(b->disposed());
    EXPECT_EQ(b->width(), 0);
    EXPECT_EQ(b->ByteSize(), 0u);
    EXPECT_EQ(b->image(), nullptr);
    EXPECT_EQ(b->Clone(), nullptr);
    EXPECT_EQ(b->GetPixel32(0, 0), 0u);
    b->SetPixel32(0, 0, 1);
    b->FillRect({0, 0, 3, 2}, 1);
    b->Scroll(1, 1);
    b->FloodFill(0, 0, 1);
    b->Noise(1);
    b->PerlinNoise(4, 4, 3, 1, true, true);
    b->CopyPixels(*other, other->rect(), 0, 0);
    b->ApplyColorTransform({0, 0, 3, 2}, {});
    EXPECT_EQ(b->Threshold(*other, other->rect(), 0, 0, ThresholdOperation::Equal, 0, 0, 0, true), 0);
    EXPECT_EQ(b->PixelDissolve(*other, other->rect(), 0, 0, 77, 6, 0), 77);
    EXPECT_FALSE(b->HitTestPoint(0, 0, 0, 0, 0));
    EXPECT_TRUE(b->GetColorBoundsRect(0, 0).empty());
    EXPECT_EQ(b->Compare(*other).code, -1);
    EXPECT_EQ(other->Compare(*b).code, -2);
    // A disposed source changes nothing.
    const auto before = Pixels(*other);
    other->CopyPixels(*b, {0, 0, 3, 2}, 0, 0);
    other->Merge(*b, {0, 0, 3, 2}, 0, 0, 256, 256, 256, 256);
    other->CopyPixels(*other, other->rect(), 1, 0, b.get(), 0, 0, false);
    EXPECT_FALSE(other->HitTestBitmap(0, 0, 0, *b, 0, 0));
    EXPECT_EQ(Pixels(*other), before);
    b->Dispose();
}

TEST(BitmapDataNoise, NoiseStaysWithinLowToHighOnTheChosenChannels) {
    auto b = Make(64, 64);
    b->Noise(12345, 20, 30, kChannelRed | kChannelBlue | kChannelAlpha);
    // Alpha is random too, so red reads back as some value of 20..30 stored at that alpha.
    auto readsAsOneOfLowToHigh = [](std::uint32_t c, std::uint32_t a) {
        for (std::uint32_t v = 20; v <= 30; ++v)
            if (RoundTrip(v, a) == c) return true;
        return false;
    };
    for (std::uint32_t p : Pixels(*b)) {
        EXPECT_GE(p >> 24, 20u);
        EXPECT_LE(p >> 24, 30u);
        EXPECT_EQ(Channel(p, 8), 0u);
        EXPECT_TRUE(readsAsOneOfLowToHigh(Channel(p, 16), p >> 24)) << std::hex << p;
        EXPECT_TRUE(readsAsOneOfLowToHigh(Channel(p, 0), p >> 24)) << std::hex << p;
    }
    auto colourOnly = Make(64, 64, true);
    colourOnly->Noise(12345, 20, 30, kChannelRed | kChannelBlue);
    std::set<std::uint32_t> reds;
    for (std::uint32_t p : Pixels(*colourOnly)) {
        EXPECT_EQ(p >> 24, 0xFFu);
        reds.insert(Channel(p, 16));
        EXPECT_GE(Channel(p, 0), 20u);
        EXPECT_LE(Channel(p, 0), 30u);
        EXPECT_EQ(Channel(p, 8), 0u);
    }
    // 4096 draws over 11 values reach every one of them.
    EXPECT_EQ(reds.size(), 11u);
    EXPECT_EQ(*reds.begin(), 20u);
    EXPECT_EQ(*reds.rbegin(), 30u);

    // Same seed, same picture; another seed, another; low > high swapped.
    auto again = Make(64, 64);
    again->Noise(12345, 30, 20, kChannelRed | kChannelBlue);
    EXPECT_EQ(Pixels(*again), Pixels(*colourOnly));
    again->Noise(12346, 20, 30, kChannelRed | kChannelBlue);
    EXPECT_NE(Pixels(*again), Pixels(*colourOnly));

    auto gray = Make(16, 16);
    gray->Noise(-7, -100, 1000, 7, true);
    std::set<std::uint32_t> grays;
    for (std::uint32_t p : Pixels(*gray)) {
        EXPECT_EQ(Channel(p, 16), Channel(p, 8));
        EXPECT_EQ(Channel(p, 8), Channel(p, 0));
        EXPECT_EQ(p >> 24, 0xFFu);
        grays.insert(Channel(p, 0));
    }
    EXPECT_GT(grays.size(), 100u);  // clamped to 0..255, not collapsed
}

TEST(BitmapDataNoise, PixelDissolveReachesEveryPixelExactlyOnceOverChainedCalls) {
    const int w = 7, h = 5, n = w * h;
    auto b = Make(w + 2, h + 2, true, 0xFF000000u);
    const PixelRect rect{1, 1, 1 + w, 1 + h};
    const int perCall = 5;  // seven calls make the 35 pixels
    int seed = 99;
    std::vector<int> picks(static_cast<std::size_t>(n), 0);
    for (int call = 0; call < n / perCall; ++call) {
        const auto before = Pixels(*b);
        const std::uint32_t color = 0xFF000000u | static_cast<std::uint32_t>(call + 1) << 8;
        seed = b->PixelDissolve(*b, rect, 1, 1, seed, perCall, color);
        const auto after = Pixels(*b);
        int changed = 0;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i]) continue;
            ++changed;
            const int x = static_cast<int>(i) % (w + 2) - 1, y = static_cast<int>(i) / (w + 2) - 1;
            ASSERT_TRUE(x >= 0 && x < w && y >= 0 && y < h) << "outside the rectangle";
            EXPECT_EQ(after[i], color);
            ++picks[static_cast<std::size_t>(y * w + x)];
        }
        EXPECT_EQ(changed, perCall) << "call " << call;
    }
    for (int i = 0; i < n; ++i) EXPECT_EQ(picks[static_cast<std::size_t>(i)], 1) << i;

    // From another bitmap the pixels are copied; the answer continues the order.
    auto source = Numbered(w, h);
    auto dest = Make(w, h, true, 0);
    int s = 5;
    for (int i = 0; i < n; ++i) s = dest->PixelDissolve(*source, source->rect(), 0, 0, s, 1, 0);
    EXPECT_EQ(Pixels(*dest), Pixels(*source));
    auto other = Make(w, h, true, 0);
    other->PixelDissolve(*source, source->rect(), 0, 0, 6, 10, 0);
    auto same = Make(w, h, true, 0);
    same->PixelDissolve(*source, source->rect(), 0, 0, 6, 10, 0);
    EXPECT_EQ(Pixels(*other), Pixels(*same));
    EXPECT_EQ(BitmapData::DefaultDissolvePixels({0, 0, 30, 10}), 10);

    // Absurd counts are clamped: none, or the whole rectangle once.
    auto big = Make(2880, 2880, false, 0);
    auto white = Make(2880, 2880, false, 0xFFFFFFFFu);
    big->PixelDissolve(*white, white->rect(), 0, 0, INT_MIN, -5, 0);
    EXPECT_EQ(big->GetPixel32(0, 0), 0xFF000000u);
    big->PixelDissolve(*white, white->rect(), 0, 0, INT_MIN, LLONG_MAX, 0);
    EXPECT_EQ(big->GetColorBoundsRect(0xFFFFFFFFu, 0xFFFFFFFFu, false), PixelRect{});
}

TEST(BitmapDataNoise, PerlinNoiseIsSmoothDeterministicAndZeroOnTheLattice) {
    const int w = 64, h = 48;
    auto a = Make(w, h);
    a->PerlinNoise(16, 16, 2, 7, false, true, 7, true);
    // Gradient noise is 0 on lattice points; with offsets 0 every octave's lattice holds
    // multiples of 16 pixels, so there the fractal picture is (0 + 1) * 127.5, rounded.
    const auto mid = static_cast<std::uint32_t>(std::lround((0 + 1) * 127.5));
    for (int y = 0; y < h; y += 16)
        for (int x = 0; x < w; x += 16) EXPECT_EQ(a->GetPixel(x, y), mid * 0x010101u) << x << "," << y;
    // Smooth: neighbours differ by little; gray: red = green = blue; not flat.
    std::set<std::uint32_t> values;
    double totalStep = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x + 1 < w; ++x) {
            const std::uint32_t p = a->GetPixel32(x, y);
            EXPECT_EQ(p, Argb(0xFF, Channel(p, 0), Channel(p, 0), Channel(p, 0)));
            const int step = std::abs(static_cast<int>(Channel(p, 0)) - static_cast<int>(a->GetPixel(x + 1, y) & 0xFF));
            EXPECT_LE(step, 64);
            totalStep += step;
            values.insert(Channel(p, 0));
        }
    EXPECT_LT(totalStep / (h * (w - 1)), 12.0);  // independent random pixels would average about 85
    EXPECT_GT(values.size(), 40u);

    auto b = Make(w, h);
    b->PerlinNoise(16, 16, 2, 7, false, true, 7, true);
    EXPECT_EQ(Pixels(*a), Pixels(*b));
    b->PerlinNoise(16, 16, 2, 8, false, true, 7, true);
    EXPECT_NE(Pixels(*a), Pixels(*b));

    // Turbulence sums magnitudes: 0 on the lattice, never below.
    b->PerlinNoise(16, 16, 1, 7, false, false, kChannelBlue);
    EXPECT_EQ(b->GetPixel32(16, 32), 0xFF000000u);
    for (std::uint32_t p : Pixels(*b)) EXPECT_EQ(p & 0xFFFFFF00u, 0xFF000000u);  // only blue chosen

    // Octave counts beyond the limit add nothing more; the alpha channel is generated when asked.
    auto many = Make(w, h), ten = Make(w, h);
    many->PerlinNoise(40, 30, 1000000, 3, false, true, 15);
    ten->PerlinNoise(40, 30, BitmapData::kMaxOctaves, 3, false, true, 15);
    EXPECT_EQ(Pixels(*many), Pixels(*ten));
    bool translucent = false;
    for (std::uint32_t p : Pixels(*many)) translucent |= (p >> 24) != 0xFF;
    EXPECT_TRUE(translucent);
}

TEST(BitmapDataNoise, PerlinNoiseStitchesIntoATileAndSurvivesAbsurdArguments) {
    const int w = 40, h = 24;
    // Stitched, the picture repeats every width: shifting every octave by the width changes nothing.
    auto plain = Make(w, h), shifted = Make(w, h);
    const std::vector<Point> byWidth(3, Point{w, 0});
    plain->PerlinNoise(13, 9, 3, 5, true, true, 7);
    shifted->PerlinNoise(13, 9, 3, 5, true, true, 7, false, byWidth);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = plain->GetPixel32(x, y), q = shifted->GetPixel32(x, y);
            for (int shift : {0, 8, 16}) {
                EXPECT_NEAR(Channel(p, shift), Channel(q, shift), 1) << x << "," << y;
            }
        }
    // Not stitched, it does not.
    plain->PerlinNoise(13, 9, 3, 5, false, true, 7);
    shifted->PerlinNoise(13, 9, 3, 5, false, true, 7, false, byWidth);
    EXPECT_NE(Pixels(*plain), Pixels(*shifted));

    // No horizontal wavelength: every row is one colour.
    plain->PerlinNoise(0, 9, 3, 5, false, true, 7);
    for (int y = 0; y < h; ++y)
        for (int x = 1; x < w; ++x) EXPECT_EQ(plain->GetPixel32(x, y), plain->GetPixel32(0, y));
    for (double base : {kNaN, -5.0, 1e-300, 1e300, kInf}) {
        plain->PerlinNoise(base, base, -3, INT_MIN, true, false, 0xFFFFFFFFu, false,
                           {Point{kNaN, kInf}, Point{1e300, -1e300}});
        plain->PerlinNoise(base, 7, 12, INT_MAX, true, true, 15, true, {Point{kNaN, kInf}, Point{1e300, -1e300}});
        plain->PerlinNoise(7, base, 12, 0, false, true, 15, true, {Point{1e300, -1e300}});
    }
}

}  // namespace
}  // namespace swf::raster
