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
        dir_ = fs::temp_directory_path() /
               ("payload_" + std::to_string(std::random_device{}()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

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

TEST_F(Scratch, ExtractsTheExactRangeAndOverwritesAnOlderPackage) {
    const Bytes image = Pattern(610304, 3);
    const Bytes payload = Pattern(4212736, 11);
    const auto exe = Write("Guide.exe", Packed(image, payload));
    ASSERT_EQ(fs::file_size(exe), 4823044u);

    const auto package = Write("flash8.msi", Pattern(5000000, 99));  // longer leftover from an earlier start
    ASSERT_EQ(app::ExtractPayload(exe, package), app::ExtractResult::Ok);
    EXPECT_EQ(Read(package), payload);

    ASSERT_EQ(app::ExtractPayload(exe, package), app::ExtractResult::Ok);  // twice: identical
    EXPECT_EQ(Read(package), payload);
}

TEST_F(Scratch, HighBytesAndEmptyPayloads) {
    const Bytes payload = Pattern(32768, 200);
    const auto exe = Write("a.exe", Packed(Pattern(1000, 1), payload));
    const auto package = PathOf("flash8.msi");
    ASSERT_EQ(app::ExtractPayload(exe, package), app::ExtractResult::Ok);
    EXPECT_EQ(Read(package), payload);

    const auto onlyPayload = Write("c.exe", Packed({}, payload));  // nothing before the payload
    ASSERT_EQ(app::ExtractPayload(onlyPayload, package), app::ExtractResult::Ok);
    EXPECT_EQ(Read(package), payload);
}

TEST_F(Scratch, BadTailsLeaveNoPackageBehind) {
    const auto package = Write("flash8.msi", Pattern(100, 5));  // stale package from an earlier start
    Bytes tooLong = Pattern(50, 1);
    tooLong.insert(tooLong.end(), {0x00, 0x00, 0x00, 51});  // one byte more than lies before the trailer
    EXPECT_EQ(app::ExtractPayload(Write("long.exe", tooLong), package), app::ExtractResult::NoPayload);
    EXPECT_FALSE(fs::exists(package));

    Write("flash8.msi", Pattern(100, 5));
    Bytes huge = Pattern(50, 1);
    huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0xFF});  // must not try to allocate 4 GiB
    EXPECT_EQ(app::ExtractPayload(Write("huge.exe", huge), package), app::ExtractResult::NoPayload);
    EXPECT_FALSE(fs::exists(package));

    // A zero length: a build without a package. No file is written for it.
    Write("flash8.msi", Pattern(100, 5));
    EXPECT_EQ(app::ExtractPayload(Write("none.exe", Packed(Pattern(1000, 1), {})), package),
              app::ExtractResult::NoPayload);
    EXPECT_FALSE(fs::exists(package));

    EXPECT_EQ(app::ExtractPayload(Write("short.exe", {0x00, 0x00, 0x01}), package), app::ExtractResult::NoPayload);
    EXPECT_EQ(app::ExtractPayload(Write("empty.exe", {}), package), app::ExtractResult::NoPayload);
    EXPECT_EQ(app::ExtractPayload(PathOf("missing.exe"), package), app::ExtractResult::CannotOpenExecutable);
    EXPECT_FALSE(fs::exists(package));
}

TEST_F(Scratch, UnwritablePackageIsReportedAndNotLeftHalfWritten) {
    const Bytes payload = Pattern(4096, 9);
    const auto exe = Write("a.exe", Packed(Pattern(10, 1), payload));
    EXPECT_EQ(app::ExtractPayload(exe, PathOf("no such folder/flash8.msi")), app::ExtractResult::CannotWritePackage);
    fs::create_directories(dir_ / "taken.msi");  // a folder where the package should go
    EXPECT_EQ(app::ExtractPayload(exe, PathOf("taken.msi")), app::ExtractResult::CannotWritePackage);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.msi"));
}

}  // namespace
