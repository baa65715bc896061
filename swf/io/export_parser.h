#pragma once
// ExportAssets: the linkage names a movie gives its characters.

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace swf {

// Adds the tag's (name, character id) pairs to `exports`; a name already
// there keeps its first id. Throws ParseError on a truncated tag (the pairs
// read before the cut stay).
void ReadExportAssets(std::span<const std::uint8_t> body, std::map<std::string, std::uint16_t>& exports);

// The character a linkage name exports: the exact name, else one that differs
// only in case; 0 when none.
std::uint16_t FindExport(const std::map<std::string, std::uint16_t>& exports, const std::string& name);

}  // namespace swf
