#pragma once
// Folder links for tests of code that must not write through one.

#include <string>

namespace driver {

// Makes `link` a symbolic link to the folder `target`, as the system reports
// one: with the reparse-point attribute. Under Wine, whose CreateSymbolicLinkW
// makes nothing, a link of the host's file system serves, which Wine reports
// the same way. False when neither could be made.
bool MakeFolderLink(const std::string& link, const std::string& target);
// Removes the link itself, not what it points to.
void RemoveFolderLink(const std::string& link);

// Makes `link` a symbolic link of the host's file system to `target` (a file
// or a folder), as a user of the machine Wine runs on can; false elsewhere.
bool MakeHostLink(const std::string& link, const std::string& target);
// The host path of a Windows path under Wine; empty elsewhere.
std::string HostPath(const std::string& path);
// Runs a host program ("Z:\\bin\\ln -s a b") and waits up to ten seconds for
// it; false when it could not start. Plain arguments only: no shell syntax.
bool RunHostCommand(const std::string& commandLine);

}  // namespace driver
