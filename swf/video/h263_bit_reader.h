#pragma once
// Bits from the most significant down, for the H.263 decoder's hot loop: a
// peek is one unaligned 32-bit read, and reads past the end see zero bits
// (no code of the stream is all zeros, so a decoder that runs off the end
// stops at the next code) while Overrun() tells that it happened.

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace swf::video::h263 {

class BitReader {
public:
    // The bytes after `data + size` up to kPadding must be readable zeros.
    static constexpr std::size_t kPadding = 4;

    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next `count` bits (1 to 25) without using them.
    std::uint32_t Peek(int count) const {
        const std::uint8_t* p = data_ + std::min(position_ >> 3, size_);
        const std::uint32_t word = static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                                   static_cast<std::uint32_t>(p[2]) << 8 | p[3];
        const std::uint32_t bits = position_ >> 3 < size_ ? word << (position_ & 7) : 0;
        return bits >> (32 - count);
    }
    void Skip(int count) { position_ += static_cast<std::size_t>(count); }
    std::uint32_t Read(int count) {
        const std::uint32_t bits = Peek(count);
        Skip(count);
        return bits;
    }
    // A two's complement field of `count` bits.
    int ReadSigned(int count) {
        const int value = static_cast<int>(Read(count));
        return value >= 1 << (count - 1) ? value - (1 << count) : value;
    }

    bool Overrun() const { return position_ > size_ * 8; }
    std::size_t position() const { return position_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace swf::video::h263
