#pragma once
// Reads the SWF primitive types from a byte range: bit fields (UB, SB, FB)
// packed most significant bit first, and little-endian byte-aligned values.
// Every read is bounds-checked; reading past the end throws ParseError.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace swf {

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    // Bit fields; `bits` may be 0 (value 0) up to 32.
    std::uint32_t ReadUB(unsigned bits);
    std::int32_t ReadSB(unsigned bits);
    double ReadFB(unsigned bits);  // signed 16.16 fixed point
    bool ReadFlag() { return ReadUB(1) != 0; }

    // Byte-aligned values: each first drops any partly read byte.
    void Align() {
        if (bitPos_ != 0) {
            bitPos_ = 0;
            ++pos_;
        }
    }
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int16_t ReadS16() { return static_cast<std::int16_t>(ReadU16()); }
    double ReadFixed8();  // signed 8.8
    double ReadFixed();   // signed 16.16
    float ReadFloat();
    std::string ReadString();  // zero-terminated
    std::span<const std::uint8_t> ReadBytes(std::size_t count);
    void Skip(std::size_t count) { ReadBytes(count); }

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    std::span<const std::uint8_t> Rest() const { return data_.subspan(pos_); }

private:
    void Need(std::size_t bytes) const;

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    unsigned bitPos_ = 0;  // bits already consumed of data_[pos_]
};

}  // namespace swf
