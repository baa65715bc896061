#include "app/package_file.h"

#include <sddl.h>

#include <algorithm>
#include <cwctype>

#include "app/package_place.h"
#include "win32/wide_text.h"

namespace app {

namespace {

constexpr wchar_t kPackageName[] = L"flash8.msi";
constexpr DWORD kChunk = 1 << 20;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// The handle names exactly `path`: no link, junction or mount point on the
// way redirected it, and it is a plain file or folder with one name.
bool HandleIsAt(HANDLE handle, const std::wstring& path, bool folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    if (bool(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != folder) return false;
    if (!folder && info.nNumberOfLinks != 1) return false;
    const std::wstring final = FinalPathOf(handle);
    return !final.empty() && Lower(final) == Lower(path);
}

HANDLE OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path.c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A folder held open without delete sharing cannot be renamed or removed,
// so it cannot be swapped for a junction while the package is made in it.
win32::OwnedHandle HoldFolder(const std::wstring& folder) {
    win32::OwnedHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle && !HandleIsAt(handle.Get(), folder, true)) handle.Reset();
    return handle;
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& payload) {
    std::size_t done = 0;
    while (done < payload.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(kChunk, payload.size() - done));
        DWORD written = 0;
        if (!WriteFile(file, payload.data() + done, piece, &written, nullptr) || written != piece) return false;
        done += piece;
    }
    return FlushFileBuffers(file) != 0;
}

// The file behind the handle holds exactly the payload.
bool HoldsPayload(HANDLE file, const std::vector<std::uint8_t>& payload) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || static_cast<std::uint64_t>(size.QuadPart) != payload.size()) return false;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    std::vector<std::uint8_t> buffer(std::min<std::size_t>(kChunk, payload.size()));
    std::size_t done = 0;
    while (done < payload.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), payload.size() - done));
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), piece, &read, nullptr) || read != piece) return false;
        if (!std::equal(buffer.begin(), buffer.begin() + piece, payload.begin() + done)) return false;
        done += piece;
    }
    return true;
}

struct FileIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool known = false;
};

FileIdentity IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file, &info)) return {};
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, true};
}

