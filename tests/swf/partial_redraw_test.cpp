// Redrawing only what changed: after each kind of change a movie can make, the
// partly redrawn back buffer must hold exactly the pixels of a whole redraw.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "swf/player/render/damage.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/button.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/morph_shape.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/text.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;

enum Id : std::uint16_t { kBox = 1, kBall, kMorph, kFont, kField, kButton, kSquare, kLabel, kMaskShape };

w::PlaceObject At(std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y) {
    w::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(x, y);
    return p;
}

w::PlaceObject Move(std::uint16_t depth) {
    w::PlaceObject p;
    p.depth = depth;
    p.move = true;
    return p;
}

// A 400 x 300 px stage; frame 1 places one of everything, each later frame
// makes one kind of change, the last one changes nothing and stops.
std::vector<std::uint8_t> ChangingMovie() {
    w::TagStream t;
    t.SetBackgroundColor({240, 240, 230});

    w::ShapeBuilder box;
    box.Rectangle({0, 1000, 0, 600}, box.AddFill(w::FillStyle::Solid({200, 30, 30})), box.AddLine({40, {0, 0, 0}}));
    t.Add(w::TagCode::DefineShape3, box.DefineShapeBody(kBox, 3));

    w::ShapeBuilder ball;
    const w::Rect ballBox{-700, 700, -500, 500};
    ball.Ellipse(0, 0, 700, 500,
                 ball.AddFill(w::FillStyle::Radial(ballBox, {{0, {255, 255, 255}}, {255, {20, 90, 200}}})));
    t.Add(w::TagCode::DefineShape3, ball.DefineShapeBody(kBall, 3));

    w::MorphShapeBuilder morph;
    const std::uint16_t morphFill = morph.AddFill(w::MorphFillStyle::Solid({220, 120, 0}, {0, 150, 60}));
    morph.Start().Rectangle({0, 1200, 0, 800}, morphFill);
    morph.End().Rectangle({300, 900, -400, 1200}, morphFill);
    t.Add(w::TagCode::DefineMorphShape, morph.DefineMorphShapeBody(kMorph, 1));

    const w::FontBuilder font = w::MakeBlockFont("Block", 1024);
    t.Add(w::TagCode::DefineFont2, font.DefineFontBody(kFont));
    w::EditTextField field;
    field.bounds = {0, 3600, 0, 700};
    field.border = true;
    field.useOutlines = true;
    field.fontId = kFont;
    field.fontHeight = 400;
    field.textColor = w::Rgba{10, 10, 120};
    field.initialText = "HELLO";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kField, field));

    w::ShapeBuilder square;
    square.Rectangle({0, 500, 0, 500}, square.AddFill(w::FillStyle::Solid({30, 160, 30, 200})));
    t.Add(w::TagCode::DefineShape3, square.DefineShapeBody(kSquare, 3));

    w::ButtonRecord up{w::kStateUp | w::kStateHitTest, kBox, 1, {}, {}};
    w::ButtonRecord over{w::kStateOver, kSquare, 1, {}, {}};
    t.Add(w::TagCode::DefineButton2, w::DefineButton2Body(kButton, {up, over}, {}));

    t.Add(w::TagCode::DefineText, w::DefineTextBody(kLabel, font, kFont, {{"STILL TEXT", 0, 0, 360, {0, 0, 0}}}));

    w::ShapeBuilder maskShape;
    maskShape.Ellipse(0, 0, 600, 400, maskShape.AddFill(w::FillStyle::Solid({0, 0, 0})));
    t.Add(w::TagCode::DefineShape3, maskShape.DefineShapeBody(kMaskShape, 3));

    // Frame 1.
    t.PlaceObject2(At(1, kBox, 400, 400));
    t.PlaceObject2(At(2, kBall, 3000, 1000));
    w::PlaceObject morphPlace = At(3, kMorph, 5000, 3500);
    morphPlace.ratio = 0;
    t.PlaceObject2(morphPlace);
    t.PlaceObject2(At(4, kField, 400, 4000));
    t.PlaceObject2(At(5, kButton, 6000, 400));
    t.PlaceObject2(At(6, kSquare, 2000, 3000));
    t.PlaceObject2(At(7, kLabel, 400, 5600));
    w::PlaceObject mask = At(8, kMaskShape, 1000, 2500);
    mask.clipDepth = 9;
    t.PlaceObject2(mask);
    t.PlaceObject2(At(9, kBall, 1200, 2500));
    t.ShowFrame();
    // Frame 2: a move.
    w::PlaceObject moved = Move(1);
    moved.hasMatrix = true;
    moved.matrix = w::Matrix::Transform(1.1, 0.9, 0.2, 630, 470);
    t.PlaceObject2(moved);
    t.ShowFrame();
    // Frame 3: a new colour.
    w::PlaceObject recoloured = Move(2);
    recoloured.hasColorTransform = true;
    recoloured.colorTransform.multG = 64;
    recoloured.colorTransform.addR = 90;
    t.PlaceObject2(recoloured);
    t.ShowFrame();
    // Frame 4: a removal.
    t.RemoveObject2(6);
    t.ShowFrame();
    // Frame 5: a morph's ratio.
    w::PlaceObject ratio = Move(3);
    ratio.ratio = 30000;
    t.PlaceObject2(ratio);
    t.ShowFrame();
    // Frame 6: a text field's text (set by the test).
    t.ShowFrame();
    // Frame 7: a new object.
    t.PlaceObject2(At(10, kSquare, 7000, 5000));
    t.ShowFrame();
    // Frame 8: a clip layer moves over what it masks.
    w::PlaceObject maskMoved = Move(8);
    maskMoved.hasMatrix = true;
    maskMoved.matrix = w::Matrix::Translate(1500, 2800);
    t.PlaceObject2(maskMoved);
    t.ShowFrame();
    // Frame 9: nothing.
    w::ActionAssembler stop;
    stop.Action(w::ActionCode::Stop);
    t.DoAction(stop.Finish());
    t.ShowFrame();

    w::MovieHeader header;
    header.frameSize = {0, 8000, 0, 6000};
    return w::BuildMovie(header, t);
}

