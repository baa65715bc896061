#include "swf/writer/bit_writer.h"

#include <cmath>

namespace swf::writer {

void BitWriter::U8(std::uint8_t v) {
    Align();
    out_.push_back(v);
}

void BitWriter::U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v & 0xFF));
    U8(static_cast<std::uint8_t>(v >> 8));
}

void BitWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
}

void BitWriter::Fixed8(double v) { S16(static_cast<std::int16_t>(std::lround(v * 256.0))); }

void BitWriter::Fixed16(double v) { U32(static_cast<std::uint32_t>(ToFixed16(v))); }

void BitWriter::Bytes(std::span<const std::uint8_t> data) {
    Align();
    out_.insert(out_.end(), data.begin(), data.end());
}

void BitWriter::String(const std::string& text) {
    Align();
    out_.insert(out_.end(), text.begin(), text.end());
    out_.push_back(0);
}

void BitWriter::UB(unsigned bits, std::uint32_t v) {
    for (unsigned i = bits; i-- > 0;) {
        if (bitPos_ == 0) out_.push_back(0);
        if ((v >> i) & 1u) out_.back() |= static_cast<std::uint8_t>(0x80u >> bitPos_);
        bitPos_ = (bitPos_ + 1) & 7;
    }
}

void BitWriter::SB(unsigned bits, std::int32_t v) { UB(bits, static_cast<std::uint32_t>(v)); }

void BitWriter::FB(unsigned bits, double v) { SB(bits, ToFixed16(v)); }

void BitWriter::Align() { bitPos_ = 0; }

std::vector<std::uint8_t> BitWriter::Take() {
    bitPos_ = 0;
    return std::move(out_);
}

unsigned BitsForUnsigned(std::uint32_t v) {
    unsigned bits = 0;
    while (v) {
        ++bits;
        v >>= 1;
    }
    return bits;
}

unsigned BitsForSigned(std::int32_t v) {
    // One sign bit plus the magnitude bits of v (or of ~v for negatives).
    std::uint32_t magnitude = v < 0 ? ~static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    return BitsForUnsigned(magnitude) + 1;
}

unsigned BitsForSigned(std::initializer_list<std::int32_t> values) {
    unsigned bits = 1;
    for (std::int32_t v : values) bits = std::max(bits, BitsForSigned(v));
    return bits;
}

std::int32_t ToFixed16(double v) { return static_cast<std::int32_t>(std::lround(v * 65536.0)); }

}  // namespace swf::writer
