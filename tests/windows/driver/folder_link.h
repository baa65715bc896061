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

}  // namespace driver
