#pragma once
// Lays formatted text out in a field's box: lines broken at spaces (when the
// field wraps) and at paragraph ends, aligned and indented, with the 2-pixel
// gutter on every side. Everything is in the field's own space, twips.

#include <cstddef>
#include <vector>

#include "swf/model/geometry.h"
#include "swf/text/text_format.h"

namespace swf::text {

inline constexpr double kGutter = 40;         // 2 px between the box and the text
inline constexpr double kBulletIndent = 360;  // text of a list item starts this far right
inline constexpr double kDefaultTabInterval = 720;
inline constexpr char32_t kBullet = 0x2022;

struct LineMetrics {
    double ascent = 0;
    double descent = 0;
};

// What layout asks about the fonts the runs name (twips at the format's size).
class GlyphMetrics {
public:
    virtual ~GlyphMetrics() = default;
    virtual double Advance(const TextFormat& format, char32_t c) = 0;
    // Added between two neighbouring characters of one format.
    virtual double Kerning(const TextFormat& format, char32_t left, char32_t right) = 0;
    virtual LineMetrics Metrics(const TextFormat& format) = 0;
};

inline constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);

struct PlacedGlyph {
    char32_t character = 0;
    std::size_t run = 0;           // the run whose format draws it
    std::size_t index = kNoIndex;  // in the text (kNoIndex for a list item's bullet)
    double x = 0;                  // origin on the baseline
    double advance = 0;
};

struct TextLine {
    double top = 0;  // unscrolled
    double baseline = 0;
    double height = 0;  // ascent + descent + leading
    double ascent = 0;
    double descent = 0;
    double left = 0;        // where the first glyph starts
    double width = 0;       // of the glyphs, trailing spaces left out
    std::size_t begin = 0;  // the text's characters [begin, end) on this line, its break left out
    std::size_t end = 0;
    std::vector<PlacedGlyph> glyphs;  // a list item's bullet included; line breaks left out
};

enum class AutoSize { None, Left, Center, Right };

struct LayoutBox {
    Rect bounds;
    bool wordWrap = false;
    AutoSize autoSize = AutoSize::None;
};

struct TextLayout {
    std::vector<TextLine> lines;
    Rect bounds;            // the box, grown or shrunk around the text when auto-sized
    double textWidth = 0;   // the widest line
    double textHeight = 0;  // all lines, without the last one's leading
};

TextLayout LayOutText(const FormattedText& runs, const LayoutBox& box, GlyphMetrics& metrics);

// Scrolling, with lines counted from 1 as scripts see them: the last value
// `scroll` can take so that the last line shows, the last line wholly shown
// from `scroll`, and how far the text can scroll sideways (twips).
int MaxScroll(const TextLayout& layout);
int BottomScroll(const TextLayout& layout, int scroll);
double MaxHScroll(const TextLayout& layout);

}  // namespace swf::text
