#include "swf/io/edit_text_parser.h"

#include "swf/io/bit_reader.h"
#include "swf/io/records.h"
#include "swf/io/swf_string.h"

namespace swf {

std::shared_ptr<EditTextDefinition> ParseDefineEditText(std::span<const std::uint8_t> body, int version) {
    BitReader in(body);
    auto field = std::make_shared<EditTextDefinition>();
    field->id = in.ReadU16();
    field->bounds = ReadRect(in);
    const bool hasText = in.ReadFlag();
    field->wordWrap = in.ReadFlag();
    field->multiline = in.ReadFlag();
    field->password = in.ReadFlag();
    field->readOnly = in.ReadFlag();
    const bool hasTextColor = in.ReadFlag();
    const bool hasMaxLength = in.ReadFlag();
    const bool hasFont = in.ReadFlag();
    const bool hasFontClass = in.ReadFlag();
    field->autoSize = in.ReadFlag();
    field->hasLayout = in.ReadFlag();
    field->noSelect = in.ReadFlag();
    field->border = in.ReadFlag();
    field->wasStatic = in.ReadFlag();
    field->html = in.ReadFlag();
    field->useOutlines = in.ReadFlag();
    if (hasFont) field->fontId = in.ReadU16();
    if (hasFontClass) field->fontClass = DecodeMovieString(in.ReadString(), version);
    if (hasFont || hasFontClass) field->fontHeight = in.ReadU16();
    if (hasTextColor) field->textColor = ReadRgba(in);
    if (hasMaxLength) field->maxLength = in.ReadU16();
    if (field->hasLayout) {
        const std::uint8_t align = in.ReadU8();
        field->align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        field->leftMargin = in.ReadU16();
        field->rightMargin = in.ReadU16();
        field->indent = in.ReadU16();
        field->leading = in.ReadS16();
    }
    field->variableName = DecodeMovieString(in.ReadString(), version);
    if (hasText) field->initialText = DecodeMovieString(in.ReadString(), version);
    return field;
}

}  // namespace swf
