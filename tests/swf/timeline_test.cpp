// Timelines and display lists: placing, moving and removing across frames,
// sprites, jumps, labels, frame actions, place tags and script target paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/io/place_parser.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using test::Place;

// Records every action block it is asked to run, by its first byte.
class RecordingRunner : public ActionRunner {
public:
    void Run(const std::vector<std::uint8_t>& code, MovieClip& target) override {
        ran.push_back({code.empty() ? 0 : code[0], &target});
        if (onRun) onRun(code, target);
    }
    void Forget(MovieClip& clip) override { forgotten.push_back(&clip); }
    std::vector<std::pair<std::uint8_t, MovieClip*>> ran;
    std::vector<MovieClip*> forgotten;
    std::function<void(const std::vector<std::uint8_t>&, MovieClip&)> onRun;
};

std::shared_ptr<const MovieDefinition> Parse(const std::vector<Bytes>& tags) { return ParseMovie(test::Movie(tags)); }

Bytes Shape(std::uint16_t id) { return test::Tag(32, test::RectangleShape(id, 0, 0, 200, 200, 255, 0, 0)); }

Place At(std::uint16_t depth, int character, std::int32_t tx = 0) {
    Place p;
    p.depth = depth;
    p.character = character;
    p.hasMatrix = true;
    p.tx = tx;
    return p;
}

Place MoveTo(std::uint16_t depth, std::int32_t tx) {
    Place p;
    p.depth = depth;
    p.move = true;
    p.hasMatrix = true;
    p.tx = tx;
    return p;
}

const DisplayObject* At(const MovieClip& clip, std::uint16_t depth) {
    const auto it = clip.Children().find(depth);
    return it == clip.Children().end() ? nullptr : it->second.get();
}

TEST(Timeline, PlaceMoveReplaceAndRemoveAcrossFrames) {
    auto movie = Parse({Shape(1), Shape(2), test::PlaceObject2(At(1, 1, 10)), test::PlaceObject2(At(3, 2)),
                        test::ShowFrame(), test::PlaceObject2(MoveTo(1, 50)), test::RemoveObject2(3), test::ShowFrame(),
                        [] {
                            Place p = MoveTo(1, 70);
                            p.character = 2;  // replace the character, keep the rest
                            return test::PlaceObject2(p);
                        }(),
                        test::ShowFrame()});
    ASSERT_EQ(movie->timeline.frames.size(), 3u);
    Stage stage(movie);
    MovieClip& root = stage.Root();
    EXPECT_EQ(root.FrameCount(), 3u);
    ASSERT_NE(At(root, 1), nullptr);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 10);
    ASSERT_NE(At(root, 3), nullptr);
    EXPECT_EQ(At(root, 3)->Kind(), DisplayKind::Shape);
    const DisplayObject* first = At(root, 1);

    stage.Advance();
    EXPECT_EQ(root.CurrentFrame(), 1u);
    EXPECT_EQ(At(root, 1), first);  // moved, same instance
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 50);
    EXPECT_EQ(At(root, 3), nullptr);

    stage.Advance();
    ASSERT_NE(At(root, 1), nullptr);
    EXPECT_EQ(At(root, 1)->GetPlacement().characterId, 2);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 70);

    // Looping rebuilds the first frame.
    stage.Advance();
    EXPECT_EQ(root.CurrentFrame(), 0u);
    EXPECT_EQ(At(root, 1)->GetPlacement().characterId, 1);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 10);
    EXPECT_NE(At(root, 3), nullptr);
    EXPECT_EQ(root.Children().size(), 2u);
}

