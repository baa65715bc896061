#include "toolkit/core/convert.h"
#include "toolkit/core/exception.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using toolkit::TryStrToInt;

TEST(StrToInt, AcceptsDecimalWithBlanksAndSign) {
    EXPECT_EQ(TryStrToInt("800"), 800);
    EXPECT_EQ(TryStrToInt("   800"), 800);
    EXPECT_EQ(TryStrToInt("-1"), -1);
    EXPECT_EQ(TryStrToInt("+42"), 42);
    EXPECT_EQ(TryStrToInt("0"), 0);
    EXPECT_EQ(TryStrToInt("007"), 7);
    EXPECT_EQ(TryStrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(TryStrToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(TryStrToInt("  -0"), 0);
}

TEST(StrToInt, AcceptsHexadecimalPrefixes) {
    EXPECT_EQ(TryStrToInt("$1F"), 31);
    EXPECT_EQ(TryStrToInt("x1f"), 31);
    EXPECT_EQ(TryStrToInt("X1F"), 31);
    EXPECT_EQ(TryStrToInt("0x1F"), 31);
    EXPECT_EQ(TryStrToInt("-$10"), -16);
    EXPECT_EQ(TryStrToInt(" $7FFFFFFF"), INT_MAX);
    EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TryStrToInt("$80000000"), INT_MIN);
    EXPECT_EQ(TryStrToInt("$000000000001"), 1);  // leading zeros do not overflow
}

TEST(StrToInt, RejectsEverythingElse) {
    for (const char* bad :
         {"",           " ",    "-",     "+",   "$",   "0x",         "x",           "800 ",
          "800px",      "8 00", "\t800", "1.5", "1e3", "2147483648", "-2147483649", "99999999999999999999",
          "$100000000", "$G",   "0X1F",  "--1", "+-1", "- 1",        "0x-1",        "$ 1"}) {
        EXPECT_FALSE(TryStrToInt(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(StrToInt, FailureMessageNamesTheText) {
    try {
        toolkit::StrToInt("800px");
        FAIL() << "no exception";
    } catch (const toolkit::EConvertError& e) {
        EXPECT_EQ(e.Message(), "'800px' is not a valid integer value");
    }
    try {
        toolkit::StrToInt("");
        FAIL() << "no exception";
    } catch (const toolkit::Exception& e) {
        EXPECT_EQ(e.Message(), "'' is not a valid integer value");
    }
}

TEST(ExceptionReportText, AddsAFullStopAfterCharactersThatSortAfterIt) {
    using toolkit::ExceptionReportText;
    EXPECT_EQ(ExceptionReportText("Range check error"), "Range check error.");
    EXPECT_EQ(ExceptionReportText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
    EXPECT_EQ(ExceptionReportText(""), "");
    EXPECT_EQ(ExceptionReportText("Done."), "Done.");
    EXPECT_EQ(ExceptionReportText("Trailing blank "), "Trailing blank ");  // ' ' sorts before '.'
    EXPECT_EQ(ExceptionReportText("Is it?"), "Is it?.");                   // '?' sorts after '.'
    EXPECT_EQ(ExceptionReportText("a-"), "a-");                            // '-' sorts before '.'
    EXPECT_EQ(ExceptionReportText("path/"), "path/.");                     // '/' sorts after '.'
    EXPECT_EQ(ExceptionReportText("caf\xE9"), "caf\xE9.");                 // code-page letters too
}

}  // namespace
