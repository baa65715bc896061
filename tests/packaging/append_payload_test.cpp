#include "packaging/pack/append_payload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "app/payload_tail.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

class Packing : public ::testing::Test {
protected:
    void SetUp() override {
        // Salted: the same test binary from another build tree may be running at the same time.
        dir_ = fs::temp_directory_path() / ("pack_" + std::to_string(std::random_device{}()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return (dir_ / name).string();
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(Packing, WritesImagePayloadAndBigEndianLengthThatExtractionReadsBack) {
    Bytes image(70000);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 13);
    Bytes package(0x12345);
    for (std::size_t i = 0; i < package.size(); ++i) package[i] = static_cast<char>(0xD0 ^ i);

    const auto out = PathOf("Guide.exe");
    const auto result = packaging::AppendPayload(Write("p.exe", image), Write("p.msi", package), out);
    ASSERT_TRUE(result.ok) << result.error;

    const Bytes packed = Read(out);
    ASSERT_EQ(packed.size(), image.size() + package.size() + 4);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), packed.begin()));
    EXPECT_TRUE(std::equal(package.begin(), package.end(), packed.begin() + static_cast<long>(image.size())));
    EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 4]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 3]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 2]), 0x23);
    EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 1]), 0x45);
    EXPECT_FALSE(fs::exists(out + ".part"));

    std::vector<std::uint8_t> payload;
    ASSERT_EQ(app::ReadPayload(out, payload), app::ExtractResult::Ok);
    EXPECT_EQ(Bytes(payload.begin(), payload.end()), package);
}

TEST_F(Packing, EmptyPackageIsRefusedAndTheOldOutputKept) {
    const auto out = Write("o.exe", Bytes{'o', 'l', 'd'});
    const auto result = packaging::AppendPayload(Write("p.exe", Bytes(10, 'x')), Write("e.msi", {}), out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("is empty"), std::string::npos) << result.error;
    EXPECT_EQ(Read(out), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(out + ".part"));
}

TEST_F(Packing, RefusesUnreadableInputsAndKeepsTheOldOutput) {
    const auto out = Write("o.exe", Bytes{'o', 'l', 'd'});
    const auto exe = Write("p.exe", Bytes(10, 'x'));

    auto result = packaging::AppendPayload(PathOf("missing.exe"), Write("p.msi", Bytes(3, 'm')), out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("missing.exe"), std::string::npos);

    result = packaging::AppendPayload(exe, PathOf("missing.msi"), out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("missing.msi"), std::string::npos);

    fs::create_directories(dir_ / "folder.msi");
    EXPECT_FALSE(packaging::AppendPayload(exe, PathOf("folder.msi"), out).ok);

    EXPECT_FALSE(packaging::AppendPayload(exe, PathOf("p.msi"), PathOf("no such folder/o.exe")).ok);

    EXPECT_EQ(Read(out), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(out + ".part"));
}

TEST_F(Packing, RefusesPackagesTooLargeForTheTrailer) {
    // A sparse 4 GiB file costs no disk space.
    const auto big = PathOf("big.msi");
    { std::ofstream(big, std::ios::binary); }
    fs::resize_file(big, 0x100000000ull);
    const auto out = PathOf("o.exe");
    auto result = packaging::AppendPayload(Write("p.exe", Bytes(10, 'x')), big, out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("4 GiB"), std::string::npos);
    EXPECT_FALSE(fs::exists(out));

    fs::resize_file(big, 0x7FFFFFF0ull);  // fits the trailer, but not the reader's 2 GiB positions
    result = packaging::AppendPayload(Write("p.exe", Bytes(100, 'x')), big, out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("2 GiB"), std::string::npos);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