TEST(Timeline, GotoFrameBackwardsRebuildsAndKeepsPersistentInstances) {
    auto movie = Parse({Shape(1), Shape(2), test::PlaceObject2(At(1, 1)), test::FrameLabel("start"), test::ShowFrame(),
                        test::PlaceObject2(At(2, 2)), test::PlaceObject2(MoveTo(1, 300)), test::FrameLabel("Two"),
                        test::ShowFrame(), test::RemoveObject2(1), test::ShowFrame(), test::PlaceObject2(At(1, 1, 900)),
                        test::ShowFrame()});
    Stage stage(movie);
    MovieClip& root = stage.Root();
    const DisplayObject* persistent = At(root, 1);

    root.GotoFrame(2);
    EXPECT_EQ(root.CurrentFrame(), 2u);
    EXPECT_EQ(At(root, 1), nullptr);
    EXPECT_NE(At(root, 2), nullptr);

    root.GotoFrame(1);  // backwards: depth 1 comes back as a new instance
    ASSERT_NE(At(root, 1), nullptr);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 300);
    EXPECT_NE(At(root, 2), nullptr);

    root.GotoFrame(3);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 900);
    EXPECT_EQ(At(root, 1)->GetPlacement().placedFrame, 3u);

    const DisplayObject* placedAtThree = At(root, 1);
    root.GotoFrame(0);
    EXPECT_NE(At(root, 1), placedAtThree);  // a different placement: a new instance
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 0);
    EXPECT_EQ(At(root, 2), nullptr);
    (void)persistent;

    // Jumping from frame 1 back to 0 keeps the frame-0 instance at depth 1.
    root.GotoFrame(1);
    const DisplayObject* kept = At(root, 1);
    root.GotoFrame(0);
    EXPECT_EQ(At(root, 1), kept);
    EXPECT_EQ(At(root, 1)->GetPlacement().matrix.tx, 0);

    EXPECT_TRUE(root.GotoLabel("Two"));
    EXPECT_EQ(root.CurrentFrame(), 1u);
    EXPECT_TRUE(root.GotoLabel("START"));  // labels match without case when nothing matches exactly
    EXPECT_EQ(root.CurrentFrame(), 0u);
    EXPECT_FALSE(root.GotoLabel("missing"));
    EXPECT_EQ(root.CurrentFrame(), 0u);
    root.GotoFrame(99);  // past the end: the last frame
    EXPECT_EQ(root.CurrentFrame(), 3u);

    root.Stop();
    stage.Advance();
    EXPECT_EQ(root.CurrentFrame(), 3u);
    root.PrevFrame();
    EXPECT_EQ(root.CurrentFrame(), 2u);
    EXPECT_FALSE(root.IsPlaying());
    root.NextFrame();
    root.NextFrame();  // stays on the last frame
    EXPECT_EQ(root.CurrentFrame(), 3u);
}

TEST(Timeline, SpritesAnimateIndependentlyAndStartWhenPlaced) {
    // Sprite 10: three frames moving a shape at its depth 1.
    auto movie = Parse(
        {Shape(1),
         test::DefineSprite(10, 3,
                            {test::PlaceObject2(At(1, 1, 0)), test::ShowFrame(), test::PlaceObject2(MoveTo(1, 100)),
                             test::ShowFrame(), test::PlaceObject2(MoveTo(1, 200)), test::ShowFrame()}),
         test::PlaceObject2(At(5, 10)), test::ShowFrame(), test::ShowFrame()});
    Stage stage(movie);
    MovieClip& root = stage.Root();
    ASSERT_NE(At(root, 5), nullptr);
    ASSERT_EQ(At(root, 5)->Kind(), DisplayKind::MovieClip);
    auto* sprite = static_cast<const MovieClip*>(At(root, 5));
    EXPECT_EQ(sprite->FrameCount(), 3u);
    EXPECT_EQ(sprite->CurrentFrame(), 0u);

    stage.Advance();  // root 1, sprite 1
    EXPECT_EQ(root.CurrentFrame(), 1u);
    EXPECT_EQ(sprite->CurrentFrame(), 1u);
    EXPECT_EQ(At(*sprite, 1)->GetPlacement().matrix.tx, 100);

    stage.Advance();  // root wraps to 0 but keeps the sprite; sprite 2
    EXPECT_EQ(root.CurrentFrame(), 0u);
    ASSERT_EQ(At(root, 5), sprite);
    EXPECT_EQ(sprite->CurrentFrame(), 2u);

    root.Stop();
    stage.Advance();  // the sprite plays on while the root stands
    EXPECT_EQ(root.CurrentFrame(), 0u);
    EXPECT_EQ(sprite->CurrentFrame(), 0u);
    EXPECT_EQ(At(*sprite, 1)->GetPlacement().matrix.tx, 0);
}

