#pragma once
// Movies split JPEG data into several SOI..EOI blocks: the shared tables of a
// JPEGTables tag and each image's own data, tables and image in separate
// blocks within one tag, or an image led by a stray EOI, SOI pair. A decoder
// wants one stream: this joins them.

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// One JPEG stream holding the marker segments of `tables` followed by those
// of `image`: a single SOI first, a single EOI last, the blocks' own start
// and end markers dropped in between. Data that does not begin with SOI
// (after any stray EOI) is returned unchanged for the decoder to judge.
std::vector<std::uint8_t> JoinJpegData(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image);

}  // namespace swf
