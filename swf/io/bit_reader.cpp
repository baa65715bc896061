#include "swf/io/bit_reader.h"

#include <cstring>

#include "swf/io/parse_error.h"

namespace swf {

void BitReader::Need(std::size_t bytes) const {
    if (bytes > data_.size() - pos_) throw ParseError("unexpected end of data");
}

std::uint32_t BitReader::ReadUB(unsigned bits) {
    if (bits > 32) throw ParseError("bit field wider than 32 bits");
    std::uint64_t value = 0;
    for (unsigned i = 0; i < bits; ++i) {
        if (pos_ >= data_.size()) throw ParseError("unexpected end of data");
        const unsigned bit = (data_[pos_] >> (7 - bitPos_)) & 1u;
        value = (value << 1) | bit;
        if (++bitPos_ == 8) {
            bitPos_ = 0;
            ++pos_;
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t BitReader::ReadSB(unsigned bits) {
    const std::uint32_t raw = ReadUB(bits);
    if (bits == 0) return 0;
    if (bits < 32 && (raw & (1u << (bits - 1))) != 0) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(raw) - (std::int64_t{1} << bits));
    }
    return static_cast<std::int32_t>(raw);
}

double BitReader::ReadFB(unsigned bits) { return ReadSB(bits) / 65536.0; }

std::uint8_t BitReader::ReadU8() {
    Align();
    Need(1);
    return data_[pos_++];
}

std::uint16_t BitReader::ReadU16() {
    Align();
    Need(2);
    const std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t BitReader::ReadU32() {
    Align();
    Need(4);
    const std::uint32_t v =
        static_cast<std::uint32_t>(data_[pos_]) | (static_cast<std::uint32_t>(data_[pos_ + 1]) << 8) |
        (static_cast<std::uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<std::uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
}

double BitReader::ReadFixed8() { return ReadS16() / 256.0; }

double BitReader::ReadFixed() { return static_cast<std::int32_t>(ReadU32()) / 65536.0; }

float BitReader::ReadFloat() {
    const std::uint32_t bits = ReadU32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string BitReader::ReadString() {
    Align();
    std::string out;
    while (true) {
        Need(1);
        const char c = static_cast<char>(data_[pos_++]);
        if (c == '\0') return out;
        out.push_back(c);
    }
}

std::span<const std::uint8_t> BitReader::ReadBytes(std::size_t count) {
    Align();
    Need(count);
    auto out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
}

}  // namespace swf
