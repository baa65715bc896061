#include "swf/text/html_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "swf/model/units.h"
#include "swf/base/utf8.h"

namespace swf::text {

namespace {

// Deeper nesting than this keeps the format it has (a hostile field's tags
// cannot grow the stack without bound).
constexpr std::size_t kMaxNesting = 100;
// Longest entity name or number looked at after '&'.
constexpr std::size_t kMaxEntityLength = 10;
constexpr double kMaxFontPixels = 1000;

struct Attribute {
    std::string name;  // lower case
    std::string value;
};

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::vector<Attribute> attributes;

    const std::string* Find(const char* attribute) const {
        for (const Attribute& a : attributes) {
            if (a.name == attribute) return &a.value;
        }
        return nullptr;
    }
};

char32_t Lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
bool IsSpace(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameChar(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == ':';
}

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return s;
}

char32_t ReadEntity(const std::u32string& s, std::size_t at, std::size_t* length);

// Attribute values may hold entities too.
std::u32string DecodeEntities(const std::u32string& value) {
    std::u32string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::size_t length = 0;
        const char32_t entity = value[i] == '&' ? ReadEntity(value, i, &length) : 0;
        if (entity != 0) {
            out.push_back(entity);
            i += length;
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

// Reads the tag between '<' and '>' (exclusive); false when it is not one.
bool ReadTag(const std::u32string& s, std::size_t begin, std::size_t end, Tag* tag) {
    std::size_t i = begin;
    if (i < end && s[i] == '/') {
        tag->closing = true;
        ++i;
    }
    std::string name;
    while (i < end && IsNameChar(s[i])) name.push_back(static_cast<char>(Lower(s[i++])));
    if (name.empty()) return false;
    tag->name = std::move(name);
    while (i < end) {
        while (i < end && (IsSpace(s[i]) || s[i] == '/')) ++i;
        std::string attribute;
        while (i < end && IsNameChar(s[i])) attribute.push_back(static_cast<char>(Lower(s[i++])));
        if (attribute.empty()) {
            if (i < end) ++i;  // a stray character: skip it
            continue;
        }
        while (i < end && IsSpace(s[i])) ++i;
        if (i >= end || s[i] != '=') continue;  // an attribute without a value means nothing here
        ++i;
        while (i < end && IsSpace(s[i])) ++i;
        std::u32string value;
        if (i < end && (s[i] == '"' || s[i] == '\'')) {
            const char32_t quote = s[i++];
            while (i < end && s[i] != quote) value.push_back(s[i++]);
            if (i < end) ++i;
        } else {
            while (i < end && !IsSpace(s[i])) value.push_back(s[i++]);
        }
        tag->attributes.push_back({std::move(attribute), swf::base::EncodeUtf8(DecodeEntities(value))});
    }
    return true;
}

// The character an entity stands for; `length` gets the characters read
// after '&' (through ';'). Zero when there is no entity there.
char32_t ReadEntity(const std::u32string& s, std::size_t at, std::size_t* length) {
    const std::size_t limit = std::min(s.size(), at + 1 + kMaxEntityLength + 1);
    std::size_t semicolon = at + 1;
    while (semicolon < limit && s[semicolon] != ';') ++semicolon;
    if (semicolon >= limit) return 0;
    std::string name;
    for (std::size_t i = at + 1; i < semicolon; ++i) {
        if (s[i] > 0x7F) return 0;
        name.push_back(static_cast<char>(s[i]));
    }
    *length = semicolon - at;
    if (name == "lt") return '<';
    if (name == "gt") return '>';
    if (name == "amp") return '&';
    if (name == "quot") return '"';
    if (name == "apos") return '\'';
    if (name == "nbsp") return 0xA0;
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const char* first = name.data() + (hex ? 2 : 1);
        const char* last = name.data() + name.size();
        std::uint32_t code = 0;
        const auto result = std::from_chars(first, last, code, hex ? 16 : 10);
        if (result.ec != std::errc() || result.ptr != last || code == 0 || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return 0;
        }
        return code;
    }
    return 0;
}

bool ParseNumber(const std::string& text, double* value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && text[i] == '+') ++i;
    const char* first = text.data() + i;
    const auto result = std::from_chars(first, text.data() + text.size(), *value);
    return result.ec == std::errc() && std::isfinite(*value);
}

bool ParseColor(const std::string& text, Rgba* color) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '#')
        ++i;
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        i = 2;
    std::uint32_t rgb = 0;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data() + i, last, rgb, 16);
    if (result.ec != std::errc() || i == text.size()) return false;
    *color = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb),
              color->a};
    return true;
}

