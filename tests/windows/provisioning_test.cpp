// A full provisioning run of packed executables: the appended package is
// extracted, installed unattended by the real Windows Installer, and removed.
// Usage: provisioning_test OK.EXE FAIL.EXE OK.MSI

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui_driver.h"

namespace {

using namespace driver;

std::string g_packedOk, g_packedFail, g_okPackage;

const char kClassKey[] = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

std::string PackagePath() {
    char system[1024] = {};
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system, 2) + "\\temp\\flash8.msi";
}

// The control the package installs: registered, and its file present.
bool ControlInstalled() {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\InprocServer32").c_str(), "", RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(value);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RunAndWait(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Copies the packed program into a folder of its own, as a user would receive it.
std::string Deploy(const std::string& packed, const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "provisioning_" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\Guide.exe";
    EXPECT_TRUE(CopyFileA(packed.c_str(), exe.c_str(), FALSE)) << packed;
    // Its settings beside it, so that the window opens without a report.
    CreateDirectoryA((folder + "\\Guide_Page_img").c_str(), nullptr);
    const char settings[] = "&title=Provisioning&\r\n&width=640&\r\n&height=480&\r\n";
    FILE* file = std::fopen((folder + "\\Guide_Page_img\\Page_var.txt").c_str(), "wb");
    EXPECT_TRUE(file) << folder;
    if (file) {
        std::fwrite(settings, 1, sizeof settings - 1, file);
        std::fclose(file);
    }
    return exe;
}

class Provisioning : public ::testing::Test {
protected:
    void SetUp() override {
        // A machine without the control and without the test package.
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
        RunAndWait("msiexec.exe /qn /x \"" + g_okPackage + "\"");
        DeleteFileA(PackagePath().c_str());
    }
    void TearDown() override { RunAndWait("msiexec.exe /qn /x \"" + g_okPackage + "\""); }

    // Runs the program until its window is up; fails on any message box before.
    void StartUpAndClose(const std::string& exe) {
        Process program(exe);
        ASSERT_TRUE(program.Started());
        HWND form = WaitFor(
            [&]() -> HWND {
                if (FindWindowOf(program.Id(), "#32770")) return HWND_BROADCAST;
                return FindWindowOf(program.Id(), "TPlayerForm");
            },
            120s);
        ASSERT_NE(form, HWND_BROADCAST) << "a message box appeared during provisioning";
        ASSERT_TRUE(form) << "the player window did not open";

        HWND app = FindWindowOf(program.Id(), "TApplication", false);
        ASSERT_TRUE(app);
        EXPECT_EQ(TextOf(app), "User Guide     ");

        PostMessageA(form, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
    }
};

TEST_F(Provisioning, InstallsTheAppendedPackageAndDeletesIt) {
    ASSERT_FALSE(ControlInstalled());
    StartUpAndClose(Deploy(g_packedOk, "ok"));
    EXPECT_TRUE(ControlInstalled()) << "the installer did not run the appended package";
    EXPECT_EQ(GetFileAttributesA(PackagePath().c_str()), INVALID_FILE_ATTRIBUTES) << "flash8.msi was left behind";
}

TEST_F(Provisioning, AFailingPackageShowsNoDialogAndStartUpGoesOn) {
    // Provisioning itself reports nothing; the first box is the window's own
    // report that the control is missing, captioned with the set title.
    Process program(Deploy(g_packedFail, "fail"));
    auto box = WaitForMessageBox(program.Id(), 120s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    PressOk(*box);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    EXPECT_FALSE(ControlInstalled());
    EXPECT_EQ(GetFileAttributesA(PackagePath().c_str()), INVALID_FILE_ATTRIBUTES) << "flash8.msi was left behind";
}

TEST_F(Provisioning, ARegisteredControlSkipsTheInstaller) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string control = std::string(temp) + "Flash9b.ocx";
    CloseHandle(CreateFileA(control.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\InprocServer32").c_str(), 0, nullptr,
                              0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(control.c_str()),
                   static_cast<DWORD>(control.size() + 1));
    RegCloseKey(key);

    // The registered file is no real control, so the window cannot be built:
    // the report comes, but the installer must not have run.
    Process program(Deploy(g_packedOk, "registered"));
    auto box = WaitForMessageBox(program.Id(), 60s);
    if (box) PressOk(*box);
    HWND form = FindWindowOf(program.Id(), "TPlayerForm");
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    char value[1024] = {};
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\InprocServer32").c_str(), "", RRF_RT_REG_SZ,
                 nullptr, value, &size);
    EXPECT_EQ(std::string(value), control) << "the installer replaced a usable registration";

    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
    DeleteFileA(control.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: provisioning_test OK.EXE FAIL.EXE OK.MSI\n");
        return 2;
    }
    g_packedOk = argv[1];
    g_packedFail = argv[2];
    g_okPackage = argv[3];
    return RUN_ALL_TESTS();
}
