#include "win32/file_identity.h"

#include <string_view>

#include "win32/owned_handle.h"

namespace win32 {

namespace {

// Opens a file or folder by full path only to ask what it is.
OwnedHandle OpenForIdentity(const std::wstring& path) {
    return OwnedHandle(CreateFileW((L"\\\\?\\" + path).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

std::optional<FileIdentity> IdentityOf(HANDLE handle, DWORD* attributes) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == nullptr || !GetFileInformationByHandle(handle, &info)) return std::nullopt;
    if (attributes != nullptr) *attributes = info.dwFileAttributes;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
            if (path.compare(0, kLongPrefix.size(), kLongPrefix) == 0) path.erase(0, kLongPrefix.size());
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    return {};
}

bool SitsIn(HANDLE child, const FileIdentity& folder, const std::wstring& name) {
    const std::wstring path = FinalPathOf(child);
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    const std::wstring last = path.substr(slash + 1);
    if (CompareStringOrdinal(last.c_str(), static_cast<int>(last.size()), name.c_str(), static_cast<int>(name.size()),
                             TRUE) != CSTR_EQUAL) {
        return false;
    }
    std::wstring parent = path.substr(0, slash);
    if (!parent.empty() && parent.back() == L':') parent += L'\\';  // a drive's root
    const auto parentIdentity = IdentityOf(OpenForIdentity(parent).Get());
    if (!parentIdentity || *parentIdentity != folder) return false;

    // Wine reads a handle's final path from the name after the object was
    // opened, so a name re-pointed in between names another object than the
    // one held. The path must name this very object now, and by the same path.
    const OwnedHandle again = OpenForIdentity(path);
    const auto childIdentity = IdentityOf(child);
    const auto againIdentity = IdentityOf(again.Get());
    if (!childIdentity || !againIdentity || *childIdentity != *againIdentity) return false;
    const std::wstring againPath = FinalPathOf(again.Get());
    return CompareStringOrdinal(againPath.c_str(), static_cast<int>(againPath.size()), path.c_str(),
                                static_cast<int>(path.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace win32
