#pragma once
// Makes sure a usable player control is registered before any window opens,
// installing the package carried in the executable's tail when it is not.

#include <string>

#include "app/flash_install_rule.h"

namespace app {

// The default value of the control's server key: the registered file, or an
// empty text when the key or value is missing, empty or not text.
std::string ReadRegisteredControlPath();

// What the exact path names on disk (paths with wildcards name nothing).
PathKind ExaminePath(const std::string& path);

// Installs the carried package when the registered control fails the check;
// reports only what the installer's exit code calls for.
void EnsureFlashRuntime();

}  // namespace app
