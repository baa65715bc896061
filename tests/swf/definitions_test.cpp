// Character definition tags on hand-built bytes: shapes, fonts, texts, buttons.

#include <gtest/gtest.h>

#include "swf/io/button_parser.h"
#include "swf/io/font_parser.h"
#include "swf/io/parse_error.h"
#include "swf/io/shape_parser.h"
#include "swf/io/text_parser.h"
#include "swf/model/shape_hit_test.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using writer::BitWriter;

TEST(DefineShape, SolidRectangleEdgesFollowTheFillSide) {
    EdgeBudget budget;
    const Bytes body = test::RectangleShape(7, 100, 200, 300, 500, 10, 20, 30, 255, 1);
    auto shape = ParseDefineShape(body, 1, budget);
    EXPECT_EQ(shape->id, 7);
    EXPECT_EQ(shape->bounds, (Rect{100, 300, 200, 500}));
    ASSERT_EQ(shape->shape.layers.size(), 1u);
    const ShapeLayer& layer = shape->shape.layers[0];
    ASSERT_EQ(layer.fills.size(), 1u);
    EXPECT_EQ(layer.fills[0].kind, FillKind::Solid);
    EXPECT_EQ(layer.fills[0].color, (Rgba{10, 20, 30, 255}));  // RGB gets opaque alpha
    ASSERT_EQ(layer.fillEdges[0].size(), 4u);
    const Segment& first = layer.fillEdges[0][0];
    EXPECT_EQ(first.x0, 100);
    EXPECT_EQ(first.y0, 200);
    EXPECT_EQ(first.x1, 300);  // recorded with fill 1: kept in file direction
    EXPECT_EQ(layer.fillEdges[0][3].x1, 100);
    EXPECT_EQ(layer.fillEdges[0][3].y1, 200);
    EXPECT_FALSE(shape->shape.nonZeroWinding);
    EXPECT_TRUE(ShapeContains(shape->shape, {150, 250}));
    EXPECT_FALSE(ShapeContains(shape->shape, {350, 250}));
    EXPECT_FALSE(ShapeContains(shape->shape, {150, 150}));
    EXPECT_EQ(budget.remaining, kMaxEdgesPerMovie - 4);
}

