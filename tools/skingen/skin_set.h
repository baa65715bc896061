#pragma once
// The complete set of skin files, each by its file name with its encoded bytes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace skin {

struct SkinFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<SkinFile> BuildSkinFiles();

// Writes every file of the set into `folder`, creating it when missing.
// Throws std::runtime_error (or FormatError) on failure.
void WriteSkinFiles(const std::filesystem::path& folder);

}  // namespace skin
