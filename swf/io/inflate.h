#pragma once
// zlib decompression with a hard cap on the output size.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

struct InflateResult {
    std::vector<std::uint8_t> bytes;
    bool complete = false;  // the stream's end was reached (not cut short)
};

// Decompresses a zlib stream. Stops after `maxOutput` bytes. A corrupt stream
// throws ParseError; a stream that simply ends early yields complete == false.
InflateResult Inflate(std::span<const std::uint8_t> input, std::size_t maxOutput);

}  // namespace swf
