#pragma once
// The installer package on disk for the time of one installation: written
// where nobody else can redirect it, held so that nobody else can change,
// rename or remove it until the installer has ended, then deleted.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32/owned_handle.h"

namespace app {

class PackageFile {
public:
    // Writes `payload` as flash8.msi into `sharedFolder` (creating the
    // folder) when that folder is a real folder and the name in it is free or
    // holds a plain file we can remove; otherwise into a fresh folder that
    // only this user (and the system) can open. Nothing when neither works.
    static std::unique_ptr<PackageFile> Write(const std::wstring& sharedFolder,
                                              const std::vector<std::uint8_t>& payload);

    // Closes the held handle and deletes the file, and the private folder
    // when one was made.
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    const std::wstring& Path() const { return path_; }
    bool InPrivateFolder() const { return !privateFolder_.empty(); }

private:
    PackageFile(std::wstring path, win32::OwnedHandle folder, win32::OwnedHandle held, std::wstring privateFolder);
    void Delete();

    std::wstring path_;
    win32::OwnedHandle folder_;  // keeps the folder from being renamed or replaced
    win32::OwnedHandle held_;    // read access only, shared for reading only
    std::wstring privateFolder_;
};

// A new folder under the user's temporary folder, created with a protected
// access list that grants the current user and the system full control and
// nobody else anything. Empty when it cannot be made.
std::wstring MakePrivateFolder();

}  // namespace app
