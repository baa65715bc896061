#pragma once
// Reading back what the writer produced, through the engine's own bit reader:
// a reader placed at a byte offset, and the tags of a tag list.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/io/bit_reader.h"

namespace writer_test {

using swf::BitReader;

// A reader over all of `data`, at byte `start`: its positions count from the
// start of `data`.
inline BitReader ReaderAt(const std::vector<std::uint8_t>& data, std::size_t start) {
    BitReader reader(data);
    reader.Skip(start);
    return reader;
}

struct Tag {
    std::uint16_t code;
    std::vector<std::uint8_t> body;
};

// The tags of a tag list starting at `start`, up to and including End.
inline std::vector<Tag> ReadTags(const std::vector<std::uint8_t>& data, std::size_t start) {
    std::vector<Tag> tags;
    BitReader r = ReaderAt(data, start);
    while (r.Position() + 2 <= data.size()) {
        const std::uint16_t header = r.ReadU16();
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F) length = r.ReadU32();
        const auto body = r.ReadBytes(length);
        tags.push_back(Tag{static_cast<std::uint16_t>(header >> 6), {body.begin(), body.end()}});
        if (tags.back().code == 0) break;
    }
    return tags;
}

}  // namespace writer_test
