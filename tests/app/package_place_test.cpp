#include "app/package_place.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using app::kAttributeDirectory;
using app::kAttributeReparsePoint;
using app::PackagePlace;

const std::string kFolder = "C:\\temp";
const std::string kPackage = "C:\\temp\\flash8.msi";

// A file system of a few entries; files listed as locked resist removal.
struct FakeDisk {
    std::map<std::string, std::uint32_t> entries;
    std::set<std::string> locked;
    std::vector<std::string> removed;

    app::PlaceProbe Probe() {
        return {[this](const std::string& path) -> std::optional<std::uint32_t> {
                    const auto found = entries.find(path);
                    if (found == entries.end()) return std::nullopt;
                    return found->second;
                },
                [this](const std::string& path) {
                    removed.push_back(path);
                    if (locked.count(path)) return false;
                    entries.erase(path);
                    return true;
                }};
    }
    PackagePlace Choose() { return app::ChoosePackagePlace(kFolder, kPackage, Probe()); }
};

TEST(PackagePlace, APlainSharedFolderServes) {
    FakeDisk disk;
    disk.entries[kFolder] = kAttributeDirectory;
    EXPECT_EQ(disk.Choose(), PackagePlace::SharedFolder);
    EXPECT_TRUE(disk.removed.empty());

    // A package left from an earlier start is removed, never reused.
    disk.entries[kPackage] = 0x20;  // archive
    EXPECT_EQ(disk.Choose(), PackagePlace::SharedFolder);
    EXPECT_EQ(disk.removed, std::vector<std::string>{kPackage});
    EXPECT_FALSE(disk.entries.count(kPackage));
}

TEST(PackagePlace, LinksAndOddEntriesSendThePackageToThePrivateFolder) {
    {
        FakeDisk disk;  // the shared folder cannot be made
        EXPECT_EQ(disk.Choose(), PackagePlace::PrivateFolder);
    }
    {
        FakeDisk disk;  // a junction or a symbolic link to a folder
        disk.entries[kFolder] = kAttributeDirectory | kAttributeReparsePoint;
        EXPECT_EQ(disk.Choose(), PackagePlace::PrivateFolder);
    }
    {
        FakeDisk disk;  // a file under the folder's name
        disk.entries[kFolder] = 0x20;
        EXPECT_EQ(disk.Choose(), PackagePlace::PrivateFolder);
    }
    for (std::uint32_t odd :
         {kAttributeReparsePoint, kAttributeDirectory, kAttributeDirectory | kAttributeReparsePoint}) {
        FakeDisk disk;  // a link or a folder under the package's name stays untouched
        disk.entries[kFolder] = kAttributeDirectory;
        disk.entries[kPackage] = odd;
        EXPECT_EQ(disk.Choose(), PackagePlace::PrivateFolder) << odd;
        EXPECT_TRUE(disk.removed.empty()) << odd;
    }
}

TEST(PackagePlace, AStalePackageWeCannotRemoveIsNeverUsed) {
    FakeDisk disk;
    disk.entries[kFolder] = kAttributeDirectory;
    disk.entries[kPackage] = 0x20;
    disk.locked.insert(kPackage);
    EXPECT_EQ(disk.Choose(), PackagePlace::PrivateFolder);
    EXPECT_TRUE(disk.entries.count(kPackage));

    // Removal that reports success while the file is back (someone recreated
    // it at once) is not trusted either.
    FakeDisk racing;
    racing.entries[kFolder] = kAttributeDirectory;
    racing.entries[kPackage] = 0x20;
    app::PlaceProbe probe = racing.Probe();
    probe.removeFile = [](const std::string&) { return true; };
    EXPECT_EQ(app::ChoosePackagePlace(kFolder, kPackage, probe), PackagePlace::PrivateFolder);
}

}  // namespace
