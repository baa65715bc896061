// Bit packing and the basic records against bytes worked out by hand.

#include <numbers>
#include <gtest/gtest.h>

#include "swf/writer/action_assembler.h"
#include "swf/writer/records.h"
#include "swf/writer/tag_stream.h"

using namespace swf::writer;
using Bytes = std::vector<std::uint8_t>;

TEST(WriterBits, FieldsPackFromTheHighBit) {
    BitWriter w;
    w.UB(3, 5);
    w.SB(4, -3);
    w.UB(1, 1);
    w.FB(17, 0.5);
    w.U8(0xAB);  // aligns first
    w.U16(0x1234);
    w.U32(0xA1B2C3D4);
    w.Fixed8(24.5);
    w.String("hi");
    EXPECT_EQ(w.bytes(),
              (Bytes{0xBB, 0x40, 0x00, 0x00, 0xAB, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0x80, 0x18, 'h', 'i', 0}));

    EXPECT_EQ(BitsForUnsigned(0), 0u);
    EXPECT_EQ(BitsForUnsigned(255), 8u);
    EXPECT_EQ(BitsForSigned(0), 1u);
    EXPECT_EQ(BitsForSigned(-1), 1u);
    EXPECT_EQ(BitsForSigned(1), 2u);
    EXPECT_EQ(BitsForSigned(-64), 7u);
    EXPECT_EQ(BitsForSigned(64), 8u);
    EXPECT_EQ(BitsForSigned({3, -200, 100}), 9u);
}

TEST(WriterRecords, RectMatrixAndColorTransform) {
    BitWriter rect;
    WriteRect(rect, Rect{0, 11000, 0, 8000});  // 550 x 400 pixels
    EXPECT_EQ(rect.bytes(), (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));

    Matrix m;
    m.scaleX = 1.5;
    m.scaleY = -1;
    m.rotateSkew0 = 0.5;
    m.rotateSkew1 = -0.5;
    m.translateX = 100;
    m.translateY = -20;
    BitWriter full;
    WriteMatrix(full, m);
    EXPECT_EQ(full.bytes(), (Bytes{0xC9, 0x80, 0x00, 0xC0, 0x00, 0x31, 0x40, 0x00, 0x60, 0x00, 0x10, 0xC9, 0xD8}));

    BitWriter moved;
    WriteMatrix(moved, Matrix::Translate(20, -40));
    EXPECT_EQ(moved.bytes(), (Bytes{0x0E, 0x52, 0xC0}));
    BitWriter identity;
    WriteMatrix(identity, Matrix{});
    EXPECT_EQ(identity.bytes(), (Bytes{0x00}));

    // A quarter turn clockwise on screen takes +x to +y.
    Matrix turn = Matrix::Transform(2, 1, std::numbers::pi / 2, 0, 0);
    EXPECT_NEAR(turn.rotateSkew0, 2, 1e-9);
    EXPECT_NEAR(turn.rotateSkew1, -1, 1e-9);
    EXPECT_NEAR(turn.scaleX, 0, 1e-9);

    ColorTransform half;
    half.multA = 128;
    BitWriter cx;
    WriteColorTransformAlpha(cx, half);
    EXPECT_EQ(cx.bytes(), (Bytes{0x69, 0x00, 0x40, 0x10, 0x02, 0x00}));
    BitWriter plain;
    WriteColorTransformAlpha(plain, ColorTransform{});
    EXPECT_EQ(plain.bytes(), (Bytes{0x04}));  // no terms, 1-bit field width
}

TEST(WriterTags, ShortAndLongHeaders) {
    TagStream t;
    t.ShowFrame();
    t.SetBackgroundColor(Rgb{0xFF, 0x80, 0x00});
    t.Add(TagCode::DefineShape, Bytes(63, 0xEE));
    t.Add(TagCode::DoAction, Bytes{0x00}, true);
    t.End();
    Bytes expected{0x40, 0x00, 0x43, 0x02, 0xFF, 0x80, 0x00, 0xBF, 0x00, 0x3F, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), 63, 0xEE);
    Bytes tail{0x3F, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(t.bytes(), expected);
    EXPECT_EQ(t.frameCount(), 1);
    EXPECT_TRUE(t.ended());
}

TEST(WriterActions, AssemblerBytes) {
    ActionAssembler a;
    a.Jump("end").Action(ActionCode::Stop).Label("end");
    a.Label("top").Action(ActionCode::Play).Jump("top");
    a.PushNumber(42).PushNumber(1.5).PushString("ab").PushBool(true).PushNull().PushUndefined();
    a.PushRegister(3).PushConstant(2).PushConstant(300).GotoFrame(0x0102).GetURL("u", "t");
    EXPECT_EQ(a.Finish(), (Bytes{0x99, 0x02, 0x00, 0x01, 0x00, 0x07,  // forward over Stop
                                 0x06, 0x99, 0x02, 0x00, 0xFA, 0xFF,  // back to Play
                                 0x96, 0x05, 0x00, 0x07, 0x2A, 0x00, 0x00, 0x00, 0x96, 0x09, 0x00, 0x06, 0x00, 0x00,
                                 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x96, 0x04, 0x00, 0x00, 'a',  'b',  0x00, 0x96,
                                 0x02, 0x00, 0x05, 0x01, 0x96, 0x01, 0x00, 0x02, 0x96, 0x01, 0x00, 0x03, 0x96, 0x02,
                                 0x00, 0x04, 0x03, 0x96, 0x02, 0x00, 0x08, 0x02, 0x96, 0x03, 0x00, 0x09, 0x2C, 0x01,
                                 0x81, 0x02, 0x00, 0x02, 0x01, 0x83, 0x04, 0x00, 'u',  0x00, 't',  0x00, 0x00}));

    ActionAssembler body;
    body.Action(ActionCode::Return);
    ActionAssembler f;
    f.DefineFunction("f", {"x"}, body);
    EXPECT_EQ(f.Bytes(), (Bytes{0x9B, 0x08, 0x00, 'f', 0x00, 0x01, 0x00, 'x', 0x00, 0x01, 0x00, 0x3E}));

    ActionAssembler bad;
    bad.Jump("nowhere");
    EXPECT_THROW(bad.Bytes(), std::invalid_argument);
}