TEST(DefineShape, CurvesLinesStylesAndNewStyleArrays) {
    // DefineShape3: a linear and a radial gradient, a line style; a curve on
    // fill 0 (reversed into the fill's orientation); then a new style section.
    BitWriter b;
    b.U16(3);
    test::PutRect(b, 0, 1000, 0, 1000);
    b.U8(2);
    b.U8(0x10);
    test::PutMatrix(b, 0.5, 0, 0, 0.5, 500, 500);
    b.UB(2, 1);  // reflect
    b.UB(2, 1);  // linear RGB
    b.UB(4, 2);
    b.U8(0);
    test::PutRgba(b, 255, 0, 0, 255);
    b.U8(255);
    test::PutRgba(b, 0, 0, 255, 128);
    b.U8(0x12);
    test::PutTranslate(b, 0, 0);
    b.UB(2, 0);
    b.UB(2, 0);
    b.UB(4, 1);
    b.U8(128);
    test::PutRgba(b, 1, 2, 3, 4);
    b.U8(1);  // line styles
    b.U16(40);
    test::PutRgba(b, 9, 8, 7, 6);
    b.UB(4, 2);
    b.UB(4, 1);
    test::ShapeRecords s(b, 2, 1);
    s.Move(10, 20, 1, 2, 1);
    s.Curve(100, 0, 0, 100);
    s.Line(-100, -100);
    // New styles: one solid fill, no lines.
    b.UB(1, 0);
    b.UB(1, 1);  // new styles
    b.UB(1, 0);
    b.UB(1, 1);  // fill1
    b.UB(1, 0);
    b.UB(1, 0);
    b.UB(2, 1);  // fill1 = 1 (old fill bits)
    b.Align();
    b.U8(1);
    b.U8(0);
    test::PutRgba(b, 50, 60, 70, 80);
    b.U8(0);
    b.UB(4, 1);
    b.UB(4, 0);
    test::ShapeRecords s2(b, 1, 0);
    s2.Styles(-1, 1, -1);
    s2.Line(5, 0);
    s2.End();

    EdgeBudget budget;
    auto shape = ParseDefineShape(b.bytes(), 3, budget);
    ASSERT_EQ(shape->shape.layers.size(), 2u);
    const ShapeLayer& l0 = shape->shape.layers[0];
    ASSERT_EQ(l0.fills.size(), 2u);
    EXPECT_EQ(l0.fills[0].kind, FillKind::LinearGradient);
    EXPECT_EQ(l0.fills[0].gradient.spread, SpreadMode::Reflect);
    EXPECT_TRUE(l0.fills[0].gradient.linearRgb);
    ASSERT_EQ(l0.fills[0].gradient.stops.size(), 2u);
    EXPECT_EQ(l0.fills[0].gradient.stops[1].ratio, 255);
    EXPECT_EQ(l0.fills[0].gradient.stops[1].color, (Rgba{0, 0, 255, 128}));
    EXPECT_DOUBLE_EQ(l0.fills[0].matrix.a, 0.5);
    EXPECT_EQ(l0.fills[0].matrix.tx, 500);
    EXPECT_EQ(l0.fills[1].kind, FillKind::RadialGradient);
    EXPECT_EQ(l0.fills[1].gradient.stops[0].color, (Rgba{1, 2, 3, 4}));
    ASSERT_EQ(l0.lines.size(), 1u);
    EXPECT_EQ(l0.lines[0].width, 40);
    EXPECT_EQ(l0.lines[0].color, (Rgba{9, 8, 7, 6}));

    // Fill 1 sees both edges reversed, fill 2 as recorded.
    ASSERT_EQ(l0.fillEdges[0].size(), 2u);
    ASSERT_EQ(l0.fillEdges[1].size(), 2u);
    const Segment& curve = l0.fillEdges[1][0];
    EXPECT_TRUE(curve.curved);
    EXPECT_EQ(curve.x0, 10);
    EXPECT_EQ(curve.cx, 110);
    EXPECT_EQ(curve.cy, 20);
    EXPECT_EQ(curve.x1, 110);
    EXPECT_EQ(curve.y1, 120);
    const Segment& reversed = l0.fillEdges[0][0];
    EXPECT_EQ(reversed.x0, 110);
    EXPECT_EQ(reversed.y0, 120);
    EXPECT_EQ(reversed.x1, 10);
    EXPECT_EQ(reversed.cx, 110);
    // The line's two connected edges form one contour.
    ASSERT_EQ(l0.lineContours[0].size(), 1u);
    EXPECT_EQ(l0.lineContours[0][0].size(), 2u);

    const ShapeLayer& l1 = shape->shape.layers[1];
    ASSERT_EQ(l1.fills.size(), 1u);
    EXPECT_EQ(l1.fills[0].color, (Rgba{50, 60, 70, 80}));
    ASSERT_EQ(l1.fillEdges[0].size(), 1u);
    EXPECT_EQ(l1.fillEdges[0][0].x0, 10);  // the pen position carries over
    EXPECT_EQ(l1.fillEdges[0][0].x1, 15);
}

TEST(DefineShape, Shape4LineStylesFocalGradientAndWindingRule) {
    BitWriter b;
    b.U16(9);
    test::PutRect(b, 0, 100, 0, 100);
    test::PutRect(b, 0, 100, 0, 100);
    b.UB(5, 0);
    b.UB(1, true);  // non-zero winding
    b.UB(2, 0);
    b.U8(1);
    b.U8(0x13);  // focal gradient
    test::PutTranslate(b, 0, 0);
    b.UB(2, 2);  // repeat
    b.UB(2, 0);
    b.UB(4, 1);
    b.U8(0);
    test::PutRgba(b, 1, 1, 1, 1);
    b.U16(static_cast<std::uint16_t>(-192));  // focal -0.75
    b.U8(2);
    // Line 1: square start cap, miter join, no end cap, miter 2.5, colour.
    b.U16(60);
    b.UB(2, 2);
    b.UB(2, 2);
    b.UB(1, false);
    b.UB(3, 0);
    b.UB(5, 0);
    b.UB(1, true);  // no close
    b.UB(2, 1);
    b.U16(0x0280);
    test::PutRgba(b, 5, 6, 7, 8);
    // Line 2: bevel join, filled with a solid style.
    b.U16(20);
    b.UB(2, 0);
    b.UB(2, 1);
    b.UB(1, true);
    b.UB(3, 0);
    b.UB(5, 0);
    b.UB(1, false);
    b.UB(2, 0);
    b.U8(0x00);
    test::PutRgba(b, 40, 41, 42, 43);
    b.UB(4, 1);
    b.UB(4, 2);
    test::ShapeRecords s(b, 1, 2);
    s.Move(0, 0, -1, -1, 2);
    s.Line(10, 10);
    s.End();

    EdgeBudget budget;
    auto shape = ParseDefineShape(b.bytes(), 4, budget);
    EXPECT_TRUE(shape->shape.nonZeroWinding);
    const ShapeLayer& l = shape->shape.layers[0];
    EXPECT_EQ(l.fills[0].kind, FillKind::FocalGradient);
    EXPECT_EQ(l.fills[0].gradient.spread, SpreadMode::Repeat);
    EXPECT_DOUBLE_EQ(l.fills[0].gradient.focalPoint, -0.75);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[0].startCap, CapStyle::Square);
    EXPECT_EQ(l.lines[0].endCap, CapStyle::None);
    EXPECT_EQ(l.lines[0].join, JoinStyle::Miter);
    EXPECT_DOUBLE_EQ(l.lines[0].miterLimit, 2.5);
    EXPECT_TRUE(l.lines[0].noClose);
    EXPECT_EQ(l.lines[0].color, (Rgba{5, 6, 7, 8}));
    EXPECT_EQ(l.lines[1].join, JoinStyle::Bevel);
    EXPECT_TRUE(l.lines[1].hasFill);
    EXPECT_EQ(l.lines[1].color, (Rgba{40, 41, 42, 43}));
    EXPECT_TRUE(l.lineContours[0].empty());
    EXPECT_EQ(l.lineContours[1].size(), 1u);
}

