// The one UTF-8 codec, against byte sequences from the UTF-8 definition
// (RFC 3629): well-formed text, cut sequences, stray bytes, surrogates.

#include <gtest/gtest.h>

#include "swf/base/utf8.h"

using swf::base::BadBytes;
using swf::base::DecodeUtf8;
using swf::base::EncodeUtf8;
using swf::base::Utf8Length;

TEST(Utf8, WellFormedTextDecodesAndEncodesBack) {
    // "Aé€𝄞": one, two, three and four bytes (RFC 3629's table).
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";
    const std::u32string expected = {U'A', 0xE9, 0x20AC, 0x1D11E};
    EXPECT_EQ(DecodeUtf8(text, BadBytes::Replace), expected);
    EXPECT_EQ(DecodeUtf8(text, BadBytes::Keep), expected);
    EXPECT_EQ(EncodeUtf8(expected), text);
    EXPECT_EQ(Utf8Length(text), 4u);
    EXPECT_EQ(Utf8Length(""), 0u);
}

TEST(Utf8, BadBytesAreReplacedForDrawingAndKeptForScripts) {
    // A stray continuation byte, a lead cut short by the end, a lead followed
    // by a plain letter, and a byte that can never lead.
    const std::string bad =
        "\x80"
        "a\xE2\x82"
        "b\xC3"
        "c\xFF";
    EXPECT_EQ(DecodeUtf8(bad, BadBytes::Replace), (std::u32string{0xFFFD, U'a', 0xFFFD, U'b', 0xFFFD, U'c', 0xFFFD}));
    // Kept: each bad byte is one character of its own, so the bytes come back.
    const std::u32string kept = DecodeUtf8(bad, BadBytes::Keep);
    EXPECT_EQ(kept, (std::u32string{0x80, U'a', 0xE2, 0x82, U'b', 0xC3, U'c', 0xFF}));
    EXPECT_EQ(Utf8Length(bad), kept.size());
    // Cut at the end: the lead and what was read of it make one replacement.
    EXPECT_EQ(DecodeUtf8("x\xF0\x9D\x84", BadBytes::Replace), (std::u32string{U'x', 0xFFFD}));
    EXPECT_EQ(DecodeUtf8("x\xF0\x9D\x84", BadBytes::Keep), (std::u32string{U'x', 0xF0, 0x9D, 0x84}));
}

TEST(Utf8, SurrogatesSurviveScriptsAndReadAsReplacementWhenDrawn) {
    // U+D800 is not a character; a script may still make one.
    const std::string written = EncodeUtf8(std::u32string{0xD800});
    EXPECT_EQ(written, "\xED\xA0\x80");
    EXPECT_EQ(DecodeUtf8(written, BadBytes::Keep), std::u32string{0xD800});
    EXPECT_EQ(DecodeUtf8(written, BadBytes::Replace), std::u32string{0xFFFD});
    // Past U+10FFFF there is no code point: written as U+FFFD.
    EXPECT_EQ(EncodeUtf8(std::u32string{0x110000}), "\xEF\xBF\xBD");
    // F4 90 80 80 would be U+110000.
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80", BadBytes::Replace), std::u32string{0xFFFD});
}
