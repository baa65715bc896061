#include "flash/control_data.h"

#include <gtest/gtest.h>

#include <cstring>

namespace flash {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(ControlData, DefaultBlockHasTheStoredLayout) {
    std::vector<std::uint8_t> bytes = BuildDefaultControlData();
    ASSERT_EQ(bytes.size(), 244u);
    EXPECT_EQ(std::memcmp(bytes.data(), "gUfU", 4), 0);
    EXPECT_EQ(U32At(bytes, 4), 1808u);
    EXPECT_EQ(U32At(bytes, 8), 25294u);
    EXPECT_EQ(U32At(bytes, 12), 16801u);
    // First value: an empty text stored as a lone terminating zero.
    EXPECT_EQ(bytes[16], 8);
    EXPECT_EQ(U32At(bytes, 18), 2u);
    // Fourth value, after three 8-byte empty texts: "Window" with its terminator.
    EXPECT_EQ(bytes[40], 8);
    EXPECT_EQ(U32At(bytes, 42), 14u);
    EXPECT_EQ(bytes[46], 'W');
    EXPECT_EQ(bytes[47], 0);
    EXPECT_EQ(bytes[58], 0);   // the terminator
    EXPECT_EQ(bytes[60], 11);  // fifth value: a switch
    // The block ends with "false" stored without a terminator.
    const char tail[] = {8, 0, 10, 0, 0, 0, 'f', 0, 'a', 0, 'l', 0, 's', 0, 'e', 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 244 - sizeof tail, tail, sizeof tail), 0);
}

TEST(ControlData, DefaultValuesReadBackInOrder) {
    ControlData data = ParseControlData(BuildDefaultControlData());
    EXPECT_EQ(data.ExtentWidth, 25294);
    EXPECT_EQ(data.ExtentHeight, 16801);

    const char16_t* texts[kControlValueCount] = {
        u"",     u"",     u"", u"Window", nullptr, nullptr, u"High", u"",     nullptr, u"",     u"always", u"ShowAll",
        nullptr, nullptr, u"", u"",       u"",     nullptr, nullptr, nullptr, u"",     nullptr, u"all",    u"false"};
    const int switches[kControlValueCount] = {-1, -1, -1, -1, 0,  0,  -1, -1, 1,  -1, -1, -1,
                                              0,  0,  -1, -1, -1, -1, 1,  0,  -1, -1, -1, -1};
    for (std::size_t i = 0; i < kControlValueCount; ++i) {
        SCOPED_TRACE(i + 1);
        const ControlValue& value = data.Values[i];
        EXPECT_EQ(value.Type, ExpectedControlValueType(i));
        if (texts[i]) {
            EXPECT_EQ(value.Type, ControlValueType::Text);
            EXPECT_EQ(value.Text, texts[i]);
            EXPECT_EQ(value.TextTerminated, i < 17);
        }
        if (switches[i] >= 0) {
            EXPECT_EQ(value.Type, ControlValueType::Switch);
            EXPECT_EQ(value.IsOn(), switches[i] == 1);
        }
    }
    EXPECT_EQ(data.Values[8].Switch, kSwitchTrue);
    EXPECT_EQ(data.Values[18].Switch, 1);
    EXPECT_EQ(data.Values[17].Type, ControlValueType::Block);
    EXPECT_EQ(data.Values[17].Block, (std::array<std::uint8_t, 16>{}));
    EXPECT_EQ(data.Values[21].Type, ControlValueType::Integer);
    EXPECT_EQ(data.Values[21].Integer, 0);

    EXPECT_EQ(data.WMode(), u"Window");
    EXPECT_EQ(data.Quality(), u"High");
    EXPECT_EQ(data.Scale(), u"ShowAll");
    EXPECT_EQ(data.AllowScriptAccess(), u"always");
    EXPECT_EQ(data.AllowNetworking(), u"all");
    EXPECT_EQ(data.AllowFullScreen(), u"false");
    EXPECT_EQ(data, DefaultControlData());
}