// Pixels in the markup to twips, kept to a sane range.
double PixelsToTwips(double pixels) { return std::clamp(pixels, -kMaxFontPixels, kMaxFontPixels) * kTwipsPerPixel; }

void ApplyFontTag(const Tag& tag, TextFormat& format) {
    if (const std::string* face = tag.Find("face")) {
        // A list of faces: the first one names the font.
        std::string first = face->substr(0, face->find(','));
        while (!first.empty() && first.back() == ' ') first.pop_back();
        while (!first.empty() && first.front() == ' ') first.erase(first.begin());
        if (!first.empty()) {
            format.face = first;
            format.embeddedFont = nullptr;
        }
    }
    if (const std::string* size = tag.Find("size")) {
        double value = 0;
        if (ParseNumber(*size, &value)) {
            const bool relative = !size->empty() && (size->front() == '+' || size->front() == '-');
            const double pixels = relative ? format.size / kTwipsPerPixel + value : value;
            format.size = std::clamp(pixels, 1.0, kMaxFontPixels) * kTwipsPerPixel;
        }
    }
    if (const std::string* color = tag.Find("color")) ParseColor(*color, &format.color);
}

void ApplyTextFormatTag(const Tag& tag, TextFormat& format) {
    const std::pair<const char*, double TextFormat::*> lengths[] = {
        {"blockindent", &TextFormat::blockIndent}, {"indent", &TextFormat::indent},
        {"leading", &TextFormat::leading},         {"leftmargin", &TextFormat::leftMargin},
        {"rightmargin", &TextFormat::rightMargin},
    };
    for (const auto& [name, member] : lengths) {
        double value = 0;
        if (const std::string* text = tag.Find(name); text != nullptr && ParseNumber(*text, &value)) {
            format.*member = PixelsToTwips(value);
        }
    }
    if (const std::string* stops = tag.Find("tabstops")) {
        format.tabStops.clear();
        std::string number;
        for (std::size_t i = 0; i <= stops->size(); ++i) {
            const char c = i < stops->size() ? (*stops)[i] : ',';
            if (c == ',' || c == ']') {
                double value = 0;
                if (ParseNumber(number, &value) && format.tabStops.size() < 64) {
                    format.tabStops.push_back(PixelsToTwips(value));
                }
                number.clear();
            } else if (c != '[') {
                number.push_back(c);
            }
        }
    }
}

TextAlign ParseAlign(const std::string& value, TextAlign current) {
    const std::string v = LowerAscii(value);
    if (v == "left") return TextAlign::Left;
    if (v == "right") return TextAlign::Right;
    if (v == "center") return TextAlign::Center;
    if (v == "justify") return TextAlign::Justify;
    return current;
}

class HtmlReader {
public:
    explicit HtmlReader(const TextFormat& base) { stack_.push_back({"", base}); }

    FormattedText Read(const std::u32string& s) {
        std::size_t i = 0;
        while (i < s.size()) {
            const char32_t c = s[i];
            if (c == '<') {
                if (s.compare(i, 4, U"<!--") == 0) {
                    const std::size_t close = s.find(U"-->", i + 4);
                    i = close == std::u32string::npos ? s.size() : close + 3;
                    continue;
                }
                const std::size_t close = s.find('>', i + 1);
                Tag tag;
                if (close != std::u32string::npos && ReadTag(s, i + 1, close, &tag)) {
                    Handle(tag);
                    i = close + 1;
                    continue;
                }
                Text(U"<");  // not a tag: the character stands for itself
                ++i;
            } else if (c == '&') {
                std::size_t length = 0;
                const char32_t entity = ReadEntity(s, i, &length);
                if (entity != 0) {
                    Text(std::u32string(1, entity));
                    i += length + 1;
                } else {
                    Text(U"&");
                    ++i;
                }
            } else {
                std::size_t end = i;
                while (end < s.size() && s[end] != '<' && s[end] != '&') ++end;
                Text(s.substr(i, end - i));
                i = end;
            }
        }
        return std::move(runs_);
    }

private:
    struct Level {
        std::string tag;
        TextFormat format;
    };

