#include "tools/skingen/byte_buffer.h"

#include "tools/skingen/format_error.h"

namespace skin {

void ByteWriter::U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::PutU32At(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteReader::Fail(const std::string& message) const { throw FormatError(kind_ + ": " + message); }

void ByteReader::Require(std::size_t offset, std::size_t count, const char* what) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        Fail(std::string("file is truncated: ") + what + " needs " + std::to_string(count) + " bytes at offset " +
             std::to_string(offset) + " but the file has " + std::to_string(bytes_.size()) + " bytes");
    }
}

std::uint8_t ByteReader::U8(std::size_t offset) const {
    Require(offset, 1, "a header field");
    return bytes_[offset];
}

std::uint16_t ByteReader::U16(std::size_t offset) const {
    Require(offset, 2, "a header field");
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t ByteReader::U32(std::size_t offset) const {
    Require(offset, 4, "a header field");
    return static_cast<std::uint32_t>(bytes_[offset]) | (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t offset, std::size_t count, const char* what) const {
    Require(offset, count, what);
    return bytes_.subspan(offset, count);
}

}  // namespace skin