using test::DifferentPixels;

long long TotalArea(const std::vector<raster::PixelRect>& areas) {
    long long total = 0;
    for (const raster::PixelRect& r : areas) total += r.Area();
    return total;
}

TEST(PartialRedraw, EveryKindOfChangeMatchesAWholeRedraw) {
    // Not the stage's shape: the movie is scaled by a fraction and centred.
    constexpr int kWidth = 333, kHeight = 250;
    Player player;
    ASSERT_TRUE(player.Load(ChangingMovie())) << player.LoadError();
    ASSERT_TRUE(player.Warnings().empty());

    raster::Surface partial(kWidth, kHeight);
    const std::vector<raster::PixelRect> first = player.RenderChanges(partial);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], (raster::PixelRect{0, 0, kWidth, kHeight}));
    raster::Surface previous(kWidth, kHeight);
    player.Render(previous);
    EXPECT_EQ(DifferentPixels(partial, previous), 0);

    // The change each step makes, as a frame tick or a pointer move.
    const std::vector<std::string> steps = {"move", "recolour",   "remove",     "morph ratio",
                                            "text", "new object", "mask moves", "button state"};
    for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        if (step == "button state") {
            player.PointerMove(270, 30);  // over the button: its over state shows
            ASSERT_TRUE(player.PointerOverButton());
        } else {
            player.AdvanceFrame();
        }
        if (step == "text") {
            auto& field = static_cast<EditTextInstance&>(*player.Root()->Children().at(4));
            ASSERT_EQ(field.Model().Text(), "HELLO");
            field.Model().SetText("CHANGED");
        }
        const std::vector<raster::PixelRect> areas = player.RenderChanges(partial);
        raster::Surface whole(kWidth, kHeight);
        player.Render(whole);
        // The change shows, and is redrawn in part of the surface only.
        EXPECT_GT(DifferentPixels(whole, previous), 0);
        EXPECT_FALSE(areas.empty());
        EXPECT_LT(TotalArea(areas), kWidth * kHeight / 2);
        EXPECT_EQ(DifferentPixels(partial, whole), 0);
        player.Render(previous);
    }

    // A frame that changes nothing draws nothing.
    player.AdvanceFrame();
    EXPECT_TRUE(player.RenderChanges(partial).empty());
    EXPECT_EQ(DifferentPixels(partial, previous), 0);
}

