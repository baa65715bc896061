#pragma once
// The distributable's tail: the installer package, then its length as four
// big-endian bytes, as the file's very last bytes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

std::uint32_t DecodeTrailer(const std::array<std::uint8_t, 4>& bytes);
std::array<std::uint8_t, 4> EncodeTrailer(std::uint32_t length);

struct PayloadLocation {
    std::int64_t offset;
    std::uint32_t length;
};

// Where the payload of a file of this size lies, given its trailer value;
// nothing when the file is too short for a trailer, the length is 0 (no
// package) or the length does not fit.
std::optional<PayloadLocation> LocatePayload(std::int64_t fileSize, std::uint32_t length);

enum class ExtractResult {
    Ok,
    CannotOpenExecutable,
    NoPayload,  // too short, a length of 0, or the trailer names more bytes than there are
    ReadFailed,
    OutOfMemory,
};

const char* Describe(ExtractResult result);

// Reads the payload of the executable at exePath; on any failure `payload`
// is left empty.
ExtractResult ReadPayload(const std::filesystem::path& exePath, std::vector<std::uint8_t>& payload);

}  // namespace app
