#include "swf/io/tag_reader.h"

namespace swf {

std::optional<TagRecord> TagReader::Next() {
    if (cutShort_ || in_.AtEnd()) return std::nullopt;
    const auto cut = [this](std::optional<std::uint16_t> code) -> std::optional<TagRecord> {
        cutShort_ = true;
        cutShortCode_ = code;
        return std::nullopt;
    };
    if (in_.Remaining() < 2) return cut(std::nullopt);
    const std::uint16_t codeAndLength = in_.ReadU16();
    TagRecord tag;
    tag.code = static_cast<std::uint16_t>(codeAndLength >> 6);
    std::uint32_t length = codeAndLength & 0x3f;
    if (length == 0x3f) {
        if (in_.Remaining() < 4) return cut(tag.code);
        length = in_.ReadU32();
    }
    if (length > in_.Remaining()) return cut(tag.code);
    tag.body = in_.ReadBytes(length);
    return tag;
}

}  // namespace swf
