// Line layout against positions worked out from the rules, with a font whose
// every character is half an em wide (100 twips at 200 twips), ascent 160,
// descent 40: a line is 200 twips high plus leading.

#include <gtest/gtest.h>

#include "swf/text/text_layout.h"

namespace swf::text {
namespace {

class HalfEmFont final : public GlyphMetrics {
public:
    double Advance(const TextFormat& f, char32_t) override { return f.size / 2; }
    double Kerning(const TextFormat& f, char32_t left, char32_t right) override {
        return left == 'A' && right == 'V' ? -f.size / 10 : 0;
    }
    LineMetrics Metrics(const TextFormat& f) override { return {f.size * 0.8, f.size * 0.2}; }
};

TextFormat Format() {
    TextFormat f;
    f.size = 200;
    return f;
}

FormattedText Runs(const std::u32string& text, const TextFormat& f = Format()) { return {{text, f}}; }

// A box whose text area (inside the 40-twip gutter) is `chars` characters wide and `lines` lines high.
Rect Box(int chars, int lines = 5, int x = 1000, int y = 2000) {
    return {x, x + chars * 100 + 80, y, y + lines * 200 + 80};
}

std::u32string LineText(const TextLine& line) {
    std::u32string s;
    for (const PlacedGlyph& g : line.glyphs) s.push_back(g.character);
    return s;
}

TEST(TextLayout, WrapsAtSpacesOnlyWhenWordWrapAndBreaksLongWordsByCharacter) {
    HalfEmFont font;
    // Room for exactly "aaa bbb": the space after it hangs, "ccc" moves on.
    TextLayout wrapped = LayOutText(Runs(U"aaa bbb ccc"), {Box(7), true}, font);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(LineText(wrapped.lines[0]), U"aaa bbb ");
    EXPECT_EQ(LineText(wrapped.lines[1]), U"ccc");
    EXPECT_DOUBLE_EQ(wrapped.lines[0].width, 700);  // the trailing space takes no room

    // The 2-pixel gutter: the first glyph 40 twips in, the first baseline 40 + ascent down.
    EXPECT_DOUBLE_EQ(wrapped.lines[0].glyphs[0].x, 1040);
    EXPECT_DOUBLE_EQ(wrapped.lines[0].glyphs[4].x, 1040 + 400);
    EXPECT_DOUBLE_EQ(wrapped.lines[0].top, 2040);
    EXPECT_DOUBLE_EQ(wrapped.lines[0].baseline, 2040 + 160);
    EXPECT_DOUBLE_EQ(wrapped.lines[1].top, 2040 + 200);
    EXPECT_DOUBLE_EQ(wrapped.lines[1].glyphs[0].x, 1040);

    TextLayout single = LayOutText(Runs(U"aaa bbb ccc"), {Box(7), false}, font);
    ASSERT_EQ(single.lines.size(), 1u);
    EXPECT_DOUBLE_EQ(single.lines[0].width, 1100);

    TextLayout longWord = LayOutText(Runs(U"abcdefghij"), {Box(4), true}, font);
    ASSERT_EQ(longWord.lines.size(), 3u);
    EXPECT_EQ(LineText(longWord.lines[0]), U"abcd");
    EXPECT_EQ(LineText(longWord.lines[1]), U"efgh");
    EXPECT_EQ(LineText(longWord.lines[2]), U"ij");

    // Even a box too narrow for one character takes one per line.
    TextLayout narrow = LayOutText(Runs(U"xyz"), {Rect{0, 50, 0, 1000}, true}, font);
    EXPECT_EQ(narrow.lines.size(), 3u);
}

TEST(TextLayout, HardBreaksEndParagraphsWithOrWithoutWrapping) {
    HalfEmFont font;
    TextLayout layout = LayOutText(Runs(U"a\rbb\ncc\r\nd\r"), {Box(20), false}, font);
    ASSERT_EQ(layout.lines.size(), 5u);  // the last break leaves an empty line
    EXPECT_EQ(LineText(layout.lines[0]), U"a");
    EXPECT_EQ(LineText(layout.lines[1]), U"bb");
    EXPECT_EQ(LineText(layout.lines[2]), U"cc");
    EXPECT_EQ(LineText(layout.lines[3]), U"d");
    EXPECT_TRUE(layout.lines[4].glyphs.empty());
    EXPECT_DOUBLE_EQ(layout.lines[4].top, 2040 + 4 * 200);
    EXPECT_TRUE(LayOutText({}, {Box(5), true}, font).lines.empty());
}

TEST(TextLayout, AlignmentOffsetsLinesWithinTheTextArea) {
    HalfEmFont font;
    TextFormat f = Format();
    f.align = TextAlign::Center;
    // Text area 1000 wide, "ab" 200: 400 on each side.
    EXPECT_DOUBLE_EQ(LayOutText(Runs(U"ab", f), {Box(10), true}, font).lines[0].glyphs[0].x, 1040 + 400);
    f.align = TextAlign::Right;
    EXPECT_DOUBLE_EQ(LayOutText(Runs(U"ab", f), {Box(10), true}, font).lines[0].glyphs[0].x, 1040 + 800);
    // Trailing spaces do not push right-aligned text left.
    EXPECT_DOUBLE_EQ(LayOutText(Runs(U"ab  ", f), {Box(10), true}, font).lines[0].glyphs[0].x, 1040 + 800);

    // Justified: the wrapped line spreads its spare room over its inner spaces;
    // the paragraph's last line stays left.
    f.align = TextAlign::Justify;
    TextLayout justified = LayOutText(Runs(U"aa bb cc", f), {Box(7), true}, font);
    ASSERT_EQ(justified.lines.size(), 2u);
    EXPECT_EQ(LineText(justified.lines[0]), U"aa bb ");
    EXPECT_DOUBLE_EQ(justified.lines[0].glyphs[3].x, 1040 + 300 + 200);  // "bb" moved by the spare 200
    EXPECT_DOUBLE_EQ(justified.lines[1].glyphs[0].x, 1040);
}

TEST(TextLayout, MarginsIndentsLeadingTabsAndKerning) {
    HalfEmFont font;
    TextFormat f = Format();
    f.leftMargin = 100;
    f.rightMargin = 200;
    f.blockIndent = 30;
    f.indent = 50;
    f.leading = 60;
    // Room: 1000 - 100 - 200 - 30 = 670, less the indent on the first line (620: 6 characters).
    TextLayout layout = LayOutText(Runs(U"aaaaaaaaaaaaa", f), {Box(10), true}, font);
    ASSERT_EQ(layout.lines.size(), 3u);
    EXPECT_EQ(layout.lines[0].glyphs.size(), 6u);
    EXPECT_EQ(layout.lines[1].glyphs.size(), 6u);
    EXPECT_DOUBLE_EQ(layout.lines[0].glyphs[0].x, 1040 + 100 + 30 + 50);
    EXPECT_DOUBLE_EQ(layout.lines[1].glyphs[0].x, 1040 + 100 + 30);
    EXPECT_DOUBLE_EQ(layout.lines[1].top, 2040 + 200 + 60);
    EXPECT_DOUBLE_EQ(layout.lines[2].top, 2040 + 2 * 260);
    // The last line's leading is not part of the text height.
    EXPECT_DOUBLE_EQ(layout.textHeight, 2 * 260 + 200);

    TextFormat tabs = Format();
    tabs.tabStops = {500, 900};
    TextLayout tabbed = LayOutText(Runs(U"a\tb\tc\td", tabs), {Box(30), false}, font);
    ASSERT_EQ(tabbed.lines[0].glyphs.size(), 7u);
    EXPECT_DOUBLE_EQ(tabbed.lines[0].glyphs[2].x, 1040 + 500);
    EXPECT_DOUBLE_EQ(tabbed.lines[0].glyphs[4].x, 1040 + 900);
    EXPECT_DOUBLE_EQ(tabbed.lines[0].glyphs[6].x, 1040 + kDefaultTabInterval * 2);  // past the stops: every 720

    TextLayout kerned = LayOutText(Runs(U"AVA"), {Box(10), false}, font);
    EXPECT_DOUBLE_EQ(kerned.lines[0].glyphs[1].x, 1040 + 100 - 20);
    EXPECT_DOUBLE_EQ(kerned.lines[0].glyphs[2].x, 1040 + 200 - 20);
}

TEST(TextLayout, ListItemsGetABulletAndIndent) {
    HalfEmFont font;
    TextFormat f = Format();
    f.bullet = true;
    TextLayout layout = LayOutText(Runs(U"ab", f), {Box(10), true}, font);
    ASSERT_EQ(layout.lines[0].glyphs.size(), 3u);
    EXPECT_EQ(layout.lines[0].glyphs[0].character, kBullet);
    EXPECT_LT(layout.lines[0].glyphs[0].x, 1040 + kBulletIndent);
    EXPECT_DOUBLE_EQ(layout.lines[0].glyphs[1].x, 1040 + kBulletIndent);
}

TEST(TextLayout, AutoSizeFitsTheBoxAroundTheText) {
    HalfEmFont font;
    const Rect box{1000, 3000, 2000, 2500};
    TextLayout left = LayOutText(Runs(U"abc\rde"), {box, false, AutoSize::Left}, font);
    EXPECT_DOUBLE_EQ(left.textWidth, 300);
    EXPECT_DOUBLE_EQ(left.textHeight, 400);
    // textWidth + 4 px, textHeight + 4 px.
    EXPECT_EQ(left.bounds, (Rect{1000, 1000 + 300 + 80, 2000, 2000 + 400 + 80}));
    EXPECT_EQ(LayOutText(Runs(U"abc"), {box, false, AutoSize::Right}, font).bounds,
              (Rect{3000 - 380, 3000, 2000, 2280}));
    EXPECT_EQ(LayOutText(Runs(U"abc"), {box, false, AutoSize::Center}, font).bounds,
              (Rect{2000 - 190, 2000 + 190, 2000, 2280}));
    // A wrapping field keeps its width and grows downwards.
    TextLayout wrapped = LayOutText(Runs(U"aaa bbb ccc"), {Box(7, 1), true, AutoSize::Left}, font);
    EXPECT_EQ(wrapped.bounds, (Rect{1000, 1780, 2000, 2000 + 400 + 80}));
    EXPECT_EQ(LayOutText(Runs(U"abc"), {box, false, AutoSize::None}, font).bounds, box);
}

TEST(TextLayout, ScrollFamily) {
    HalfEmFont font;
    std::u32string text;
    for (int i = 0; i < 10; ++i) text += U"aaaaaaaaaa\r";
    text.pop_back();
    // 10 lines of 200 twips in a box that shows 3; lines 1000 wide in a 500 area.
    const TextLayout layout = LayOutText(Runs(text), {Box(5, 3), false}, font);
    ASSERT_EQ(layout.lines.size(), 10u);
    EXPECT_EQ(MaxScroll(layout), 8);
    EXPECT_EQ(BottomScroll(layout, 1), 3);
    EXPECT_EQ(BottomScroll(layout, 8), 10);
    EXPECT_EQ(BottomScroll(layout, 99), 10);
    EXPECT_DOUBLE_EQ(MaxHScroll(layout), 500);

    const TextLayout fits = LayOutText(Runs(U"a\rb"), {Box(5, 3), false}, font);
    EXPECT_EQ(MaxScroll(fits), 1);
    EXPECT_EQ(BottomScroll(fits, 1), 2);
    EXPECT_DOUBLE_EQ(MaxHScroll(fits), 0);
}

}  // namespace
}  // namespace swf::text
