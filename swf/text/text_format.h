#pragma once
// Formatted text as fields hold it: runs of characters sharing one format.
// Lengths are twips. Paragraph attributes (align, margins, indents, leading,
// tab stops, bullet) are read from the first character of each paragraph.

#include <string>
#include <vector>

#include "swf/model/color.h"
#include "swf/model/edit_text.h"

namespace swf {
struct FontDefinition;
}

namespace swf::text {

struct TextFormat {
    // Character attributes.
    std::string face = "Times New Roman";
    double size = 240;  // em height
    Rgba color{0, 0, 0, 255};
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::string url;  // a link, kept for click handling
    std::string target;
    // The embedded font the characters are drawn with; nullptr for a device font.
    const FontDefinition* embeddedFont = nullptr;

    // Paragraph attributes.
    TextAlign align = TextAlign::Left;
    double indent = 0;       // first line of a paragraph
    double blockIndent = 0;  // every line of a paragraph
    double leftMargin = 0;
    double rightMargin = 0;
    double leading = 0;            // extra space below each line, may be negative
    std::vector<double> tabStops;  // from the line's left edge
    bool bullet = false;

    bool operator==(const TextFormat&) const = default;
};

struct FormattedRun {
    std::u32string text;  // '\r' and '\n' end paragraphs
    TextFormat format;
};

using FormattedText = std::vector<FormattedRun>;

// The characters of all runs, one after another.
std::u32string PlainText(const FormattedText& runs);

// Appends text in a format, joining it to the last run when the formats match.
void AppendRun(FormattedText& runs, std::u32string text, const TextFormat& format);

// The characters [begin, end) of the runs (clamped), each in its own format.
FormattedText SliceRuns(const FormattedText& runs, std::size_t begin, std::size_t end);

}  // namespace swf::text
