// Filters and blend modes from PlaceObject3, drawn: pixels worked out from
// the format's definitions, the spread of a shadow in partial redraws, and
// the two drawing bands.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// A drop shadow's FILTERLIST as the file format lays it out: colour, blur x
// and y (16.16), angle (radians, 16.16), distance (16.16), strength (8.8),
// then inner / knockout / composite-source bits and five bits of passes.
std::vector<std::uint8_t> DropShadowList(double blur, double angle, double distance, int passes) {
    w::BitWriter b;
    b.U8(1);  // one filter
    b.U8(0);  // drop shadow
    for (std::uint8_t v : {0, 0, 0, 255}) b.U8(v);
    b.Fixed16(blur);
    b.Fixed16(blur);
    b.Fixed16(angle);
    b.Fixed16(distance);
    b.Fixed8(1);
    b.U8(static_cast<std::uint8_t>(0x20 | passes));
    return b.bytes();
}

w::PlaceObject Place(std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y) {
    w::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(x, y);
    return p;
}

// A 200 x 100 px stage on (100, 150, 200): a blue 40 px square at (20, 20)
// with a hard black shadow 10 px down and to the right (blur 0), a red 40 px
// square at (120, 20) in multiply mode, and a grey bar under half of it.
std::vector<std::uint8_t> EffectsMovie(int frames) {
    enum : std::uint16_t { kBlue = 1, kRed, kGrey };
    w::TagStream t;
    t.SetBackgroundColor({100, 150, 200});
    for (const auto& [id, r, g, b] : {std::tuple{kBlue, 0, 0, 255}, std::tuple{kRed, 255, 0, 0}}) {
        w::ShapeBuilder square;
        square.Rectangle({0, 800, 0, 800},
                         square.AddFill(w::FillStyle::Solid({static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                                             static_cast<std::uint8_t>(b)})));
        t.Add(w::TagCode::DefineShape3, square.DefineShapeBody(id, 3));
    }
    w::ShapeBuilder grey;
    grey.Rectangle({0, 400, 0, 800}, grey.AddFill(w::FillStyle::Solid({128, 128, 128})));
    t.Add(w::TagCode::DefineShape3, grey.DefineShapeBody(kGrey, 3));

    w::PlaceObject shadowed = Place(1, kBlue, 400, 400);
    shadowed.filterList = DropShadowList(0, std::atan2(1.0, 1.0), 10 * std::sqrt(2.0), 1);
    t.PlaceObject3(shadowed);
    t.PlaceObject2(Place(2, kGrey, 2400, 400));
    w::PlaceObject multiplied = Place(3, kRed, 2400, 400);
    multiplied.blendMode = 3;
    t.PlaceObject3(multiplied);
    t.ShowFrame();
    // Later frames move the shadowed square 7 px right each.
    for (int f = 1; f < frames; ++f) {
        w::PlaceObject move;
        move.depth = 1;
        move.move = true;
        move.hasMatrix = true;
        move.matrix = w::Matrix::Translate(400 + f * 140, 400);
        t.PlaceObject2(move);
        t.ShowFrame();
    }
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 4000, 0, 2000};
    return w::BuildMovie(header, t);
}

TEST(LayerEffects, ShadowAndMultiplyDrawAsDefined) {
    Player player;
    ASSERT_TRUE(player.Load(EffectsMovie(1))) << player.LoadError();
    EXPECT_TRUE(player.Warnings().empty());
    raster::Surface s(200, 100);
    player.Render(s);
    // The square itself, and its shadow: the square's alpha moved by
    // (10 cos 45°, 10 sin 45°) = (10, 10) px, in the shadow's colour, under it.
    EXPECT_EQ(s.pixel(40, 40), Opaque(0, 0, 255));
    EXPECT_EQ(s.pixel(65, 65), Opaque(0, 0, 0)) << "beyond the square, inside the shadow";
    EXPECT_EQ(s.pixel(65, 25), Opaque(100, 150, 200)) << "beside the square, above the shadow";
    EXPECT_EQ(s.pixel(25, 65), Opaque(100, 150, 200)) << "below the square, left of the shadow";
    EXPECT_EQ(s.pixel(75, 40), Opaque(100, 150, 200)) << "past the shadow";
    // Multiply: each channel is source x destination / 255, over the
    // background and over the grey bar.
    const auto multiply = [](int s, int d) { return static_cast<std::uint8_t>((s * d + 127) / 255); };
    EXPECT_EQ(s.pixel(150, 40), Opaque(multiply(255, 100), multiply(0, 150), multiply(0, 200)));
    EXPECT_EQ(s.pixel(125, 40), Opaque(multiply(255, 128), multiply(0, 128), multiply(0, 128)));

    // Twice the size: the shadow's distance grows with the stage.
    raster::Surface large(400, 200);
    player.Render(large);
    EXPECT_EQ(large.pixel(130, 130), Opaque(0, 0, 0));
    EXPECT_EQ(large.pixel(130, 50), Opaque(100, 150, 200));
    EXPECT_EQ(large.pixel(125, 80), Opaque(0, 0, 0));
    EXPECT_EQ(large.pixel(145, 80), Opaque(100, 150, 200));
}

