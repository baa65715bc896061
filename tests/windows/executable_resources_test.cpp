// The distributable's resources as the shell reads them: the icon it shows
// for the file is the first icon group, which must be the application icon.
// Usage: executable_resources_test PROGRAM.EXE

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string g_program;

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    auto* list = reinterpret_cast<std::vector<std::string>*>(names);
    list->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

TEST(ExecutableResources, TheApplicationIconIsTheFirstIconGroup) {
    HMODULE module = LoadLibraryExA(g_program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module) << g_program;
    std::vector<std::string> groups;
    EnumResourceNamesA(module, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_FALSE(groups.empty());
    EXPECT_EQ(groups.front(), "MAINICON");
    EXPECT_EQ(groups.size(), 2u);  // and the logo icon the window shows

    // What the shell takes for the file: the first group's first image, 64 x 64.
    HICON icon = ExtractIconA(nullptr, g_program.c_str(), 0);
    ASSERT_TRUE(icon != nullptr && icon != reinterpret_cast<HICON>(1));
    HRSRC main = FindResourceA(module, "MAINICON", RT_GROUP_ICON);
    ASSERT_TRUE(main);
    // The group directory: reserved, type, count, then 14-byte entries starting with width and height.
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(module, main)));
    ASSERT_TRUE(group);
    EXPECT_EQ(group[4] | (group[5] << 8), 1);
    EXPECT_EQ(group[6], 64);
    EXPECT_EQ(group[7], 64);
    DestroyIcon(icon);
    FreeLibrary(module);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: executable_resources_test PROGRAM.EXE\n");
        return 2;
    }
    g_program = argv[1];
    return RUN_ALL_TESTS();
}
