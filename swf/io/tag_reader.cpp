#include "swf/io/tag_reader.h"

#include "swf/io/parse_error.h"

namespace swf {

std::optional<TagRecord> TagReader::Next() {
    if (in_.AtEnd()) return std::nullopt;
    try {
        const std::uint16_t codeAndLength = in_.ReadU16();
        TagRecord tag;
        tag.code = static_cast<std::uint16_t>(codeAndLength >> 6);
        std::uint32_t length = codeAndLength & 0x3f;
        if (length == 0x3f) length = in_.ReadU32();
        if (length > in_.Remaining()) throw ParseError("");
        tag.body = in_.ReadBytes(length);
        return tag;
    } catch (const ParseError&) {
        throw ParseError("truncated movie: tag runs past the end of the data");
    }
}

}  // namespace swf