TEST(DefineShape, MalformedShapesFailCleanly) {
    EdgeBudget budget;
    Bytes body = test::RectangleShape(1, 0, 0, 100, 100, 1, 2, 3);
    for (std::size_t cut = 0; cut < body.size(); ++cut) {
        EXPECT_THROW(ParseDefineShape(Bytes(body.begin(), body.begin() + cut), 3, budget), ParseError) << cut;
    }
    Bytes badFill = body;
    badFill[2 + 5] = 0x77;  // the fill type byte after id and a 5-byte RECT
    EXPECT_THROW(ParseDefineShape(badFill, 3, budget), ParseError);
    // Style indices beyond the arrays are ignored, not followed.
    BitWriter b;
    b.U16(2);
    test::PutRect(b, 0, 10, 0, 10);
    b.U8(0);
    b.U8(0);
    b.UB(4, 3);
    b.UB(4, 3);
    test::ShapeRecords s(b, 3, 3);
    s.Move(0, 0, 5, 6, 7);
    s.Line(10, 0);
    s.End();
    auto shape = ParseDefineShape(b.bytes(), 3, budget);
    EXPECT_TRUE(shape->shape.layers[0].fillEdges.empty());
    // The edge budget is shared by the movie and refuses to grow past its end.
    EdgeBudget small;
    small.remaining = 3;
    EXPECT_THROW(ParseDefineShape(body, 3, small), ParseError);
}

// A glyph table entry: a unit square of fill 1 scaled to `size`.
Bytes SquareGlyph(std::int32_t size) {
    BitWriter g;
    g.UB(4, 1);
    g.UB(4, 0);
    test::ShapeRecords s(g, 1, 0);
    s.Move(0, -size, 1, -1, -1);
    s.Line(size, 0);
    s.Line(0, size);
    s.Line(-size, 0);
    s.Line(0, -size);
    s.End();
    return g.bytes();
}