TEST(LayerEffects, AMovingShadowLeavesNothingBehindAndBandsAgree) {
    constexpr int kFrames = 6;
    Player player;
    ASSERT_TRUE(player.Load(EffectsMovie(kFrames))) << player.LoadError();
    raster::Surface partial(333, 167);
    player.RenderChanges(partial);
    for (int f = 1; f < kFrames; ++f) {
        SCOPED_TRACE(f);
        player.AdvanceFrame();
        const std::vector<raster::PixelRect> areas = player.RenderChanges(partial);
        EXPECT_FALSE(areas.empty());
        raster::Surface whole(333, 167);
        player.Render(whole);
        EXPECT_EQ(test::DifferentPixels(partial, whole), 0);
    }

    // Large enough for two bands; the bands meet across the shadowed square.
    Player one, two;
    one.SetDrawThreads(1);
    two.SetDrawThreads(2);
    ASSERT_TRUE(one.Load(EffectsMovie(1)));
    ASSERT_TRUE(two.Load(EffectsMovie(1)));
    raster::Surface expected(1200, 401), banded(1200, 401);
    one.Render(expected);
    banded.Clear({255, 0, 255, 255});
    const std::uint64_t before = two.BandedAreas();
    two.Render(banded);
    EXPECT_EQ(two.BandedAreas(), before + 1);
    EXPECT_EQ(test::DifferentPixels(expected, banded), 0);
}

// A sprite holding the blue square, placed with a hard shadow and bitmap
// caching; each later frame makes one change (see KeptLayersAreDrawnAgainOnlyWhenNeeded).
std::vector<std::uint8_t> KeptLayerMovie() {
    enum : std::uint16_t { kBlue = 1, kHolder };
    w::TagStream t;
    t.SetBackgroundColor({100, 150, 200});
    w::ShapeBuilder square;
    square.Rectangle({0, 800, 0, 800}, square.AddFill(w::FillStyle::Solid({0, 0, 255})));
    t.Add(w::TagCode::DefineShape3, square.DefineShapeBody(kBlue, 3));
    w::TagStream inner;
    inner.PlaceObject2(Place(1, kBlue, 0, 0));
    inner.ShowFrame();
    inner.End();
    t.DefineSprite(kHolder, inner);
    w::PlaceObject placed = Place(1, kHolder, 400, 400);
    placed.filterList = DropShadowList(0, std::atan2(1.0, 1.0), 10 * std::sqrt(2.0), 1);
    placed.cacheAsBitmap = true;
    t.PlaceObject3(placed);
    t.ShowFrame();
    const auto move = [&t](w::Matrix m) {
        w::PlaceObject p;
        p.depth = 1;
        p.move = true;
        p.hasMatrix = true;
        p.matrix = m;
        t.PlaceObject2(p);
        t.ShowFrame();
    };
    move(w::Matrix::Translate(540, 400));  // 2: seven whole pixels right
    move(w::Matrix::Translate(550, 400));  // 3: half a pixel more
    t.ShowFrame();                         // 4: nothing
    w::PlaceObject faded;                  // 5: half alpha
    faded.depth = 1;
    faded.move = true;
    faded.hasColorTransform = true;
    faded.colorTransform.multA = 128;
    t.PlaceObject2(faded);
    t.ShowFrame();
    move(w::Matrix::Transform(2, 2, 0, 550, 400));  // 6: twice the size
    w::ActionAssembler stop;
    stop.Action(w::ActionCode::Stop);
    t.DoAction(stop.Finish());
    t.ShowFrame();  // 7: nothing
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 4000, 0, 2000};
    return w::BuildMovie(header, t);
}

TEST(LayerEffects, KeptLayersAreDrawnAgainOnlyWhenNeeded) {
    Player player;
    ASSERT_TRUE(player.Load(KeptLayerMovie())) << player.LoadError();
    raster::Surface partial(200, 100);
    player.RenderChanges(partial);
    EXPECT_EQ(player.KeptLayerRedraws(), 1u);
    // Frame by frame: whether the kept layer must be drawn again.
    const std::vector<std::pair<const char*, bool>> steps = {{"moved by whole pixels", false},
                                                             {"moved by half a pixel", true},
                                                             {"unchanged", false},
                                                             {"faded", true},
                                                             {"scaled", true},
                                                             {"unchanged again", false}};
    for (const auto& [step, redrawn] : steps) {
        SCOPED_TRACE(step);
        const std::uint64_t before = player.KeptLayerRedraws();
        player.AdvanceFrame();
        player.RenderChanges(partial);
        EXPECT_EQ(player.KeptLayerRedraws(), before + (redrawn ? 1 : 0));
        // What the kept layer puts down equals the object drawn afresh.
        raster::Surface whole(200, 100);
        player.Render(whole);
        EXPECT_EQ(test::DifferentPixels(partial, whole), 0);
        if (std::string(step) == "moved by whole pixels") {
            // The square at (27, 20) and its shadow 10 px further.
            EXPECT_EQ(partial.pixel(30, 30), Opaque(0, 0, 255));
            EXPECT_EQ(partial.pixel(72, 65), Opaque(0, 0, 0));
            EXPECT_EQ(partial.pixel(23, 30), Opaque(100, 150, 200));
        }
    }
}

}  // namespace
}  // namespace swf
