#pragma once
// Bounds-checked little-endian reads from an action record's payload. A read
// past the end sets failed() and yields zeros, so callers check once at the end.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace swf::actions {

class CodeReader {
public:
    explicit CodeReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool failed() const { return failed_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    std::size_t position() const { return pos_; }

    std::uint8_t U8() {
        if (pos_ + 1 > data_.size()) return Fail();
        return data_[pos_++];
    }
    std::uint16_t U16() {
        if (pos_ + 2 > data_.size()) return Fail();
        std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t U32() {
        if (pos_ + 4 > data_.size()) return Fail();
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
        pos_ += 4;
        return v;
    }
    std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
    float F32() {
        std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // Push's double: the high 32-bit word first, each word little-endian.
    double SwappedDouble() {
        std::uint64_t hi = U32(), lo = U32();
        std::uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // A zero-terminated string; a missing terminator is a failure.
    std::string String() {
        std::size_t end = pos_;
        while (end < data_.size() && data_[end] != 0) ++end;
        if (end >= data_.size()) {
            Fail();
            return {};
        }
        std::string s(reinterpret_cast<const char*>(data_.data() + pos_), end - pos_);
        pos_ = end + 1;
        return s;
    }

private:
    std::uint8_t Fail() {
        failed_ = true;
        pos_ = data_.size();
        return 0;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace swf::actions