TEST(Timeline, FrameActionsRunInOrderOncePerFrameEntry) {
    auto movie = Parse({test::DefineSprite(10, 2, {test::DoAction({0x21}), test::ShowFrame(), test::ShowFrame()}),
                        test::DoAction({0x11}), test::DoAction({0x12}), test::PlaceObject2(At(1, 10)),
                        test::ShowFrame(), test::DoAction({0x13}), test::ShowFrame()});
    RecordingRunner runner;  // outlives the stage, which reports destroyed clips to it
    Stage stage(movie);
    stage.SetActionRunner(&runner);
    stage.RunQueuedActions();
    MovieClip& root = stage.Root();
    auto* sprite = static_cast<MovieClip*>(const_cast<DisplayObject*>(At(root, 1)));
    ASSERT_EQ(runner.ran.size(), 3u);
    EXPECT_EQ(runner.ran[0], std::make_pair(std::uint8_t{0x11}, &root));
    EXPECT_EQ(runner.ran[1], std::make_pair(std::uint8_t{0x12}, &root));
    EXPECT_EQ(runner.ran[2], std::make_pair(std::uint8_t{0x21}, sprite));

    runner.ran.clear();
    stage.Advance();
    ASSERT_EQ(runner.ran.size(), 1u);
    EXPECT_EQ(runner.ran[0].first, 0x13);

    // A script that jumps back runs the target frame's actions; a jump to the
    // frame already shown runs nothing.
    runner.ran.clear();
    root.GotoFrame(0);
    stage.RunQueuedActions();
    ASSERT_EQ(runner.ran.size(), 2u);  // the kept sprite does not start again
    EXPECT_EQ(runner.ran[1].first, 0x12);

    runner.ran.clear();
    runner.onRun = [](const std::vector<std::uint8_t>& code, MovieClip& target) {
        if (code[0] == 0x13) target.GotoFrame(0);
        if (code[0] == 0x11) target.GotoFrame(0);
    };
    root.GotoFrame(1);
    stage.RunQueuedActions();
    ASSERT_EQ(runner.ran.size(), 3u);
    EXPECT_EQ(runner.ran[0].first, 0x13);
    EXPECT_EQ(runner.ran[1].first, 0x11);
    EXPECT_EQ(runner.ran[2].first, 0x12);
    EXPECT_EQ(root.CurrentFrame(), 0u);
}

TEST(Timeline, EndlessJumpsAreCutOffAndRemovedClipsAreForgotten) {
    auto movie =
        Parse({test::DefineSprite(10, 1, {test::ShowFrame()}), test::PlaceObject2(At(1, 10)), test::DoAction({0x01}),
               test::ShowFrame(), test::RemoveObject2(1), test::DoAction({0x02}), test::ShowFrame()});
    RecordingRunner runner;  // outlives the stage, which reports destroyed clips to it
    Stage stage(movie);
    stage.SetActionRunner(&runner);
    MovieClip* sprite = static_cast<MovieClip*>(const_cast<DisplayObject*>(At(stage.Root(), 1)));
    // Actions queued for a clip that goes away before they run are dropped.
    stage.QueueActions(*sprite, std::make_shared<const std::vector<std::uint8_t>>(Bytes{0x77}));
    stage.Root().GotoFrame(1);
    stage.Root().GotoFrame(0);
    // A removed clip lives until the queue has run (for its unload handlers).
    EXPECT_EQ(std::find(runner.forgotten.begin(), runner.forgotten.end(), sprite), runner.forgotten.end());
    stage.RunQueuedActions();
    EXPECT_NE(std::find(runner.forgotten.begin(), runner.forgotten.end(), sprite), runner.forgotten.end());
    for (const auto& [code, clip] : runner.ran) EXPECT_NE(code, 0x77);
    runner.ran.clear();

    runner.onRun = [](const std::vector<std::uint8_t>& code, MovieClip& target) {
        target.GotoFrame(code[0] == 0x01 ? 1 : 0);  // frames 0 and 1 jump to each other forever
    };
    stage.Root().GotoFrame(1);
    stage.RunQueuedActions();
    EXPECT_EQ(runner.ran.size(), kMaxActionBlocksPerStep);
}

TEST(Timeline, SelfNestingSpritesAreBounded) {
    // Sprite 10 places itself, and twice: without limits this never ends.
    auto movie = Parse(
        {test::DefineSprite(10, 1, {test::PlaceObject2(At(1, 10)), test::PlaceObject2(At(2, 10)), test::ShowFrame()}),
         test::PlaceObject2(At(1, 10)), test::ShowFrame()});
    Stage stage(movie);
    EXPECT_LE(stage.InstanceCount(), kMaxInstances);
    EXPECT_GT(stage.InstanceCount(), 1000u);
    stage.Advance();
    EXPECT_LE(stage.InstanceCount(), kMaxInstances);
}

