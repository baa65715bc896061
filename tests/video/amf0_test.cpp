// AMF0 values from bytes built by hand as the format defines them: each
// type, references, cut and malformed data, and the limits that keep hostile
// data small.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/video/amf0.h"
#include "swf/video/flv_script.h"

namespace {

using swf::video::AmfDate;
using swf::video::AmfEcmaArray;
using swf::video::AmfNull;
using swf::video::AmfObject;
using swf::video::AmfStrictArray;
using swf::video::AmfUndefined;
using swf::video::AmfValue;
using swf::video::ReadAmf0;

// Big-endian fields, as AMF0 writes them.
struct Amf {
    std::vector<std::uint8_t> bytes;
    Amf& U8(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Amf& U16(std::uint16_t v) { return U8(v >> 8).U8(v & 0xFF); }
    Amf& U32(std::uint32_t v) { return U16(v >> 16).U16(v & 0xFFFF); }
    Amf& Double(double d) {
        const auto bits = std::bit_cast<std::uint64_t>(d);
        for (int shift = 56; shift >= 0; shift -= 8) U8(static_cast<std::uint8_t>(bits >> shift));
        return *this;
    }
    Amf& Text(const std::string& s) {
        U16(static_cast<std::uint16_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Amf& Number(double d) { return U8(0x00).Double(d); }
    Amf& String(const std::string& s) { return U8(0x02).Text(s); }
    Amf& ObjectEnd() { return U16(0).U8(0x09); }
};

std::optional<AmfValue> ReadAll(const Amf& amf, std::string* problem = nullptr,
                                const swf::video::AmfLimits& limits = {}) {
    std::size_t offset = 0;
    auto value = ReadAmf0(amf.bytes, offset, problem, limits);
    if (value) {
        EXPECT_EQ(offset, amf.bytes.size());
    }
    return value;
}

}  // namespace

TEST(Amf0, ReadsEachTypeAsTheFormatDefinesIt) {
    // 1.5 is 0x3FF8000000000000.
    const Amf number{{0x00, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}};
    ASSERT_TRUE(ReadAll(number));
    EXPECT_EQ(ReadAll(number)->Number(), 1.5);
    EXPECT_EQ(*ReadAll(Amf{{0x01, 0x00}})->As<bool>(), false);
    EXPECT_EQ(*ReadAll(Amf{{0x01, 0x05}})->As<bool>(), true);  // any byte but 0 is true
    EXPECT_EQ(*ReadAll(Amf{{0x02, 0x00, 0x03, 'a', 'b', 'c'}})->As<std::string>(), "abc");
    EXPECT_EQ(*ReadAll(Amf{{0x0C, 0, 0, 0, 2, 'h', 'i'}})->As<std::string>(), "hi");        // long string
    EXPECT_EQ(*ReadAll(Amf{{0x0F, 0, 0, 0, 3, '<', 'a', '>'}})->As<std::string>(), "<a>");  // XML document
    EXPECT_TRUE(ReadAll(Amf{{0x05}})->Is<AmfNull>());
    EXPECT_TRUE(ReadAll(Amf{{0x06}})->Is<AmfUndefined>());
    EXPECT_TRUE(ReadAll(Amf{{0x0D}})->Is<AmfUndefined>());  // unsupported

    const auto date = ReadAll(Amf().U8(0x0B).Double(1.5e12).U16(0xFFC4));
    ASSERT_TRUE(date && date->Is<AmfDate>());
    EXPECT_EQ(date->As<AmfDate>()->milliseconds, 1.5e12);
    EXPECT_EQ(date->As<AmfDate>()->timezone, -60);

    // Members keep their order; the first of a repeated name is found.
    const auto object =
        ReadAll(Amf().U8(0x03).Text("y").String("z").Text("x").Number(2).Text("y").U8(0x05).ObjectEnd());
    ASSERT_TRUE(object && object->Is<AmfObject>());
    const auto& members = *object->Members();
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].name, "y");
    EXPECT_EQ(members[1].name, "x");
    EXPECT_EQ(*object->Find("y")->As<std::string>(), "z");
    EXPECT_EQ(object->Find("x")->Number(), 2);
    EXPECT_EQ(object->Find("w"), nullptr);

    const auto typed = ReadAll(Amf().U8(0x10).Text("Point").Text("a").U8(0x01).U8(1).ObjectEnd());
    ASSERT_TRUE(typed && typed->Is<AmfObject>());
    EXPECT_EQ(typed->As<AmfObject>()->className, "Point");
    EXPECT_EQ(*typed->Find("a")->As<bool>(), true);

