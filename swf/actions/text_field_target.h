#pragma once
// What scripts see of a dynamic or input text field beyond its display
// properties: the TextField members and methods, in plain types so that the
// VM needs nothing of the text engine. The player's fields implement it.

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace swf {

// A TextFormat as scripts see it. Unset members read as null: not given (to
// setTextFormat), or not the same over the whole range (from getTextFormat).
// Lengths and sizes are pixels (points), colours 0xRRGGBB.
struct ScriptTextFormat {
    std::optional<std::string> font, url, target, align;
    std::optional<double> size, color, leftMargin, rightMargin, indent, leading, blockIndent;
    std::optional<bool> bold, italic, underline, bullet;
    std::optional<std::vector<double>> tabStops;
};

enum class TextFieldMember {
    Text,
    HtmlText,
    Html,
    TextColor,
    AutoSize,
    WordWrap,
    Multiline,
    Selectable,
    Border,
    BorderColor,
    Background,
    BackgroundColor,
    EmbedFonts,
    Password,
    MaxChars,
    Restrict,
    Type,
    Variable,
    Length,
    TextWidth,
    TextHeight,
    Scroll,
    MaxScroll,
    HScroll,
    MaxHScroll,
    BottomScroll,
    TabIndex,
};

// A member's value: null, a flag, a number or a string (UTF-8).
using TextFieldValue = std::variant<std::monostate, bool, double, std::string>;

class TextFieldTarget {
public:
    virtual ~TextFieldTarget() = default;
    virtual TextFieldValue GetTextMember(TextFieldMember member) = 0;
    // Values arrive in the member's own type (the VM converts them); null
    // where the member allows it (maxChars, restrict, variable).
    virtual void SetTextMember(TextFieldMember member, const TextFieldValue& value) = 0;
    // Character indices count the characters of `text`; ranges are clamped.
    virtual ScriptTextFormat GetTextFormat(std::size_t begin, std::size_t end) = 0;
    virtual void SetTextFormat(std::size_t begin, std::size_t end, const ScriptTextFormat& format) = 0;
    virtual ScriptTextFormat GetNewTextFormat() = 0;
    virtual void SetNewTextFormat(const ScriptTextFormat& format) = 0;
    virtual void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) = 0;
    virtual void ReplaceSel(const std::string& text) = 0;
    // Fields made by script leave their timeline; others stay.
    virtual void RemoveTextField() = 0;
    virtual int ScriptDepth() const = 0;
};

}  // namespace swf
