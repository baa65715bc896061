#pragma once
// TextFormat.getTextExtent's measurements: the text laid out as a new field
// would lay it out, with the movie's device fonts.

#include "swf/actions/text_measurer.h"
#include "swf/player/fields/text_fonts.h"

namespace swf {

class TextExtentMeasurer final : public TextMeasurer {
public:
    explicit TextExtentMeasurer(TextFonts& fonts) : fonts_(fonts) {}

    TextExtent Measure(const ScriptTextFormat& format, const std::string& text,
                       std::optional<double> wrapWidth) override;

private:
    TextFonts& fonts_;
};

}  // namespace swf
