#pragma once
// The registry entries that make the control creatable by its class id and
// its ProgIDs, and that describe its type library: the same keys the
// installer package writes.

#include <windows.h>

#include <string>
#include <vector>

namespace control {

inline constexpr wchar_t kControlName[] = L"Guide Player Control";
// The version-independent ProgID names the current versioned one (CurVer).
inline constexpr wchar_t kProgId[] = L"ShockwaveFlash.ShockwaveFlash";
inline constexpr wchar_t kVersionedProgId[] = L"ShockwaveFlash.ShockwaveFlash.9";

// One value under HKEY_CLASSES_ROOT; a null name is the key's default value.
struct RegistryEntry {
    std::wstring key;
    const wchar_t* name;
    std::wstring value;
};

// Everything the control registers, for the DLL at `modulePath`: its class
// (server, threading model, ProgIDs, type library, MiscStatus, categories),
// its ProgIDs, its type library and its two interfaces.
std::vector<RegistryEntry> RegistryEntries(const std::wstring& modulePath);

// Writes those entries.
HRESULT RegisterControl(const wchar_t* modulePath);

// Removes them, but only when the class id is registered to this very file:
// a control installed elsewhere under the same class id is left alone, and so
// are ProgIDs, interfaces and type library versions that name another.
HRESULT UnregisterControl(const wchar_t* modulePath);

}  // namespace control