TEST(Timeline, AScriptThatRemovesItsOwnClipKeepsRunningSafely) {
    // The sprite's first frame script sends the root to frame 1 (where the
    // sprite is gone), then keeps using its own clip.
    auto movie = Parse({test::DefineSprite(10, 2, {test::DoAction({0x31}), test::ShowFrame(), test::ShowFrame()}),
                        test::PlaceObject2(At(1, 10)), test::ShowFrame(), test::RemoveObject2(1),
                        test::DoAction({0x32}), test::ShowFrame()});
    RecordingRunner runner;
    Stage stage(movie);
    stage.SetActionRunner(&runner);
    MovieClip& root = stage.Root();
    runner.onRun = [&root](const std::vector<std::uint8_t>& code, MovieClip& target) {
        if (code[0] != 0x31) return;
        root.GotoFrame(1);
        target.Stop();
        target.GotoFrame(1);
        EXPECT_EQ(target.CurrentFrame(), 1u);
    };
    root.Stop();
    stage.RunQueuedActions();
    EXPECT_EQ(root.CurrentFrame(), 1u);
    EXPECT_EQ(At(root, 1), nullptr);
    ASSERT_EQ(runner.ran.size(), 2u);
    EXPECT_EQ(runner.ran[1].first, 0x32);
    EXPECT_EQ(runner.forgotten.size(), 1u);
}

TEST(PlaceTags, PlaceObjectOneAndThreeRemoveObjectAndUnknownTags) {
    // PlaceObject: character 3 at depth 4, matrix, and an optional CXFORM.
    writer::BitWriter p1;
    p1.U16(3);
    p1.U16(4);
    test::PutTranslate(p1, 20, -40);
    p1.UB(1, false);
    p1.UB(1, true);
    p1.UB(4, 11);
    for (int v : {128, 256, 512}) p1.SB(11, v);
    p1.Align();
    const PlaceCommand one = ParsePlaceObject(p1.bytes(), 1);
    EXPECT_EQ(one.depth, 4);
    EXPECT_EQ(one.characterId, 3);
    EXPECT_FALSE(one.move);
    EXPECT_EQ(one.matrix->ty, -40);
    ASSERT_TRUE(one.colorTransform);
    EXPECT_DOUBLE_EQ(one.colorTransform->bMult, 2.0);
    // Without the colour transform the tag simply ends after the matrix.
    const PlaceCommand bare = ParsePlaceObject(Bytes(p1.bytes().begin(), p1.bytes().begin() + 4 + 3), 1);
    EXPECT_FALSE(bare.colorTransform);

    // PlaceObject3 with a class name, filters, blend mode and visibility after the
    // fields this engine uses.
    writer::BitWriter p3;
    p3.U8(0x02 | 0x04 | 0x10 | 0x20 | 0x40);  // character, matrix, ratio, name, clip depth
    p3.U8(0x08 | 0x01 | 0x02);                // class name, filters, blend mode
    p3.U16(9);
    p3.String("some.Class");
    p3.U16(12);
    test::PutTranslate(p3, 5, 6);
    p3.U16(300);
    p3.String("box");
    p3.U16(11);
    p3.U8(1);
    p3.U8(1);  // blur filter
    p3.Fixed16(5.5);
    p3.Fixed16(2);
    p3.U8(3 << 3);  // three passes
    p3.U8(3);
    const PlaceCommand three = ParsePlaceObject(p3.bytes(), 3);
    EXPECT_EQ(three.depth, 9);
    EXPECT_EQ(three.characterId, 12);
    EXPECT_EQ(three.matrix->tx, 5);
    EXPECT_EQ(three.ratio, 300);
    EXPECT_EQ(three.name, "box");
    EXPECT_EQ(three.clipDepth, 11);
    EXPECT_FALSE(three.colorTransform);
    ASSERT_TRUE(three.filters && *three.filters && (*three.filters)->size() == 1);
    const auto* blur = std::get_if<raster::BlurFilter>(&(*three.filters)->front());
    ASSERT_NE(blur, nullptr);
    EXPECT_EQ(blur->blur.blurX, 5.5);
    EXPECT_EQ(blur->blur.blurY, 2);
    EXPECT_EQ(blur->blur.passes, 3);
    EXPECT_EQ(three.blendMode, raster::BlendMode::Multiply);
    EXPECT_FALSE(three.cacheAsBitmap);

    writer::BitWriter r1;
    r1.U16(3);
    r1.U16(4);
    EXPECT_EQ(ParseRemoveObject(r1.bytes(), 1).depth, 4);
    EXPECT_THROW(ParseRemoveObject(Bytes{1}, 2), ParseError);

    // Through a movie: PO1 places, unknown tags (with long headers) are skipped,
    // RemoveObject takes it away again.
    writer::BitWriter remove;
    remove.U16(3);
    remove.U16(4);
    auto movie = Parse({Shape(3), test::Tag(4, p1.bytes()), test::Tag(777, Bytes(100, 0xEE)), test::Tag(87, {}, true),
                        test::ShowFrame(), test::Tag(5, remove.bytes()), test::ShowFrame()});
    // Each unknown or unplayed tag is told once.
    EXPECT_EQ(movie->warnings, (std::vector<std::string>{"tag 777 is not known to this player and was skipped",
                                                         "embedded binary data (DefineBinaryData) is ignored"}));
    Stage stage(movie);
    ASSERT_NE(At(stage.Root(), 4), nullptr);
    EXPECT_EQ(At(stage.Root(), 4)->GetPlacement().colorTransform.bMult, 2.0);
    stage.Advance();
    EXPECT_EQ(At(stage.Root(), 4), nullptr);
}

