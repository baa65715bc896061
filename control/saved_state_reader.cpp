#include "control/saved_state_reader.h"

#include "flash/control_data.h"

namespace control {

namespace {

constexpr std::size_t kHeaderBytes = 16;  // magic, marker, width, height

std::uint32_t LittleEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Appends `count` bytes read from the source to `block`.
bool Append(const ReadExact& read, std::vector<std::uint8_t>& block, std::size_t count) {
    const std::size_t at = block.size();
    block.resize(at + count);
    return count == 0 || read(block.data() + at, count);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSavedStateBlock(const ReadExact& read) {
    std::vector<std::uint8_t> block;
    if (!Append(read, block, kHeaderBytes)) return std::nullopt;
    for (std::size_t index = 0; index < flash::kControlValueCount; ++index) {
        if (!Append(read, block, 2)) return std::nullopt;
        const std::uint16_t tag = static_cast<std::uint16_t>(block[block.size() - 2] | block[block.size() - 1] << 8);
        if (tag != static_cast<std::uint16_t>(flash::ExpectedControlValueType(index))) return std::nullopt;
        switch (static_cast<flash::ControlValueType>(tag)) {
        case flash::ControlValueType::Integer:
            if (!Append(read, block, 4)) return std::nullopt;
            break;
        case flash::ControlValueType::Switch:
            if (!Append(read, block, 2)) return std::nullopt;
            break;
        case flash::ControlValueType::Block:
            if (!Append(read, block, 16)) return std::nullopt;
            break;
        case flash::ControlValueType::Text: {
            if (!Append(read, block, 4)) return std::nullopt;
            const std::uint32_t bytes = LittleEndian32(block.data() + block.size() - 4);
            if (bytes > kMaxSavedTextBytes) return std::nullopt;
            if (!Append(read, block, bytes)) return std::nullopt;
            break;
        }
        default: return std::nullopt;
        }
    }
    return block;
}

}  // namespace control
