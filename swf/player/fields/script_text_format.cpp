#include "swf/player/fields/script_text_format.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "swf/model/units.h"
#include "swf/text/ascii_case.h"

namespace swf {

namespace {

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "right";
    case TextAlign::Center: return "center";
    case TextAlign::Justify: return "justify";
    case TextAlign::Left: break;
    }
    return "left";
}

}  // namespace

double ColorNumber(Rgba c) { return static_cast<double>((c.r << 16) | (c.g << 8) | c.b); }

Rgba ColorFrom(double n, std::uint8_t alpha) {
    // Wrapped to 32 bits as scripts convert numbers to integers; huge values
    // must not overflow the conversion.
    const double wrapped = std::isfinite(n) ? std::fmod(std::trunc(n), 4294967296.0) : 0;
    const auto v = static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped));
    return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v),
                alpha};
}

ScriptTextFormat ScriptFormatOf(const text::TextFormat& f) {
    ScriptTextFormat s;
    s.font = f.face;
    s.size = f.size / kTwipsPerPixel;
    s.color = ColorNumber(f.color);
    s.bold = f.bold;
    s.italic = f.italic;
    s.underline = f.underline;
    s.url = f.url;
    s.target = f.target;
    s.align = AlignName(f.align);
    s.leftMargin = f.leftMargin / kTwipsPerPixel;
    s.rightMargin = f.rightMargin / kTwipsPerPixel;
    s.indent = f.indent / kTwipsPerPixel;
    s.blockIndent = f.blockIndent / kTwipsPerPixel;
    s.leading = f.leading / kTwipsPerPixel;
    std::vector<double> tabs;
    for (double t : f.tabStops) tabs.push_back(t / kTwipsPerPixel);
    s.tabStops = std::move(tabs);
    s.bullet = f.bullet;
    return s;
}

template <typename T>
void KeepIfSame(std::optional<T>& a, const std::optional<T>& b) {
    if (a != b) a.reset();
}

void KeepCommonMembers(ScriptTextFormat& a, const ScriptTextFormat& b) {
    KeepIfSame(a.font, b.font);
    KeepIfSame(a.url, b.url);
    KeepIfSame(a.target, b.target);
    KeepIfSame(a.align, b.align);
    KeepIfSame(a.size, b.size);
    KeepIfSame(a.color, b.color);
    KeepIfSame(a.leftMargin, b.leftMargin);
    KeepIfSame(a.rightMargin, b.rightMargin);
    KeepIfSame(a.indent, b.indent);
    KeepIfSame(a.leading, b.leading);
    KeepIfSame(a.blockIndent, b.blockIndent);
    KeepIfSame(a.bold, b.bold);
    KeepIfSame(a.italic, b.italic);
    KeepIfSame(a.underline, b.underline);
    KeepIfSame(a.bullet, b.bullet);
    KeepIfSame(a.tabStops, b.tabStops);
}

void ApplyCharacterFormat(const ScriptTextFormat& s, text::TextFormat& f) {
    if (s.font) f.face = *s.font;
    if (s.size && *s.size >= 0) f.size = *s.size * kTwipsPerPixel;
    if (s.color) f.color = ColorFrom(*s.color, f.color.a);
    if (s.bold) f.bold = *s.bold;
    if (s.italic) f.italic = *s.italic;
    if (s.underline) f.underline = *s.underline;
    if (s.url) f.url = *s.url;
    if (s.target) f.target = *s.target;
}

void ApplyParagraphFormat(const ScriptTextFormat& s, text::TextFormat& f) {
    if (s.align) {
        const std::string a = text::AsciiLower(*s.align);
        if (a == "left")
            f.align = TextAlign::Left;
        else if (a == "right")
            f.align = TextAlign::Right;
        else if (a == "center")
            f.align = TextAlign::Center;
        else if (a == "justify")
            f.align = TextAlign::Justify;
    }
    if (s.leftMargin && *s.leftMargin >= 0) f.leftMargin = *s.leftMargin * kTwipsPerPixel;
    if (s.rightMargin && *s.rightMargin >= 0) f.rightMargin = *s.rightMargin * kTwipsPerPixel;
    if (s.indent) f.indent = *s.indent * kTwipsPerPixel;
    if (s.blockIndent && *s.blockIndent >= 0) f.blockIndent = *s.blockIndent * kTwipsPerPixel;
    if (s.leading) f.leading = *s.leading * kTwipsPerPixel;
    if (s.bullet) f.bullet = *s.bullet;
    if (s.tabStops) {
        f.tabStops.clear();
        for (double t : *s.tabStops) f.tabStops.push_back(t * kTwipsPerPixel);
    }
}

bool HasParagraphFormat(const ScriptTextFormat& s) {
    return s.align || s.leftMargin || s.rightMargin || s.indent || s.blockIndent || s.leading || s.bullet || s.tabStops;
}

}  // namespace swf
