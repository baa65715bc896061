#pragma once
// Whole-file reading and writing for the picture tools.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace skin {

// Throws std::runtime_error naming the file when it cannot be read.
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);

// Writes through a temporary file beside the target and renames it into place,
// so a failure never leaves a half-written picture under the target's name.
// Throws std::runtime_error naming the file on failure.
void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace skin
