#pragma once
// Where guidekit finds the program and the control package it hands out.

#include <filesystem>
#include <optional>
#include <string>

namespace guidekit {

inline constexpr const char* kKitProgram = "projector.exe";
inline constexpr const char* kKitPackage = "GuidePlayerControl.msi";

// `guidekit-files` beside the running guidekit binary (`argv0` when the
// system does not say where that is).
std::filesystem::path DefaultKitFolder(const std::string& argv0);

// Why the folder does not hold both files, or nothing.
std::optional<std::string> CheckKitFolder(const std::filesystem::path& kit);

}  // namespace guidekit
