// Large areas drawn as two bands on two threads: the pixels must be exactly
// those one thread draws, for every kind of content, including what straddles
// the rows where the bands meet.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "swf/fonts/device_fonts.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/bitmap.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/morph_shape.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/text.h"
#include "tests/swf/test_pictures.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;

enum Id : std::uint16_t {
    kBall = 1,
    kBars,
    kMorph,
    kBlockFont,
    kDeviceFont,
    kStillText,
    kDeviceText,
    kEmbeddedField,
    kDeviceField,
    kPicture,
    kPictureSquare,
    kMaskShape
};

// The stage is 640 x 480 px; at that size the bands meet at row 240 (y = 4800 twips).
constexpr std::int32_t kMiddle = 4800;

w::PlaceObject At(std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y) {
    w::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(x, y);
    return p;
}

// A system font that is not safe to call from two threads: it notes whether
// two calls ever overlapped, and waits a little in each so that they would.
class OneCallerFonts final : public fonts::DeviceFontProvider {
public:
    std::shared_ptr<const fonts::DeviceGlyph> Glyph(const std::string&, bool, bool, char32_t c) override {
        const Inside inside(*this);
        if (c == ' ') return std::make_shared<fonts::DeviceGlyph>(fonts::DeviceGlyph{{}, 300});
        // A slanted box, narrower for later letters: something to tell glyphs apart by.
        auto glyph = std::make_shared<fonts::DeviceGlyph>();
        const float right = 700.0F - static_cast<float>(c % 16) * 20;
        glyph->edges = {{0, 0, 0, 0, 100, -720, false},
                        {100, -720, 0, 0, right, -720, false},
                        {right, -720, 0, 0, right - 100, 0, false},
                        {right - 100, 0, 0, 0, 0, 0, false}};
        glyph->advance = right + 80;
        return glyph;
    }
    fonts::FaceMetrics Metrics(const std::string&, bool, bool) override {
        const Inside inside(*this);
        return {800, 224, 0};
    }
    bool Overlapped() const { return overlapped_; }

private:
    struct Inside {
        explicit Inside(OneCallerFonts& f) : fonts(f) {
            if (fonts.callers_.fetch_add(1) != 0) fonts.overlapped_ = true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ~Inside() { fonts.callers_.fetch_sub(1); }
        OneCallerFonts& fonts;
    };
    std::atomic<int> callers_{0};
    std::atomic<bool> overlapped_{false};
};

// Everything the renderer draws, each across the middle row: gradients, a
// morph, static text in an embedded and a device font, fields in both, a
// picture, and a clip layer masking a gradient. Frame 2 moves the ball and
// morphs further (a partial redraw of a large area across the middle).
std::vector<std::uint8_t> BandMovie() {
    w::TagStream t;
    t.SetBackgroundColor({250, 245, 235});

    w::ShapeBuilder ball;
    const w::Rect ballBox{-2400, 2400, -1800, 1800};
    ball.Ellipse(0, 0, 2400, 1800,
                 ball.AddFill(w::FillStyle::Radial(
                     ballBox, {{0, {255, 255, 255}}, {160, {40, 120, 220}}, {255, {10, 20, 80, 180}}})),
                 ball.AddLine({60, {0, 0, 0}}));
    t.Add(w::TagCode::DefineShape3, ball.DefineShapeBody(kBall, 3));

    w::ShapeBuilder bars;
    const w::Rect barsBox{0, 12000, 0, 1400};
    bars.Rectangle(barsBox, bars.AddFill(w::FillStyle::Linear(barsBox, 0.4, {{0, {200, 0, 0}}, {255, {0, 160, 0}}})));
    t.Add(w::TagCode::DefineShape3, bars.DefineShapeBody(kBars, 3));

    w::MorphShapeBuilder morph;
    const std::uint16_t morphFill = morph.AddFill(w::MorphFillStyle::Solid({220, 120, 0, 200}, {0, 150, 60, 120}));
    morph.Start().Rectangle({0, 2000, -1000, 1000}, morphFill);
    morph.End().Rectangle({500, 3000, -1500, 700}, morphFill);
    t.Add(w::TagCode::DefineMorphShape, morph.DefineMorphShapeBody(kMorph, 1));

    const w::FontBuilder block = w::MakeBlockFont("Block", 1024);
    t.Add(w::TagCode::DefineFont2, block.DefineFontBody(kBlockFont));
    // A device font: codes and advances, no outlines.
    w::FontBuilder device("_sans", 1024, 800, 224);
    for (char c : std::string("BANDS ")) device.AddGlyph({static_cast<std::uint16_t>(c), {}, 600});
    t.Add(w::TagCode::DefineFont2, device.DefineFontBody(kDeviceFont));
    t.Add(w::TagCode::DefineText,
          w::DefineTextBody(kStillText, block, kBlockFont, {{"BANDS MEET HERE", 0, 200, 600, {20, 20, 20}}}));
    t.Add(w::TagCode::DefineText,
          w::DefineTextBody(kDeviceText, device, kDeviceFont, {{"BANDS", 0, 250, 640, {90, 0, 90}}}));

    w::EditTextField embedded;
    embedded.bounds = {0, 4400, 0, 800};
    embedded.border = true;
    embedded.useOutlines = true;
    embedded.fontId = kBlockFont;
    embedded.fontHeight = 480;
    embedded.textColor = w::Rgba{10, 10, 120};
    embedded.initialText = "SPLIT FIELD";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kEmbeddedField, embedded));
    w::EditTextField deviceField = embedded;
    deviceField.useOutlines = false;
    deviceField.fontId = kDeviceFont;
    deviceField.initialText = "DEVICE TEXT";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kDeviceField, deviceField));

    // ImageMagick's picture (37 x 23 px), shown at 4 times its size.
    t.Add(w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(kPicture, test::ReadPicture("baseline.jpg")));
    w::ShapeBuilder square;
    square.Rectangle({0, 2960, 0, 1840}, square.AddFill(w::FillStyle::Bitmap(
                                             kPicture, w::Matrix::Transform(80, 80, 0, 0, 0), false, true)));
    t.Add(w::TagCode::DefineShape3, square.DefineShapeBody(kPictureSquare, 3));

    w::ShapeBuilder maskShape;
    maskShape.Ellipse(0, 0, 1600, 1200, maskShape.AddFill(w::FillStyle::Solid({0, 0, 0})));
    t.Add(w::TagCode::DefineShape3, maskShape.DefineShapeBody(kMaskShape, 3));

    t.PlaceObject2(At(1, kBars, 300, kMiddle - 700));
    t.PlaceObject2(At(2, kBall, 3000, kMiddle + 10));
    w::PlaceObject morphPlace = At(3, kMorph, 6500, kMiddle);
    morphPlace.ratio = 10000;
    t.PlaceObject2(morphPlace);
    t.PlaceObject2(At(4, kStillText, 500, kMiddle - 400));
    t.PlaceObject2(At(5, kDeviceText, 7600, kMiddle - 450));
    t.PlaceObject2(At(6, kEmbeddedField, 500, kMiddle + 1500 - 1900));
    t.PlaceObject2(At(7, kDeviceField, 5000, kMiddle - 400 + 1200));
    t.PlaceObject2(At(8, kPictureSquare, 9000, kMiddle - 900));
    w::PlaceObject mask = At(9, kMaskShape, 10500, kMiddle + 1600);
    mask.clipDepth = 10;
    t.PlaceObject2(mask);
    t.PlaceObject2(At(10, kBall, 11000, kMiddle + 1300));
    t.ShowFrame();

    w::PlaceObject moved;
    moved.depth = 2;
    moved.move = true;
    moved.hasMatrix = true;
    moved.matrix = w::Matrix::Transform(1.2, 0.9, 0.3, 3600, kMiddle - 300);
    t.PlaceObject2(moved);
    w::PlaceObject ratio;
    ratio.depth = 3;
    ratio.move = true;
    ratio.ratio = 50000;
    t.PlaceObject2(ratio);
    t.ShowFrame();

    w::MovieHeader header;
    header.frameSize = {0, 12800, 0, 9600};
    return w::BuildMovie(header, t);
}

