// Files below the movie's folder, opened one path segment at a time relative
// to the handle of the segment before, so that what is checked is what is
// read. A segment is refused when it is a link, junction or other reparse
// point (opened as itself, as the system opens them on request), and when the
// object opened does not sit in the folder it was asked from: the identity
// (volume and file id) of the folder its final path names must be that of the
// folder handle it was opened from. Wine follows host symbolic links even when
// asked not to; this second check refuses what they lead to.
#include "control/folder_file_host.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <new>
#include <vector>

#include "win32/file_identity.h"
#include "win32/owned_handle.h"
#include "win32/wide_text.h"

namespace control {

namespace {

// Options of NtCreateFile that the SDK headers of this tool chain do not all name.
constexpr ULONG kFileOpen = 0x00000001;
constexpr ULONG kDirectoryFile = 0x00000001;
constexpr ULONG kSynchronousIoNonAlert = 0x00000020;
constexpr ULONG kNonDirectoryFile = 0x00000040;
constexpr ULONG kOpenReparsePoint = 0x00200000;

swf::FileReadResult Failure(std::string error) {
    swf::FileReadResult result;
    result.error = std::move(error);
    return result;
}

enum class Opened { Ok, Missing, Link, Failed };

// Opens `name` in the folder behind `parent`, never through a reparse point.
Opened OpenBelow(HANDLE parent, const std::wstring& name, bool folder, win32::OwnedHandle* out) {
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES object;
    InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const ACCESS_MASK access =
        folder ? FILE_TRAVERSE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE : GENERIC_READ | SYNCHRONIZE;
    const NTSTATUS result = NtCreateFile(
        &handle, access, &object, &status, nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, kFileOpen,
        kOpenReparsePoint | kSynchronousIoNonAlert | (folder ? kDirectoryFile : kNonDirectoryFile), nullptr, 0);
    if (result < 0) {
        return result == static_cast<NTSTATUS>(0xC0000034L) || result == static_cast<NTSTATUS>(0xC000003AL)
                   ? Opened::Missing
                   : Opened::Failed;
    }
    out->Reset(handle);
    DWORD attributes = 0;
    const auto folderIdentity = win32::IdentityOf(parent);
    if (!folderIdentity || !win32::IdentityOf(handle, &attributes)) return Opened::Failed;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !win32::SitsIn(handle, *folderIdentity, name)) {
        return Opened::Link;
    }
    return Opened::Ok;
}

// '\'-separated segments of a checked relative path.
std::vector<std::wstring> Segments(const std::wstring& relative) {
    std::vector<std::wstring> segments;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t slash = relative.find(L'\\', start);
        segments.push_back(relative.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start));
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    return segments;
}

}  // namespace

FolderFileHost::FolderFileHost(std::wstring folder) : folder_(std::move(folder)) {}

swf::FileReadResult FolderFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    std::wstring relative = win32::WideFromUtf8(relativePath).value_or(std::wstring());
    if (relative.empty() || folder_.empty()) return Failure("no such file: " + relativePath);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    const std::vector<std::wstring> segments = Segments(relative);
    for (const std::wstring& segment : segments) {
        if (segment.empty() || segment == L"." || segment == L"..") return Failure("no such file: " + relativePath);
    }

    win32::OwnedHandle at(CreateFileW(folder_.c_str(), FILE_TRAVERSE | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!at) return Failure("the movie's folder cannot be opened");
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const bool last = i + 1 == segments.size();
        win32::OwnedHandle next;
        switch (OpenBelow(at.Get(), segments[i], !last, &next)) {
        case Opened::Ok: break;
        case Opened::Missing: return Failure("file not found: " + relativePath);
        case Opened::Link: return Failure("a link or junction on the way is not followed: " + relativePath);
        case Opened::Failed: return Failure(last ? "not a file: " + relativePath : "cannot open " + relativePath);
        }
        at = std::move(next);
    }
    const HANDLE file = at.Get();
    if (GetFileType(file) != FILE_TYPE_DISK) return Failure("not a file: " + relativePath);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return Failure("cannot read " + relativePath);
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
        if (!::ReadFile(file, result.bytes.data() + done, want, &got, nullptr) || got == 0) break;
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
