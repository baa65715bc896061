#include "app/installer_command.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallerCommand, PathsFollowTheSystemFolderDrive) {
    const auto usual = app::InstallerCommandFor("C:\\Windows\\system32");
    ASSERT_TRUE(usual);
    EXPECT_EQ(usual->tempFolder, "C:\\temp");
    EXPECT_EQ(usual->packagePath, "C:\\temp\\flash8.msi");
    EXPECT_EQ(usual->installer, "C:\\Windows\\system32\\msiexec.exe");
    EXPECT_EQ(usual->commandLine, " /passive /package \"C:\\temp\\flash8.msi\"");

    const auto old = app::InstallerCommandFor("D:\\WINNT\\System32");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->packagePath, "D:\\temp\\flash8.msi");
    EXPECT_EQ(old->installer, "D:\\WINNT\\System32\\msiexec.exe");
    EXPECT_EQ(old->commandLine, " /passive /package \"D:\\temp\\flash8.msi\"");

    EXPECT_EQ(app::InstallerCommandFor("E:\\")->installer, "E:\\msiexec.exe");
}

TEST(InstallerCommand, NoCommandWithoutAnAbsoluteDrivePath) {
    for (const char* folder :
         {"", "C", "C:", "\\Windows\\system32", "system32", "\\\\server\\share\\system32", "1:\\x", "::\\x"}) {
        EXPECT_FALSE(app::InstallerCommandFor(folder)) << folder;
    }
}

}  // namespace
