// The player's log: trace() lines and warnings reach the log handler as they
// happen, in the order the movie produced them.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "swf/player/player.h"
#include "swf/writer/action_assembler.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using writer::ActionAssembler;
using writer::ActionCode;
using Entry = std::pair<Player::LogKind, std::string>;

TEST(PlayerLog, TraceLinesAndStoppedScriptsArriveInOrder) {
    ActionAssembler first;
    first.PushString("one").Action(ActionCode::Trace);
    ActionAssembler endless;  // trace, then loop until the step limit stops the script
    endless.PushString("two").Action(ActionCode::Trace);
    endless.Label("top").Jump("top");
    ActionAssembler third;
    third.PushNumber(3).Action(ActionCode::Trace);
    ActionAssembler skipped;  // after the budget is spent, nothing more runs in that frame
    skipped.PushString("skipped").Action(ActionCode::Trace);
    const auto movie =
        test::Movie({test::DoAction(first.Finish()), test::DoAction(endless.Finish()), test::DoAction(skipped.Finish()),
                     test::ShowFrame(), test::DoAction(third.Finish()), test::ShowFrame()});
    Player player;
    std::vector<Entry> log;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) { log.emplace_back(kind, text); });
    ASSERT_TRUE(player.Load(movie)) << player.LoadError();
    player.AdvanceFrame();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], (Entry{Player::LogKind::Trace, "one"}));
    EXPECT_EQ(log[1], (Entry{Player::LogKind::Trace, "two"}));
    EXPECT_EQ(log[2].first, Player::LogKind::Warning);
    EXPECT_NE(log[2].second.find("scripts stopped in a script of _level0 on frame 1"), std::string::npos)
        << log[2].second;
    EXPECT_EQ(log[3], (Entry{Player::LogKind::Trace, "3"}));
    // The same warning is listed for later reading.
    const std::vector<std::string> warnings = player.Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], log[2].second);
}

// A script stopped by its frame's step limit has taken no more steps than the
// limit; the next frame's script runs on a budget of its own.
TEST(PlayerLog, TheStepLimitStopsAScriptAfterThatManySteps) {
    ActionAssembler counting;  // i = 0; while (true) ++i;  at least four actions a turn
    counting.PushString("i").PushNumber(0).Action(ActionCode::SetVariable);
    counting.Label("top").PushString("i").PushString("i").Action(ActionCode::GetVariable);
    counting.Action(ActionCode::Increment).Action(ActionCode::SetVariable).Jump("top");
    ActionAssembler report;
    report.PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Trace);
    ActionAssembler stop;
    stop.Action(ActionCode::Stop);
    const auto movie = test::Movie({test::DoAction(counting.Finish()), test::ShowFrame(),
                                    test::DoAction(report.Finish()), test::DoAction(stop.Finish()), test::ShowFrame()});
    const auto turnsTaken = [&](std::uint64_t limit) {
        Player player;
        player.SetScriptStepLimit(limit);
        player.SetScriptTimeLimit(-1);  // steps alone decide here
        std::string last;
        player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
            if (kind == Player::LogKind::Trace) last = text;
        });
        EXPECT_TRUE(player.Load(movie)) << player.LoadError();
        player.AdvanceFrame();
        return std::stod(last.empty() ? "-1" : last);
    };
    const double limited = turnsTaken(600);
    EXPECT_GE(limited, 1);
    EXPECT_LE(limited, 600 / 4);
    // The usual limit is a million steps: at most six actions a turn here.
    EXPECT_GE(turnsTaken(0), 1'000'000 / 6);
}

TEST(PlayerLog, ReadingWarningsAreLoggedAtLoad) {
    // A tag whose length runs past the end of the file: reading repairs it and says so.
    auto movie = test::Movie({test::ShowFrame()});
    movie.insert(movie.end() - 2, {0x3f, 0x03, 0xff, 0xff, 0x00, 0x00});  // DoAction, long length, cut short
    Player player;
    std::vector<Entry> log;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) { log.emplace_back(kind, text); });
    ASSERT_TRUE(player.Load(movie)) << player.LoadError();
    const std::vector<std::string> warnings = player.Warnings();
    ASSERT_FALSE(warnings.empty());
    ASSERT_EQ(log.size(), warnings.size());
    for (std::size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i], (Entry{Player::LogKind::Warning, warnings[i]}));
}

}  // namespace
}  // namespace swf
