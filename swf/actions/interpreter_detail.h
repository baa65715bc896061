#pragma once
// Small helpers and limits shared by the interpreter's action families.

#include <cstddef>
#include <string>

namespace swf::actions::detail {

// Prototype chains are followed this far; longer (or circular) chains end there.
constexpr int kMaxProtoDepth = 32;
// Arrays grow by index assignment only up to this many elements.
constexpr std::size_t kMaxArrayLength = 1u << 20;

// A single name, not a path.
inline bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/.:") == std::string::npos;
}

}  // namespace swf::actions::detail
