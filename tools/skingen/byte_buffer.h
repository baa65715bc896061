#pragma once
// Little-endian reading and writing of the fixed-size fields of picture files.
// The reader checks every access against the end of the file, so a truncated
// file ends in a FormatError naming the kind of file instead of a read past the end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skin {

class ByteWriter {
public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void PutU32At(std::size_t offset, std::uint32_t value);

    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

class ByteReader {
public:
    // `kind` names the file in error messages ("bitmap", "icon").
    ByteReader(std::span<const std::uint8_t> bytes, std::string kind) : bytes_(bytes), kind_(std::move(kind)) {}

    std::uint8_t U8(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

    // The `count` bytes at `offset`; throws when they do not all lie in the file.
    std::span<const std::uint8_t> bytes(std::size_t offset, std::size_t count, const char* what) const;

    std::size_t size() const { return bytes_.size(); }
    const std::string& kind() const { return kind_; }

    [[noreturn]] void Fail(const std::string& message) const;

private:
    void Require(std::size_t offset, std::size_t count, const char* what) const;

    std::span<const std::uint8_t> bytes_;
    std::string kind_;
};

}  // namespace skin
