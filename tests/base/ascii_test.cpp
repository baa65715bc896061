#include <gtest/gtest.h>

#include "swf/base/ascii.h"

using swf::base::EqualsNoCase;
using swf::base::StartsWithNoCase;

TEST(Ascii, CaseIsIgnoredForLettersOnly) {
    EXPECT_TRUE(StartsWithNoCase("FSCommand:quit", "fscommand:"));
    EXPECT_TRUE(StartsWithNoCase("asfunction:f,1", "ASFunction:"));
    EXPECT_FALSE(StartsWithNoCase("fs", "fscommand:"));
    EXPECT_TRUE(StartsWithNoCase("anything", ""));
    EXPECT_TRUE(EqualsNoCase("_Root", "_rOOT"));
    EXPECT_FALSE(EqualsNoCase("_root", "_roots"));
    // '[' and '{' differ by the case bit but are not letters.
    EXPECT_FALSE(EqualsNoCase("[", "{"));
    // Bytes of UTF-8 text compare as they are: É (C3 89) is not é (C3 A9).
    EXPECT_FALSE(EqualsNoCase("\xC3\x89", "\xC3\xA9"));
}