    const TextFormat& Current() const { return stack_.back().format; }

    void Text(const std::u32string& text) {
        if (text.empty()) return;
        FlushBreak();
        AppendRun(runs_, text, Current());
        const char32_t last = text.back();
        atParagraphStart_ = last == '\r' || last == '\n';
    }

    void Break() {
        AppendRun(runs_, U"\r", Current());
        atParagraphStart_ = true;
        pendingBreak_ = false;
    }

    // A closed paragraph ends with a break only when something follows it.
    void FlushBreak() {
        if (pendingBreak_) Break();
    }

    // Starts a new paragraph unless one has just started.
    void NewParagraph() {
        if (pendingBreak_) {
            Break();
        } else if (!atParagraphStart_) {
            Break();
        }
    }

    void Push(const std::string& tag, const TextFormat& format) {
        if (stack_.size() >= kMaxNesting) {
            ++ignoredDepth_;
            return;
        }
        stack_.push_back({tag, format});
    }

    // Closes the innermost open tag of that name and those opened inside it.
    // False when no such tag is open.
    bool Pop(const std::string& tag) {
        if (ignoredDepth_ > 0) {  // closes one of the tags past the nesting limit
            --ignoredDepth_;
            return true;
        }
        for (std::size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i].tag == tag) {
                stack_.resize(i);
                return true;
            }
        }
        return false;
    }

    void Handle(const Tag& tag) {
        const std::string& name = tag.name;
        if (tag.closing) {
            if (name == "p" || name == "li") {
                if (Pop(name)) pendingBreak_ = true;
            } else if (name == "b" || name == "i" || name == "u" || name == "font" || name == "a" ||
                       name == "textformat" || name == "span") {
                Pop(name);
            }
            return;
        }
        if (name == "br") {
            FlushBreak();
            Break();
            return;
        }
        if (stack_.size() >= kMaxNesting && name != "p" && name != "li") {
            ++ignoredDepth_;
            return;
        }
        TextFormat format = Current();
        if (name == "p") {
            NewParagraph();
            if (const std::string* align = tag.Find("align")) format.align = ParseAlign(*align, format.align);
        } else if (name == "li") {
            NewParagraph();
            format.bullet = true;
        } else if (name == "b") {
            format.bold = true;
        } else if (name == "i") {
            format.italic = true;
        } else if (name == "u") {
            format.underline = true;
        } else if (name == "font") {
            ApplyFontTag(tag, format);
        } else if (name == "a") {
            if (const std::string* href = tag.Find("href")) format.url = *href;
            if (const std::string* target = tag.Find("target")) format.target = *target;
        } else if (name == "textformat") {
            ApplyTextFormatTag(tag, format);
        } else if (name != "span") {
            return;  // unknown tags change nothing
        }
        Push(name, format);
    }

    std::vector<Level> stack_;
    std::size_t ignoredDepth_ = 0;
    FormattedText runs_;
    bool atParagraphStart_ = true;
    bool pendingBreak_ = false;
};

const char* AlignName(TextAlign align) {
    switch (align) {
    case TextAlign::Left: return "LEFT";
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
    }
    return "LEFT";
}

void AppendEscaped(std::string& out, const std::u32string& text) {
    for (const char32_t c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: swf::base::AppendUtf8(out, c);
        }
    }
}

std::string FormatNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

