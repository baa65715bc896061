#include "tools/skingen/byte_buffer.h"

#include "tools/skingen/format_error.h"

namespace skin {

void ByteWriter::u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::put_u32_at(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteReader::fail(const std::string& message) const { throw FormatError(kind_ + ": " + message); }

void ByteReader::require(std::size_t offset, std::size_t count, const char* what) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        fail(std::string("file is truncated: ") + what + " needs " + std::to_string(count) + " bytes at offset " +
             std::to_string(offset) + " but the file has " + std::to_string(bytes_.size()) + " bytes");
    }
}

std::uint8_t ByteReader::u8(std::size_t offset) const {
    require(offset, 1, "a header field");
    return bytes_[offset];
}

std::uint16_t ByteReader::u16(std::size_t offset) const {
    require(offset, 2, "a header field");
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t ByteReader::u32(std::size_t offset) const {
    require(offset, 4, "a header field");
    return static_cast<std::uint32_t>(bytes_[offset]) | (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t offset, std::size_t count, const char* what) const {
    require(offset, count, what);
    return bytes_.subspan(offset, count);
}

}  // namespace skin
