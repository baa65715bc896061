#include "app/payload_tail.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        // Salted: the same test binary from another build tree may be running at the same time.
        dir_ = fs::temp_directory_path() / ("payload_" + std::to_string(std::random_device{}()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    // What ReadPayload gives, or the failure.
    static std::pair<app::ExtractResult, Bytes> PayloadOf(const fs::path& exe) {
        Bytes payload = Pattern(7, 7);  // must be emptied on failure
        const app::ExtractResult result = app::ReadPayload(exe, payload);
        return {result, payload};
    }
    static Bytes Pattern(std::size_t size, std::uint8_t seed) {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
        return bytes;
    }
    // image + payload + big-endian length of the payload
    static Bytes Packed(const Bytes& image, const Bytes& payload) {
        Bytes file = image;
        file.insert(file.end(), payload.begin(), payload.end());
        const auto trailer = app::EncodeTrailer(static_cast<std::uint32_t>(payload.size()));
        file.insert(file.end(), trailer.begin(), trailer.end());
        return file;
    }

    fs::path dir_;
};

TEST(Trailer, DecodesBigEndianUnsignedBytes) {
    EXPECT_EQ(app::DecodeTrailer({0x00, 0x40, 0x48, 0x00}), 4212736u);
    EXPECT_EQ(app::DecodeTrailer({0x00, 0x00, 0x80, 0x00}), 32768u);
    EXPECT_EQ(app::DecodeTrailer({0x80, 0x00, 0x00, 0x00}), 0x80000000u);
    EXPECT_EQ(app::DecodeTrailer({0x00, 0x80, 0x00, 0x00}), 0x00800000u);
    EXPECT_EQ(app::DecodeTrailer({0x00, 0x00, 0x00, 0xFF}), 255u);
    EXPECT_EQ(app::DecodeTrailer({0xFF, 0xFE, 0xFD, 0xFC}), 0xFFFEFDFCu);
    EXPECT_EQ(app::DecodeTrailer({0, 0, 0, 0}), 0u);
    for (std::uint32_t value : {0u, 1u, 4212736u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(app::DecodeTrailer(app::EncodeTrailer(value)), value);
    }
}

TEST(Trailer, LocatesThePayloadOrNothing) {
    auto where = app::LocatePayload(4823044, 4212736);
    ASSERT_TRUE(where);
    EXPECT_EQ(where->offset, 610304);
    EXPECT_EQ(where->length, 4212736u);
    EXPECT_EQ(app::LocatePayload(100, 96)->offset, 0);
    EXPECT_EQ(app::LocatePayload(100, 1)->offset, 95);
    EXPECT_FALSE(app::LocatePayload(100, 0));  // no package
    EXPECT_FALSE(app::LocatePayload(100, 97));
    EXPECT_FALSE(app::LocatePayload(3, 0));
    EXPECT_FALSE(app::LocatePayload(0, 0));
    EXPECT_FALSE(app::LocatePayload(1000, 0xFFFFFFFFu));
}

TEST_F(Scratch, ReadsTheExactRange) {
    const Bytes image = Pattern(610304, 3);
    const Bytes payload = Pattern(4212736, 11);
    const auto exe = Write("Guide.exe", Packed(image, payload));
    ASSERT_EQ(fs::file_size(exe), 4823044u);
    EXPECT_EQ(PayloadOf(exe), std::make_pair(app::ExtractResult::Ok, payload));
}

TEST_F(Scratch, HighBytesAndEmptyImages) {
    const Bytes payload = Pattern(32768, 200);
    EXPECT_EQ(PayloadOf(Write("a.exe", Packed(Pattern(1000, 1), payload))),
              std::make_pair(app::ExtractResult::Ok, payload));
    // Nothing before the payload.
    EXPECT_EQ(PayloadOf(Write("c.exe", Packed({}, payload))), std::make_pair(app::ExtractResult::Ok, payload));
}

TEST_F(Scratch, BadTailsGiveNoPayload) {
    const auto none = std::make_pair(app::ExtractResult::NoPayload, Bytes{});
    Bytes tooLong = Pattern(50, 1);
    tooLong.insert(tooLong.end(), {0x00, 0x00, 0x00, 51});  // one byte more than lies before the trailer
    EXPECT_EQ(PayloadOf(Write("long.exe", tooLong)), none);
    Bytes huge = Pattern(50, 1);
    huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0xFF});  // must not try to allocate 4 GiB
    EXPECT_EQ(PayloadOf(Write("huge.exe", huge)), none);
    // A zero length: a build without a package.
    EXPECT_EQ(PayloadOf(Write("none.exe", Packed(Pattern(1000, 1), {}))), none);
    EXPECT_EQ(PayloadOf(Write("short.exe", {0x00, 0x00, 0x01})), none);
    EXPECT_EQ(PayloadOf(Write("empty.exe", {})), none);
    EXPECT_EQ(PayloadOf(PathOf("missing.exe")), std::make_pair(app::ExtractResult::CannotOpenExecutable, Bytes{}));
}

}  // namespace