TEST(DefineFont, GlyphTablesCodesAndLayout) {
    const Bytes glyph = SquareGlyph(1024);
    // DefineFont: two glyphs behind a two-entry offset table.
    BitWriter f1;
    f1.U16(4);
    f1.U16(4);
    f1.U16(static_cast<std::uint16_t>(4 + glyph.size()));
    f1.Bytes(glyph);
    f1.Bytes(SquareGlyph(512));
    EdgeBudget budget;
    auto font1 = ParseDefineFont(f1.bytes(), budget);
    EXPECT_EQ(font1->id, 4);
    ASSERT_EQ(font1->glyphs.size(), 2u);
    EXPECT_EQ(font1->glyphs[0].edges.size(), 4u);
    EXPECT_EQ(font1->glyphs[1].edges[0].y0, -512);
    EXPECT_DOUBLE_EQ(font1->emSquare, 1024);
    // fill 0 means the edges are reversed into fill orientation
    EXPECT_EQ(font1->glyphs[0].edges[0].x0, 1024);

    // DefineFont3 with wide codes and layout.
    BitWriter f3;
    f3.U16(5);
    f3.U8(0x80 | 0x04 | 0x02 | 0x01);  // layout, wide codes, italic, bold
    f3.U8(0);
    f3.U8(4);
    for (char c : std::string("Sans")) f3.U8(static_cast<std::uint8_t>(c));
    f3.U16(1);
    f3.U16(4);                                             // glyph offset (table of 2 entries)
    f3.U16(static_cast<std::uint16_t>(4 + glyph.size()));  // code table offset
    f3.Bytes(glyph);
    f3.U16(0x263A);
    f3.U16(900);
    f3.U16(200);
    f3.U16(0);
    f3.U16(1100);
    auto font3 = ParseDefineFont2(f3.bytes(), 3, budget);
    EXPECT_EQ(font3->name, "Sans");
    EXPECT_TRUE(font3->bold);
    EXPECT_TRUE(font3->italic);
    EXPECT_DOUBLE_EQ(font3->emSquare, 20480);
    ASSERT_EQ(font3->glyphs.size(), 1u);
    ASSERT_EQ(font3->codes.size(), 1u);
    EXPECT_EQ(font3->codes[0], 0x263A);
    EXPECT_TRUE(font3->hasLayout);
    EXPECT_EQ(font3->ascent, 900);
    EXPECT_EQ(font3->descent, 200);
    ASSERT_EQ(font3->advances.size(), 1u);
    EXPECT_EQ(font3->advances[0], 1100);

    // An offset pointing outside the tag is an error.
    Bytes bad = f3.bytes();
    bad[11] = 0xFF;
    EXPECT_THROW(ParseDefineFont2(bad, 3, budget), ParseError);
    // Every truncation fails cleanly.
    for (std::size_t cut = 0; cut + 4 < f3.bytes().size(); ++cut) {
        EXPECT_THROW(ParseDefineFont2(Bytes(f3.bytes().begin(), f3.bytes().begin() + cut), 3, budget), ParseError)
            << cut;
    }
}

TEST(DefineText, RecordsCarryFontColourAndPosition) {
    BitWriter b;
    b.U16(20);
    test::PutRect(b, 0, 2000, -400, 100);
    test::PutTranslate(b, 40, 60);
    b.U8(3);  // glyph bits
    b.U8(9);  // advance bits
    // Record 1: font 4, colour, x and y, height 400, two glyphs.
    b.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
    b.U16(4);
    test::PutRgba(b, 255, 0, 0, 128);
    b.U16(100);
    b.U16(static_cast<std::uint16_t>(-20));
    b.U16(400);
    b.U8(2);
    b.UB(3, 1);
    b.SB(9, 200);
    b.UB(3, 5);
    b.SB(9, -30);
    // Record 2: only a new y; x continues after the advances.
    b.U8(0x80 | 0x02);
    b.U16(500);
    b.U8(1);
    b.UB(3, 2);
    b.SB(9, 10);
    b.U8(0);
    auto text = ParseDefineText(b.bytes(), 2);
    EXPECT_EQ(text->id, 20);
    EXPECT_EQ(text->bounds, (Rect{0, 2000, -400, 100}));
    EXPECT_EQ(text->matrix.tx, 40);
    ASSERT_EQ(text->runs.size(), 2u);
    const TextRun& r0 = text->runs[0];
    EXPECT_EQ(r0.fontId, 4);
    EXPECT_EQ(r0.color, (Rgba{255, 0, 0, 128}));
    EXPECT_EQ(r0.x, 100);
    EXPECT_EQ(r0.y, -20);
    EXPECT_EQ(r0.height, 400);
    ASSERT_EQ(r0.glyphs.size(), 2u);
    EXPECT_EQ(r0.glyphs[1].index, 5u);
    EXPECT_EQ(r0.glyphs[1].advance, -30);
    const TextRun& r1 = text->runs[1];
    EXPECT_EQ(r1.fontId, 4);
    EXPECT_EQ(r1.color, r0.color);
    EXPECT_EQ(r1.height, 400);
    EXPECT_EQ(r1.x, 100 + 200 - 30);
    EXPECT_EQ(r1.y, 500);

    // DefineText (RGB): the colour is three bytes and opaque.
    BitWriter t1;
    t1.U16(21);
    test::PutRect(t1, 0, 10, 0, 10);
    test::PutTranslate(t1, 0, 0);
    t1.U8(1);
    t1.U8(1);
    t1.U8(0x80 | 0x04);
    test::PutRgb(t1, 1, 2, 3);
    t1.U8(0);
    t1.U8(0);
    auto plain = ParseDefineText(t1.bytes(), 1);
    ASSERT_EQ(plain->runs.size(), 1u);
    EXPECT_EQ(plain->runs[0].color, (Rgba{1, 2, 3, 255}));

    Bytes noEnd = b.bytes();
    noEnd.pop_back();
    EXPECT_THROW(ParseDefineText(noEnd, 2), ParseError);
}

