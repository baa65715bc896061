#include "swf/text/text_format.h"

namespace swf::text {

std::u32string PlainText(const FormattedText& runs) {
    std::u32string out;
    for (const FormattedRun& run : runs) out += run.text;
    return out;
}

void AppendRun(FormattedText& runs, std::u32string text, const TextFormat& format) {
    if (text.empty()) return;
    if (!runs.empty() && runs.back().format == format) {
        runs.back().text += text;
    } else {
        runs.push_back({std::move(text), format});
    }
}

}  // namespace swf::text
