#include "swf/text/text_format.h"

#include <algorithm>

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

FormattedText SliceRuns(const FormattedText& runs, std::size_t begin, std::size_t end) {
    FormattedText out;
    std::size_t at = 0;
    for (const FormattedRun& run : runs) {
        const std::size_t runEnd = at + run.text.size();
        if (begin < runEnd && end > at) {
            const std::size_t from = std::max(begin, at) - at;
            const std::size_t to = std::min(end, runEnd) - at;
            AppendRun(out, run.text.substr(from, to - from), run.format);
        }
        at = runEnd;
    }
    return out;
}

}  // namespace swf::text
