// Replays every file of a folder through the fuzz target's entry point; a
// crash, a sanitizer report or a hang fails the test.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::filesystem::path g_folder;

TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    ASSERT_TRUE(std::filesystem::is_directory(g_folder)) << g_folder;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(g_folder)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    // Even before the first crash is kept, the empty input must run.
    EXPECT_EQ(LLVMFuzzerTestOneInput(nullptr, 0), 0);
    RecordProperty("replayed", replayed);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) return 2;
    g_folder = argv[1];
    return RUN_ALL_TESTS();
}
