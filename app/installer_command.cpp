#include "app/installer_command.h"

namespace app {

std::string InstallerArguments(const std::string& packagePath) { return " /passive /package \"" + packagePath + "\""; }

std::optional<InstallerCommand> InstallerCommandFor(const std::string& systemFolder) {
    const bool driveLetter =
        systemFolder.size() >= 3 &&
        ((systemFolder[0] >= 'A' && systemFolder[0] <= 'Z') || (systemFolder[0] >= 'a' && systemFolder[0] <= 'z')) &&
        systemFolder[1] == ':' && (systemFolder[2] == '\\' || systemFolder[2] == '/');
    if (!driveLetter) return std::nullopt;
    InstallerCommand command;
    command.tempFolder = systemFolder.substr(0, 2) + "\\temp";
    command.packagePath = command.tempFolder + "\\flash8.msi";
    command.installer = systemFolder + (systemFolder.back() == '\\' ? "" : "\\") + "msiexec.exe";
    command.commandLine = InstallerArguments(command.packagePath);
    return command;
}

}  // namespace app
