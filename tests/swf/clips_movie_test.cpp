// The 500-clip movie the frame benchmark plays: every dot is attached, moves
// by its own speed each frame and turns back at the stage's edges.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "swf/actions/action_target.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "tools/moviegen/movies.h"

namespace swf {
namespace {

double DotX(Player& player, int i) {
    ActionTarget* dot = player.Root()->FindTarget("dot" + std::to_string(i));
    return dot != nullptr ? dot->GetDisplayNumber(DisplayProperty::X) : std::nan("");
}

TEST(ClipsMovie, EveryDotMovesByItsSpeedAndTurnsAtTheEdges) {
    Player player;
    ASSERT_TRUE(player.Load(moviegen::BuildClipsMovie())) << player.LoadError();
    EXPECT_EQ(player.Root()->Children().size(), static_cast<std::size_t>(moviegen::kMovingClips));
    // Frame 1 placed dot i at x = (37 i) mod 1264 with speed (i mod 7) - 3.5.
    EXPECT_EQ(DotX(player, 3), 111);
    EXPECT_EQ(DotX(player, 499), 499 * 37 % 1264);
    EXPECT_EQ(DotX(player, 0), 0);
    player.AdvanceFrame();
    EXPECT_EQ(DotX(player, 3), 110.5);
    EXPECT_EQ(DotX(player, 499), 499 * 37 % 1264 + 499 % 7 - 3.5);
    // Dot 0 went to -3.5, past the left edge: it turns and comes back.
    EXPECT_EQ(DotX(player, 0), -3.5);
    player.AdvanceFrame();
    EXPECT_EQ(DotX(player, 0), 0);
    player.AdvanceFrame();
    EXPECT_EQ(DotX(player, 0), 3.5);
    EXPECT_TRUE(player.Warnings().empty()) << player.Warnings().front();
}

// The movie ends itself: after its last frame it asks its host to close, once.
TEST(ClipsMovie, AsksItsHostToCloseAfterItsFrames) {
    struct Host : ActionHost {
        int frameOfCall = 0, calls = 0, frame = 1;
        void FSCommand(const std::string&, const std::string&) override {}
        void GetURL(const std::string&, const std::string&) override {}
        std::string FlashCall(const std::string& request) override {
            if (request.find("<invoke name=\"close\"") != std::string::npos && calls++ == 0) frameOfCall = frame;
            return {};
        }
    } host;
    Player player;
    player.SetHost(&host);
    constexpr int kFrames = 4;
    ASSERT_TRUE(player.Load(moviegen::BuildClipsMovie(kFrames))) << player.LoadError();
    for (; host.frame <= kFrames + 3; ++host.frame) player.AdvanceFrame();
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(host.frameOfCall, kFrames);
}

}  // namespace
}  // namespace swf
