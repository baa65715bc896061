// The HTML text parser on arbitrary bytes: parse, write the runs back as HTML
// and read that again, and lay the runs out in a small wrapping box.
#include <cstdint>
#include <string>

#include "swf/text/html_text.h"
#include "swf/text/text_layout.h"

namespace {

class FixedMetrics final : public swf::text::GlyphMetrics {
public:
    double Advance(const swf::text::TextFormat& f, char32_t c) override { return f.size * (0.3 + (c % 7) * 0.1); }
    double Kerning(const swf::text::TextFormat& f, char32_t left, char32_t right) override {
        return (left + right) % 5 == 0 ? -f.size / 20 : 0;
    }
    swf::text::LineMetrics Metrics(const swf::text::TextFormat& f) override { return {f.size * 0.8, f.size * 0.2}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html(reinterpret_cast<const char*>(data), size);
    swf::text::TextFormat base;
    const swf::text::FormattedText runs = swf::text::ParseHtmlText(html, base);
    const swf::text::FormattedText again = swf::text::ParseHtmlText(swf::text::FormatHtmlText(runs), base);
    // Written back and read again, the characters are the same (the final
    // paragraph break aside, which the writing keeps as an empty paragraph).
    if (swf::text::PlainText(again).size() > swf::text::PlainText(runs).size() + 1) __builtin_trap();
    FixedMetrics metrics;
    for (const bool wrap : {false, true}) {
        const auto layout = swf::text::LayOutText(runs, {{0, 2000, 0, 1000}, wrap, swf::text::AutoSize::Left}, metrics);
        swf::text::MaxScroll(layout);
        swf::text::BottomScroll(layout, 2);
        swf::text::MaxHScroll(layout);
    }
    return 0;
}