// Deletes the file at `path` only if it is still the one we made: never a
// file someone put in its place, never through a link. Our own handles must
// be closed first, as they share no deletion.
void DeleteIfSame(const std::wstring& path, const FileIdentity& ours) {
    if (!ours.known) return;
    win32::OwnedHandle doomed(OpenFile(path, DELETE | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
    if (!doomed || !HandleIsAt(doomed.Get(), path, false)) return;
    const FileIdentity now = IdentityOf(doomed.Get());
    if (now.volume != ours.volume || now.indexHigh != ours.indexHigh || now.indexLow != ours.indexLow) return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(doomed.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// Creates the package in `folder` and returns the handle to hold while the
// installer runs: read access, shared for reading only, so that no other
// handle can write, rename or delete the file, while the installer can still
// open it to read. The file is written through a first handle that also
// allows only reading; the switch to the read-only handle goes through a
// third handle, and the bytes are checked through the final one.
win32::OwnedHandle CreatePackageIn(const std::wstring& folder, const std::vector<std::uint8_t>& payload) {
    const std::wstring path = folder + L"\\" + kPackageName;

    win32::OwnedHandle writer(OpenFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW));
    if (!writer) return {};
    bool sound = HandleIsAt(writer.Get(), path, false) && WriteAll(writer.Get(), payload);

    // Keeps rename and delete out while the writer's access is given up.
    win32::OwnedHandle bridge(OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    sound = sound && bridge && SameFile(bridge.Get(), writer.Get());

    win32::OwnedHandle held;
    if (sound) {
        // Fails when another process took write access in between; the check
        // of the bytes below catches one that wrote and let go again.
        writer.Reset();
        held.Reset(OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
        sound = held && SameFile(held.Get(), bridge.Get()) && HandleIsAt(held.Get(), path, false) &&
                HoldsPayload(held.Get(), payload);
    }
    if (!sound) {
        const FileIdentity ours = IdentityOf(writer ? writer.Get() : bridge ? bridge.Get() : held.Get());
        writer.Reset();
        bridge.Reset();
        held.Reset();
        DeleteIfSame(path, ours);
        return {};
    }
    return held;
}

std::optional<std::uint32_t> AttributesOf(const std::string& utf8Path) {
    const auto path = win32::WideFromUtf8(utf8Path);
    if (!path) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(path->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool RemoveFile(const std::string& utf8Path) {
    const auto path = win32::WideFromUtf8(utf8Path);
    return path && DeleteFileW(path->c_str());
}

bool SharedFolderServes(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const auto folderText = win32::Utf8FromWide(folder);
    const auto packageText = win32::Utf8FromWide(folder + L"\\" + kPackageName);
    if (!folderText || !packageText) return false;
    return ChoosePackagePlace(*folderText, *packageText, PlaceProbe{AttributesOf, RemoveFile}) ==
           PackagePlace::SharedFolder;
}

// The current user's security identifier as text ("S-1-5-21-...").
std::wstring CurrentUserSid() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return {};
    const win32::OwnedHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<std::uint8_t> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

}  // namespace

std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length + 1);
    }
    constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
    if (path.compare(0, kLongPrefix.size(), kLongPrefix) == 0) path.erase(0, kLongPrefix.size());
    return path;
}

std::wstring MakePrivateFolder() {
    const std::wstring sid = CurrentUserSid();
    if (sid.empty()) return {};
    // Protected (no inherited entries); full control for the user and for the
    // system, whose installer service may read the package; nobody else.
    const std::wstring sddl = L"D:P(A;OICI;FA;;;" + sid + L")(A;OICI;FA;;;SY)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return {};
    }
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};

    std::wstring temp(MAX_PATH + 1, L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    std::wstring created;
    if (length > 0 && length < temp.size()) {
        temp.resize(length);
        // A name nobody else has taken: creating it must succeed, an existing
        // one is never reused.
        const unsigned long stamp = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (unsigned attempt = 0; attempt < 16 && created.empty(); ++attempt) {
            const std::wstring candidate =
                temp + L"GuidePackage-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(stamp + attempt);
            if (CreateDirectoryW(candidate.c_str(), &security)) created = candidate;
        }
    }
    LocalFree(descriptor);
    return created;
}

std::unique_ptr<PackageFile> PackageFile::Write(const std::wstring& sharedFolder,
                                                const std::vector<std::uint8_t>& payload) {
    if (payload.empty()) return nullptr;
    if (!sharedFolder.empty() && SharedFolderServes(sharedFolder)) {
        auto folderHold = HoldFolder(sharedFolder);
        auto held = folderHold ? CreatePackageIn(sharedFolder, payload) : win32::OwnedHandle();
        if (held) {
            return std::unique_ptr<PackageFile>(new PackageFile(sharedFolder + L"\\" + kPackageName,
                                                                std::move(folderHold), std::move(held), std::wstring()));
        }
    }
    const std::wstring folder = MakePrivateFolder();
    if (folder.empty()) return nullptr;
    auto folderHold = HoldFolder(folder);
    auto held = folderHold ? CreatePackageIn(folder, payload) : win32::OwnedHandle();
    if (held) {
        return std::unique_ptr<PackageFile>(
            new PackageFile(folder + L"\\" + kPackageName, std::move(folderHold), std::move(held), folder));
    }
    folderHold.Reset();
    RemoveDirectoryW(folder.c_str());
    return nullptr;
}

PackageFile::PackageFile(std::wstring path, win32::OwnedHandle folder, win32::OwnedHandle held,
                         std::wstring privateFolder)
    : path_(std::move(path)),
      folder_(std::move(folder)),
      held_(std::move(held)),
      privateFolder_(std::move(privateFolder)) {}

PackageFile::~PackageFile() { Delete(); }

void PackageFile::Delete() {
    // Delete-on-close is no way out: it needs delete access on our handle,
    // and the installer opens the package without delete sharing, so it could
    // not open it at all. The file is deleted by handle once ours is closed.
    const FileIdentity ours = IdentityOf(held_.Get());
    held_.Reset();
    DeleteIfSame(path_, ours);
    folder_.Reset();
    if (!privateFolder_.empty()) RemoveDirectoryW(privateFolder_.c_str());
}

}  // namespace app
