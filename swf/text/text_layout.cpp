#include "swf/text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf::text {

namespace {

struct Character {
    char32_t c;
    std::size_t run;
};

bool IsBreak(char32_t c) { return c == '\r' || c == '\n'; }

class Layouter {
public:
    Layouter(const FormattedText& runs, const LayoutBox& box, GlyphMetrics& metrics)
        : runs_(runs), box_(box), metrics_(metrics) {}

    TextLayout Run() {
        TextLayout layout;
        layout.bounds = box_.bounds;
        std::vector<Character> chars;
        for (std::size_t r = 0; r < runs_.size(); ++r) {
            for (const char32_t c : runs_[r].text) chars.push_back({c, r});
        }
        if (chars.empty()) return layout;

        // Paragraphs: up to each break; "\r\n" counts as one.
        std::vector<Paragraph> paragraphs;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= chars.size(); ++i) {
            if (i < chars.size() && !IsBreak(chars[i].c)) continue;
            // An empty paragraph takes the format of its break (or the last character).
            const std::size_t formatAt = std::min(start, chars.size() - 1);
            paragraphs.push_back({std::vector<Character>(chars.begin() + static_cast<std::ptrdiff_t>(start),
                                                         chars.begin() + static_cast<std::ptrdiff_t>(i)),
                                  chars[formatAt].run, start});
            if (i + 1 < chars.size() && chars[i].c == '\r' && chars[i + 1].c == '\n') ++i;
            start = i + 1;
        }

        double y = 0;
        double widest = 0;
        for (Paragraph& p : paragraphs) LayOutParagraph(p, layout, y, widest);
        if (!layout.lines.empty()) {
            const TextLine& last = layout.lines.back();
            layout.textHeight = last.top + last.ascent + last.descent;
        }
        for (const TextLine& line : layout.lines) layout.textWidth = std::max(layout.textWidth, line.width);

        AutoSizeBounds(layout, widest);
        PlaceLines(layout);
        return layout;
    }

private:
    struct Paragraph {
        std::vector<Character> chars;
        std::size_t formatRun;  // the paragraph's attributes come from this run
        std::size_t first;      // where it starts in the text
    };

    const TextFormat& FormatOf(std::size_t run) const { return runs_[run].format; }

    // Room for a line's glyphs, between the margins and indents.
    double LineOffset(const TextFormat& f, bool firstLine) const {
        return f.leftMargin + f.blockIndent + (firstLine ? f.indent : 0) + (f.bullet ? kBulletIndent : 0);
    }
    double Room(const Rect& bounds, const TextFormat& f, bool firstLine) const {
        return bounds.Width() - 2 * kGutter - f.rightMargin - LineOffset(f, firstLine);
    }

    double TabAdvance(const TextFormat& f, double x) const {
        for (const double stop : f.tabStops) {
            if (stop > x) return stop - x;
        }
        return (std::floor(x / kDefaultTabInterval) + 1) * kDefaultTabInterval - x;
    }

    // A character's advance where it sits on a line at `x`, with the kerning
    // that moves the next character of the same format.
    double AdvanceAt(const std::vector<Character>& chars, std::size_t i, double x) {
        const Character& ch = chars[i];
        const TextFormat& f = FormatOf(ch.run);
        if (ch.c == '\t') return TabAdvance(f, x);
        double advance = metrics_.Advance(f, ch.c);
        if (i + 1 < chars.size() && chars[i + 1].run == ch.run) advance += metrics_.Kerning(f, ch.c, chars[i + 1].c);
        return advance;
    }

    void LayOutParagraph(Paragraph& p, TextLayout& layout, double& y, double& widest) {
        const TextFormat& pf = FormatOf(p.formatRun);
        std::size_t pos = 0;
        bool firstLine = true;
        do {
            const double room =
                box_.wordWrap ? Room(box_.bounds, pf, firstLine) : std::numeric_limits<double>::infinity();
            std::size_t end = pos;
            std::size_t afterLastSpace = pos;  // a line may end just after a space
            double x = 0;
            std::vector<double> advances;
            while (end < p.chars.size()) {
                const double advance = AdvanceAt(p.chars, end, x);
                const bool space = p.chars[end].c == ' ';
                // Spaces hang past the edge; anything else that does not fit
                // moves on, breaking a word only when it has the line alone.
                if (!space && end > pos && x + advance > room) break;
                advances.push_back(advance);
                x += advance;
                ++end;
                if (space) afterLastSpace = end;
            }
            bool wrapped = end < p.chars.size();
            if (wrapped && afterLastSpace > pos) end = afterLastSpace;
            advances.resize(end - pos);

            TextLine line;
            MeasureLine(p, pos, end, line);
            line.top = y;
            line.baseline = y + line.ascent;
            line.begin = p.first + pos;
            line.end = p.first + end;
            y += line.height;
            double gx = 0;
            for (std::size_t i = pos; i < end; ++i) {
                line.glyphs.push_back({p.chars[i].c, p.chars[i].run, p.first + i, gx, advances[i - pos]});
                gx += advances[i - pos];
            }
            // Trailing spaces take no room (they hang past the edge).
            std::size_t visible = line.glyphs.size();
            while (visible > 0 && line.glyphs[visible - 1].character == ' ') --visible;
            line.width = visible == 0 ? 0 : line.glyphs[visible - 1].x + line.glyphs[visible - 1].advance;
            widest = std::max(widest, LineOffset(pf, firstLine) + line.width + pf.rightMargin);
            if (firstLine && pf.bullet) {
                const double advance = metrics_.Advance(pf, kBullet);
                line.glyphs.insert(line.glyphs.begin(),
                                   {kBullet, p.formatRun, kNoIndex, -kBulletIndent * 2 / 3, advance});
            }
            lineParagraph_.push_back({&pf, firstLine, wrapped});
            layout.lines.push_back(std::move(line));
            pos = end;
            firstLine = false;
        } while (pos < p.chars.size());
    }

