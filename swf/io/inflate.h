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
    bool corrupt = false;   // InflatePrefix only: `bytes` stop where the data went bad
};

// Decompresses a zlib stream. Stops after `maxOutput` bytes. A corrupt stream
// throws ParseError; a stream that simply ends early yields complete == false.
InflateResult Inflate(std::span<const std::uint8_t> input, std::size_t maxOutput);

// The same, but a corrupt stream yields what came out before the damage, with
// `corrupt` set, instead of throwing.
InflateResult InflatePrefix(std::span<const std::uint8_t> input, std::size_t maxOutput);

}  // namespace swf
