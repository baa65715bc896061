#include "swf/player/fields/text_field_model.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "swf/base/utf8.h"
#include "swf/model/units.h"
#include "swf/text/caret_geometry.h"
#include "swf/text/html_text.h"

namespace swf {

namespace {

constexpr char32_t kPasswordMask = '*';

// The last layout stamp handed out, shared by all fields.
std::atomic<std::uint64_t> lastLayoutStamp{0};

text::AutoSize AutoSizeFor(const EditTextDefinition& d) {
    if (!d.autoSize) return text::AutoSize::None;
    switch (d.align) {
    case TextAlign::Right: return text::AutoSize::Right;
    case TextAlign::Center: return text::AutoSize::Center;
    case TextAlign::Left:
    case TextAlign::Justify: return text::AutoSize::Left;
    }
    return text::AutoSize::Left;
}

}  // namespace

std::u32string NormaliseBreaks(const std::u32string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i] == '\n' ? U'\r' : text[i]);
    }
    return out;
}

TextFieldModel::TextFieldModel(const EditTextDefinition& definition, TextFonts& fonts)
    : fonts_(fonts),
      box_(definition.bounds),
      html_(definition.html),
      embedFonts_(definition.useOutlines),
      wordWrap_(definition.wordWrap),
      multiline_(definition.multiline),
      password_(definition.password),
      selectable_(!definition.noSelect),
      border_(definition.border),
      background_(definition.border),
      autoSize_(AutoSizeFor(definition)) {
    SetUpNewTextFormat(definition);
    if (definition.initialText) SetHtmlText(*definition.initialText);
}

void TextFieldModel::SetUpNewTextFormat(const EditTextDefinition& definition) {
    text::TextFormat& f = newTextFormat_;
    f.size = definition.fontHeight;
    if (definition.textColor) f.color = *definition.textColor;
    if (definition.fontId) {
        if (const auto* font = FindCharacter<FontDefinition>(fonts_.Dictionary(), *definition.fontId)) {
            f.face = font->name;
            f.bold = font->bold;
            f.italic = font->italic;
            if (definition.useOutlines && !font->IsDeviceFont()) f.embeddedFont = font;
        }
    } else if (!definition.fontClass.empty()) {
        f.face = definition.fontClass;
    }
    if (definition.hasLayout) {
        f.align = definition.align;
        f.leftMargin = definition.leftMargin;
        f.rightMargin = definition.rightMargin;
        f.indent = definition.indent;
        f.leading = definition.leading;
    }
}

std::string TextFieldModel::Text() const { return base::EncodeUtf8(text::PlainText(runs_)); }

void TextFieldModel::SetText(const std::string& value) {
    runs_.clear();
    text::AppendRun(runs_, NormaliseBreaks(base::DecodeUtf8(value, base::BadBytes::Replace)), newTextFormat_);
    if (textReplaced_) textReplaced_();
    Invalidate();
}

std::string TextFieldModel::HtmlText() const { return text::FormatHtmlText(runs_); }

void TextFieldModel::SetHtmlText(const std::string& html) {
    if (!html_) {
        SetText(html);
        return;
    }
    runs_ = text::ParseHtmlText(html, newTextFormat_);
    for (text::FormattedRun& run : runs_) run.text = NormaliseBreaks(run.text);
    if (textReplaced_) textReplaced_();
    Invalidate();
}

std::size_t TextFieldModel::Length() const {
    std::size_t length = 0;
    for (const text::FormattedRun& run : runs_) length += run.text.size();
    return length;
}

void TextFieldModel::SetNewTextFormat(const text::TextFormat& format) {
    newTextFormat_ = format;
    if (runs_.empty()) Invalidate();
}

void TextFieldModel::ChangeFormat(std::size_t begin, std::size_t end,
                                  const std::function<void(text::TextFormat&)>& change) {
    text::FormattedText changed;
    std::size_t at = 0;
    for (const text::FormattedRun& run : runs_) {
        const std::size_t runEnd = at + run.text.size();
        // The run's part before, inside and after the range.
        const std::size_t from = std::clamp(begin, at, runEnd) - at;
        const std::size_t to = std::clamp(end, at, runEnd) - at;
        text::AppendRun(changed, run.text.substr(0, from), run.format);
        text::TextFormat format = run.format;
        change(format);
        text::AppendRun(changed, run.text.substr(from, to > from ? to - from : 0), format);
        text::AppendRun(changed, run.text.substr(std::max(from, to)), run.format);
        at = runEnd;
    }
    runs_ = std::move(changed);
    Invalidate();
}

