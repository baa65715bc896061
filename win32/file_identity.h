#pragma once
// Which file or folder a handle has open, told by identity (volume and file
// id) rather than by path text: two handles name the same object exactly when
// their identities match.

#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of what `handle` has open, and its attributes; nothing when the system cannot say.
std::optional<FileIdentity> IdentityOf(HANDLE handle, DWORD* attributes = nullptr);

// The folder and file names as the file system resolved them for the handle,
// without the "\\?\" prefix; empty when the system cannot say.
std::wstring FinalPathOf(HANDLE handle);

// Whether the object `child` has open sits directly in the folder whose
// identity is `folder`, under `name` (case ignored, as the file system does):
// the folder its final path names is that folder, and that path, opened
// again, names this very object. A link, junction or host link followed on
// the way leads elsewhere and fails this, also when re-pointed meanwhile.
bool SitsIn(HANDLE child, const FileIdentity& folder, const std::wstring& name);

}  // namespace win32
