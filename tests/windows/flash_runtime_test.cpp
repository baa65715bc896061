// The provisioning step's look-ups against the real registry and file system.

#include "app/flash_runtime.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const char kServerKey[] = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

class RegisteredControl : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}");
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "flash_runtime_test";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}");
        for (const char* name : {"Flash9b.ocx", "Flash8.ocx", "Flash9c.ocx", "Flash9B.ocx"}) {
            DeleteFileA((folder_ + "\\" + name).c_str());
        }
        RemoveDirectoryA((folder_ + "\\Flash9.ocx").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    void Register(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void RegisterText(const std::string& path) { Register(REG_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1)); }
    std::string MakeFile(const std::string& name) {
        const std::string path = folder_ + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        return path;
    }
    // What the provisioning step decides for the registry as it stands.
    bool Decision() {
        const std::string path = app::ReadRegisteredControlPath();
        return app::NeedsFlashInstall(path, app::ExaminePath(path));
    }

    std::string folder_;
};

TEST_F(RegisteredControl, MissingOrEmptyRegistrationNeedsTheInstaller) {
    EXPECT_EQ(app::ReadRegisteredControlPath(), "");
    EXPECT_TRUE(Decision());

    Register(REG_SZ, "", 0);  // a value of size 0
    EXPECT_EQ(app::ReadRegisteredControlPath(), "");
    EXPECT_TRUE(Decision());

    Register(REG_SZ, "", 1);  // just the terminator
    EXPECT_EQ(app::ReadRegisteredControlPath(), "");
    EXPECT_TRUE(Decision());
}

TEST_F(RegisteredControl, ExistingFilesPassOrFailByTheirName) {
    RegisterText(MakeFile("Flash9b.ocx"));
    EXPECT_EQ(app::ReadRegisteredControlPath(), folder_ + "\\Flash9b.ocx");
    EXPECT_FALSE(Decision());

    RegisterText(MakeFile("Flash8.ocx"));
    EXPECT_FALSE(Decision());

    RegisterText(MakeFile("Flash9c.ocx"));
    EXPECT_TRUE(Decision());

    // The file system may not tell the two names apart, the rule does.
    RegisterText(MakeFile("Flash9B.ocx"));
    EXPECT_TRUE(Decision());
}

TEST_F(RegisteredControl, MissingFilesFoldersAndOddValues) {
    RegisterText(folder_ + "\\Flash9b.ocx");  // registered, but the file is gone
    EXPECT_EQ(app::ExaminePath(folder_ + "\\Flash9b.ocx"), app::PathKind::Missing);
    EXPECT_TRUE(Decision());

    CreateDirectoryA((folder_ + "\\Flash9.ocx").c_str(), nullptr);
    RegisterText(folder_ + "\\Flash9.ocx");
    EXPECT_EQ(app::ExaminePath(folder_ + "\\Flash9.ocx"), app::PathKind::Folder);
    EXPECT_TRUE(Decision());

    MakeFile("Flash8.ocx");
    RegisterText(folder_ + "\\Flash*.ocx");  // a pattern names no file
    EXPECT_EQ(app::ExaminePath(folder_ + "\\Flash*.ocx"), app::PathKind::Missing);
    EXPECT_TRUE(Decision());

    const DWORD number = 9;
    Register(REG_DWORD, &number, sizeof number);  // not text: treated as no registration
    EXPECT_EQ(app::ReadRegisteredControlPath(), "");
    EXPECT_TRUE(Decision());

    // Expandable text is read as it stands, up to its first NUL.
    const std::string expandable = MakeFile("Flash8.ocx");
    const std::string withTail = expandable + std::string("\0junk", 5);
    Register(REG_EXPAND_SZ, withTail.data(), static_cast<DWORD>(withTail.size() + 1));
    EXPECT_EQ(app::ReadRegisteredControlPath(), expandable);
    EXPECT_FALSE(Decision());
}

}  // namespace
