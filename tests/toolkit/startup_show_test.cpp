#include "toolkit/core/startup_show.h"

#include <gtest/gtest.h>

namespace {

using toolkit::StartupShowFor;
using toolkit::TStartupShow;

TEST(StartupShow, FollowsTheGivenShowCommand) {
    // SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_FORCEMINIMIZE
    for (unsigned minimized : {2u, 6u, 7u, 11u}) {
        EXPECT_EQ(StartupShowFor(true, minimized), TStartupShow::Minimized) << minimized;
    }
    EXPECT_EQ(StartupShowFor(true, 3), TStartupShow::Maximized);  // SW_SHOWMAXIMIZED
    // SW_HIDE, SW_SHOWNORMAL, SW_SHOWNOACTIVATE, SW_SHOW, SW_SHOWNA, SW_RESTORE, SW_SHOWDEFAULT, out of range
    for (unsigned normal : {0u, 1u, 4u, 5u, 8u, 9u, 10u, 12u, 65535u}) {
        EXPECT_EQ(StartupShowFor(true, normal), TStartupShow::Normal) << normal;
    }
}

TEST(StartupShow, AShowCommandThatIsNotGivenCountsForNothing) {
    for (unsigned command : {2u, 3u, 7u}) EXPECT_EQ(StartupShowFor(false, command), TStartupShow::Normal) << command;
}

}  // namespace
