#pragma once
// Measures text for TextFormat.getTextExtent: the player lays the text out
// with its fonts; without a measurer the method answers undefined.

#include <optional>
#include <string>

#include "swf/actions/text_field_target.h"

namespace swf {

// Pixels. `width` and `height` cover the text only; a field showing it needs
// the 2-pixel gutter on every side as well.
struct TextExtent {
    double width = 0;
    double height = 0;
    double ascent = 0;   // of the first line, above its baseline
    double descent = 0;  // of the first line, below its baseline
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // `text` (UTF-8, plain) in `format`; members the format leaves unset take
    // a new field's defaults. With `wrapWidth` (pixels) lines wrap at it.
    virtual TextExtent Measure(const ScriptTextFormat& format, const std::string& text,
                               std::optional<double> wrapWidth) = 0;
};

}  // namespace swf
