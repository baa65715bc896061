// UTF-8 and UTF-16 conversions: the strict pair refuses invalid input, the
// replacing pair turns it into U+FFFD. Expected code units are those the
// encodings define for each character.

#include <gtest/gtest.h>

#include <string>

#include "win32/wide_text.h"

namespace {

TEST(WideText, StrictConversionsKeepEveryCharacterOrGiveNothing) {
    // "Gú Ω 中 😀": two-, three- and four-byte sequences; the last one a surrogate pair.
    const std::string utf8 = "G\xC3\xBA \xCE\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80";
    const std::wstring utf16 = L"G\u00FA \u03A9 \u4E2D \xD83D\xDE00";
    EXPECT_EQ(win32::WideFromUtf8(utf8), utf16);
    EXPECT_EQ(win32::Utf8FromWide(utf16), utf8);
    EXPECT_EQ(win32::WideFromUtf8(""), std::wstring());

    // A lone continuation byte, a cut-short sequence, a lone surrogate.
    EXPECT_FALSE(
        win32::WideFromUtf8("a\x80"
                            "b"));
    EXPECT_FALSE(win32::WideFromUtf8("\xE4\xB8"));
    EXPECT_FALSE(win32::Utf8FromWide(std::wstring(L"a") + wchar_t(0xD800)));
}

TEST(WideText, ReplacingConversionsMarkInvalidSequences) {
    EXPECT_EQ(win32::WideFromUtf8Replacing("G\xC3\xBA"), L"G\u00FA");
    EXPECT_EQ(win32::WideFromUtf8Replacing("a\x80"
                                           "b"),
              L"a\uFFFD"
              L"b");
    EXPECT_EQ(win32::Utf8FromWideReplacing(L"\u03A9"), "\xCE\xA9");
    EXPECT_EQ(win32::Utf8FromWideReplacing(std::wstring(L"a") + wchar_t(0xD800)), "a\xEF\xBF\xBD");
    EXPECT_EQ(win32::WideFromUtf8Replacing(""), std::wstring());
}

}  // namespace
