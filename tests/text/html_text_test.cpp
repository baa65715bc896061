// The HTML text subset: tags, attributes and entities, and markup no player
// would choke on however broken it is.

#include <gtest/gtest.h>

#include <string>

#include "swf/text/html_text.h"
#include "swf/base/utf8.h"

namespace swf::text {
namespace {

TextFormat Base() {
    TextFormat f;
    f.face = "_sans";
    f.size = 240;
    return f;
}

std::u32string Plain(const std::string& html) { return PlainText(ParseHtmlText(html, Base())); }

// The format of the first character of `needle` in the parsed text.
const TextFormat& FormatOf(const FormattedText& runs, const std::u32string& needle) {
    for (const FormattedRun& run : runs) {
        if (run.text.find(needle) != std::u32string::npos) return run.format;
    }
    ADD_FAILURE() << "text not found";
    return runs.front().format;
}

TEST(HtmlText, ParagraphsBreaksAndCharacterFormats) {
    const FormattedText runs = ParseHtmlText(
        "<p align=\"center\"><b>Bold</b> <i>Slant</i></p><p align='right'><u>Under</u><br>next</p>", Base());
    EXPECT_EQ(PlainText(runs), U"Bold Slant\rUnder\rnext");
    EXPECT_TRUE(FormatOf(runs, U"Bold").bold);
    EXPECT_FALSE(FormatOf(runs, U"Bold").italic);
    EXPECT_EQ(FormatOf(runs, U"Bold").align, TextAlign::Center);
    EXPECT_TRUE(FormatOf(runs, U"Slant").italic);
    EXPECT_FALSE(FormatOf(runs, U"Slant").bold);
    EXPECT_TRUE(FormatOf(runs, U"Under").underline);
    EXPECT_EQ(FormatOf(runs, U"Under").align, TextAlign::Right);
    EXPECT_FALSE(FormatOf(runs, U"next").underline);

    // An empty paragraph still ends in a break; a closing tag with nothing after adds none.
    EXPECT_EQ(Plain("<p>a</p><p></p><p>b</p>"), U"a\r\rb");
    EXPECT_EQ(Plain("<P>a</P>"), U"a");
    EXPECT_EQ(Plain("a<BR/>b<br />c"), U"a\rb\rc");
}

TEST(HtmlText, FontLinkListTextFormatAndSpan) {
    const FormattedText runs = ParseHtmlText(
        "<font face=\"Arial, Helvetica\" size=\"20\" color=\"#FF8000\">big<font size=\"+4\">bigger</font>"
        "<font size=-10>small</font></font><a href=\"asfunction:go,1\" target=\"_blank\">link</a>"
        "<li>item</li><textformat blockindent=\"5\" indent=\"-3\" leading=\"2\" leftmargin=\"7\" rightmargin=\"9\""
        " tabstops=\"[10, 20,30]\">tf</textformat><span class=\"x\">sp</span>",
        Base());
    const TextFormat& big = FormatOf(runs, U"big");
    EXPECT_EQ(big.face, "Arial");
    EXPECT_DOUBLE_EQ(big.size, 400);
    EXPECT_EQ(big.color, (Rgba{0xFF, 0x80, 0x00, 255}));
    EXPECT_DOUBLE_EQ(FormatOf(runs, U"bigger").size, 480);
    EXPECT_DOUBLE_EQ(FormatOf(runs, U"small").size, 200);
    EXPECT_EQ(FormatOf(runs, U"link").url, "asfunction:go,1");
    EXPECT_EQ(FormatOf(runs, U"link").target, "_blank");
    EXPECT_EQ(FormatOf(runs, U"link").face, "_sans");  // the font tag closed before it
    EXPECT_TRUE(FormatOf(runs, U"item").bullet);
    const TextFormat& tf = FormatOf(runs, U"tf");
    EXPECT_FALSE(tf.bullet);
    EXPECT_DOUBLE_EQ(tf.blockIndent, 100);
    EXPECT_DOUBLE_EQ(tf.indent, -60);
    EXPECT_DOUBLE_EQ(tf.leading, 40);
    EXPECT_DOUBLE_EQ(tf.leftMargin, 140);
    EXPECT_DOUBLE_EQ(tf.rightMargin, 180);
    EXPECT_EQ(tf.tabStops, (std::vector<double>{200, 400, 600}));
    EXPECT_EQ(FormatOf(runs, U"sp"), Base());
    // The list item is a paragraph of its own.
    EXPECT_EQ(PlainText(runs), U"bigbiggersmalllink\ritem\rtfsp");
}

TEST(HtmlText, EntitiesAndUtf8) {
    EXPECT_EQ(Plain("&lt;b&gt; &amp; &quot;q&quot; &apos;a&apos;&nbsp;"), U"<b> & \"q\" 'a'\u00A0");
    EXPECT_EQ(Plain("&#65;&#x42;&#X43;&#8364;"), U"ABC\u20AC");
    // What is not an entity stays as written.
    EXPECT_EQ(Plain("&unknown; &#xZZ; &#0; &#1114112; & alone &amp"), U"&unknown; &#xZZ; &#0; &#1114112; & alone &amp");
    EXPECT_EQ(Plain("caf\xC3\xA9 \xE2\x82\xAC"), U"caf\u00E9 \u20AC");
    EXPECT_EQ(Plain("bad \xFF byte"), U"bad \uFFFD byte");
}

TEST(HtmlText, MalformedMarkupKeepsItsText) {
    EXPECT_EQ(Plain("a < b and c > d"), U"a < b and c > d");
    EXPECT_EQ(Plain("<<<b>x"), U"<<x");
    EXPECT_EQ(Plain("trailing <"), U"trailing <");
    EXPECT_EQ(Plain("<b unclosed"), U"<b unclosed");
    EXPECT_EQ(Plain("<unknown attr=1>text</unknown><blink>!</blink>"), U"text!");
    EXPECT_EQ(Plain("<!-- hidden -->shown<!-- open"), U"shown");
    EXPECT_EQ(Plain("</p></b></font>x"), U"x");

    // Unclosed tags keep their format to the end; closing an outer tag closes the inner ones.
    FormattedText runs = ParseHtmlText("<b>bold<i>both</b>plain", Base());
    EXPECT_TRUE(FormatOf(runs, U"bold").bold);
    EXPECT_TRUE(FormatOf(runs, U"both").italic);
    EXPECT_FALSE(FormatOf(runs, U"plain").bold);
    EXPECT_FALSE(FormatOf(runs, U"plain").italic);

    // Attributes without quotes, without values, with junk, and bad values.
    runs = ParseHtmlText(
        "<font size=30 color=#00FF00 face>a</font><font size= color=\"nope\" face=\"\">b</font>"
        "<p align=middle \"junk\" =x>c</p>",
        Base());
    EXPECT_DOUBLE_EQ(FormatOf(runs, U"a").size, 600);
    EXPECT_EQ(FormatOf(runs, U"a").color, (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(FormatOf(runs, U"a").face, "_sans");
    EXPECT_EQ(FormatOf(runs, U"b"), Base());
    EXPECT_EQ(FormatOf(runs, U"c").align, TextAlign::Left);
    // Sizes stay within reason.
    EXPECT_DOUBLE_EQ(FormatOf(ParseHtmlText("<font size=\"99999999\">x</font>", Base()), U"x").size, 1000 * 20);
    EXPECT_DOUBLE_EQ(FormatOf(ParseHtmlText("<font size=\"-500\">x</font>", Base()), U"x").size, 20);

    // Deep nesting neither crashes nor loses text, and the format past the limit holds.
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<b><font size=\"+1\">";
    deep += "deep";
    for (int i = 0; i < 20000; ++i) deep += "</font></b>";
    deep += "out";
    runs = ParseHtmlText(deep, Base());
    EXPECT_EQ(PlainText(runs), U"deepout");
    EXPECT_TRUE(FormatOf(runs, U"deep").bold);
    EXPECT_FALSE(FormatOf(runs, U"out").bold);
}

TEST(HtmlText, GeneratedHtmlReadsBackToTheSameRuns) {
    const FormattedText runs = ParseHtmlText(
        "<p align=\"center\"><font face=\"Verdana\" size=\"14\" color=\"#123456\"><b>A &amp; B</b></font></p>"
        "<p><a href=\"http://x/?a=1&amp;b=2\" target=\"_self\"><i><u>link</u></i></a> tail</p><li>item</li>"
        "<textformat indent=\"3\" leading=\"-2\" tabstops=\"[8,16]\"><p>spaced</p></textformat>",
        Base());
    const std::string html = FormatHtmlText(runs);
    EXPECT_NE(html.find("<P ALIGN=\"CENTER\">"), std::string::npos) << html;
    EXPECT_NE(html.find("&amp;"), std::string::npos) << html;
    const FormattedText again = ParseHtmlText(html, Base());
    EXPECT_EQ(PlainText(again), PlainText(runs));
    for (const std::u32string needle : {U"A &", U"link", U"tail", U"item", U"spaced"}) {
        const TextFormat& a = FormatOf(runs, needle);
        const TextFormat& b = FormatOf(again, needle);
        EXPECT_EQ(a.face, b.face);
        EXPECT_EQ(a.size, b.size);
        EXPECT_EQ(a.color, b.color);
        EXPECT_EQ(a.bold, b.bold);
        EXPECT_EQ(a.italic, b.italic);
        EXPECT_EQ(a.underline, b.underline);
        EXPECT_EQ(a.url, b.url);
        EXPECT_EQ(a.target, b.target);
        EXPECT_EQ(a.align, b.align);
        EXPECT_EQ(a.bullet, b.bullet);
        EXPECT_EQ(a.indent, b.indent);
        EXPECT_EQ(a.leading, b.leading);
        EXPECT_EQ(a.tabStops, b.tabStops);
    }
}

}  // namespace
}  // namespace swf::text
