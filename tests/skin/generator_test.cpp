// Runs the generator and holds its output to the committed pictures, so the
// files in ui/skin/ can never drift from the program that makes them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skingen/file_io.h"

namespace skin {
namespace {

const std::filesystem::path kSkinFolder = SKIN_FOLDER;
const std::string kGenerator = SKINGEN_PATH;

// A scratch path of this test process, so concurrent runs from other build trees do not collide.
std::filesystem::path Scratch(const std::string& name) {
    return std::filesystem::path(testing::TempDir()) / (name + "_" + std::to_string(getpid()));
}

int RunSkingen(const std::string& arguments) {
    const std::string command = "\"" + kGenerator + "\" " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Generator, WritesExactlyTheCommittedFiles) {
    const std::filesystem::path out = Scratch("skingen_output") / "nested";
    std::filesystem::remove_all(out.parent_path());
    ASSERT_EQ(RunSkingen("\"" + out.string() + "\""), 0);

    std::size_t generated = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        ++generated;
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(std::filesystem::exists(kSkinFolder / name)) << name << " is not committed";
        EXPECT_TRUE(ReadFile(entry.path()) == ReadFile(kSkinFolder / name))
            << name << " differs from the committed file";
    }
    EXPECT_EQ(generated, 9u);
    for (const char* name : {"titlestrip.bmp", "leftcap.bmp", "rightcap.bmp", "logo.bmp", "logoicon.ico",
                             "mainicon.ico", "iconlist.bmp", "iconlist_mask.bmp", "grip.bmp"}) {
        EXPECT_TRUE(std::filesystem::exists(out / name)) << name;
    }
    std::filesystem::remove_all(out.parent_path());
}

TEST(Generator, FailsCleanlyOnBadUse) {
    EXPECT_EQ(RunSkingen(""), 2);
    EXPECT_EQ(RunSkingen("a b"), 2);

    // An output path below a plain file cannot be created.
    const std::filesystem::path blocker = Scratch("skingen_blocker");
    std::filesystem::remove_all(blocker);
    WriteFile(blocker, std::vector<std::uint8_t>{1});
    EXPECT_EQ(RunSkingen("\"" + (blocker / "out").string() + "\""), 1);
    EXPECT_EQ(ReadFile(blocker), std::vector<std::uint8_t>{1});
    std::filesystem::remove_all(blocker);
}

}  // namespace
}  // namespace skin
