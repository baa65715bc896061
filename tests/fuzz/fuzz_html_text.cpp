// The HTML text parser on arbitrary bytes: parse, write the runs back as HTML
// and read that again, and lay the runs out in a small wrapping box; caret
// positions and clicks map into the text; the bytes as a restrict text.
#include <cstdint>
#include <string>

#include "swf/text/caret_geometry.h"
#include "swf/text/character_restriction.h"
#include "swf/text/html_text.h"
#include "swf/text/text_layout.h"
#include "swf/base/utf8.h"

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
        // Every text position has a line and a place on it; clicks anywhere land inside the text.
        const std::size_t length = swf::text::PlainText(runs).size();
        for (const auto& line : layout.lines) {
            if (line.begin > line.end || line.end > length) __builtin_trap();
        }
        for (std::size_t i = 0; i <= length && i < 512; ++i) {
            const std::size_t line = swf::text::LineOfIndex(layout, i);
            if (!layout.lines.empty() && line >= layout.lines.size()) __builtin_trap();
            if (swf::text::IndexOnLine(layout, line, swf::text::CaretX(layout, line, i)) > length) __builtin_trap();
        }
        for (const double y : {-100.0, 50.0, 400.0, 5000.0}) {
            if (swf::text::IndexAt(layout, {static_cast<double>(size % 2500), y}) > length) __builtin_trap();
            const std::size_t glyph = swf::text::GlyphAt(layout, {static_cast<double>(size % 2500), y});
            if (glyph != swf::text::kNoIndex && glyph >= length) __builtin_trap();
        }
    }
    const swf::text::CharacterRestriction restriction(swf::base::DecodeUtf8(html, swf::base::BadBytes::Replace));
    for (char32_t c = 0; c < 0x80; ++c) restriction.Admit(c);
    return 0;
}
