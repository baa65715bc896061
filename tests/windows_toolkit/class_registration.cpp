#include "tests/windows_toolkit/class_registration.h"

#include <windows.h>
#include <oleauto.h>  // DISPID, which the identifiers header uses

#include "flash/ShockwaveFlashObjects_TLB.h"

namespace testing_support {

namespace {

const std::string kClassKey = std::string("CLSID\\") + ShockwaveFlashObjects_TLB::kClassIdText;

void RemoveAll() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Classes\\" + kClassKey).c_str());
}

bool SetText(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

ControlRegistration::ControlRegistration(const std::string& serverPath) {
    RemoveAll();
    if (serverPath.empty()) {
        succeeded_ = true;
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, (kClassKey + "\\InprocServer32").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    succeeded_ = SetText(key, nullptr, serverPath) && SetText(key, "ThreadingModel", "Apartment");
    RegCloseKey(key);
}

ControlRegistration::~ControlRegistration() { RemoveAll(); }

std::string ClassNotRegisteredText() {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(REGDB_E_CLASSNOTREG), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "OLE error 80040154" : text;
}

}  // namespace testing_support
