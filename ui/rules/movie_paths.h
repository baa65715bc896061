#pragma once
// Paths derived from the executable's own path.

#include <optional>
#include <string>

namespace ui {

// The executable path cut before its extension dot: the path is scanned
// backwards from its next-to-last character for a '.', and a backslash does
// not stop the scan. Nothing when there is no '.' to cut at.
std::optional<std::string> BasePath(const std::string& exePath);

inline std::string MoviePath(const std::string& basePath) { return basePath + ".swf"; }
inline std::string SettingsPath(const std::string& basePath) { return basePath + "_Page_img\\Page_var.txt"; }

}  // namespace ui
