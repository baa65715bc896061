#include "control/registration.h"

#include <olectl.h>

#include <string>

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/registry_key.h"

namespace control {

namespace {

constexpr const wchar_t* kClassIdText = ShockwaveFlashObjects_TLB::kClassIdWideText;

LONG SetText(HKEY root, const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    win32::RegistryKey key;
    LONG rc = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                              key.Out(), nullptr);
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

}  // namespace

HRESULT RegisterControl(const wchar_t* modulePath) {
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    const std::wstring progId = kProgId;
    LONG rc = SetText(HKEY_CLASSES_ROOT, classKey, nullptr, kControlName);
    if (rc == ERROR_SUCCESS) rc = SetText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, modulePath);
    if (rc == ERROR_SUCCESS)
        rc = SetText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (rc == ERROR_SUCCESS) rc = SetText(HKEY_CLASSES_ROOT, classKey + L"\\Control", nullptr, L"");
    if (rc == ERROR_SUCCESS) rc = SetText(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", nullptr, progId);
    if (rc == ERROR_SUCCESS) rc = SetText(HKEY_CLASSES_ROOT, progId, nullptr, kControlName);
    if (rc == ERROR_SUCCESS) rc = SetText(HKEY_CLASSES_ROOT, progId + L"\\CLSID", nullptr, kClassIdText);
    return rc == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterControl(const wchar_t* modulePath) {
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    const std::wstring registered = ReadDefault(classKey + L"\\InprocServer32");
    if (registered.empty() || lstrcmpiW(registered.c_str(), modulePath) != 0) return S_FALSE;
    const std::wstring progId = kProgId;
    if (lstrcmpiW(ReadDefault(progId + L"\\CLSID").c_str(), kClassIdText) == 0)
        RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

}  // namespace control