// The <TEXTFORMAT> tag for a paragraph's spacing, empty when all of it is 0.
std::string TextFormatTag(const TextFormat& f) {
    std::string attributes;
    const std::pair<const char*, double> lengths[] = {
        {"BLOCKINDENT", f.blockIndent}, {"INDENT", f.indent},           {"LEADING", f.leading},
        {"LEFTMARGIN", f.leftMargin},   {"RIGHTMARGIN", f.rightMargin},
    };
    for (const auto& [name, twips] : lengths) {
        if (twips != 0) attributes += std::string(" ") + name + "=\"" + FormatNumber(twips / kTwipsPerPixel) + "\"";
    }
    if (!f.tabStops.empty()) {
        attributes += " TABSTOPS=\"";
        for (std::size_t i = 0; i < f.tabStops.size(); ++i) {
            if (i > 0) attributes += ",";
            attributes += FormatNumber(f.tabStops[i] / kTwipsPerPixel);
        }
        attributes += "\"";
    }
    return attributes.empty() ? std::string() : "<TEXTFORMAT" + attributes + ">";
}

void AppendRunHtml(std::string& out, const std::u32string& text, const TextFormat& f) {
    if (text.empty()) return;
    char color[8];
    std::snprintf(color, sizeof color, "#%02X%02X%02X", f.color.r, f.color.g, f.color.b);
    std::string face;
    AppendEscaped(face, swf::base::DecodeUtf8(f.face, swf::base::BadBytes::Replace));
    out +=
        "<FONT FACE=\"" + face + "\" SIZE=\"" + FormatNumber(f.size / kTwipsPerPixel) + "\" COLOR=\"" + color + "\">";
    std::string url, target;
    AppendEscaped(url, swf::base::DecodeUtf8(f.url, swf::base::BadBytes::Replace));
    AppendEscaped(target, swf::base::DecodeUtf8(f.target, swf::base::BadBytes::Replace));
    if (!f.url.empty()) out += "<A HREF=\"" + url + "\" TARGET=\"" + target + "\">";
    if (f.bold) out += "<B>";
    if (f.italic) out += "<I>";
    if (f.underline) out += "<U>";
    AppendEscaped(out, text);
    if (f.underline) out += "</U>";
    if (f.italic) out += "</I>";
    if (f.bold) out += "</B>";
    if (!f.url.empty()) out += "</A>";
    out += "</FONT>";
}

}  // namespace

FormattedText ParseHtmlText(const std::string& html, const TextFormat& base) {
    return HtmlReader(base).Read(swf::base::DecodeUtf8(html, swf::base::BadBytes::Replace));
}

std::string FormatHtmlText(const FormattedText& runs) {
    // Split into paragraphs, each with the format of its first character.
    std::string out;
    bool open = false;
    const auto openParagraph = [&](const TextFormat& f) {
        out += TextFormatTag(f);
        out += f.bullet ? "<LI>" : std::string("<P ALIGN=\"") + AlignName(f.align) + "\">";
        open = true;
    };
    const auto closeParagraph = [&](const TextFormat& f) {
        out += f.bullet ? "</LI>" : "</P>";
        if (!TextFormatTag(f).empty()) out += "</TEXTFORMAT>";
        open = false;
    };
    const TextFormat* paragraphFormat = nullptr;
    bool endsWithBreak = false;
    for (const FormattedRun& run : runs) {
        std::size_t start = 0;
        while (start < run.text.size()) {
            std::size_t end = run.text.find_first_of(U"\r\n", start);
            const bool breaks = end != std::u32string::npos;
            if (!breaks) end = run.text.size();
            endsWithBreak = breaks && end + 1 == run.text.size();
            if (!open) {
                paragraphFormat = &run.format;
                openParagraph(run.format);
            }
            AppendRunHtml(out, run.text.substr(start, end - start), run.format);
            if (!breaks) break;
            closeParagraph(*paragraphFormat);
            start = end + 1;
        }
    }
    if (open) closeParagraph(*paragraphFormat);
    // A final break leaves an empty paragraph after it.
    if (endsWithBreak) {
        openParagraph(runs.back().format);
        closeParagraph(runs.back().format);
    }
    return out;
}

}  // namespace swf::text