TEST(DefineButton2, RecordsStatesAndConditionActions) {
    // Record: up and over, with a drop-shadow filter and a blend mode.
    BitWriter records;
    records.U8(0x10 | 0x20 | kButtonUp | kButtonOver);
    records.U16(7);
    records.U16(2);
    test::PutTranslate(records, 100, 0);
    records.UB(1, false);
    records.UB(1, true);
    records.UB(4, 10);
    for (int v : {256, 128, 256, 256}) records.SB(10, v);
    records.Align();
    records.U8(1);
    records.U8(0);
    records.Bytes(Bytes(23, 0));
    records.U8(3);
    // Record: hit only.
    records.U8(kButtonHit);
    records.U16(8);
    records.U16(1);
    test::PutTranslate(records, 0, 0);
    records.U8(0);  // empty colour transform byte: no add, no mult, 0 bits
    records.U8(0);  // end of records

    BitWriter b;
    b.U16(30);
    b.U8(0x01);  // track as menu
    // The action offset counts from its own field past the records.
    b.U16(static_cast<std::uint16_t>(2 + records.bytes().size()));
    b.Bytes(records.bytes());
    const std::size_t firstAction = b.bytes().size();
    // Condition 1: press (OverUpToOverDown), 3 bytes of code.
    b.U16(4 + 3);
    b.U8(0x04);
    b.U8(0x00);
    b.Bytes(test::Bytes{0x06, 0x07, 0x00});
    // Condition 2 (last): release and release-outside, key 0, plus OverDownToIdle.
    b.U16(0);
    b.U8(0x08 | 0x40);
    b.U8(0x01);
    b.Bytes(test::Bytes{0x07, 0x00});
    auto button = ParseDefineButton(b.bytes(), 2);
    EXPECT_EQ(button->id, 30);
    EXPECT_TRUE(button->trackAsMenu);
    ASSERT_EQ(button->records.size(), 2u);
    EXPECT_EQ(button->records[0].states, kButtonUp | kButtonOver);
    EXPECT_EQ(button->records[0].characterId, 7);
    EXPECT_EQ(button->records[0].depth, 2);
    EXPECT_EQ(button->records[0].matrix.tx, 100);
    EXPECT_DOUBLE_EQ(button->records[0].colorTransform.gMult, 0.5);
    EXPECT_EQ(button->records[1].states, kButtonHit);
    ASSERT_EQ(button->actions.size(), 2u);
    EXPECT_EQ(button->actions[0].conditions, kCondOverUpToOverDown);
    EXPECT_EQ(*button->actions[0].code, (Bytes{0x06, 0x07, 0x00}));
    EXPECT_EQ(button->actions[1].conditions, kCondOverDownToOverUp | kCondOutDownToIdle | kCondOverDownToIdle);
    EXPECT_EQ(*button->actions[1].code, (Bytes{0x07, 0x00}));

    // An action size that runs past the tag is an error.
    Bytes bad = b.bytes();
    bad[firstAction] = 0xF0;
    EXPECT_THROW(ParseDefineButton(bad, 2), ParseError);

    // DefineButton: no colour transforms, one action list run on release.
    BitWriter b1;
    b1.U16(31);
    b1.U8(kButtonUp | kButtonHit);
    b1.U16(7);
    b1.U16(1);
    test::PutTranslate(b1, 0, 0);
    b1.U8(0);
    b1.Bytes(test::Bytes{0x07, 0x00});
    auto old = ParseDefineButton(b1.bytes(), 1);
    ASSERT_EQ(old->records.size(), 1u);
    EXPECT_EQ(old->records[0].states, kButtonUp | kButtonHit);
    ASSERT_EQ(old->actions.size(), 1u);
    EXPECT_EQ(old->actions[0].conditions, kCondOverDownToOverUp);
    EXPECT_EQ(*old->actions[0].code, (Bytes{0x07, 0x00}));
}

}  // namespace
}  // namespace swf
