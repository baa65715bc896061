#include "app/flash_install_rule.h"

namespace app {

namespace {

// The character at a 1-based position counted as the rule counts it.
char CharacterAt(const std::string& path, long position) {
    if (position < 1) position = 1;
    return path[static_cast<std::size_t>(position - 1)];
}

}  // namespace

std::string VersionCharacter(const std::string& controlPath) {
    if (controlPath.empty()) return std::string();
    const long length = static_cast<long>(controlPath.size());
    char c = CharacterAt(controlPath, length - 4);
    if (c == 'b') c = CharacterAt(controlPath, length - 5);
    return std::string(1, c);
}

bool NeedsFlashInstall(const std::string& controlPath, PathKind kind) {
    if (controlPath.empty() || kind != PathKind::File) return true;
    const std::string version = VersionCharacter(controlPath);
    return version != "8" && version != "9";
}

}  // namespace app