Place Named(std::uint16_t depth, int character, const std::string& name) {
    Place p;
    p.depth = depth;
    p.character = character;
    p.name = name;
    return p;
}

Bytes ThreeFrameSprite(std::uint16_t id, const std::vector<Bytes>& firstFrame) {
    std::vector<Bytes> tags = firstFrame;
    tags.insert(tags.end(), {test::ShowFrame(), test::ShowFrame(), test::ShowFrame()});
    return test::DefineSprite(id, 3, tags);
}

TEST(TargetPaths, NamesParentsRootAndSlashPathsResolveToClips) {
    auto movie = Parse({ThreeFrameSprite(11, {}), ThreeFrameSprite(10, {test::PlaceObject2(Named(1, 11, "inner"))}),
                        test::PlaceObject2(Named(1, 10, "mc")), test::ShowFrame()});
    Stage stage(movie);
    MovieClip& root = stage.Root();
    auto* mc = static_cast<MovieClip*>(const_cast<DisplayObject*>(At(root, 1)));
    auto* inner = static_cast<MovieClip*>(const_cast<DisplayObject*>(At(*mc, 1)));
    EXPECT_EQ(root.FindTarget("mc"), mc);
    EXPECT_EQ(root.FindTarget("MC"), mc);
    EXPECT_EQ(root.FindTarget("mc.inner"), inner);
    EXPECT_EQ(inner->FindTarget("/mc/inner"), inner);
    EXPECT_EQ(inner->FindTarget("_parent"), mc);
    EXPECT_EQ(inner->FindTarget("_parent._parent"), &root);
    EXPECT_EQ(inner->FindTarget("../inner"), inner);
    EXPECT_EQ(inner->FindTarget("_root.mc"), mc);
    EXPECT_EQ(inner->FindTarget("/"), &root);
    EXPECT_EQ(root.FindTarget("missing"), nullptr);
    EXPECT_EQ(root.FindTarget("mc.missing.inner"), nullptr);
    EXPECT_EQ(root.FindTarget("_parent"), nullptr);
}

TEST(TargetPaths, ScriptsReachNamedClipsThroughTheActionVm) {
    // Frame 1 of the root: tellTarget("mc") { gotoAndStop(3) } then stop().
    writer::BitWriter code;
    code.U8(0x8B);
    code.U16(3);
    code.String("mc");
    code.U8(0x81);
    code.U16(2);
    code.U16(2);
    code.U8(0x07);  // stop (of mc, inside the tellTarget)
    code.U8(0x8B);
    code.U16(1);
    code.String("");
    code.U8(0x07);  // stop (of the root)
    code.U8(0x00);
    Player player;
    ASSERT_TRUE(player.Load(test::Movie({ThreeFrameSprite(10, {}), test::PlaceObject2(Named(1, 10, "mc")),
                                         test::DoAction(code.bytes()), test::ShowFrame(), test::ShowFrame()})));
    MovieClip* root = player.Root();
    ASSERT_NE(root, nullptr);
    auto* mc = static_cast<MovieClip*>(root->FindTarget("mc"));
    ASSERT_NE(mc, nullptr);
    EXPECT_EQ(mc->CurrentFrame(), 2u);
    EXPECT_FALSE(mc->IsPlaying());
    EXPECT_FALSE(root->IsPlaying());
    player.AdvanceFrame();
    EXPECT_EQ(root->CurrentFrame(), 0u);
    EXPECT_EQ(mc->CurrentFrame(), 2u);
}

}  // namespace
}  // namespace swf