    const auto ecma = ReadAll(Amf().U8(0x08).U32(2).Text("w").Number(160).Text("h").Number(120).ObjectEnd());
    ASSERT_TRUE(ecma && ecma->Is<AmfEcmaArray>());
    EXPECT_EQ(ecma->Find("h")->Number(), 120);

    const auto strict = ReadAll(Amf().U8(0x0A).U32(3).Number(-1).U8(0x06).String("e"));
    ASSERT_TRUE(strict && strict->Is<AmfStrictArray>());
    const auto& elements = strict->As<AmfStrictArray>()->elements;
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0].Number(), -1);
    EXPECT_TRUE(elements[1].Is<AmfUndefined>());
    EXPECT_EQ(*elements[2].As<std::string>(), "e");
    EXPECT_EQ(strict->Find("e"), nullptr);

    // Values one after another: the offset moves past each.
    const Amf sequence = Amf().Number(7).String("ab").U8(0x05);
    std::size_t offset = 0;
    EXPECT_EQ(ReadAmf0(sequence.bytes, offset)->Number(), 7);
    EXPECT_EQ(offset, 9u);
    EXPECT_EQ(*ReadAmf0(sequence.bytes, offset)->As<std::string>(), "ab");
    EXPECT_EQ(offset, 14u);
    EXPECT_TRUE(ReadAmf0(sequence.bytes, offset)->Is<AmfNull>());
    EXPECT_FALSE(ReadAmf0(sequence.bytes, offset));
    EXPECT_EQ(offset, 15u);
}

TEST(Amf0, ReferencesRepeatAnEarlierObject) {
    // Complex values are numbered as they begin: the strict array is 0, the
    // object 1, the ECMA array 2 (@n: a reference to n).
    Amf amf;
    amf.U8(0x0A).U32(4);                                        // 0: [
    amf.U8(0x03).Text("a").Number(1).ObjectEnd();               // 1: {a: 1},
    amf.U8(0x08).U32(1).Text("b").U8(0x07).U16(1).ObjectEnd();  // 2: {b: @1},
    amf.U8(0x07).U16(1).U8(0x07).U16(2);                        // @1, @2]
    std::string problem;
    const auto value = ReadAll(amf, &problem);
    ASSERT_TRUE(value) << problem;
    const auto& elements = value->As<AmfStrictArray>()->elements;
    ASSERT_EQ(elements.size(), 4u);
    EXPECT_EQ(elements[0].Find("a")->Number(), 1);
    EXPECT_EQ(elements[1].Find("b")->Find("a")->Number(), 1);
    ASSERT_TRUE(elements[2].Is<AmfObject>());
    EXPECT_EQ(elements[2].Find("a")->Number(), 1);
    ASSERT_TRUE(elements[3].Is<AmfEcmaArray>());
    EXPECT_EQ(elements[3].Find("b")->Find("a")->Number(), 1);

    // An object cannot hold itself, nor name one that does not exist yet.
    EXPECT_FALSE(ReadAll(Amf().U8(0x03).Text("self").U8(0x07).U16(0).ObjectEnd(), &problem));
    EXPECT_NE(problem.find("contains it"), std::string::npos) << problem;
    EXPECT_FALSE(ReadAll(Amf().U8(0x0A).U32(1).U8(0x07).U16(1), &problem));
    EXPECT_NE(problem.find("reference"), std::string::npos) << problem;
}

