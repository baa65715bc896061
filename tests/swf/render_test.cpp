// Golden renders of small scenes through the player: exact pixels where the
// edges fall on pixel boundaries, stated tolerances where anti-aliasing decides.

#include <gtest/gtest.h>

#include <cstdlib>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using test::Place;
using writer::BitWriter;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kBackground = Opaque(10, 20, 30);

// Stage 200 x 100 px drawn at 400 x 400: scale 2, margins of 100 px above and below.
Bytes Scene(const std::vector<Bytes>& tags) {
    std::vector<Bytes> all = {test::SetBackground(10, 20, 30)};
    all.insert(all.end(), tags.begin(), tags.end());
    all.push_back(test::ShowFrame());
    return test::Movie(all, 4000, 2000);
}

// Stage twips to the surface pixel they land in (for the 400 x 400 view).
int PxX(int twips) { return twips / 10; }
int PxY(int twips) { return twips / 10 + 100; }

Bytes Rect(std::uint16_t id, int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g, std::uint8_t b,
           std::uint8_t a = 255) {
    return test::Tag(32, test::RectangleShape(id, x0, y0, x1, y1, r, g, b, a));
}

Place At(std::uint16_t depth, int character, std::int32_t tx = 0, std::int32_t ty = 0) {
    Place p;
    p.depth = depth;
    p.character = character;
    p.hasMatrix = tx != 0 || ty != 0;
    p.tx = tx;
    p.ty = ty;
    return p;
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance, const char* what) {
    for (int shift : {0, 8, 16, 24}) {
        const int a = static_cast<int>((actual >> shift) & 0xff);
        const int e = static_cast<int>((expected >> shift) & 0xff);
        EXPECT_LE(std::abs(a - e), tolerance) << what << std::hex << ": got " << actual << " want " << expected;
    }
}

struct Rendered {
    raster::Surface surface{400, 400};
    std::uint32_t At(int x, int y) const { return surface.pixel(x, y); }
};

Rendered Render(Player& player) {
    Rendered r;
    player.Render(r.surface);
    return r;
}

TEST(Render, SolidRectangleWithShowAllMarginsIsExact) {
    Player player;
    ASSERT_TRUE(player.Load(Scene({Rect(1, 400, 400, 1200, 1000, 255, 0, 0), test::PlaceObject2(At(1, 1)),
                                   // Spills out of the stage: the margins stay background.
                                   Rect(2, 3000, -500, 4400, 300, 0, 255, 0), test::PlaceObject2(At(2, 2))})))
        << player.LoadError();
    const Rendered r = Render(player);
    // Rectangle: pixels 40..119 x 140..199.
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            const bool inRect = x >= 40 && x < 120 && y >= 140 && y < 200;
            const bool inGreen = x >= 300 && x < 400 && y >= 100 && y < 130;
            const std::uint32_t want = inRect ? Opaque(255, 0, 0) : inGreen ? Opaque(0, 255, 0) : kBackground;
            if (r.At(x, y) != want) {
                ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " is " << r.At(x, y) << " not " << want;
                return;
            }
        }
    }
}

TEST(Render, WideViewCentresHorizontallyAndPointerMapsBack) {
    Player player;
    ASSERT_TRUE(player.Load(Scene({Rect(1, 0, 0, 4000, 2000, 255, 255, 255), test::PlaceObject2(At(1, 1))})));
    raster::Surface wide(500, 100);  // scale 1: stage 200 px wide, margins of 150 px left and right
    player.Render(wide);
    EXPECT_EQ(wide.pixel(149, 50), kBackground);
    EXPECT_EQ(wide.pixel(150, 50), Opaque(255, 255, 255));
    EXPECT_EQ(wide.pixel(349, 0), Opaque(255, 255, 255));
    EXPECT_EQ(wide.pixel(350, 99), kBackground);
}

TEST(Render, ColourTransformsAndNestedMatricesConcatenate) {
    // Sprite 5 holds the rectangle moved by (200, 100) with red halved; the
    // root places the sprite moved by (400, 200) with green added.
    Place inner = At(1, 1, 200, 100);
    inner.hasColor = true;
    inner.mult[0] = 128;
    Place outer = At(1, 5, 400, 200);
    outer.hasColor = true;
    outer.add[1] = 100;
    Player player;
    ASSERT_TRUE(player.Load(
        Scene({Rect(1, 0, 0, 400, 400, 200, 0, 0),
               test::DefineSprite(5, 1, {test::PlaceObject2(inner), test::ShowFrame()}), test::PlaceObject2(outer)})));
    const Rendered r = Render(player);
    // Twips 600..1000 x 300..700 -> pixels 60..99 x 130..169.
    EXPECT_EQ(r.At(PxX(600), PxY(300)), Opaque(100, 100, 0));
    EXPECT_EQ(r.At(99, 169), Opaque(100, 100, 0));
    EXPECT_EQ(r.At(59, 150), kBackground);
    EXPECT_EQ(r.At(100, 150), kBackground);
    EXPECT_EQ(r.At(80, 170), kBackground);
}

