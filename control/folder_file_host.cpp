#include "control/folder_file_host.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "win32/owned_handle.h"
#include "win32/wide_text.h"

namespace control {

namespace {

swf::FileReadResult Failure(std::string error) {
    swf::FileReadResult result;
    result.error = std::move(error);
    return result;
}

// The path the system reached for an open handle, links and junctions resolved.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    return {};
}

// Whether `path` lies below `folder` (both final paths), ignoring case as the file system does.
bool IsInside(const std::wstring& path, std::wstring folder) {
    if (folder.empty()) return false;
    if (folder.back() != L'\\') folder += L'\\';
    return path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

FolderFileHost::FolderFileHost(std::wstring folder) : folder_(std::move(folder)) {}

swf::FileReadResult FolderFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    std::wstring relative = win32::WideFromUtf8(relativePath).value_or(std::wstring());
    if (relative.empty() || folder_.empty()) return Failure("no such file: " + relativePath);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');

    const win32::OwnedHandle folder(CreateFileW(folder_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) return Failure("the movie's folder cannot be opened");
    const std::wstring folderPath = FinalPath(folder.Get());

    const std::wstring path = folder_ + (folder_.back() == L'\\' ? L"" : L"\\") + relative;
    const win32::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Failure("file not found: " + relativePath);
    if (!IsInside(FinalPath(file.Get()), folderPath)) {
        return Failure("the file lies outside the movie's folder: " + relativePath);
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return Failure("not a file: " + relativePath);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return Failure("cannot read " + relativePath);
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return Failure("the file is too large: " + relativePath);

    swf::FileReadResult result;
    try {
        result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory for " + relativePath);
    }
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1u << 20));
        if (!::ReadFile(file.Get(), result.bytes.data() + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    if (done != result.bytes.size()) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

std::wstring FolderOfPath(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    std::wstring folder = path.substr(0, slash);
    // "C:\x.swf": the folder is the drive's root, "C:\".
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

}  // namespace control
