// The player's log: trace() lines and warnings reach the log handler as they
// happen, in the order the movie produced them.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "swf/player/player.h"
#include "swf/writer/action_assembler.h"
#include "swf_bytes.h"

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
    const auto movie = test::Movie({test::DoAction(first.Finish()), test::DoAction(endless.Finish()),
                                    test::DoAction(third.Finish()), test::ShowFrame()});
    Player player;
    std::vector<Entry> log;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) { log.emplace_back(kind, text); });
    ASSERT_TRUE(player.Load(movie)) << player.LoadError();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], (Entry{Player::LogKind::Trace, "one"}));
    EXPECT_EQ(log[1], (Entry{Player::LogKind::Trace, "two"}));
    EXPECT_EQ(log[2].first, Player::LogKind::Warning);
    EXPECT_NE(log[2].second.find("script stopped on frame 1"), std::string::npos) << log[2].second;
    EXPECT_EQ(log[3], (Entry{Player::LogKind::Trace, "3"}));
    // The same warning is listed for later reading.
    const std::vector<std::string> warnings = player.Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], log[2].second);
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
