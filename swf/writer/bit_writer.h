#pragma once
// Byte and bit output in SWF order: integers little-endian, bit fields packed
// from the most significant bit of each byte. Bit fields end at the next byte
// boundary when a byte-sized value follows (Align()).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf::writer {

class BitWriter {
public:
    void U8(std::uint8_t v);
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void S16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    // 8.8 fixed point (frame rate, FIXED8).
    void Fixed8(double v);
    // 16.16 fixed point.
    void Fixed16(double v);
    void Bytes(std::span<const std::uint8_t> data);
    // The text and its terminating zero.
    void String(const std::string& text);

    // Unsigned, signed and 16.16 fixed-point bit fields of `bits` bits.
    void UB(unsigned bits, std::uint32_t v);
    void SB(unsigned bits, std::int32_t v);
    void FB(unsigned bits, double v);
    // Pads the current byte with zero bits.
    void Align();

    const std::vector<std::uint8_t>& bytes() const { return out_; }
    std::vector<std::uint8_t> Take();

private:
    std::vector<std::uint8_t> out_;
    unsigned bitPos_ = 0;  // bits used in the last byte; 0 = aligned
};

// Fewest bits that hold the value as UB / SB.
unsigned BitsForUnsigned(std::uint32_t v);
unsigned BitsForSigned(std::int32_t v);
// SB bits for the largest of several values.
unsigned BitsForSigned(std::initializer_list<std::int32_t> values);
// 16.16 fixed-point value as the integer FB stores.
std::int32_t ToFixed16(double v);

}  // namespace swf::writer
