#pragma once
// Static text (DefineText) set in an embedded font.

#include <cstdint>
#include <string>
#include <vector>

#include "swf/writer/font.h"

namespace swf::writer {

struct TextLine {
    std::string text;            // characters the font lacks are left out
    std::int32_t x = 0, y = 0;   // baseline start, twips
    std::uint16_t height = 240;  // em height, twips
    Rgb color;
};

// The DefineText body for lines set in `font` (registered under fontId).
std::vector<std::uint8_t> DefineTextBody(std::uint16_t id, const FontBuilder& font, std::uint16_t fontId,
                                         const std::vector<TextLine>& lines);

// Width of a line in twips.
std::int32_t TextWidth(const FontBuilder& font, const std::string& text, std::uint16_t height);

}  // namespace swf::writer
