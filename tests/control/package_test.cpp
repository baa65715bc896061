// The player control's installer package: installed with the system's
// Windows Installer into the test prefix, checked, and uninstalled again.

#include <windows.h>
#include <ole2.h>
#include <msi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/registration.h"
#include "flash/ShockwaveFlashObjects_TLB.h"

namespace {

namespace TLB = ShockwaveFlashObjects_TLB;

constexpr wchar_t kServerKey[] = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// Runs msiexec with the arguments and returns its exit code (or -1).
long RunInstaller(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\msiexec.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<long>(code);
}

std::wstring RegistryText(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

bool KeyExists(const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring RegisteredServer(const wchar_t* name = nullptr) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Uninstalls every installed build of the control's package (each build is
// a product of its own, found by its name): a build another test installed
// and left behind would keep its entries after ours is gone.
void RemoveInstalledPackages() {
    std::vector<std::wstring> products;
    wchar_t product[39] = {};
    for (DWORD i = 0; MsiEnumProductsW(i, product) == ERROR_SUCCESS; ++i) {
        wchar_t name[256] = {};
        DWORD size = 256;
        if (MsiGetProductInfoW(product, L"ProductName", name, &size) == ERROR_SUCCESS &&
            std::wstring(name) == L"Guide Player Control") {
            products.emplace_back(product);
        }
    }
    for (const auto& code : products) RunInstaller(L"/qn /x " + code);
}

class ControlPackage : public ::testing::Test {
protected:
    const std::wstring package = CONTROL_PACKAGE_PATH;
    void SetUp() override { RemoveInstalledPackages(); }
    // Whatever happens, the package does not stay installed in the prefix.
    void TearDown() override { RemoveInstalledPackages(); }
};

TEST_F(ControlPackage, InstallsARegisteredControlAndUninstallsCleanly) {
    ASSERT_TRUE(IsFile(package));
    ASSERT_EQ(RunInstaller(L"/qn /i \"" + package + L"\""), 0);

    const std::wstring server = RegisteredServer();
    ASSERT_FALSE(server.empty());
    EXPECT_TRUE(IsFile(server)) << std::string(server.begin(), server.end());
    // The name passes the projector's version check: '9' before a final 'b'.
    ASSERT_GE(server.size(), 6u);
    EXPECT_EQ(server[server.size() - 5], L'b');
    EXPECT_EQ(server[server.size() - 6], L'9');
    EXPECT_EQ(RegisteredServer(L"ThreadingModel"), L"Apartment");
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles), S_OK);
    EXPECT_EQ(CompareStringOrdinal(server.c_str(), lstrlenW(programFiles), programFiles, lstrlenW(programFiles), TRUE),
              CSTR_EQUAL)
        << std::string(server.begin(), server.end());

    // Every entry the DLL registers itself, the package writes too: ProgIDs,
    // type library, interfaces, categories. The help folder is the
    // installation folder, which the package names with a final separator.
    for (const auto& entry : control::RegistryEntries(server)) {
        std::wstring value = RegistryText(entry.key, entry.name);
        if (entry.key.find(L"HELPDIR") != std::wstring::npos && !value.empty() && value.back() == L'\\') {
            value.pop_back();
        }
        EXPECT_EQ(lstrcmpiW(value.c_str(), entry.value.c_str()), 0)
            << Narrow(entry.key) << " " << (entry.name ? Narrow(entry.name) : "") << ": " << Narrow(value);
    }

    // The installed control is creatable by its class id.
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    IOleObject* control = nullptr;
    EXPECT_EQ(CoCreateInstance(TLB::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    if (control) control->Release();
    CoFreeUnusedLibraries();
    OleUninitialize();

    // Created by its ProgID, and its type library found where it is registered.
    CLSID byProgId = {};
    EXPECT_EQ(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &byProgId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(byProgId, TLB::CLSID_ShockwaveFlash));
    ITypeLib* library = nullptr;
    EXPECT_EQ(LoadRegTypeLib(TLB::LIBID_ShockwaveFlashObjects, 1, 0, LOCALE_NEUTRAL, &library), S_OK);
    if (library) library->Release();

    ASSERT_EQ(RunInstaller(L"/qn /x \"" + package + L"\""), 0);
    EXPECT_TRUE(RegisteredServer().empty());
    for (const wchar_t* gone :
         {L"ShockwaveFlash.ShockwaveFlash", L"ShockwaveFlash.ShockwaveFlash.9",
          L"TypeLib\\{D27CDB6B-AE6D-11cf-96B8-444553540000}", L"Interface\\{D27CDB6C-AE6D-11cf-96B8-444553540000}"}) {
        EXPECT_FALSE(KeyExists(gone)) << Narrow(gone);
    }
    EXPECT_FALSE(IsFile(server));
}

}  // namespace