void TextFieldModel::Replace(std::size_t begin, std::size_t end, const std::u32string& inserted) {
    begin = std::min(begin, Length());
    end = std::min(end, Length());
    // New text takes the format of what it replaces, or of what it follows.
    const text::TextFormat* format = runs_.empty() ? &newTextFormat_ : &runs_.front().format;
    const std::size_t formatAt = begin < end || begin == 0 ? begin : begin - 1;
    text::FormattedText changed;
    std::size_t at = 0;
    for (const text::FormattedRun& run : runs_) {
        const std::size_t runEnd = at + run.text.size();
        if (formatAt >= at && formatAt < runEnd) format = &run.format;
        at = runEnd;
    }
    at = 0;
    bool placed = false;
    for (const text::FormattedRun& run : runs_) {
        const std::size_t runEnd = at + run.text.size();
        const std::size_t from = std::clamp(begin, at, runEnd) - at;
        const std::size_t to = std::clamp(end, at, runEnd) - at;
        text::AppendRun(changed, run.text.substr(0, from), run.format);
        if (!placed && begin <= runEnd) {
            text::AppendRun(changed, inserted, *format);
            placed = true;
        }
        text::AppendRun(changed, run.text.substr(to), run.format);
        at = runEnd;
    }
    if (!placed) text::AppendRun(changed, inserted, *format);
    runs_ = std::move(changed);
    Invalidate();
}

void TextFieldModel::SetBoxSize(double width, double height) {
    box_.xMax = box_.xMin + static_cast<std::int32_t>(std::lround(std::max(0.0, width)));
    box_.yMax = box_.yMin + static_cast<std::int32_t>(std::lround(std::max(0.0, height)));
    Invalidate();
}

int TextFieldModel::Scroll() const { return std::clamp(scroll_, 1, MaxScroll()); }

void TextFieldModel::SetScroll(int line) { scroll_ = std::clamp(line, 1, MaxScroll()); }

int TextFieldModel::MaxScroll() const { return text::MaxScroll(Layout()); }

int TextFieldModel::BottomScroll() const { return text::BottomScroll(Layout(), Scroll()); }

void TextFieldModel::SetHScroll(int pixels) { hscroll_ = std::clamp(pixels, 0, MaxHScroll()); }

int TextFieldModel::MaxHScroll() const {
    return static_cast<int>(std::ceil(text::MaxHScroll(Layout()) / kTwipsPerPixel));
}

double TextFieldModel::TextWidth() const { return Layout().textWidth / kTwipsPerPixel; }

double TextFieldModel::TextHeight() const { return Layout().textHeight / kTwipsPerPixel; }

void TextFieldModel::ResolveFonts(text::FormattedText& runs) const {
    for (text::FormattedRun& run : runs) {
        text::TextFormat& f = run.format;
        if (!embedFonts_) {
            f.embeddedFont = nullptr;
        } else if (f.embeddedFont == nullptr || f.embeddedFont->name != f.face) {
            f.embeddedFont = fonts_.FindEmbedded(f.face, f.bold, f.italic);
        }
    }
}

const text::TextLayout& TextFieldModel::Layout() const {
    const std::lock_guard lock(layoutMutex_);
    if (layoutValid_ && layoutGeneration_ == fonts_.Generation()) return layout_;
    text::FormattedText shown = runs_;
    if (password_) {
        for (text::FormattedRun& run : shown) {
            for (char32_t& c : run.text) {
                if (c != '\r') c = kPasswordMask;
            }
        }
    }
    ResolveFonts(shown);
    layoutRuns_ = std::move(shown);
    layout_ = text::LayOutText(layoutRuns_, {box_, wordWrap_, autoSize_}, fonts_);
    layoutValid_ = true;
    layoutGeneration_ = fonts_.Generation();
    layoutStamp_ = ++lastLayoutStamp;
    return layout_;
}

}  // namespace swf
