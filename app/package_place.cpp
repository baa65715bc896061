#include "app/package_place.h"

namespace app {

PackagePlace ChoosePackagePlace(const std::string& sharedFolder, const std::string& packagePath,
                                const PlaceProbe& probe) {
    const auto folder = probe.attributes(sharedFolder);
    if (!folder || !(*folder & kAttributeDirectory) || (*folder & kAttributeReparsePoint)) {
        return PackagePlace::PrivateFolder;
    }
    const auto stale = probe.attributes(packagePath);
    if (!stale) return PackagePlace::SharedFolder;
    // A link or a folder under the package's name is someone else's doing:
    // neither removed nor written through.
    if (*stale & (kAttributeDirectory | kAttributeReparsePoint)) return PackagePlace::PrivateFolder;
    if (!probe.removeFile(packagePath) || probe.attributes(packagePath)) return PackagePlace::PrivateFolder;
    return PackagePlace::SharedFolder;
}

}  // namespace app
