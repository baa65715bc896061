#pragma once
// A dynamic or input text field (DefineEditText).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/writer/records.h"

namespace swf::writer {

enum class FieldAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditTextField {
    Rect bounds;  // twips
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false;
    std::optional<std::uint16_t> fontId;
    std::string fontClass;  // written when not empty
    std::uint16_t fontHeight = 240;
    std::optional<Rgba> textColor;
    std::optional<std::uint16_t> maxLength;
    bool hasLayout = false;
    FieldAlign align = FieldAlign::Left;
    std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    std::int16_t leading = 0;
    std::string variableName;
    std::optional<std::string> initialText;
};

std::vector<std::uint8_t> DefineEditTextBody(std::uint16_t id, const EditTextField& field);

}  // namespace swf::writer
