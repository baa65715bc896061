#pragma once
// Builds the distributable: the executable, the installer package right after
// it, and the package's length as four big-endian bytes at the very end.

#include <cstdint>
#include <string>

namespace packaging {

struct PackResult {
    bool ok;
    std::string error;  // empty when ok
};

// Packages of 4 GiB or more cannot be described by the trailer, and the
// program reads its own file with 32-bit signed positions, so the whole
// output must stay below 2 GiB.
constexpr std::uint64_t kMaxOutputSize = 0x7FFFFFFFull;

// Writes `output` through a temporary file beside it that replaces it only
// when complete: a failure never leaves a half-written or altered output.
PackResult AppendPayload(const std::string& executable, const std::string& package, const std::string& output);

}  // namespace packaging
