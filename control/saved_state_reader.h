#pragma once
// Reads the control's saved-state block from a source that can only be read
// forward (a COM stream), taking exactly the block's own bytes and leaving
// whatever follows it in the source untouched.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace control {

// A text value longer than this is taken as damage rather than data.
inline constexpr std::uint32_t kMaxSavedTextBytes = 64 * 1024;

// Reads exactly `count` bytes into `target`; false when the source ends or fails.
using ReadExact = std::function<bool(std::uint8_t* target, std::size_t count)>;

// The bytes of one block, laid out as flash::ParseControlData expects, or
// nothing when the source ends early, a value carries an unknown or
// misplaced type tag, or a text is implausibly long. The caller still parses
// the result, which checks everything else.
std::optional<std::vector<std::uint8_t>> ReadSavedStateBlock(const ReadExact& read);

}  // namespace control