    void MeasureLine(const Paragraph& p, std::size_t begin, std::size_t end, TextLine& line) {
        const TextFormat& pf = FormatOf(p.formatRun);
        if (begin == end) {
            const LineMetrics m = metrics_.Metrics(pf);
            line.ascent = m.ascent;
            line.descent = m.descent;
        }
        std::size_t lastRun = static_cast<std::size_t>(-1);
        for (std::size_t i = begin; i < end; ++i) {
            if (p.chars[i].run == lastRun) continue;
            lastRun = p.chars[i].run;
            const LineMetrics m = metrics_.Metrics(FormatOf(lastRun));
            line.ascent = std::max(line.ascent, m.ascent);
            line.descent = std::max(line.descent, m.descent);
        }
        line.height = std::max(0.0, line.ascent + line.descent + pf.leading);
    }

    void AutoSizeBounds(TextLayout& layout, double widest) const {
        Rect& b = layout.bounds;
        if (box_.autoSize == AutoSize::None) return;
        b.yMax = b.yMin + static_cast<std::int32_t>(std::ceil(layout.textHeight + 2 * kGutter));
        if (box_.wordWrap) return;  // a wrapping field keeps its width
        const auto width = static_cast<std::int32_t>(std::ceil(widest + 2 * kGutter));
        switch (box_.autoSize) {
        case AutoSize::None: break;
        case AutoSize::Left: b.xMax = b.xMin + width; break;
        case AutoSize::Right: b.xMin = b.xMax - width; break;
        case AutoSize::Center: {
            const std::int32_t centre2 = b.xMin + b.xMax;  // twice the centre
            b.xMin = (centre2 - width) / 2;
            b.xMax = b.xMin + width;
            break;
        }
        }
    }

    void PlaceLines(TextLayout& layout) {
        const Rect& b = layout.bounds;
        for (std::size_t i = 0; i < layout.lines.size(); ++i) {
            TextLine& line = layout.lines[i];
            const LineInfo& info = lineParagraph_[i];
            const TextFormat& pf = *info.format;
            const double room = Room(b, pf, info.firstLine);
            const double extra = std::max(0.0, room - line.width);
            double offset = 0;
            if (pf.align == TextAlign::Right) offset = extra;
            if (pf.align == TextAlign::Center) offset = extra / 2;
            if (pf.align == TextAlign::Justify && info.wrapped) Justify(line, extra);
            line.left = b.xMin + kGutter + LineOffset(pf, info.firstLine) + offset;
            line.top += b.yMin + kGutter;
            line.baseline += b.yMin + kGutter;
            for (PlacedGlyph& g : line.glyphs) g.x += line.left;
        }
    }

    // Spreads the spare room over the spaces inside the line.
    static void Justify(TextLine& line, double extra) {
        std::size_t visible = line.glyphs.size();
        while (visible > 0 && line.glyphs[visible - 1].character == ' ') --visible;
        std::size_t spaces = 0;
        for (std::size_t i = 0; i < visible; ++i) spaces += line.glyphs[i].character == ' ';
        if (spaces == 0) return;
        const double each = extra / static_cast<double>(spaces);
        double shift = 0;
        for (std::size_t i = 0; i < visible; ++i) {
            line.glyphs[i].x += shift;
            if (line.glyphs[i].character == ' ') shift += each;
        }
        line.width += extra;
    }

    struct LineInfo {
        const TextFormat* format;
        bool firstLine;
        bool wrapped;
    };

    const FormattedText& runs_;
    const LayoutBox& box_;
    GlyphMetrics& metrics_;
    std::vector<LineInfo> lineParagraph_;
};

double VisibleHeight(const TextLayout& layout) { return layout.bounds.Height() - 2 * kGutter; }

}  // namespace

TextLayout LayOutText(const FormattedText& runs, const LayoutBox& box, GlyphMetrics& metrics) {
    return Layouter(runs, box, metrics).Run();
}

int MaxScroll(const TextLayout& layout) {
    const auto& lines = layout.lines;
    if (lines.empty()) return 1;
    // The first line from which the rest (the last line without its leading) fits.
    const double bottom = lines.back().top + lines.back().ascent + lines.back().descent;
    const double visible = VisibleHeight(layout);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (bottom - lines[i].top <= visible) return static_cast<int>(i) + 1;
    }
    return static_cast<int>(lines.size());
}

int BottomScroll(const TextLayout& layout, int scroll) {
    const auto& lines = layout.lines;
    if (lines.empty()) return 1;
    const std::size_t first = static_cast<std::size_t>(std::clamp(scroll, 1, static_cast<int>(lines.size())) - 1);
    const double limit = lines[first].top + VisibleHeight(layout);
    std::size_t last = first;
    for (std::size_t i = first + 1; i < lines.size(); ++i) {
        if (lines[i].top + lines[i].ascent + lines[i].descent > limit) break;
        last = i;
    }
    return static_cast<int>(last) + 1;
}

double MaxHScroll(const TextLayout& layout) {
    double widest = 0;
    for (const TextLine& line : layout.lines) widest = std::max(widest, line.left - layout.bounds.xMin + line.width);
    return std::max(0.0, widest + kGutter - layout.bounds.Width());
}

}  // namespace swf::text
