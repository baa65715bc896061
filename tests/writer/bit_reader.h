#pragma once
// A minimal SWF bit reader for checking what the writer produced.

#include <cstdint>
#include <vector>

namespace writer_test {

class BitReader {
public:
    BitReader(const std::vector<std::uint8_t>& data, std::size_t start = 0) : data_(data), byte_(start) {}

    std::uint32_t UB(unsigned bits) {
        std::uint32_t v = 0;
        for (unsigned i = 0; i < bits; ++i) {
            std::uint32_t bit = (data_.at(byte_) >> (7 - bit_)) & 1u;
            v = (v << 1) | bit;
            if (++bit_ == 8) {
                bit_ = 0;
                ++byte_;
            }
        }
        return v;
    }
    std::int32_t SB(unsigned bits) {
        if (bits == 0) return 0;
        std::uint32_t v = UB(bits);
        if (v & (1u << (bits - 1))) v |= ~((1u << bits) - 1);
        return static_cast<std::int32_t>(v);
    }
    void Align() {
        if (bit_) {
            bit_ = 0;
            ++byte_;
        }
    }
    std::uint8_t U8() {
        Align();
        return data_.at(byte_++);
    }
    std::uint16_t U16() {
        std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::size_t position() const { return byte_; }

private:
    const std::vector<std::uint8_t>& data_;
    std::size_t byte_;
    unsigned bit_ = 0;
};

struct Tag {
    std::uint16_t code;
    std::vector<std::uint8_t> body;
};

// The tags of a tag list starting at `start`, up to and including End.
inline std::vector<Tag> ReadTags(const std::vector<std::uint8_t>& data, std::size_t start) {
    std::vector<Tag> tags;
    BitReader r(data, start);
    while (r.position() + 2 <= data.size()) {
        std::uint16_t header = r.U16();
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F) length = r.U32();
        Tag t{static_cast<std::uint16_t>(header >> 6), {}};
        std::size_t at = r.position();
        t.body.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + length));
        for (std::uint32_t i = 0; i < length; ++i) r.U8();
        tags.push_back(std::move(t));
        if (tags.back().code == 0) break;
    }
    return tags;
}

}  // namespace writer_test