TEST(Render, TranslucentFillsBlendOverTheBackground) {
    Player player;
    ASSERT_TRUE(player.Load(Scene({Rect(1, 0, 0, 1000, 1000, 255, 255, 255, 128), test::PlaceObject2(At(1, 1))})));
    const Rendered r = Render(player);
    // 128/255 of white over (10, 20, 30), within 1 of rounding.
    auto mix = [](int bg) { return static_cast<std::uint8_t>((255 * 128 + bg * 127 + 127) / 255); };
    ExpectNear(r.At(50, 150), Opaque(mix(10), mix(20), mix(30)), 1, "blend");
}

TEST(Render, ClipLayersMaskTheDepthsUpToTheirClipDepth) {
    // Depth 1 masks depths 2..3 to the left half of the stage; depth 4 is not masked.
    Place mask = At(1, 1);
    mask.clipDepth = 3;
    Player player;
    ASSERT_TRUE(player.Load(Scene({Rect(1, 0, 0, 2000, 2000, 1, 2, 3), Rect(2, 0, 0, 4000, 500, 255, 0, 0),
                                   Rect(3, 0, 500, 4000, 1000, 0, 255, 0), Rect(4, 0, 1000, 4000, 1500, 0, 0, 255),
                                   test::PlaceObject2(mask), test::PlaceObject2(At(2, 2)), test::PlaceObject2(At(3, 3)),
                                   test::PlaceObject2(At(4, 4))})));
    const Rendered r = Render(player);
    EXPECT_EQ(r.At(100, 120), Opaque(255, 0, 0));  // left half, masked layer shows
    EXPECT_EQ(r.At(300, 120), kBackground);        // right half: cut away
    EXPECT_EQ(r.At(199, 170), Opaque(0, 255, 0));
    EXPECT_EQ(r.At(200, 170), kBackground);
    EXPECT_EQ(r.At(300, 220), Opaque(0, 0, 255));  // depth 4 is beyond the clip depth
    EXPECT_EQ(r.At(100, 280), kBackground);        // the mask shape itself is never drawn
}

TEST(Render, OverlappingClipRangesEachMaskTheirOwnDepths) {
    // A (depth 1, to depth 5) keeps the left half; B (depth 3, to depth 10) the top half.
    Place a = At(1, 1);
    a.clipDepth = 5;
    Place b = At(3, 2);
    b.clipDepth = 10;
    Player player;
    ASSERT_TRUE(
        player.Load(Scene({Rect(1, 0, 0, 2000, 2000, 1, 1, 1), Rect(2, 0, 0, 4000, 1000, 1, 1, 1),
                           Rect(3, 0, 1500, 4000, 2000, 255, 0, 0), Rect(4, 0, 500, 4000, 1500, 0, 255, 0),
                           Rect(5, 0, 0, 4000, 500, 0, 0, 255), test::PlaceObject2(a), test::PlaceObject2(At(2, 3)),
                           test::PlaceObject2(b), test::PlaceObject2(At(4, 4)), test::PlaceObject2(At(6, 5))})));
    const Rendered r = Render(player);
    EXPECT_EQ(r.At(100, 280), Opaque(255, 0, 0));  // depth 2: A only
    EXPECT_EQ(r.At(300, 280), kBackground);
    EXPECT_EQ(r.At(100, 170), Opaque(0, 255, 0));  // depth 4: A and B
    EXPECT_EQ(r.At(100, 210), kBackground);
    EXPECT_EQ(r.At(300, 170), kBackground);
    EXPECT_EQ(r.At(300, 120), Opaque(0, 0, 255));  // depth 6: B only, A has ended
}

// DefineFont with one glyph: a square of the full em (0..1024, -1024..0).
Bytes SquareFont(std::uint16_t id) {
    BitWriter glyph;
    glyph.UB(4, 1);
    glyph.UB(4, 0);
    test::ShapeRecords s(glyph, 1, 0);
    s.Move(0, -1024, -1, 1, -1);
    s.Line(1024, 0);
    s.Line(0, 1024);
    s.Line(-1024, 0);
    s.Line(0, -1024);
    s.End();
    BitWriter f;
    f.U16(id);
    f.U16(2);
    f.Bytes(glyph.bytes());
    return test::Tag(10, f.bytes());
}

