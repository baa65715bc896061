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
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <span>
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

// A plain file below the movie's folder, open for reading, and its size then;
// or why not.
struct FileBelow {
    win32::OwnedHandle file;
    std::uint64_t size = 0;
    std::string error;
};

FileBelow Refused(std::string error) {
    FileBelow result;
    result.error = std::move(error);
    return result;
}

// Opens `relativePath` below `folder` segment by segment, refusing links.
FileBelow OpenFileBelow(const std::wstring& folder, const std::string& relativePath) {
    std::wstring relative = win32::WideFromUtf8(relativePath).value_or(std::wstring());
    if (relative.empty() || folder.empty()) return Refused("no such file: " + relativePath);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    const std::vector<std::wstring> segments = Segments(relative);
    for (const std::wstring& segment : segments) {
        if (segment.empty() || segment == L"." || segment == L"..") return Refused("no such file: " + relativePath);
    }

    win32::OwnedHandle at(CreateFileW(folder.c_str(), FILE_TRAVERSE | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!at) return Refused("the movie's folder cannot be opened");
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const bool last = i + 1 == segments.size();
        win32::OwnedHandle next;
        switch (OpenBelow(at.Get(), segments[i], !last, &next)) {
        case Opened::Ok: break;
        case Opened::Missing: return Refused("file not found: " + relativePath);
        case Opened::Link: return Refused("a link or junction on the way is not followed: " + relativePath);
        case Opened::Failed: return Refused(last ? "not a file: " + relativePath : "cannot open " + relativePath);
        }
        at = std::move(next);
    }
    if (GetFileType(at.Get()) != FILE_TYPE_DISK) return Refused("not a file: " + relativePath);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(at.Get(), &size) || size.QuadPart < 0) return Refused("cannot read " + relativePath);
    FileBelow result;
    result.file = std::move(at);
    result.size = static_cast<std::uint64_t>(size.QuadPart);
    return result;
}

// Pieces read from a handle held open, each at the offset its OVERLAPPED
// names (the handle is synchronous, so each read completes before it returns).
class HandleFile final : public swf::OpenedFile {
public:
    HandleFile(win32::OwnedHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        std::size_t done = 0;
        while (done < into.size()) {
            const std::uint64_t at = offset + done;
            // No file reaches past the largest offset: that is its end.
            if (at > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) break;
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(at);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 20));
            DWORD got = 0;
            if (!::ReadFile(file_.Get(), into.data() + done, want, &got, &position)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return std::nullopt;
            }
            if (got == 0) break;
            done += got;
        }
        return done;
    }

private:
    win32::OwnedHandle file_;
    std::uint64_t size_;
};

}  // namespace

FolderFileHost::FolderFileHost(std::wstring folder) : folder_(std::move(folder)) {}

swf::FileReadResult FolderFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    FileBelow below = OpenFileBelow(folder_, relativePath);
    if (!below.file) return Failure(std::move(below.error));
    if (below.size > maxBytes) return Failure("the file is too large: " + relativePath);
    swf::FileReadResult result;
    try {
        result.bytes.resize(static_cast<std::size_t>(below.size));
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory for " + relativePath);
    }
    HandleFile file(std::move(below.file), below.size);
    if (file.ReadAt(0, result.bytes) != result.bytes.size()) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

swf::FileOpenResult FolderFileHost::OpenFile(const std::string& relativePath) {
    FileBelow below = OpenFileBelow(folder_, relativePath);
    swf::FileOpenResult result;
    if (!below.file) {
        result.error = std::move(below.error);
        return result;
    }
    result.file = std::make_unique<HandleFile>(std::move(below.file), below.size);
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