TEST(PartialRedraw, SizeMovieAndForgottenFramesRedrawEverything) {
    Player player;
    ASSERT_TRUE(player.Load(ChangingMovie()));
    raster::Surface small(120, 90);
    player.RenderChanges(small);
    EXPECT_TRUE(player.RenderChanges(small).empty());

    // Another size: everything, and as a whole redraw draws it.
    raster::Surface large(200, 150);
    EXPECT_EQ(player.RenderChanges(large), (std::vector<raster::PixelRect>{{0, 0, 200, 150}}));
    raster::Surface expected(200, 150);
    player.Render(expected);
    EXPECT_EQ(DifferentPixels(large, expected), 0);

    // The surface was drawn over by someone else.
    large.Clear({0, 0, 0, 255});
    player.ForgetRenderedFrame();
    EXPECT_EQ(player.RenderChanges(large).size(), 1u);
    EXPECT_EQ(DifferentPixels(large, expected), 0);

    // The movie is loaded again: a new movie is never compared with the old one.
    ASSERT_TRUE(player.Load(ChangingMovie()));
    EXPECT_EQ(player.RenderChanges(large).size(), 1u);

    // Without a movie: the background alone, then nothing.
    player.Unload();
    EXPECT_EQ(player.RenderChanges(large).size(), 1u);
    EXPECT_EQ(large.pixel(100, 75), 0xFFFFFFFFu);
    EXPECT_TRUE(player.RenderChanges(large).empty());
}

// A 400 x 300 px stage holding a clip of still things (a shape, a morph,
// static text) that the frames change only from outside, or not at all, so
// that a walk which remembers still things must notice each change.
std::vector<std::uint8_t> StillThingsMovie() {
    enum : std::uint16_t { kDot = 1, kShift, kFontId, kWord, kOtherWord, kHolder };
    w::TagStream t;
    t.SetBackgroundColor({255, 255, 255});
    w::ShapeBuilder dot;
    dot.Ellipse(0, 0, 400, 400, dot.AddFill(w::FillStyle::Solid({200, 40, 40})), dot.AddLine({60, {0, 0, 0}}));
    t.Add(w::TagCode::DefineShape3, dot.DefineShapeBody(kDot, 3));
    w::MorphShapeBuilder shift;
    const std::uint16_t fill = shift.AddFill(w::MorphFillStyle::Solid({0, 90, 200}, {200, 160, 0}));
    shift.Start().Rectangle({0, 600, 0, 600}, fill);
    shift.End().Rectangle({200, 1400, 100, 900}, fill);
    t.Add(w::TagCode::DefineMorphShape, shift.DefineMorphShapeBody(kShift, 1));
    const w::FontBuilder font = w::MakeBlockFont("Block", 1024);
    t.Add(w::TagCode::DefineFont2, font.DefineFontBody(kFontId));
    t.Add(w::TagCode::DefineText, w::DefineTextBody(kWord, font, kFontId, {{"SAME", 0, 0, 400, {0, 0, 0}}}));
    t.Add(w::TagCode::DefineText, w::DefineTextBody(kOtherWord, font, kFontId, {{"OTHER", 0, 0, 400, {0, 0, 0}}}));

    w::TagStream holder;
    holder.PlaceObject2(At(1, kDot, 600, 600));
    w::PlaceObject morph = At(2, kShift, 1600, 200);
    morph.ratio = 0;
    holder.PlaceObject2(morph);
    holder.PlaceObject2(At(3, kWord, 200, 1800));
    holder.ShowFrame();
    holder.ShowFrame();
    holder.ShowFrame();
    // Its frame 4: another text at the same place, so a new object where the old one was.
    w::PlaceObject replaced = Move(3);
    replaced.characterId = kOtherWord;
    holder.PlaceObject2(replaced);
    holder.ShowFrame();
    w::ActionAssembler holderStop;
    holderStop.Action(w::ActionCode::Stop);
    holder.DoAction(holderStop.Finish());
    holder.ShowFrame();
    holder.End();
    t.DefineSprite(kHolder, holder);

    t.PlaceObject2(At(1, kHolder, 1000, 1000));
    t.ShowFrame();
    // Frame 2: the clip grows; its children's own placements stay.
    w::PlaceObject grown = Move(1);
    grown.hasMatrix = true;
    grown.matrix = w::Matrix::Transform(1.6, 1.6, 0, 1000, 1000);
    t.PlaceObject2(grown);
    t.ShowFrame();
    // Frame 3: the clip takes new colours.
    w::PlaceObject tinted = Move(1);
    tinted.hasColorTransform = true;
    tinted.colorTransform.multR = 80;
    tinted.colorTransform.addB = 120;
    t.PlaceObject2(tinted);
    t.ShowFrame();
    // Frame 4: nothing here (the clip's text is replaced).
    t.ShowFrame();
    w::ActionAssembler stop;
    stop.Action(w::ActionCode::Stop);
    t.DoAction(stop.Finish());
    t.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 8000, 0, 6000};
    return w::BuildMovie(header, t);
}