TEST(Render, StaticTextDrawsEmbeddedGlyphs) {
    // Two glyphs of height 400 twips at (1000, 1000), advancing by 600.
    BitWriter t;
    t.U16(8);
    test::PutRect(t, 0, 2000, -400, 0);
    test::PutTranslate(t, 1000, 1000);
    t.U8(1);
    t.U8(11);
    t.U8(0x80 | 0x08 | 0x04 | 0x01);
    t.U16(7);
    test::PutRgb(t, 0, 0, 255);
    t.U16(0);
    t.U16(400);
    t.U8(2);
    t.UB(1, 0);
    t.SB(11, 600);
    t.UB(1, 0);
    t.SB(11, 600);
    t.U8(0);
    Player player;
    ASSERT_TRUE(player.Load(Scene({SquareFont(7), test::Tag(11, t.bytes()), test::PlaceObject2(At(1, 8))})));
    const Rendered r = Render(player);
    // Glyph 1: twips 1000..1400 x 600..1000 -> pixels 100..139 x 160..199.
    EXPECT_EQ(r.At(100, 160), Opaque(0, 0, 255));
    EXPECT_EQ(r.At(139, 199), Opaque(0, 0, 255));
    EXPECT_EQ(r.At(140, 180), kBackground);
    EXPECT_EQ(r.At(120, 200), kBackground);
    // Glyph 2 starts 600 twips later: pixels 160..199.
    EXPECT_EQ(r.At(159, 180), kBackground);
    EXPECT_EQ(r.At(160, 180), Opaque(0, 0, 255));
    EXPECT_EQ(r.At(199, 180), Opaque(0, 0, 255));
}

TEST(Render, StrokesAndGradientsWithinTolerance) {
    // A horizontal 100-twip (10 px at this scale) line from x=200 to 3800 at y=1000,
    // and a linear gradient red -> blue across a rectangle.
    BitWriter line;
    line.U16(1);
    test::PutRect(line, 0, 4000, 0, 2000);
    line.U8(0);
    line.U8(1);
    line.U16(100);
    test::PutRgba(line, 0, 255, 0, 255);
    line.UB(4, 0);
    line.UB(4, 1);
    test::ShapeRecords s(line, 0, 1);
    s.Move(200, 1000, -1, -1, 1);
    s.Line(3600, 0);
    s.End();

    BitWriter grad;
    grad.U16(2);
    test::PutRect(grad, 0, 4000, 0, 500);
    grad.U8(1);
    grad.U8(0x10);
    // Gradient square (-16384..16384) onto x 0..4000: scale 4000/32768, centred at 2000.
    test::PutMatrix(grad, 4000.0 / 32768, 0, 0, 500.0 / 32768, 2000, 250);
    grad.UB(2, 0);
    grad.UB(2, 0);
    grad.UB(4, 2);
    grad.U8(0);
    test::PutRgba(grad, 255, 0, 0, 255);
    grad.U8(255);
    test::PutRgba(grad, 0, 0, 255, 255);
    grad.U8(0);
    grad.UB(4, 1);
    grad.UB(4, 0);
    test::ShapeRecords g(grad, 1, 0);
    g.Move(0, 0, -1, 1, -1);
    g.Line(4000, 0);
    g.Line(0, 500);
    g.Line(-4000, 0);
    g.Line(0, -500);
    g.End();

    Player player;
    ASSERT_TRUE(player.Load(Scene({test::Tag(32, line.bytes()), test::Tag(32, grad.bytes()),
                                   test::PlaceObject2(At(1, 1)), test::PlaceObject2(At(2, 2))})));
    const Rendered r = Render(player);
    // The line covers y 195..205 (pixels); its middle is solid, well outside is not.
    EXPECT_EQ(r.At(200, 200), Opaque(0, 255, 0));
    EXPECT_EQ(r.At(200, 190), kBackground);
    EXPECT_EQ(r.At(200, 210), kBackground);
    // Gradient: red at the left, blue at the right, an even mix in the middle (tolerance 4).
    ExpectNear(r.At(0, 120), Opaque(255, 0, 0), 4, "left");
    ExpectNear(r.At(399, 120), Opaque(0, 0, 255), 4, "right");
    ExpectNear(r.At(200, 120), Opaque(128, 0, 127), 4, "middle");
}

TEST(Render, NoMovieOrBrokenMovieShowsPlainBackground) {
    Player player;
    raster::Surface s(10, 10);
    player.Render(s);
    EXPECT_EQ(s.pixel(5, 5), Opaque(255, 255, 255));
    EXPECT_FALSE(player.Load(Bytes{'F', 'W', 'S'}));
    EXPECT_FALSE(player.LoadError().empty());
    EXPECT_FALSE(player.IsLoaded());
    player.Render(s);
    EXPECT_EQ(s.pixel(0, 9), Opaque(255, 255, 255));
    raster::Surface empty;
    player.Render(empty);  // a zero-sized view draws nothing and does not fail
    EXPECT_FALSE(player.LoadFile("/nonexistent/movie.swf"));
    EXPECT_NE(player.LoadError().find("cannot open"), std::string::npos);
    // A folder given as the movie is refused, not read.
    EXPECT_FALSE(player.LoadFile(::testing::TempDir()));
    EXPECT_NE(player.LoadError().find("not a movie file"), std::string::npos);
    EXPECT_FALSE(player.IsLoaded());
}

}  // namespace
}  // namespace swf
