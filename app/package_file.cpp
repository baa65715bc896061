#include "app/package_file.h"

#include <sddl.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "app/package_place.h"
#include "win32/file_identity.h"
#include "win32/wide_text.h"

namespace app {

namespace {

constexpr wchar_t kPackageName[] = L"flash8.msi";
constexpr DWORD kChunk = 1 << 20;

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// The handle has the plain file `name` open in the folder of identity
// `folder`: no link, junction or host link on the way redirected it, and the
// file has no other name.
bool FileIsAt(HANDLE handle, const win32::FileIdentity& folder, const std::wstring& name) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return false;
    return info.nNumberOfLinks == 1 && win32::SitsIn(handle, folder, name);
}

// The handle has the real folder `path` open: not a link or junction, and
// sitting in the folder its path names.
bool FolderIsAt(HANDLE handle, const std::wstring& path) {
    DWORD attributes = 0;
    if (!win32::IdentityOf(handle, &attributes)) return false;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    std::wstring parentPath = path.substr(0, slash);
    if (!parentPath.empty() && parentPath.back() == L':') parentPath += L'\\';
    const win32::OwnedHandle parent(CreateFileW(parentPath.c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const auto parentIdentity = win32::IdentityOf(parent.Get());
    return parentIdentity && win32::SitsIn(handle, *parentIdentity, path.substr(slash + 1));
}

HANDLE OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path.c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A folder held open without delete sharing cannot be renamed, moved or
// removed, so it cannot be swapped for another folder or a junction while the
// package is made, installed and deleted in it. The access must be more than
// reading attributes: handles with only that take no part in sharing.
win32::OwnedHandle HoldFolder(const std::wstring& folder) {
    win32::OwnedHandle handle(CreateFileW(folder.c_str(),
                                          FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle && !FolderIsAt(handle.Get(), folder)) handle.Reset();
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

// Deletes the plain file `name` in the held folder through a handle that
// proves what it is: never through a link, never a file with another name
// elsewhere. With `ours`, only if it is still that file. True when deleted.
bool DeleteProven(const std::wstring& folder, const win32::FileIdentity& folderIdentity, const std::wstring& name,
                  const std::optional<win32::FileIdentity>& ours) {
    win32::OwnedHandle doomed(OpenFile(folder + L"\\" + name, DELETE | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
    if (!doomed || !FileIsAt(doomed.Get(), folderIdentity, name)) return false;
    if (ours && win32::IdentityOf(doomed.Get()) != ours) return false;
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(doomed.Get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Creates the package in `folder` and returns the handle to hold while the
// installer runs: read access, shared for reading only, so that no other
// handle can write, rename or delete the file, while the installer can still
// open it to read. The file is written through a first handle that also
// allows only reading; the switch to the read-only handle goes through a
// third handle, and the bytes are checked through the final one.
win32::OwnedHandle CreatePackageIn(const std::wstring& folder, const win32::FileIdentity& folderIdentity,
                                   const std::vector<std::uint8_t>& payload) {
    const std::wstring path = folder + L"\\" + kPackageName;

    win32::OwnedHandle writer(OpenFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW));
    if (!writer) return {};
    bool sound = FileIsAt(writer.Get(), folderIdentity, kPackageName) && WriteAll(writer.Get(), payload);

    // Keeps rename and delete out while the writer's access is given up.
    win32::OwnedHandle bridge(OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    sound = sound && bridge && SameFile(bridge.Get(), writer.Get());

    win32::OwnedHandle held;
    if (sound) {
        // Fails when another process took write access in between; the check
        // of the bytes below catches one that wrote and let go again.
        writer.Reset();
        held.Reset(OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
        sound = held && SameFile(held.Get(), bridge.Get()) && FileIsAt(held.Get(), folderIdentity, kPackageName) &&
                HoldsPayload(held.Get(), payload);
    }
    if (!sound) {
        const auto ours = win32::IdentityOf(writer ? writer.Get() : bridge ? bridge.Get() : held.Get());
        writer.Reset();
        bridge.Reset();
        held.Reset();
        if (ours) DeleteProven(folder, folderIdentity, kPackageName, ours);
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

// Whether the held shared folder can take the package: a stale file under
// its name is removed only through the folder and a handle that proves what it is.
bool SharedFolderServes(const std::wstring& folder, const win32::FileIdentity& folderIdentity) {
    const auto folderText = win32::Utf8FromWide(folder);
    const auto packageText = win32::Utf8FromWide(folder + L"\\" + kPackageName);
    if (!folderText || !packageText) return false;
    const auto removeStale = [&](const std::string&) {
        return DeleteProven(folder, folderIdentity, kPackageName, std::nullopt);
    };
    return ChoosePackagePlace(*folderText, *packageText, PlaceProbe{AttributesOf, removeStale}) ==
           PackagePlace::SharedFolder;
}

// Holds `folder` and makes the package in it; the held folder and package, or nothing.
std::pair<win32::OwnedHandle, win32::OwnedHandle> PackageInHeldFolder(const std::wstring& folder,
                                                                      const std::vector<std::uint8_t>& payload,
                                                                      bool shared) {
    win32::OwnedHandle folderHold = HoldFolder(folder);
    const auto identity = win32::IdentityOf(folderHold.Get());
    if (!identity || (shared && !SharedFolderServes(folder, *identity))) return {};
    win32::OwnedHandle held = CreatePackageIn(folder, *identity, payload);
    if (!held) return {};
    return {std::move(folderHold), std::move(held)};
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
            const std::wstring candidate = temp + L"GuidePackage-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(stamp + attempt);
            if (CreateDirectoryW(candidate.c_str(), &security)) created = candidate;
        }
    }
    LocalFree(descriptor);
    return created;
}

std::unique_ptr<PackageFile> PackageFile::Write(const std::wstring& sharedFolder,
                                                const std::vector<std::uint8_t>& payload) {
    if (payload.empty()) return nullptr;
    if (!sharedFolder.empty()) {
        // Held before anything in it is looked at, deleted or written.
        CreateDirectoryW(sharedFolder.c_str(), nullptr);
        auto [folderHold, held] = PackageInHeldFolder(sharedFolder, payload, true);
        if (held) {
            return std::unique_ptr<PackageFile>(new PackageFile(
                sharedFolder + L"\\" + kPackageName, std::move(folderHold), std::move(held), std::wstring()));
        }
    }
    const std::wstring folder = MakePrivateFolder();
    if (folder.empty()) return nullptr;
    auto [folderHold, held] = PackageInHeldFolder(folder, payload, false);
    if (held) {
        return std::unique_ptr<PackageFile>(
            new PackageFile(folder + L"\\" + kPackageName, std::move(folderHold), std::move(held), folder));
    }
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
    const auto ours = win32::IdentityOf(held_.Get());
    const auto folderIdentity = win32::IdentityOf(folder_.Get());
    held_.Reset();
    if (ours && folderIdentity) {
        const std::size_t slash = path_.find_last_of(L'\\');
        DeleteProven(path_.substr(0, slash), *folderIdentity, path_.substr(slash + 1), ours);
    }
    folder_.Reset();
    if (!privateFolder_.empty()) RemoveDirectoryW(privateFolder_.c_str());
}

}  // namespace app
