// The distributable's resources as the shell reads them: the icon it shows
// for the file is the first icon group, which must be the application icon.
// And the player control's imports: every module it imports is loaded on
// each start of the program, before the first frame.
// Usage: executable_resources_test PROGRAM.EXE CONTROL.OCX

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::string g_program;
std::string g_control;

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The names in a module's import directory, read from its image as the loader
// maps it (without running it or loading what it imports).
std::set<std::string> ImportedModules(const std::string& path) {
    std::set<std::string> names;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!module) return names;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress != 0) {
        for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             entry->Name != 0; ++entry)
            names.insert(Lowered(reinterpret_cast<const char*>(base + entry->Name)));
    }
    FreeLibrary(module);
    return names;
}

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

// The shell (and the shell helpers it pulls in) is loaded only when a movie
// opens a link; the other modules are ones a windowed COM program loads anyway
// (ntdll is in every process).
TEST(ExecutableResources, TheControlImportsOnlyWhatEveryStartNeeds) {
    const std::set<std::string> imports = ImportedModules(g_control);
    ASSERT_FALSE(imports.empty()) << g_control;
    const std::set<std::string> expected = {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
                                            "ntdll.dll",    "ole32.dll", "oleaut32.dll", "user32.dll"};
    EXPECT_EQ(imports, expected);
    EXPECT_EQ(imports.count("shell32.dll"), 0u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: executable_resources_test PROGRAM.EXE CONTROL.OCX\n");
        return 2;
    }
    g_program = argv[1];
    g_control = argv[2];
    return RUN_ALL_TESTS();
}
