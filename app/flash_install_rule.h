#pragma once
// Whether the registered player control is usable, decided from its path alone.

#include <string>

namespace app {

// What lies at the registered control's path.
enum class PathKind { Missing, Folder, File };

// The character that carries the control's major version: the fifth from the
// end of the path (just before a four-character ending such as ".ocx"), or the
// sixth when the fifth is a lower-case 'b'. Positions before the first
// character read the first one; an empty path gives an empty text.
std::string VersionCharacter(const std::string& controlPath);

// True unless a file exists at the path and its version character is 8 or 9.
bool NeedsFlashInstall(const std::string& controlPath, PathKind kind);

}  // namespace app
