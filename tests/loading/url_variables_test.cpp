// The URL-encoded variables text: what hand-written files and hostile input
// turn into.

#include <gtest/gtest.h>

#include <string>

#include "swf/actions/url_variables.h"

namespace swf::actions {
namespace {

using Pairs = UrlVariables;

TEST(UrlVariables, GuideSettingsFileReadsAsItsPairs) {
    EXPECT_EQ(DecodeUrlVariables("&title=User Guide&width=956&height=700&pages=3&\r\n"),
              (Pairs{{"title", "User Guide"}, {"width", "956"}, {"height", "700"}, {"pages", "3"}}));
    // One pair per line, with line breaks before the ampersands.
    EXPECT_EQ(DecodeUrlVariables("\r\n&title=Intro\r\n&width=800\r\n&height=-1\n"),
              (Pairs{{"title", "Intro"}, {"width", "800"}, {"height", "-1"}}));
    EXPECT_EQ(DecodeUrlVariables("a=1&b=2"), (Pairs{{"a", "1"}, {"b", "2"}}));
}

TEST(UrlVariables, EscapesAndOddPairs) {
    EXPECT_EQ(DecodeUrlVariables("t=a+b%20c%2Bd%26e%3Df"), (Pairs{{"t", "a b c+d&e=f"}}));
    // Spaces inside and around values stay; line breaks at the ends go, encoded ones stay.
    EXPECT_EQ(DecodeUrlVariables("t= x \r\n&u=%0D%0A"), (Pairs{{"t", " x "}, {"u", "\r\n"}}));
    EXPECT_EQ(DecodeUrlVariables("t=line1\r\nline2"), (Pairs{{"t", "line1\r\nline2"}}));
    // A '%' that escapes nothing is kept.
    EXPECT_EQ(DecodeUrlVariables("a=%&b=%zz&c=%4&d=100%"),
              (Pairs{{"a", "%"}, {"b", "%zz"}, {"c", "%4"}, {"d", "100%"}}));
    // An encoded NUL ends the value.
    EXPECT_EQ(DecodeUrlVariables("a=x%00y&b=2"), (Pairs{{"a", "x"}, {"b", "2"}}));
    // '=' in values, names without '=', empty names, empty pairs.
    EXPECT_EQ(DecodeUrlVariables("q=a=b=c&flag&=lost&&=&"), (Pairs{{"q", "a=b=c"}, {"flag", ""}}));
    // Names: escapes decoded, surrounding white space dropped.
    EXPECT_EQ(DecodeUrlVariables(" my%20name =v"), (Pairs{{"my name", "v"}}));
    // Duplicates stay in order; whoever sets them keeps the last.
    EXPECT_EQ(DecodeUrlVariables("a=1&a=2"), (Pairs{{"a", "1"}, {"a", "2"}}));
    EXPECT_EQ(DecodeUrlVariables(""), Pairs{});
    EXPECT_EQ(DecodeUrlVariables("\r\n"), Pairs{});
}

TEST(UrlVariables, HugeInputIsBounded) {
    std::string many;
    for (int i = 0; i < 200000; ++i) many += "&v=1";
    EXPECT_EQ(DecodeUrlVariables(many).size(), 65536u);
    EXPECT_EQ(DecodeUrlVariables(many, 10).size(), 10u);
    const std::string ampersands(1 << 20, '&');
    EXPECT_TRUE(DecodeUrlVariables(ampersands).empty());
}

TEST(UrlVariables, EncodingRoundTrips) {
    const Pairs pairs = {{"title", "User Guide & more"}, {"a=b", "100%"}, {"u", "\xC3\xBC+"}};
    const std::string text = EncodeUrlVariables(pairs);
    EXPECT_EQ(text, "title=User%20Guide%20%26%20more&a%3Db=100%25&u=%C3%BC%2B");
    EXPECT_EQ(DecodeUrlVariables(text), pairs);
    EXPECT_EQ(UrlUnescape(UrlEscape("a b/c?d")), "a b/c?d");
}

}  // namespace
}  // namespace swf::actions
