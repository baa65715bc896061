#include "swf/player/fields/text_extent.h"

#include <cmath>

#include "swf/model/units.h"
#include "swf/player/fields/script_text_format.h"
#include "swf/text/text_layout.h"
#include "swf/base/utf8.h"

namespace swf {

TextExtent TextExtentMeasurer::Measure(const ScriptTextFormat& format, const std::string& text,
                                       std::optional<double> wrapWidth) {
    text::TextFormat f;
    ApplyCharacterFormat(format, f);
    ApplyParagraphFormat(format, f);
    text::FormattedText runs;
    text::AppendRun(runs, base::DecodeUtf8(text, base::BadBytes::Replace), f);

    text::LayoutBox box;
    if (wrapWidth) {
        box.wordWrap = true;
        box.bounds.xMax = static_cast<std::int32_t>(std::ceil(*wrapWidth * kTwipsPerPixel + 2 * text::kGutter));
    }
    const text::TextLayout layout = text::LayOutText(runs, box, fonts_);
    // An empty text still has the format's line metrics.
    const text::LineMetrics first = layout.lines.empty()
                                        ? fonts_.Metrics(f)
                                        : text::LineMetrics{layout.lines.front().ascent, layout.lines.front().descent};
    return {layout.textWidth / kTwipsPerPixel, layout.textHeight / kTwipsPerPixel, first.ascent / kTwipsPerPixel,
            first.descent / kTwipsPerPixel};
}

}  // namespace swf