using test::DifferentPixels;

// Pixels of row `y` that are not the background.
int DrawnPixels(const raster::Surface& s, int y) {
    int count = 0;
    for (int x = 0; x < s.width(); ++x) count += s.pixel(x, y) != s.pixel(0, 0);
    return count;
}

TEST(BandedDrawing, TwoBandsDrawExactlyWhatOneThreadDraws) {
    const std::vector<std::uint8_t> movie = BandMovie();
    OneCallerFonts fonts;
    Player one, two;
    one.SetDrawThreads(1);
    two.SetDrawThreads(2);
    for (Player* player : {&one, &two}) {
        player->SetFontProvider(&fonts);
        ASSERT_TRUE(player->Load(movie)) << player->LoadError();
    }

    // Whole frames, at the stage's size and at a size that is not a multiple of two.
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{701, 523}}) {
        raster::Surface expected(width, height);
        one.Render(expected);
        // The last row of the top band and the first of the bottom one.
        ASSERT_GT(DrawnPixels(expected, height / 2 - 1), width / 4) << "the movie should straddle the bands";
        ASSERT_GT(DrawnPixels(expected, height / 2), width / 4);
        raster::Surface banded(width, height);
        // Left over from another frame: every row must be drawn again, the rows where the bands meet too.
        banded.Clear({255, 0, 255, 255});
        const std::uint64_t before = two.BandedAreas();
        two.Render(banded);
        EXPECT_EQ(two.BandedAreas(), before + 1);
        EXPECT_EQ(DifferentPixels(expected, banded), 0) << width << " x " << height;
    }

    // Changed areas: frame 2 moves the ball and morphs further, both across the middle.
    raster::Surface expected(640, 480), banded(640, 480);
    two.RenderChanges(banded);
    one.AdvanceFrame();
    two.AdvanceFrame();
    one.Render(expected);
    const std::uint64_t before = two.BandedAreas();
    const std::vector<raster::PixelRect> areas = two.RenderChanges(banded);
    ASSERT_FALSE(areas.empty());
    EXPECT_LT(areas.front().Area(), 640LL * 480) << "a partial redraw, not a whole one";
    EXPECT_GT(two.BandedAreas(), before);
    EXPECT_EQ(DifferentPixels(expected, banded), 0);

    // The device font saw one call at a time, though both bands drew device text.
    EXPECT_FALSE(fonts.Overlapped());
}

TEST(BandedDrawing, SmallAreasAndOneThreadStayOnTheCallersThread) {
    const std::vector<std::uint8_t> movie = BandMovie();
    Player player;
    ASSERT_TRUE(player.Load(movie));
    raster::Surface small(200, 150);
    player.Render(small);
    EXPECT_EQ(player.BandedAreas(), 0U) << "200 x 150 px is not worth a second thread";
    player.SetDrawThreads(1);
    raster::Surface large(640, 480);
    player.Render(large);
    EXPECT_EQ(player.BandedAreas(), 0U);
    player.SetDrawThreads(2);
    player.Render(large);
    EXPECT_EQ(player.BandedAreas(), 1U);
}

}  // namespace
}  // namespace swf
