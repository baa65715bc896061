#pragma once
// Where provisioning puts the package and how it starts the installer, from
// the system folder alone.

#include <optional>
#include <string>

namespace app {

struct InstallerCommand {
    std::string tempFolder;   // the system folder's drive, then "\temp"
    std::string packagePath;  // "flash8.msi" in it
    std::string installer;    // msiexec.exe in the system folder
    std::string commandLine;  // " /passive /package \"<package path>\""
};

// The installer's arguments for a package at `packagePath`.
std::string InstallerArguments(const std::string& packagePath);

// Nothing when the system folder is not an absolute drive path ("C:\..."):
// then every path above would be relative to wherever the program runs.
std::optional<InstallerCommand> InstallerCommandFor(const std::string& systemFolder);

}  // namespace app
