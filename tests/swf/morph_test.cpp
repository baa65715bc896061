// Morph shapes: reading both tag versions, the shape at a ratio, drawing
// through the player's timelines, clip layers and buttons, and malformed tags.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "swf/io/bit_reader.h"
#include "swf/io/morph_parser.h"
#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/model/morph_shape.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/bitmap.h"
#include "swf/writer/button.h"
#include "swf/writer/morph_shape.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

namespace w = swf::writer;
using test::Bytes;
using test::Place;
using writer::BitWriter;

constexpr std::int32_t kPx = 20;        // twips per pixel
constexpr std::uint16_t kHalf = 32768;  // ratio 32768/65535, just past the middle

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kBackground = Opaque(10, 20, 30);

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance, const std::string& what) {
    for (int shift : {0, 8, 16, 24}) {
        const int a = static_cast<int>((actual >> shift) & 0xff);
        const int e = static_cast<int>((expected >> shift) & 0xff);
        EXPECT_LE(std::abs(a - e), tolerance) << what << std::hex << ": got " << actual << " want " << expected;
    }
}

// A 20 x 20 px square at y = 20..40 px: red at x = 0..20 px at the start,
// blue at x = 100..120 px at the end.
Bytes SquareMorphBody(std::uint16_t id, int version) {
    w::MorphShapeBuilder morph;
    const std::uint16_t fill = morph.AddFill(w::MorphFillStyle::Solid({255, 0, 0}, {0, 0, 255}));
    morph.Start().Rectangle({0, 20 * kPx, 20 * kPx, 40 * kPx}, fill);
    morph.End().Rectangle({100 * kPx, 120 * kPx, 20 * kPx, 40 * kPx}, 0);
    return morph.DefineMorphShapeBody(id, version);
}

Bytes SquareMorph(std::uint16_t id, int version = 1) {
    return test::Tag(version == 1 ? 46 : 84, SquareMorphBody(id, version));
}

// The stage is 200 x 100 px, drawn at 400 x 400: two surface pixels per
// stage pixel, 100 px of margin above.
Bytes Scene(const std::vector<Bytes>& frames, std::uint16_t frameCount = 1) {
    std::vector<Bytes> all = {test::SetBackground(10, 20, 30)};
    all.insert(all.end(), frames.begin(), frames.end());
    return test::Movie(all, 200 * kPx, 100 * kPx, 12, frameCount);
}

Place MorphAt(std::uint16_t depth, int character, int ratio) {
    Place p;
    p.depth = depth;
    p.character = character;
    p.ratio = ratio;
    return p;
}

Place RatioChange(std::uint16_t depth, int ratio) {
    Place p;
    p.depth = depth;
    p.move = true;
    p.ratio = ratio;
    return p;
}

std::unique_ptr<raster::Surface> Render(Player& player) {
    auto surface = std::make_unique<raster::Surface>(400, 400);
    player.Render(*surface);
    return surface;
}

// The square's surface pixels span x = 2*left .. 2*left+40 and y = 140..180.
void ExpectSquareAt(const raster::Surface& s, int leftPx, std::uint32_t color, const std::string& what) {
    const int x0 = 2 * leftPx;
    ExpectNear(s.pixel(x0 + 2, 142), color, 2, what + " inside, near the top left");
    ExpectNear(s.pixel(x0 + 20, 160), color, 2, what + " inside, centre");
    ExpectNear(s.pixel(x0 + 37, 177), color, 2, what + " inside, near the bottom right");
    if (x0 >= 2) {
        EXPECT_EQ(s.pixel(x0 - 2, 160), kBackground) << what << " left of it";
    }
    EXPECT_EQ(s.pixel(x0 + 42, 160), kBackground) << what << " right of it";
    EXPECT_EQ(s.pixel(x0 + 20, 137), kBackground) << what << " above it";
    EXPECT_EQ(s.pixel(x0 + 20, 182), kBackground) << what << " below it";
}

