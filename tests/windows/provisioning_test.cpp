// A full provisioning run of packed executables: the appended package is
// extracted, installed unattended by the real Windows Installer, and removed.
// Usage: provisioning_test OK.EXE FAIL.EXE OK.MSI

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/windows/driver/folder_link.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/installed_control.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;

std::string g_packedOk, g_packedFail, g_okPackage;

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

// True while a process of that executable name runs.
bool ProcessRunning(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        found = _stricmp(entry.szExeFile, exeName) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

// What start-up did until its window or a message box came: whether the
// package file and the installer were seen, and how attempts of another
// process to change, rename or delete the package while the installer ran
// fared.
struct StartUpWatch {
    HWND form = nullptr;
    std::optional<MessageBoxInfo> box;
    bool packageSeen = false;
    bool installerSeen = false;
    int tamperAttempts = 0;
    int tamperSuccesses = 0;
};

bool TryToTamper(const std::string& package) {
    bool succeeded = false;
    HANDLE writer = CreateFileA(package.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (writer != INVALID_HANDLE_VALUE) {
        succeeded = true;
        CloseHandle(writer);
    }
    const std::string moved = package + ".moved";
    if (MoveFileA(package.c_str(), moved.c_str())) {
        succeeded = true;
        MoveFileA(moved.c_str(), package.c_str());
    }
    // A delete that worked leaves nothing to put back; the install then fails.
    if (DeleteFileA(package.c_str())) succeeded = true;
    return succeeded;
}

StartUpWatch WatchStartUp(const Process& program, std::chrono::seconds timeout, const std::string& package) {
    StartUpWatch watch;
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!watch.form && !watch.box && std::chrono::steady_clock::now() < until) {
        const bool packageThere = GetFileAttributesA(package.c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool installerRuns = ProcessRunning("msiexec.exe");
        watch.packageSeen = watch.packageSeen || packageThere;
        watch.installerSeen = watch.installerSeen || installerRuns;
        if (packageThere && installerRuns) {
            ++watch.tamperAttempts;
            if (TryToTamper(package)) ++watch.tamperSuccesses;
        }
        watch.form = FindWindowOf(program.Id(), "TPlayerForm");
        if (!watch.form) watch.box = WaitForMessageBox(program.Id(), 50ms);
    }
    return watch;
}

// The packed program in a folder of its own, as a user would receive it, with
// its settings beside it so that the window opens without a report.
class Deployed : public ProgramFolder {
public:
    Deployed(const std::string& packed, const std::string& name)
        : ProgramFolder("provisioning_" + name, packed, "Guide.exe",
                        "&title=Provisioning&\r\n&width=640&\r\n&height=480&\r\n") {
        EXPECT_TRUE(Ready()) << packed;
    }
};

class Provisioning : public ::testing::Test {
protected:
    void SetUp() override {
        // A machine without the control and without the test package.
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kControlClassKey);
        RunAndWait("msiexec.exe /qn /x \"" + g_okPackage + "\"");
        DeleteFileA(ExtractedPackagePath().c_str());
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
    Deployed folder(g_packedOk, "ok");
    {
        Process program(folder.Exe());
        ASSERT_TRUE(program.Started());
        const StartUpWatch watch = WatchStartUp(program, 120s, ExtractedPackagePath());
        ASSERT_FALSE(watch.box) << "a message box appeared during provisioning: " << watch.box->text;
        ASSERT_TRUE(watch.form) << "the player window did not open";
        EXPECT_TRUE(watch.installerSeen);
        EXPECT_TRUE(watch.packageSeen);
        EXPECT_GT(watch.tamperAttempts, 0) << "the installer ended before the package could be tried";
        EXPECT_EQ(watch.tamperSuccesses, 0) << "another process changed, moved or deleted the package";
        PostMessageA(watch.form, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
    }
    EXPECT_TRUE(ControlInstalled()) << "the installer did not run the appended package";
    EXPECT_EQ(GetFileAttributesA(ExtractedPackagePath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "flash8.msi was left behind";

    // Started again on a machine that now has the control: no second install.
    Process again(folder.Exe());
    ASSERT_TRUE(again.Started());
    const StartUpWatch second = WatchStartUp(again, 60s, ExtractedPackagePath());
    ASSERT_TRUE(second.form) << "the player window did not open on the second start";
    EXPECT_FALSE(second.installerSeen) << "the installer ran again";
    EXPECT_FALSE(second.packageSeen) << "the package was written again";
    PostMessageA(second.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitForExit(30s), 0u);
}

TEST_F(Provisioning, ALinkedTempFolderIsNotWrittenThrough) {
    // C:\temp turned into a link to a folder of another's choosing.
    const std::string temp = ExtractedPackagePath().substr(0, ExtractedPackagePath().rfind('\\'));
    const std::string saved = temp + ".saved", target = temp + ".target";
    const bool hadTemp = GetFileAttributesA(temp.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (hadTemp) {
        ASSERT_TRUE(MoveFileA(temp.c_str(), saved.c_str()));
    }
    CreateDirectoryA(target.c_str(), nullptr);
    const bool linked = MakeFolderLink(temp, target);

    if (linked) {
        Deployed folder(g_packedOk, "linked");
        Process program(folder.Exe());
        ASSERT_TRUE(program.Started());
        bool writtenThere = false;
        HWND form = WaitFor(
            [&]() -> HWND {
                writtenThere =
                    writtenThere || GetFileAttributesA((target + "\\flash8.msi").c_str()) != INVALID_FILE_ATTRIBUTES;
                if (FindWindowOf(program.Id(), "#32770")) return HWND_BROADCAST;
                return FindWindowOf(program.Id(), "TPlayerForm");
            },
            120s);
        EXPECT_NE(form, HWND_BROADCAST) << "a message box appeared during provisioning";
        EXPECT_TRUE(form) << "the player window did not open";
        if (form && form != HWND_BROADCAST) PostMessageA(form, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(30s), 0u);
        EXPECT_FALSE(writtenThere) << "the package was written through the link";
        EXPECT_TRUE(ControlInstalled()) << "the package from the private folder was not installed";
    }

    RemoveFolderLink(temp);
    RemoveDirectoryA(target.c_str());
    if (hadTemp) MoveFileA(saved.c_str(), temp.c_str());
    ASSERT_TRUE(linked) << "no folder link could be made";
}

// A one-frame movie of a 640 x 480 stage that sets only its background
// colour, written from the file format's definition.
std::string BackgroundMovie(COLORREF colour) {
    std::vector<std::uint8_t> bits;  // the stage rectangle: 15 bits per field
    const auto put = [&](std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bits.push_back((value >> i) & 1);
    };
    put(15, 5);
    for (std::uint32_t field : {0u, 640u * 20, 0u, 480u * 20}) put(field, 15);
    std::string body;
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        std::uint8_t byte = 0;
        for (std::size_t j = 0; j < 8; ++j)
            byte = static_cast<std::uint8_t>(byte << 1 | (i + j < bits.size() ? bits[i + j] : 0));
        body.push_back(static_cast<char>(byte));
    }
    body += std::string("\x00\x0C\x01\x00", 4);  // 12 fps, one frame
    body += std::string("\x43\x02", 2);          // SetBackgroundColor, 3 bytes
    body += {static_cast<char>(GetRValue(colour)), static_cast<char>(GetGValue(colour)),
             static_cast<char>(GetBValue(colour))};
    body += std::string("\x40\x00\x00\x00", 4);  // ShowFrame, End
    const std::uint32_t length = static_cast<std::uint32_t>(8 + body.size());
    std::string header = "FWS\x08";
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(length >> (8 * i)));
    return header + body;
}

TEST_F(Provisioning, AProgramFolderWithAWideNameFindsPackageSettingsAndMovie) {
    // "Gúide Ω": one character of the usual code pages and one outside them.
    Deployed folder(g_packedOk, "G\xC3\xBAide \xCE\xA9");
    const COLORREF colour = RGB(0x1E, 0x8C, 0x5A);
    const std::string moviePath = folder.Folder() + "\\Guide.swf";
    {
        FILE* movie = _wfopen(Wide(moviePath).c_str(), L"wb");
        ASSERT_TRUE(movie);
        const std::string bytes = BackgroundMovie(colour);
        std::fwrite(bytes.data(), 1, bytes.size(), movie);
        std::fclose(movie);
    }
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    const StartUpWatch watch = WatchStartUp(program, 120s, ExtractedPackagePath());
    EXPECT_TRUE(watch.installerSeen) << "the package was not found";
    ASSERT_FALSE(watch.box) << "a message box appeared: " << watch.box->text;
    ASSERT_TRUE(watch.form);
    EXPECT_TRUE(ControlInstalled());

    // The settings' size, and the movie's background in the control.
    const RECT bounds = BoundsOf(watch.form);
    EXPECT_EQ(bounds.right - bounds.left, 640);
    EXPECT_EQ(bounds.bottom - bounds.top, 480);
    HWND control = FindChildOf(watch.form, "GuidePlayerControlWindow");
    ASSERT_TRUE(control);
    const RECT inside = BoundsOf(control);
    const POINT centre{(inside.left + inside.right) / 2, (inside.top + inside.bottom) / 2};
    COLORREF seen = 0;
    WaitFor(
        [&]() -> HWND {
            seen = ScreenPixel(centre.x, centre.y);
            return seen == colour ? control : nullptr;
        },
        10s);
    EXPECT_EQ(ColourText(seen), ColourText(colour)) << "the movie was not shown";
    PostMessageA(watch.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    DeleteFileW(Wide(moviePath).c_str());
}

TEST_F(Provisioning, AFailingPackageShowsNoDialogAndStartUpGoesOn) {
    // Provisioning itself reports nothing; the first box is the window's own
    // report that the control is missing, captioned with the set title.
    Deployed folder(g_packedFail, "fail");
    Process program(folder.Exe());
    const StartUpWatch watch = WatchStartUp(program, 120s, ExtractedPackagePath());
    ASSERT_TRUE(watch.box);
    // The installer ran and failed; it was not skipped.
    EXPECT_TRUE(watch.packageSeen) << "no package was written";
    EXPECT_TRUE(watch.installerSeen) << "the installer never ran";
    EXPECT_EQ(watch.box->caption, "User Guide     ");
    PressOk(*watch.box);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    EXPECT_FALSE(ControlInstalled());
    EXPECT_EQ(GetFileAttributesA(ExtractedPackagePath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "flash8.msi was left behind";
}

TEST_F(Provisioning, AZeroLengthIsNoPackageAndStartsNoInstaller) {
    // The packed program with its package cut off and a length of 0 after it,
    // as a build without a package looks.
    std::ifstream in(g_packedOk, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 4u);
    const auto tail = [&](int i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[bytes.size() - 4 + i]));
    };
    const std::uint32_t length = tail(0) << 24 | tail(1) << 16 | tail(2) << 8 | tail(3);
    ASSERT_LT(length + 4u, bytes.size());
    bytes.resize(bytes.size() - 4 - length);
    bytes.insert(bytes.end(), 4, '\0');
    const std::string unpacked = g_packedOk + ".none.exe";
    {
        std::ofstream out(unpacked, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good());
    }

    Deployed folder(unpacked, "none");
    Process program(folder.Exe());
    ASSERT_TRUE(program.Started());
    // Until the window's report comes, neither a package file nor the installer appears.
    bool packageSeen = false, installerSeen = false;
    std::optional<MessageBoxInfo> box;
    const auto until = std::chrono::steady_clock::now() + 60s;
    while (!box && std::chrono::steady_clock::now() < until) {
        packageSeen = packageSeen || GetFileAttributesA(ExtractedPackagePath().c_str()) != INVALID_FILE_ATTRIBUTES;
        installerSeen = installerSeen || ProcessRunning("msiexec.exe");
        box = WaitForMessageBox(program.Id(), 100ms);
    }
    ASSERT_TRUE(box) << "the window did not report the missing control";
    EXPECT_EQ(box->caption, "User Guide     ");
    PressOk(*box);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    EXPECT_FALSE(packageSeen) << "a package file was written for a length of 0";
    EXPECT_FALSE(installerSeen) << "the installer ran for a length of 0";
    EXPECT_FALSE(ControlInstalled());
    DeleteFileA(unpacked.c_str());
}

TEST_F(Provisioning, ARegisteredControlSkipsTheInstaller) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string control = std::string(temp) + "Flash9b.ocx";
    CloseHandle(CreateFileA(control.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kControlClassKey) + "\\InprocServer32").c_str(), 0,
                              nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(control.c_str()),
                   static_cast<DWORD>(control.size() + 1));
    RegCloseKey(key);

    // The registered file is no real control, so the window cannot be built:
    // the report comes, but the installer must not have run.
    Deployed folder(g_packedOk, "registered");
    Process program(folder.Exe());
    auto box = WaitForMessageBox(program.Id(), 60s);
    if (box) PressOk(*box);
    HWND form = FindWindowOf(program.Id(), "TPlayerForm");
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(30s), 0u);
    EXPECT_EQ(RegisteredServerValue(), control) << "the installer replaced a usable registration";

    RegDeleteTreeA(HKEY_CLASSES_ROOT, kControlClassKey);
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
