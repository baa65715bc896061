// The installer package on disk: where it goes, who may touch it while it is
// held, and that it is gone afterwards.

#include "app/package_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/windows/driver/folder_link.h"

namespace {

std::vector<std::uint8_t> Payload(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 11));
    return bytes;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::vector<std::uint8_t> ReadBack(const std::wstring& path) {
    // Read as the installer does: read access, shared for reading.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PackageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"package_file_test";
        shared_ = root_ + L"\\shared";
        TearDown();  // whatever an earlier, failed run left
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    void TearDown() override {
        driver::RemoveFolderLink(Narrow(shared_));
        // Host links left inside (by a run that was cut short) are not
        // Windows links to Wine's file functions: remove the tree on the host,
        // where rm does not follow them.
        // Wine does not wait for host programs: wait for the tree to go.
        const std::string hostRoot = driver::HostPath(Narrow(root_));
        if (!hostRoot.empty() && GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES) {
            driver::RunHostCommand("Z:\\bin\\rm -rf \"" + hostRoot + "\"");
            for (int i = 0; i < 100 && GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::wstring root_, shared_;
};

TEST_F(PackageFileTest, TheHeldPackageCanBeReadButNotChangedRenamedOrDeleted) {
    const auto payload = Payload(3 * 1024 * 1024 + 17);
    std::wstring path;
    {
        const auto package = app::PackageFile::Write(shared_, payload);
        ASSERT_TRUE(package);
        path = package->Path();
        EXPECT_EQ(path, shared_ + L"\\flash8.msi");
        EXPECT_FALSE(package->InPrivateFolder());
        EXPECT_EQ(ReadBack(path), payload);

        // Another handle of any sharing cannot get write or delete access.
        const DWORD allSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        for (DWORD access : {DWORD(GENERIC_WRITE), DWORD(DELETE), DWORD(FILE_APPEND_DATA)}) {
            HANDLE other = CreateFileW(path.c_str(), access, allSharing, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "access " << access;
            if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        }
        EXPECT_FALSE(DeleteFileW(path.c_str()));
        EXPECT_FALSE(MoveFileW(path.c_str(), (shared_ + L"\\moved.msi").c_str()));
        EXPECT_FALSE(MoveFileExW((root_ + L"\\nothing").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_EQ(ReadBack(path), payload);
    }
    EXPECT_FALSE(Exists(path)) << "the package was left behind";
    EXPECT_TRUE(Exists(shared_)) << "the shared folder stays";
}

TEST_F(PackageFileTest, AStalePackageIsReplacedOrAvoidedButNeverUsed) {
    const auto payload = Payload(4096);
    CreateDirectoryW(shared_.c_str(), nullptr);
    const std::wstring stalePath = shared_ + L"\\flash8.msi";
    {
        std::ofstream stale(Narrow(stalePath), std::ios::binary);
        stale << "someone else's package";
    }
    {
        // A stale file we may remove is removed; ours takes its name.
        const auto package = app::PackageFile::Write(shared_, payload);
        ASSERT_TRUE(package);
        EXPECT_EQ(package->Path(), stalePath);
        EXPECT_EQ(ReadBack(stalePath), payload);
    }
    EXPECT_FALSE(Exists(stalePath));

    // One that is held open without delete sharing cannot be removed: the
    // package goes to a private folder and the stale file stays untouched.
    {
        std::ofstream stale(Narrow(stalePath), std::ios::binary);
        stale << "held";
    }
    HANDLE holder = CreateFileW(stalePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::wstring privatePath, privateFolder;
    {
        const auto package = app::PackageFile::Write(shared_, payload);
        ASSERT_TRUE(package);
        privatePath = package->Path();
        EXPECT_TRUE(package->InPrivateFolder());
        EXPECT_NE(privatePath, stalePath);
        EXPECT_EQ(privatePath.substr(privatePath.size() - 11), L"\\flash8.msi");
        EXPECT_EQ(ReadBack(privatePath), payload);
        privateFolder = privatePath.substr(0, privatePath.size() - 11);
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadBack(stalePath), std::vector<std::uint8_t>({'h', 'e', 'l', 'd'}));
    EXPECT_FALSE(Exists(privatePath));
    EXPECT_FALSE(Exists(privateFolder)) << "the private folder was left behind";
}

// The shared folder is held from before the package is made until it is
// deleted: nobody can rename, move, remove or replace it meanwhile.
TEST_F(PackageFileTest, TheHeldFolderCannotBeRenamedRemovedOrReplaced) {
    const auto payload = Payload(70000);
    const std::wstring renamed = root_ + L"\\renamed";
    {
        const auto package = app::PackageFile::Write(shared_, payload);
        ASSERT_TRUE(package);
        ASSERT_FALSE(package->InPrivateFolder());
        EXPECT_FALSE(MoveFileW(shared_.c_str(), renamed.c_str()));
        EXPECT_FALSE(MoveFileExW(shared_.c_str(), renamed.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
        EXPECT_FALSE(RemoveDirectoryW(shared_.c_str()));
        HANDLE other = CreateFileW(shared_.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "delete access to the held folder was granted";
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        EXPECT_FALSE(Exists(renamed));
        EXPECT_EQ(ReadBack(package->Path()), payload);
    }
    // Once the package is gone, the folder is free again.
    EXPECT_TRUE(MoveFileW(shared_.c_str(), renamed.c_str()));
}

// A stale package name that is a link (a host link under Wine) is neither
// deleted nor written through: the package goes to the private folder and
// what the link names stays as it was.
TEST_F(PackageFileTest, AStalePackageThatIsALinkIsLeftAlone) {
    CreateDirectoryW(shared_.c_str(), nullptr);
    const std::wstring target = root_ + L"\\precious.txt";
    {
        std::ofstream precious(Narrow(target), std::ios::binary);
        precious << "precious";
    }
    const std::wstring stale = shared_ + L"\\flash8.msi";
    // Wine's CreateSymbolicLinkW reports success and makes nothing.
    const bool made = CreateSymbolicLinkW(stale.c_str(), target.c_str(), 0) && Exists(stale);
    if (!made && !driver::MakeHostLink(Narrow(stale), Narrow(target))) {
        GTEST_SKIP() << "no file link could be made";
    }
    const auto payload = Payload(5000);
    {
        const auto package = app::PackageFile::Write(shared_, payload);
        ASSERT_TRUE(package);
        EXPECT_TRUE(package->InPrivateFolder());
        EXPECT_EQ(ReadBack(package->Path()), payload);
    }
    EXPECT_EQ(ReadBack(target), std::vector<std::uint8_t>({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_TRUE(Exists(stale)) << "the link was removed";
    // A host link is removed on the host, as the file system would not take it away whole.
    const std::string hostStale = driver::HostPath(Narrow(stale));
    if (!hostStale.empty()) driver::RunHostCommand("Z:\\bin\\rm -f " + hostStale);
}

TEST_F(PackageFileTest, ALinkedSharedFolderIsNotWrittenThrough) {
    const std::wstring elsewhere = root_ + L"\\elsewhere";
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    ASSERT_TRUE(driver::MakeFolderLink(Narrow(shared_), Narrow(elsewhere))) << "no folder link could be made";
    ASSERT_TRUE(GetFileAttributesW(shared_.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    const auto payload = Payload(100000);
    const auto package = app::PackageFile::Write(shared_, payload);
    ASSERT_TRUE(package);
    EXPECT_TRUE(package->InPrivateFolder());
    EXPECT_EQ(ReadBack(package->Path()), payload);
    EXPECT_FALSE(Exists(elsewhere + L"\\flash8.msi")) << "the package was written through the link";
}

TEST(PrivateFolder, IsNewAndOpenToTheUserAndTheSystemOnly) {
    const std::wstring first = app::MakePrivateFolder();
    const std::wstring second = app::MakePrivateFolder();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second) << "a folder was reused";

    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(first.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_TRUE(dacl);
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::uint8_t userBuffer[256] = {};
    DWORD size = sizeof userBuffer;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, userBuffer, size, &size));
    CloseHandle(token);
    PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    PSID system = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-18", &system));

    ASSERT_EQ(dacl->AceCount, 2);
    bool userFound = false, systemFound = false;
    for (WORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_FALSE(ace->Header.AceFlags & INHERITED_ACE) << "an entry came from the parent folder";
        EXPECT_EQ(ace->Mask & FILE_ALL_ACCESS, DWORD(FILE_ALL_ACCESS));
        PSID sid = &ace->SidStart;
        userFound = userFound || EqualSid(sid, user);
        systemFound = systemFound || EqualSid(sid, system);
    }
    EXPECT_TRUE(userFound);
    EXPECT_TRUE(systemFound);
    LocalFree(system);
    LocalFree(descriptor);
    RemoveDirectoryW(first.c_str());
    RemoveDirectoryW(second.c_str());
}

TEST(PackageFileWrite, AnEmptyPayloadWritesNothing) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"package_file_empty";
    EXPECT_FALSE(app::PackageFile::Write(folder, {}));
    EXPECT_FALSE(Exists(folder + L"\\flash8.msi"));
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