TEST(Amf0, CutOrMalformedDataIsRefusedWithoutMovingOn) {
    const std::vector<std::pair<Amf, const char*>> bad = {
        {Amf(), "end of the data"},
        {Amf{{0x02, 0x00, 0x10, 'a'}}, "string length beyond the data"},
        {Amf{{0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}}, "long string length beyond the data"},
        {Amf{{0x00, 0x3F, 0xF8}}, "cut number"},
        {Amf{{0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, "cut date"},
        {Amf().U8(0x03).Text("x").U8(0x05), "object without its end"},
        {Amf().U8(0x03).U16(0).U8(0x05), "empty name without the end marker"},
        {Amf().U8(0x03).Text("x"), "member without a value"},
        {Amf().U8(0x0A).U32(0xFFFFFFFF).U8(0x05), "strict array count beyond the data"},
        {Amf().U8(0x08).U32(3).Text("a").U8(0x05), "ECMA array cut before its count of members"},
        {Amf{{0x09}}, "object end alone"},
        {Amf{{0x04}}, "movie clip"},
        {Amf{{0x11, 0x01}}, "AMF3 switch"},
        {Amf{{0x42}}, "unknown marker"},
    };
    for (const auto& [amf, what] : bad) {
        SCOPED_TRACE(what);
        std::string problem;
        std::size_t offset = 0;
        EXPECT_FALSE(ReadAmf0(amf.bytes, offset, &problem));
        EXPECT_EQ(offset, 0u);
        EXPECT_FALSE(problem.empty());
    }
    // An ECMA array whose count of members is there may lack its end marker
    // at the end of the data.
    const auto lenient = ReadAll(Amf().U8(0x08).U32(1).Text("a").Number(3));
    ASSERT_TRUE(lenient);
    EXPECT_EQ(lenient->Find("a")->Number(), 3);
}

TEST(Amf0, HostileDataStaysWithinTheLimits) {
    // Strict arrays of one element nested `levels` deep around a number.
    const auto nested = [](int levels) {
        Amf amf;
        for (int i = 0; i < levels; ++i) amf.U8(0x0A).U32(1);
        return amf.Number(1);
    };
    std::string problem;
    EXPECT_TRUE(ReadAll(nested(64)));
    EXPECT_FALSE(ReadAll(nested(65), &problem));
    EXPECT_NE(problem.find("nested"), std::string::npos) << problem;
    EXPECT_FALSE(ReadAll(nested(100000), &problem));

    // The element budget counts every value, the arrays too.
    const auto nulls = [](std::uint32_t count) {
        Amf amf;
        amf.U8(0x0A).U32(count);
        for (std::uint32_t i = 0; i < count; ++i) amf.U8(0x05);
        return amf;
    };
    const swf::video::AmfLimits small{64, 100, 1000};
    EXPECT_TRUE(ReadAll(nulls(99), nullptr, small));
    EXPECT_FALSE(ReadAll(nulls(100), &problem, small));
    EXPECT_NE(problem.find("values"), std::string::npos) << problem;

    // Each array names the one before it twice: 40 of them would make 2^40
    // values. The budget stops it.
    Amf doubling;
    doubling.U8(0x0A).U32(41).U8(0x03).Text("a").Number(1).ObjectEnd();
    for (std::uint16_t i = 1; i <= 40; ++i) doubling.U8(0x0A).U32(2).U8(0x07).U16(i).U8(0x07).U16(i);
    EXPECT_FALSE(ReadAll(doubling, &problem));
    EXPECT_NE(problem.find("values"), std::string::npos) << problem;

    // Copies of a long text count against the text budget.
    Amf copies;
    copies.U8(0x0A).U32(20001).U8(0x03).Text("s").String(std::string(1000, 'x')).ObjectEnd();
    for (int i = 0; i < 20000; ++i) copies.U8(0x07).U16(1);
    EXPECT_FALSE(ReadAll(copies, &problem));
    EXPECT_NE(problem.find("bytes of text"), std::string::npos) << problem;
}

TEST(FlvScriptData, ReadsTheHandlerNameAndItsArgument) {
    Amf cuePoint;
    cuePoint.String("onCuePoint").U8(0x03).Text("name").String("chapter1").Text("time").Number(2.5);
    cuePoint.Text("type").String("navigation").Text("parameters").U8(0x03).Text("lang").String("en").ObjectEnd();
    cuePoint.ObjectEnd();
    std::string problem;
    const auto data = swf::video::ReadFlvScriptData(cuePoint.bytes, &problem);
    ASSERT_TRUE(data) << problem;
    EXPECT_EQ(data->name, "onCuePoint");
    EXPECT_EQ(*data->value.Find("name")->As<std::string>(), "chapter1");
    EXPECT_EQ(data->value.Find("time")->Number(), 2.5);
    EXPECT_EQ(*data->value.Find("type")->As<std::string>(), "navigation");
    EXPECT_EQ(*data->value.Find("parameters")->Find("lang")->As<std::string>(), "en");

    const auto nameOnly = swf::video::ReadFlvScriptData(Amf().String("onLastSecond").bytes);
    ASSERT_TRUE(nameOnly);
    EXPECT_EQ(nameOnly->name, "onLastSecond");
    EXPECT_TRUE(nameOnly->value.Is<AmfUndefined>());

    EXPECT_FALSE(swf::video::ReadFlvScriptData(Amf().Number(1).U8(0x05).bytes, &problem));
    EXPECT_NE(problem.find("handler name"), std::string::npos) << problem;
    EXPECT_FALSE(swf::video::ReadFlvScriptData(Amf().String("onMetaData").U8(0x08).U32(1).bytes, &problem));
    EXPECT_FALSE(problem.empty());
}