TEST(PartialRedraw, RememberedStillThingsFollowEveryChangeOfTheirInputs) {
    constexpr int kWidth = 400, kHeight = 300;
    Player player;
    ASSERT_TRUE(player.Load(StillThingsMovie())) << player.LoadError();
    ASSERT_TRUE(player.Warnings().empty());
    raster::Surface partial(kWidth, kHeight);
    player.RenderChanges(partial);
    EXPECT_TRUE(player.RenderChanges(partial).empty());
    raster::Surface previous(kWidth, kHeight);
    player.Render(previous);

    auto& holder = static_cast<MovieClip&>(*player.Root()->Children().at(1));
    const auto child = [&](int depth) -> DisplayObject& { return *holder.Children().at(depth); };
    const std::vector<std::string> steps = {"clip scaled", "clip recoloured", "text replaced",
                                            "morph ratio", "ratio back",      "shape moved"};
    for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        if (step == "clip scaled" || step == "clip recoloured" || step == "text replaced") {
            player.AdvanceFrame();
        } else if (step == "morph ratio" || step == "ratio back") {
            Placement p = child(2).GetPlacement();
            p.ratio = step == "morph ratio" ? 40000 : 0;
            child(2).SetPlacement(p);
        } else {
            Placement p = child(1).GetPlacement();
            p.matrix.tx += 300;
            child(1).SetPlacement(p);
        }
        test::ExpectPartialRedrawMatchesWhole(player, partial, previous);
    }
    player.AdvanceFrame();
    EXPECT_TRUE(player.RenderChanges(partial).empty());
}

bool Covers(const std::vector<raster::PixelRect>& areas, const raster::PixelRect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            bool found = false;
            for (const raster::PixelRect& a : areas)
                found = found || (x >= a.left && x < a.right && y >= a.top && y < a.bottom);
            if (!found) return false;
        }
    }
    return true;
}

TEST(Damage, ChangedItemsGiveTheirOldAndNewBoundsAndAreasMergeToFew) {
    int a = 0, b = 0, c = 0;
    const std::vector<DrawnItem> before = {
        {&a, false, 1, 10, {0, 0, 10, 10}}, {&b, false, 2, 20, {50, 50, 60, 60}}, {&b, true, 2, 30, {70, 0, 80, 10}}};
    EXPECT_TRUE(ChangedAreas(before, before).empty());

    std::vector<DrawnItem> after = before;
    after[0].bounds = {5, 0, 15, 10};                       // moved
    after[1].content = 21;                                  // redrawn in place
    after.pop_back();                                       // the mask went
    after.push_back({&c, false, 3, 40, {90, 90, 95, 95}});  // a new object
    std::vector<raster::PixelRect> changed = ChangedAreas(before, after);
    for (const raster::PixelRect& r :
         {raster::PixelRect{0, 0, 10, 10}, raster::PixelRect{5, 0, 15, 10}, raster::PixelRect{50, 50, 60, 60},
          raster::PixelRect{70, 0, 80, 10}, raster::PixelRect{90, 90, 95, 95}}) {
        EXPECT_TRUE(Covers(changed, r)) << r.left << "," << r.top;
    }
    // Moved in the drawing order: changed, though it draws the same.
    after = before;
    after[1].order = 5;
    changed = ChangedAreas(before, after);
    EXPECT_TRUE(Covers(changed, {50, 50, 60, 60}));

    // Overlapping ones join; distant ones stay apart; empty ones go.
    const std::vector<raster::PixelRect> areas = {
        {0, 0, 100, 100}, {50, 50, 150, 150}, {140, 0, 240, 100}, {1000, 1000, 1100, 1100}, {5, 5, 5, 9}};
    const std::vector<raster::PixelRect> merged = MergeAreas(areas, 4);
    EXPECT_EQ(merged.size(), 2u);
    for (const raster::PixelRect& r : areas) EXPECT_TRUE(Covers(merged, r));
    long long total = 0;
    for (const raster::PixelRect& r : merged) total += r.Area();
    EXPECT_LT(total, 100000);  // not the one box around all of them

    // Many scattered ones: at most the count asked for, still covering them all.
    std::vector<raster::PixelRect> scattered;
    for (int i = 0; i < 20; ++i) scattered.push_back({i * 37 % 500, i * 53 % 400, i * 37 % 500 + 8, i * 53 % 400 + 8});
    const std::vector<raster::PixelRect> few = MergeAreas(scattered, 3);
    EXPECT_LE(few.size(), 3u);
    for (const raster::PixelRect& r : scattered) EXPECT_TRUE(Covers(few, r));
}

}  // namespace
}  // namespace swf
