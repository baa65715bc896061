#include "win32/file_identity.h"

#include <string_view>

#include "win32/owned_handle.h"

namespace win32 {

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
    const OwnedHandle opened(CreateFileW((L"\\\\?\\" + parent).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const auto identity = IdentityOf(opened.Get());
    return identity && *identity == folder;
}

}  // namespace win32
