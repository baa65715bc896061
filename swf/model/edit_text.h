#pragma once
// A dynamic or input text field as the movie defines it (DefineEditText).

#include <cstdint>
#include <optional>
#include <string>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"

namespace swf {

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditTextDefinition : Character {
    static constexpr CharacterKind kKind = CharacterKind::EditText;
    CharacterKind Kind() const override { return kKind; }

    Rect bounds;  // the field's box in its own space, twips
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false;  // draw with the embedded font's glyphs, else a device font

    std::optional<std::uint16_t> fontId;
    std::string fontClass;           // a font named by class, when set
    std::uint16_t fontHeight = 240;  // twips (12 px when the field names no font)
    std::optional<Rgba> textColor;
    std::optional<std::uint16_t> maxLength;

    bool hasLayout = false;
    TextAlign align = TextAlign::Left;
    std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;  // twips
    std::int16_t leading = 0;                                   // twips, may be negative

    std::string variableName;                // UTF-8
    std::optional<std::string> initialText;  // UTF-8; HTML when `html`
};

}  // namespace swf
