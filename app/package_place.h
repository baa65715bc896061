#pragma once
// Where the installer package may be written: the shared folder the program
// has always used, or a folder private to the user when the shared one is not
// trustworthy (a link to elsewhere, not a folder, or holding a file we cannot
// remove).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace app {

// File attribute bits as the Windows file system reports them.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

enum class PackagePlace { SharedFolder, PrivateFolder };

struct PlaceProbe {
    // A path's attributes, or nothing when nothing is there. It must not
    // follow a link at the path itself.
    std::function<std::optional<std::uint32_t>(const std::string&)> attributes;
    // Removes the file at the path; true when it is gone.
    std::function<bool(const std::string&)> removeFile;
};

// The shared folder serves only when it is a real folder (no junction,
// symbolic link or mount point) and the package's name in it is free, or
// names a plain file left from an earlier start that we can remove. Whatever
// lies there is never run.
PackagePlace ChoosePackagePlace(const std::string& sharedFolder, const std::string& packagePath,
                                const PlaceProbe& probe);

}  // namespace app