const MorphShapeDefinition& OnlyMorph(const MovieDefinition& movie) {
    const auto* morph = FindCharacter<MorphShapeDefinition>(movie.dictionary, 7);
    if (morph == nullptr) throw std::runtime_error("no morph shape 7");
    return *morph;
}

TEST(MorphShape, ReadsHandBuiltVersionOneTag) {
    // Styles and start edges first: their length is the offset to the end edges.
    BitWriter rest;
    rest.U8(1);     // fills
    rest.U8(0x00);  // solid
    test::PutRgba(rest, 255, 0, 0, 255);
    test::PutRgba(rest, 0, 0, 255, 128);
    rest.U8(1);  // lines
    rest.U16(20);
    rest.U16(60);
    test::PutRgba(rest, 0, 255, 0, 255);
    test::PutRgba(rest, 0, 0, 0, 0);
    rest.UB(4, 1);
    rest.UB(4, 1);
    test::ShapeRecords start(rest, 1, 1);
    start.Move(0, 0, -1, 1, 1);
    start.Line(400, 0);
    start.Line(0, 400);
    start.Styles(-1, -1, 0);  // the last edge without the line
    start.Line(-400, -400);
    start.End();
    BitWriter end;
    end.UB(4, 0);
    end.UB(4, 0);
    test::ShapeRecords endEdges(end, 0, 0);
    endEdges.Move(2000, 100);
    endEdges.Line(400, 0);
    endEdges.Curve(100, 200, -100, 200);  // the straight side bends
    endEdges.Line(-400, -400);
    endEdges.End();
    BitWriter tag;
    tag.U16(7);
    test::PutRect(tag, 0, 400, 0, 400);
    test::PutRect(tag, 2000, 2400, 100, 500);
    tag.U32(static_cast<std::uint32_t>(rest.bytes().size()));
    tag.Bytes(rest.bytes());
    tag.Bytes(end.bytes());

    const auto movie = ParseMovie(test::Movie({test::Tag(46, tag.bytes())}));
    ASSERT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const MorphShapeDefinition& morph = OnlyMorph(*movie);
    EXPECT_EQ(morph.startBounds, (Rect{0, 400, 0, 400}));
    EXPECT_EQ(morph.endBounds, (Rect{2000, 2400, 100, 500}));
    ASSERT_EQ(morph.fills.size(), 1u);
    EXPECT_EQ(morph.fills[0].kind, FillKind::Solid);
    EXPECT_EQ(morph.fills[0].startColor, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(morph.fills[0].endColor, (Rgba{0, 0, 255, 128}));
    ASSERT_EQ(morph.lines.size(), 1u);
    EXPECT_EQ(morph.lines[0].startWidth, 20);
    EXPECT_EQ(morph.lines[0].endWidth, 60);
    EXPECT_EQ(morph.lines[0].startColor, (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(morph.lines[0].endColor, (Rgba{0, 0, 0, 0}));
    EXPECT_TRUE(morph.outlineMorphs);
    ASSERT_EQ(morph.edges.size(), 3u);
    const MorphEdge& side = morph.edges[1];
    EXPECT_EQ(side.fill1, 1u);
    EXPECT_EQ(side.line, 1u);
    EXPECT_FALSE(side.start.curved);
    EXPECT_EQ(side.start.x0, 400);
    EXPECT_EQ(side.start.y1, 400);
    EXPECT_TRUE(side.end.curved);
    EXPECT_EQ(side.end.x0, 2400);
    EXPECT_EQ(side.end.y0, 100);
    EXPECT_EQ(side.end.cx, 2500);
    EXPECT_EQ(side.end.cy, 300);
    EXPECT_EQ(side.end.x1, 2400);
    EXPECT_EQ(side.end.y1, 500);
    EXPECT_EQ(morph.edges[2].line, 0u);
    EXPECT_EQ(morph.edges[2].end.x1, 2000);
    EXPECT_EQ(morph.edges[2].end.y1, 100);
}

TEST(MorphShape, ReadsVersionTwoStylesFromTheWriter) {
    w::MorphShapeBuilder morph;
    w::MorphFillStyle focal;
    focal.type = w::MorphFillStyle::Type::Focal;
    focal.startMatrix = w::Matrix::Translate(100, 200);
    focal.endMatrix = w::Matrix::Translate(300, -400);
    focal.stops = {{0, {255, 0, 0}, 100, {0, 255, 0, 0}}, {255, {0, 0, 255}, 200, {10, 20, 30, 40}}};
    focal.startFocalPoint = 0.5;
    focal.endFocalPoint = -0.25;
    w::MorphFillStyle bitmap;
    bitmap.type = w::MorphFillStyle::Type::ClippedBitmap;
    bitmap.bitmapId = 12;
    bitmap.startMatrix = w::Matrix::Transform(20, 20, 0, 0, 0);
    bitmap.endMatrix = w::Matrix::Transform(40, 10, 0, 60, 80);
    const std::uint16_t f1 = morph.AddFill(focal);
    const std::uint16_t f2 = morph.AddFill(bitmap);
    w::MorphLineStyle square;
    square.startWidth = 40;
    square.endWidth = 100;
    square.cap = 2;
    square.join = 2;
    square.miterLimit = 2.5;
    square.startColor = {1, 2, 3, 4};
    square.endColor = {5, 6, 7, 8};
    w::MorphLineStyle filled;
    filled.fill = w::MorphFillStyle::Solid({9, 9, 9}, {200, 200, 200});
    const std::uint16_t l1 = morph.AddLine(square);
    morph.AddLine(filled);
    morph.Start().Rectangle({0, 400, 0, 400}, f1, l1);
    morph.Start().Rectangle({1000, 1400, 0, 400}, f2);
    morph.End().Rectangle({0, 800, 0, 800}, 0);
    morph.End().Rectangle({2000, 2400, 0, 400}, 0);

    const auto movie = ParseMovie(test::Movie({test::Tag(84, morph.DefineMorphShapeBody(7, 2))}));
    ASSERT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const MorphShapeDefinition& def = OnlyMorph(*movie);
    ASSERT_EQ(def.fills.size(), 2u);
    const MorphFillStyle& f = def.fills[0];
    EXPECT_EQ(f.kind, FillKind::FocalGradient);
    EXPECT_EQ(f.startMatrix, Matrix::Translate(100, 200));
    EXPECT_EQ(f.endMatrix, Matrix::Translate(300, -400));
    ASSERT_EQ(f.stops.size(), 2u);
    EXPECT_EQ(f.stops[0].endRatio, 100);
    EXPECT_EQ(f.stops[0].endColor, (Rgba{0, 255, 0, 0}));
    EXPECT_EQ(f.stops[1].startRatio, 255);
    EXPECT_EQ(f.stops[1].endColor, (Rgba{10, 20, 30, 40}));
    EXPECT_EQ(f.startFocalPoint, 0.5);
    EXPECT_EQ(f.endFocalPoint, -0.25);
    const MorphFillStyle& b = def.fills[1];
    EXPECT_EQ(b.kind, FillKind::Bitmap);
    EXPECT_EQ(b.bitmapId, 12);
    EXPECT_FALSE(b.bitmapRepeat);
    EXPECT_TRUE(b.bitmapSmooth);
    EXPECT_EQ(b.endMatrix, (Matrix{40, 0, 0, 10, 60, 80}));
    ASSERT_EQ(def.lines.size(), 2u);
    EXPECT_EQ(def.lines[0].startWidth, 40);
    EXPECT_EQ(def.lines[0].endWidth, 100);
    EXPECT_EQ(def.lines[0].startCap, CapStyle::Square);
    EXPECT_EQ(def.lines[0].endCap, CapStyle::Square);
    EXPECT_EQ(def.lines[0].join, JoinStyle::Miter);
    EXPECT_EQ(def.lines[0].miterLimit, 2.5);
    EXPECT_EQ(def.lines[0].endColor, (Rgba{5, 6, 7, 8}));
    EXPECT_TRUE(def.lines[1].hasFill);
    EXPECT_EQ(def.lines[1].fill.endColor, (Rgba{200, 200, 200, 255}));
    ASSERT_EQ(def.edges.size(), 8u);
    EXPECT_TRUE(def.outlineMorphs);
    EXPECT_EQ(def.edges[1].end.x1, 800);
    EXPECT_EQ(def.edges[1].end.y1, 800);
    EXPECT_EQ(def.edges[4].fill1, f2);
    EXPECT_EQ(def.edges[4].end.x0, 2000);
}

TEST(MorphShape, InterpolatesOutlineAndStylesAtARatio) {
    MorphFillStyle solid;
    solid.startColor = {255, 0, 0, 255};
    solid.endColor = {0, 0, 255, 55};
    MorphFillStyle linear;
    linear.kind = FillKind::LinearGradient;
    linear.startMatrix = {1, 0, 0, 1, 0, 0};
    linear.endMatrix = {3, 0.5, -0.5, 5, 1000, -2000};
    linear.stops = {{0, 100, {0, 0, 0, 255}, {200, 100, 50, 255}}, {255, 155, {255, 255, 255, 0}, {55, 55, 55, 255}}};
    MorphLineStyle line;
    line.startWidth = 20;
    line.endWidth = 60;
    line.startColor = {0, 0, 0, 255};
    line.endColor = {100, 200, 250, 255};
    // Edge 0 stays straight; edge 1 is straight at the start and curved at the end.
    MorphEdge straight{{0, 0, 0, 0, 400, 0, false}, {2000, 0, 0, 0, 2400, 0, false}, 0, 1, 1};
    MorphEdge bends{{400, 0, 0, 0, 400, 400, false}, {2400, 0, 2600, 200, 2400, 400, true}, 0, 2, 0};
    const std::vector<MorphFillStyle> fills = {solid, linear};
    const std::vector<MorphEdge> edges = {straight, bends};

    const Shape atStart = InterpolateMorph(fills, {line}, edges, 0);
    ASSERT_EQ(atStart.layers.size(), 1u);
    EXPECT_EQ(atStart.layers[0].fills[0].color, solid.startColor);
    EXPECT_EQ(atStart.layers[0].lines[0].width, 20);
    const Segment& bentAtStart = atStart.layers[0].fillEdges[1].at(0);
    EXPECT_TRUE(bentAtStart.curved);  // drawn as the curve it becomes, control at the midpoint
    EXPECT_EQ(bentAtStart.cx, 400);
    EXPECT_EQ(bentAtStart.cy, 200);
    EXPECT_EQ(atStart.layers[0].fillEdges[0].at(0).x1, 400);

    const Shape atEnd = InterpolateMorph(fills, {line}, edges, 65535);
    EXPECT_EQ(atEnd.layers[0].fills[0].color, solid.endColor);
    EXPECT_EQ(atEnd.layers[0].fills[1].matrix, linear.endMatrix);
    EXPECT_EQ(atEnd.layers[0].fills[1].gradient.stops[1].ratio, 155);
    EXPECT_EQ(atEnd.layers[0].lines[0].width, 60);
    EXPECT_EQ(atEnd.layers[0].fillEdges[1].at(0).cx, 2600);
    EXPECT_EQ(atEnd.layers[0].fillEdges[0].at(0).x0, 2000);

    const Shape mid = InterpolateMorph(fills, {line}, edges, kHalf);
    const ShapeLayer& layer = mid.layers[0];
    const Rgba purple = layer.fills[0].color;
    EXPECT_NEAR(purple.r, 127.5, 1);
    EXPECT_EQ(purple.g, 0);
    EXPECT_NEAR(purple.b, 127.5, 1);
    EXPECT_NEAR(purple.a, 155, 1);
    const Gradient& g = layer.fills[1].gradient;
    ASSERT_EQ(g.stops.size(), 2u);
    EXPECT_NEAR(g.stops[0].ratio, 50, 1);
    EXPECT_NEAR(g.stops[1].ratio, 205, 1);
    EXPECT_NEAR(g.stops[0].color.r, 100, 1);
    EXPECT_NEAR(g.stops[0].color.g, 50, 1);
    EXPECT_NEAR(g.stops[0].color.b, 25, 1);
    EXPECT_NEAR(g.stops[1].color.r, 155, 1);
    EXPECT_NEAR(g.stops[1].color.a, 127.5, 1);
    const Matrix& m = layer.fills[1].matrix;
    EXPECT_NEAR(m.a, 2, 1e-3);
    EXPECT_NEAR(m.b, 0.25, 1e-3);
    EXPECT_NEAR(m.c, -0.25, 1e-3);
    EXPECT_NEAR(m.d, 3, 1e-3);
    EXPECT_NEAR(m.tx, 500, 0.1);
    EXPECT_NEAR(m.ty, -1000, 0.1);
    EXPECT_EQ(layer.lines[0].width, 40);
    EXPECT_NEAR(layer.lines[0].color.g, 100, 1);
    // Fill 1 lies on the right of both edges: drawn as recorded, x moved halfway.
    const Segment& s = layer.fillEdges[0].at(0);
    EXPECT_NEAR(s.x0, 1000, 0.1);
    EXPECT_NEAR(s.x1, 1400, 0.1);
    EXPECT_FALSE(s.curved);
    const Segment& c = layer.fillEdges[1].at(0);
    EXPECT_TRUE(c.curved);
    EXPECT_NEAR(c.x0, 1400, 0.1);
    EXPECT_NEAR(c.cx, 1500, 0.1);
    EXPECT_NEAR(c.cy, 200, 0.1);
    EXPECT_NEAR(c.y1, 400, 0.1);
    ASSERT_EQ(layer.lineContours[0].size(), 1u);
    EXPECT_EQ(layer.lineContours[0][0].size(), 1u);  // only edge 0 carries the line
}

TEST(MorphShape, KeepsTheShapeOfRecentRatios) {
    const auto movie = ParseMovie(test::Movie({SquareMorph(7)}));
    const MorphShapeDefinition& morph = OnlyMorph(*movie);
    const auto first = morph.ShapeAt(kHalf);
    EXPECT_EQ(morph.ShapeAt(kHalf), first);  // a still morph is not interpolated again
    const auto other = morph.ShapeAt(1000);
    EXPECT_NE(other, first);
    EXPECT_EQ(morph.ShapeAt(kHalf), first);
    for (std::uint16_t r : {1, 2, 3, 4}) morph.ShapeAt(r);
    const auto again = morph.ShapeAt(kHalf);  // forgotten after other ratios
    EXPECT_NE(again, first);
    EXPECT_EQ(again->layers[0].fills[0].color, first->layers[0].fills[0].color);
}

TEST(MorphShape, TimelineRatioChangesMoveAndRecolourTheSquare) {
    Place moved = RatioChange(1, -1);
    moved.hasMatrix = true;
    moved.ty = 10 * kPx;
    Player player;
    ASSERT_TRUE(player.Load(Scene({SquareMorph(7), test::PlaceObject2(MorphAt(1, 7, 0)), test::ShowFrame(),
                                   test::PlaceObject2(RatioChange(1, kHalf)), test::ShowFrame(),
                                   test::PlaceObject2(RatioChange(1, 65535)), test::ShowFrame(),
                                   // A move without a ratio keeps the last one.
                                   test::PlaceObject2(moved), test::ShowFrame()},
                                  4)))
        << player.LoadError();
    ExpectSquareAt(*Render(player), 0, Opaque(255, 0, 0), "frame 1, ratio 0");
    player.AdvanceFrame();
    ExpectSquareAt(*Render(player), 50, Opaque(127, 0, 128), "frame 2, ratio 1/2");
    player.AdvanceFrame();
    ExpectSquareAt(*Render(player), 100, Opaque(0, 0, 255), "frame 3, ratio 1");
    player.AdvanceFrame();
    const auto last = Render(player);
    ExpectNear(last->pixel(220, 190), Opaque(0, 0, 255), 2, "frame 4, moved down, still at the end");
    EXPECT_EQ(last->pixel(220, 150), kBackground);
    player.AdvanceFrame();  // back to frame 1: the timeline rebuilds ratio 0
    ExpectSquareAt(*Render(player), 0, Opaque(255, 0, 0), "frame 1 again");
}

TEST(MorphShape, DrawsInsideSpritesButtonsAndAsAClipLayer) {
    {
        // A sprite holding the morph at the end.
        Player player;
        ASSERT_TRUE(player.Load(Scene(
            {SquareMorph(7, 2), test::DefineSprite(8, 1, {test::PlaceObject2(MorphAt(1, 7, 65535)), test::ShowFrame()}),
             test::PlaceObject2(MorphAt(1, 8, -1)), test::ShowFrame()})))
            << player.LoadError();
        ExpectSquareAt(*Render(player), 100, Opaque(0, 0, 255), "in a sprite");
    }
    {
        // A button state places characters without a ratio: the start shape.
        w::ButtonRecord up;
        up.characterId = 7;
        up.states = w::kStateUp | w::kStateHitTest;
        Player player;
        ASSERT_TRUE(player.Load(Scene({SquareMorph(7), test::Tag(34, w::DefineButton2Body(9, {up}, {})),
                                       test::PlaceObject2(MorphAt(1, 9, -1)), test::ShowFrame()})))
            << player.LoadError();
        ExpectSquareAt(*Render(player), 0, Opaque(255, 0, 0), "in a button");
        player.PointerMove(10 * 2, 100 + 30 * 2);  // over the square: its hit area is the morph
        EXPECT_TRUE(player.PointerOverButton());
        player.PointerMove(60 * 2, 100 + 30 * 2);
        EXPECT_FALSE(player.PointerOverButton());
    }
    {
        // The morph halfway masks a green band across the stage.
        Place mask = MorphAt(1, 7, kHalf);
        mask.clipDepth = 2;
        Player player;
        ASSERT_TRUE(player.Load(
            Scene({SquareMorph(7), test::Tag(32, test::RectangleShape(3, 0, 0, 200 * kPx, 100 * kPx, 0, 255, 0)),
                   test::PlaceObject2(mask), test::PlaceObject2(MorphAt(2, 3, -1)), test::ShowFrame()})))
            << player.LoadError();
        ExpectSquareAt(*Render(player), 50, Opaque(0, 255, 0), "green through the clip layer");
    }
}

TEST(MorphShape, MalformedTagsAreSkippedOrDrawnSensibly) {
    const Bytes body = SquareMorphBody(7, 1);
    struct Result {
        std::vector<std::string> warnings;
        std::unique_ptr<raster::Surface> surface;
    };
    auto play = [](const Bytes& morphTag, std::uint16_t ratio) {
        Player player;
        EXPECT_TRUE(player.Load(Scene({morphTag, test::PlaceObject2(MorphAt(1, 7, ratio)), test::ShowFrame()})));
        return Result{player.Warnings(), Render(player)};
    };
    // Truncated anywhere: the tag is dropped with a warning and nothing drawn.
    for (std::size_t size = 0; size < body.size(); size += 3) {
        const Bytes cut(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(size));
        const Result r = play(test::Tag(46, cut), kHalf);
        EXPECT_EQ(r.warnings.size(), 1u) << "cut at " << size;
        EXPECT_EQ(r.surface->pixel(120, 160), kBackground) << "cut at " << size;
    }

    // The end edges' offset past the tag, or pointing back into the styles.
    BitReader header(body);
    header.ReadU16();
    ReadRect(header);
    ReadRect(header);
    const std::size_t offsetAt = header.Position();
    for (std::uint32_t offset : {static_cast<std::uint32_t>(body.size()), 0xffffffffu, 0u}) {
        Bytes bad = body;
        for (int i = 0; i < 4; ++i) bad[offsetAt + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        const Result r = play(test::Tag(46, bad), kHalf);
        if (offset != 0) {
            EXPECT_EQ(r.warnings.size(), 1u) << "offset " << offset;
        }
    }

    // Three end edges for four start edges: the start outline in the end colour.
    w::MorphShapeBuilder uneven;
    const std::uint16_t fill = uneven.AddFill(w::MorphFillStyle::Solid({255, 0, 0}, {0, 0, 255}));
    uneven.Start().Rectangle({0, 20 * kPx, 20 * kPx, 40 * kPx}, fill);
    uneven.End().MoveTo(100 * kPx, 20 * kPx);
    uneven.End().LineTo(120 * kPx, 20 * kPx);
    uneven.End().LineTo(120 * kPx, 40 * kPx);
    uneven.End().LineTo(100 * kPx, 20 * kPx);
    const Result r = play(test::Tag(46, uneven.DefineMorphShapeBody(7, 1)), 65535);
    EXPECT_TRUE(r.warnings.empty());
    ExpectSquareAt(*r.surface, 0, Opaque(0, 0, 255), "unpaired outline");

    // A new-styles record has no place in a morph shape.
    BitWriter tag;
    tag.U16(7);
    test::PutRect(tag, 0, 400, 0, 400);
    test::PutRect(tag, 0, 400, 0, 400);
    BitWriter rest;
    rest.U8(0);
    rest.U8(0);
    rest.UB(4, 0);
    rest.UB(4, 0);
    rest.UB(6, 0x10);  // style change: new styles only
    rest.U8(0);
    rest.U8(0);
    rest.UB(8, 0);
    tag.U32(static_cast<std::uint32_t>(rest.bytes().size()));
    tag.Bytes(rest.bytes());
    tag.U8(0);
    tag.U8(0);
    EXPECT_EQ(play(test::Tag(46, tag.bytes()), 0).warnings.size(), 1u);
    EXPECT_THROW(
        {
            EdgeBudget budget;
            ParseDefineMorphShape(tag.bytes(), 1, budget);
        },
        ParseError);
}

TEST(MorphShape, EdgesCountAgainstTheMovieBudget) {
    EdgeBudget budget;
    budget.remaining = 7;  // the square has four start and four end edges
    EXPECT_THROW(ParseDefineMorphShape(SquareMorphBody(7, 1), 1, budget), ParseError);
    EXPECT_EQ(budget.remaining, 0u);
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

// A morph painted with a bitmap: the fill is linked to the bitmap defined
// before it, and its matrix morphs with the square, so the picture moves along.
TEST(MorphShape, BitmapFillsAreLinkedAndTheirMatrixMorphs) {
    w::LosslessBitmap green;
    green.width = 2;
    green.height = 2;
    green.pixels.assign(4, 0xFF00C800u);
    w::MorphShapeBuilder morph;
    w::MorphFillStyle picture;
    picture.type = w::MorphFillStyle::Type::ClippedBitmap;
    picture.bitmapId = 3;
    // 2 x 2 bitmap pixels of 10 px each cover the 20 px square at both ends.
    picture.startMatrix = w::Matrix::Transform(10 * kPx, 10 * kPx, 0, 0, 20 * kPx);
    picture.endMatrix = w::Matrix::Transform(10 * kPx, 10 * kPx, 0, 100 * kPx, 20 * kPx);
    const std::uint16_t fill = morph.AddFill(picture);
    morph.Start().Rectangle({0, 20 * kPx, 20 * kPx, 40 * kPx}, fill);
    morph.End().Rectangle({100 * kPx, 120 * kPx, 20 * kPx, 40 * kPx}, 0);

    for (const int ratio : {0, 65535}) {
        const Bytes movie = Scene({test::Tag(20, w::DefineBitsLosslessBody(3, green, false)),
                                   test::Tag(46, morph.DefineMorphShapeBody(7, 1)),
                                   test::PlaceObject2(MorphAt(1, 7, ratio)), test::ShowFrame()});
        const auto parsed = ParseMovie(movie);
        ASSERT_EQ(OnlyMorph(*parsed).fills.size(), 1u);
        EXPECT_NE(OnlyMorph(*parsed).fills[0].bitmap, nullptr);
        Player player;
        ASSERT_TRUE(player.Load(movie));
        ExpectSquareAt(*Render(player), ratio == 0 ? 0 : 100, Opaque(0, 200, 0), "bitmap morph");
    }
}

}  // namespace
}  // namespace swf
