#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace swf::raster {

// A 64-bit running hash of the values fed to it: equal inputs in equal order
// give equal results. Not for security, only to tell drawings apart.
class Fingerprint {
public:
    Fingerprint& Add(std::uint64_t value) {
        state_ = (state_ ^ value) * 0x100000001b3ull;
        state_ ^= state_ >> 29;
        return *this;
    }
    Fingerprint& Add(double value) {
        // -0 and 0 draw alike; telling them apart would only cost a redraw.
        return Add(std::bit_cast<std::uint64_t>(value));
    }
    Fingerprint& Add(const void* pointer) {
        return Add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer)));
    }
    std::uint64_t value() const { return state_; }

private:
    std::uint64_t state_ = 0xcbf29ce484222325ull;
};

}  // namespace swf::raster
