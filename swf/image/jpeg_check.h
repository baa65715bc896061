#pragma once
// Structural checks on JPEG data before the decoder library sees it. The
// library trusts a Huffman table's symbol count (writing past its tables when
// a file lists more than 256 symbols) and assumes a single frame header;
// files that break either are refused here.

#include <cstdint>
#include <span>
#include <string>

namespace swf {

// Empty when the data is safe to decode, else what is wrong with it.
std::string FindJpegDefect(std::span<const std::uint8_t> data);

}  // namespace swf
