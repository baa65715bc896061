#include "app/flash_install_rule.h"

#include <gtest/gtest.h>

namespace {

using app::NeedsFlashInstall;
using app::PathKind;
using app::VersionCharacter;

TEST(VersionCharacter, SkipsOnlyALowerCaseB) {
    EXPECT_EQ(VersionCharacter("C:\\WINDOWS\\system32\\Macromed\\Flash\\Flash9b.ocx"), "9");
    EXPECT_EQ(VersionCharacter("C:\\x\\Flash8.ocx"), "8");
    EXPECT_EQ(VersionCharacter("C:\\x\\Flash9c.ocx"), "c");
    EXPECT_EQ(VersionCharacter("C:\\x\\Flash9B.ocx"), "B");
    EXPECT_EQ(VersionCharacter("C:\\x\\Flash10b.ocx"), "0");
    EXPECT_EQ(VersionCharacter("C:\\x\\Flash9.dll"), "9");
}

TEST(VersionCharacter, ShortPathsReadTheFirstCharacter) {
    EXPECT_EQ(VersionCharacter(""), "");
    EXPECT_EQ(VersionCharacter("8"), "8");
    EXPECT_EQ(VersionCharacter("9.ocx"), "9");  // exactly the fifth from the end
    EXPECT_EQ(VersionCharacter("8ocx"), "8");   // position 0 read as 1
    EXPECT_EQ(VersionCharacter("b"), "b");      // skipping 'b' lands on position 1 again
    EXPECT_EQ(VersionCharacter("9b.ocx"), "9");
    EXPECT_EQ(VersionCharacter("b.ocx"), "b");
}

TEST(NeedsFlashInstall, DecisionTable) {
    const std::string nine = "C:\\Flash\\Flash9b.ocx";
    const std::string eight = "C:\\Flash\\Flash8.ocx";
    EXPECT_TRUE(NeedsFlashInstall("", PathKind::File));  // the file is not looked at
    EXPECT_TRUE(NeedsFlashInstall(nine, PathKind::Missing));
    EXPECT_TRUE(NeedsFlashInstall(nine, PathKind::Folder));
    EXPECT_FALSE(NeedsFlashInstall(nine, PathKind::File));
    EXPECT_FALSE(NeedsFlashInstall(eight, PathKind::File));
    EXPECT_TRUE(NeedsFlashInstall("C:\\Flash\\Flash9c.ocx", PathKind::File));
    EXPECT_TRUE(NeedsFlashInstall("C:\\Flash\\Flash9B.ocx", PathKind::File));
    EXPECT_TRUE(NeedsFlashInstall("C:\\Flash\\Flash10b.ocx", PathKind::File));
    EXPECT_TRUE(NeedsFlashInstall("C:\\Flash\\Flash7.ocx", PathKind::File));
}

}  // namespace
