#include "control/registration.h"

#include <olectl.h>

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/registry_key.h"

namespace control {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

constexpr const wchar_t* kClassIdText = TLB::kClassIdWideText;
constexpr wchar_t kLibraryIdText[] = L"{D27CDB6B-AE6D-11cf-96B8-444553540000}";
constexpr wchar_t kLibraryVersion[] = L"1.0";
constexpr wchar_t kScriptingIdText[] = L"{D27CDB6C-AE6D-11cf-96B8-444553540000}";
constexpr wchar_t kEventsIdText[] = L"{D27CDB6D-AE6D-11cf-96B8-444553540000}";
// The system's marshalers for dual interfaces (from the type library) and
// for dispatch-only ones.
constexpr wchar_t kTypeLibraryMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kDispatchMarshaler[] = L"{00020420-0000-0000-C000-000000000046}";
// Component categories: a control, safe for scripting, safe for initialising.
constexpr wchar_t kControlCategory[] = L"{40FC6ED4-2438-11CF-A3DB-080036F12502}";
constexpr wchar_t kSafeForScripting[] = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
constexpr wchar_t kSafeForInitializing[] = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
// What IOleObject::GetMiscStatus answers for the content aspect: recompose
// on resize, can't link inside, inside-out, activate when visible, set
// client site first.
constexpr wchar_t kMiscStatus[] = L"131473";

LONG SetText(const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    win32::RegistryKey key;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                              nullptr, key.Out(), nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The default value of HKCR\subKey as text; empty when absent or not text.
std::wstring ReadDefault(const std::wstring& subKey) {
    wchar_t buffer[2048] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    win32::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return {};
    const LONG rc = RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return std::wstring(buffer);
}

bool SameText(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// Deletes HKCR\subKey when its value at `check` (a sub-key's default value)
// is `expected`.
void DeleteTreeIfNamed(const std::wstring& subKey, const std::wstring& check, const std::wstring& expected) {
    if (SameText(ReadDefault(check), expected)) RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str());
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

}  // namespace

std::vector<RegistryEntry> RegistryEntries(const std::wstring& modulePath) {
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    const std::wstring libraryKey = std::wstring(L"TypeLib\\") + kLibraryIdText + L"\\" + kLibraryVersion;
    const std::wstring scriptingKey = std::wstring(L"Interface\\") + kScriptingIdText;
    const std::wstring eventsKey = std::wstring(L"Interface\\") + kEventsIdText;
    const std::wstring categories = classKey + L"\\Implemented Categories\\";
    return {
        {classKey, nullptr, kControlName},
        {classKey + L"\\InprocServer32", nullptr, modulePath},
        {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", nullptr, kVersionedProgId},
        {classKey + L"\\VersionIndependentProgID", nullptr, kProgId},
        {classKey + L"\\TypeLib", nullptr, kLibraryIdText},
        {classKey + L"\\Version", nullptr, kLibraryVersion},
        {classKey + L"\\MiscStatus", nullptr, L"0"},
        {classKey + L"\\MiscStatus\\1", nullptr, kMiscStatus},
        {classKey + L"\\Control", nullptr, L""},
        {classKey + L"\\Insertable", nullptr, L""},
        {categories + kControlCategory, nullptr, L""},
        {categories + kSafeForScripting, nullptr, L""},
        {categories + kSafeForInitializing, nullptr, L""},
        {kProgId, nullptr, kControlName},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, kClassIdText},
        {std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId},
        {kVersionedProgId, nullptr, kControlName},
        {std::wstring(kVersionedProgId) + L"\\CLSID", nullptr, kClassIdText},
        {libraryKey, nullptr, kControlName},
        {libraryKey + L"\\0\\win64", nullptr, modulePath},
        {libraryKey + L"\\FLAGS", nullptr, L"0"},
        {libraryKey + L"\\HELPDIR", nullptr, FolderOf(modulePath)},
        {scriptingKey, nullptr, L"IShockwaveFlash"},
        {scriptingKey + L"\\ProxyStubClsid32", nullptr, kTypeLibraryMarshaler},
        {scriptingKey + L"\\TypeLib", nullptr, kLibraryIdText},
        {scriptingKey + L"\\TypeLib", L"Version", kLibraryVersion},
        {eventsKey, nullptr, L"_IShockwaveFlashEvents"},
        {eventsKey + L"\\ProxyStubClsid32", nullptr, kDispatchMarshaler},
        {eventsKey + L"\\TypeLib", nullptr, kLibraryIdText},
        {eventsKey + L"\\TypeLib", L"Version", kLibraryVersion},
    };
}

HRESULT RegisterControl(const wchar_t* modulePath) {
    try {
        for (const RegistryEntry& entry : RegistryEntries(modulePath)) {
            if (SetText(entry.key, entry.name, entry.value) != ERROR_SUCCESS) return SELFREG_E_CLASS;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT UnregisterControl(const wchar_t* modulePath) {
    try {
        const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
        const std::wstring registered = ReadDefault(classKey + L"\\InprocServer32");
        if (registered.empty() || !SameText(registered, modulePath)) return S_FALSE;
        for (const wchar_t* progId : {kProgId, kVersionedProgId}) {
            DeleteTreeIfNamed(progId, std::wstring(progId) + L"\\CLSID", kClassIdText);
        }
        for (const wchar_t* face : {kScriptingIdText, kEventsIdText}) {
            const std::wstring key = std::wstring(L"Interface\\") + face;
            DeleteTreeIfNamed(key, key + L"\\TypeLib", kLibraryIdText);
        }
        const std::wstring library = std::wstring(L"TypeLib\\") + kLibraryIdText;
        DeleteTreeIfNamed(library + L"\\" + kLibraryVersion, library + L"\\" + kLibraryVersion + L"\\0\\win64",
                          modulePath);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, library.c_str());  // only when no other version is left in it
        const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace control