TEST(ControlData, RoundTripKeepsEveryByte) {
    std::vector<std::uint8_t> bytes = BuildDefaultControlData();
    EXPECT_EQ(SerializeControlData(ParseControlData(bytes)), bytes);

    // A changed state survives too: other texts, terminators swapped, values set.
    ControlData changed = DefaultControlData();
    changed.ExtentWidth = -5;
    changed.Values[0] = ControlValue::MakeText(u"C:\\movie \u00e9.swf", false);
    changed.Values[3] = ControlValue::MakeText(u"Opaque", false);
    changed.Values[22] = ControlValue::MakeText(u"internal", true);
    changed.Values[21] = ControlValue::MakeInteger(-1234567);
    changed.Values[17].Block[15] = 0xAB;
    std::vector<std::uint8_t> changedBytes = SerializeControlData(changed);
    ControlData reread = ParseControlData(changedBytes);
    EXPECT_EQ(reread, changed);
    EXPECT_EQ(reread.WMode(), u"Opaque");
    EXPECT_EQ(reread.Values[0].Text, u"C:\\movie \u00e9.swf");
    EXPECT_EQ(SerializeControlData(reread), changedBytes);
}

TEST(ControlData, EveryTruncationFailsCleanly) {
    std::vector<std::uint8_t> bytes = BuildDefaultControlData();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        // A copy of exactly that size, so the sanitizer sees any read past it.
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_THROW(ParseControlData(cut), ControlDataError);
    }
}

TEST(ControlData, MalformedBlocksAreRejected) {
    const std::vector<std::uint8_t> good = BuildDefaultControlData();
    auto expectError = [](const std::vector<std::uint8_t>& bytes, const std::string& part) {
        try {
            ParseControlData(bytes);
            ADD_FAILURE() << "accepted, expected an error mentioning " << part;
        } catch (const ControlDataError& error) {
            EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
        }
    };

    auto bytes = good;
    bytes[0] = 'G';
    expectError(bytes, "gUfU");

    bytes = good;
    bytes[4] = 0x11;
    expectError(bytes, "format marker 1809");

    bytes = good;
    bytes.push_back(0);
    expectError(bytes, "1 bytes after its last value");

    // The first value claims a text longer than the whole block.
    bytes = good;
    bytes[18] = 0xFE;
    bytes[19] = 0xFF;
    bytes[20] = 0xFF;
    bytes[21] = 0xFF;
    expectError(bytes, "cut short");

    // An odd text length.
    bytes = good;
    bytes[18] = 3;
    expectError(bytes, "odd text length");

    // The fifth value (a switch, at byte 60) stored as a text.
    bytes = good;
    ASSERT_EQ(bytes[60], 11);
    bytes[60] = 8;
    expectError(bytes, "value 5 at byte 60 has type 8, expected 11");

    // An unknown tag.
    bytes = good;
    bytes[16] = 0x42;
    expectError(bytes, "value 1 at byte 16 has type 66");
}

TEST(ControlData, TextsWithAndWithoutTerminatorReadAlike) {
    ControlData data = DefaultControlData();
    data.Values[3] = ControlValue::MakeText(u"Transparent", false);
    ControlData bare = ParseControlData(SerializeControlData(data));
    data.Values[3].TextTerminated = true;
    ControlData terminated = ParseControlData(SerializeControlData(data));
    EXPECT_EQ(bare.WMode(), u"Transparent");
    EXPECT_EQ(terminated.WMode(), u"Transparent");
    EXPECT_FALSE(bare.Values[3].TextTerminated);
    EXPECT_TRUE(terminated.Values[3].TextTerminated);
}

TEST(ControlData, SerializingAValueOfTheWrongTypeFails) {
    ControlData data = DefaultControlData();
    data.Values[4] = ControlValue::MakeText(u"on", false);
    EXPECT_THROW(SerializeControlData(data), ControlDataError);
}

}  // namespace
}  // namespace flash
