#include "swf/player/fields/edit_text_instance.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "swf/text/caret_geometry.h"
#include "swf/text/character_restriction.h"
#include "swf/text/html_text.h"
#include "swf/base/utf8.h"

namespace swf {

namespace {

constexpr double kTwipsPerPixel = 20;
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

// Line ends as fields keep them: one '\r' for "\r\n", "\n" or "\r".
std::u32string NormaliseBreaks(const std::u32string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i] == '\n' ? U'\r' : text[i]);
    }
    return out;
}

}  // namespace

EditTextInstance::EditTextInstance(const Placement& placement, const EditTextDefinition& definition, TextFonts& fonts,
                                   FieldRegistry* registry)
    : DisplayObject(placement, &definition),
      definition_(definition),
      fonts_(fonts),
      registry_(registry),
      box_(definition.bounds),
      html_(definition.html),
      embedFonts_(definition.useOutlines),
      wordWrap_(definition.wordWrap),
      multiline_(definition.multiline),
      password_(definition.password),
      selectable_(!definition.noSelect),
      border_(definition.border),
      background_(definition.border),
      autoSize_(AutoSizeFor(definition)),
      maxChars_(definition.maxLength),
      variableName_(definition.variableName),
      editable_(!definition.readOnly) {
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
    if (definition.initialText) SetHtmlText(*definition.initialText);
    if (registry_ != nullptr) registry_->FieldCreated(*this);
}

EditTextInstance::EditTextInstance(const Placement& placement, std::shared_ptr<const EditTextDefinition> definition,
                                   TextFonts& fonts, FieldRegistry* registry)
    : EditTextInstance(placement, *definition, fonts, registry) {
    ownedDefinition_ = std::move(definition);
}

EditTextInstance::~EditTextInstance() {
    if (registry_ != nullptr) registry_->FieldDestroyed(*this);
}

std::string EditTextInstance::Text() const { return base::EncodeUtf8(text::PlainText(runs_)); }

void EditTextInstance::SetText(const std::string& value) {
    runs_.clear();
    text::AppendRun(runs_, NormaliseBreaks(base::DecodeUtf8(value, base::BadBytes::Replace)), newTextFormat_);
    SetSelection(anchor_, caret_);
    Invalidate();
}

std::string EditTextInstance::HtmlText() const { return text::FormatHtmlText(runs_); }

void EditTextInstance::SetHtmlText(const std::string& html) {
    if (!html_) {
        SetText(html);
        return;
    }
    runs_ = text::ParseHtmlText(html, newTextFormat_);
    for (text::FormattedRun& run : runs_) run.text = NormaliseBreaks(run.text);
    SetSelection(anchor_, caret_);
    Invalidate();
}

void EditTextInstance::SetNewTextFormat(const text::TextFormat& format) {
    newTextFormat_ = format;
    if (runs_.empty()) Invalidate();
}

void EditTextInstance::ChangeFormat(std::size_t begin, std::size_t end,
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

void EditTextInstance::SetBoxSize(double width, double height) {
    box_.xMax = box_.xMin + static_cast<std::int32_t>(std::lround(std::max(0.0, width)));
    box_.yMax = box_.yMin + static_cast<std::int32_t>(std::lround(std::max(0.0, height)));
    Invalidate();
}

int EditTextInstance::Scroll() const { return std::clamp(scroll_, 1, MaxScroll()); }

void EditTextInstance::SetScroll(int line) { scroll_ = std::clamp(line, 1, MaxScroll()); }

int EditTextInstance::MaxScroll() const { return text::MaxScroll(Layout()); }

int EditTextInstance::BottomScroll() const { return text::BottomScroll(Layout(), Scroll()); }

void EditTextInstance::SetHScroll(int pixels) { hscroll_ = std::clamp(pixels, 0, MaxHScroll()); }

int EditTextInstance::MaxHScroll() const {
    return static_cast<int>(std::ceil(text::MaxHScroll(Layout()) / kTwipsPerPixel));
}

double EditTextInstance::TextWidth() const { return Layout().textWidth / kTwipsPerPixel; }

double EditTextInstance::TextHeight() const { return Layout().textHeight / kTwipsPerPixel; }

void EditTextInstance::RefreshFromVariable() {
    if (!variableSource_) return;
    std::optional<std::string> value = variableSource_();
    if (!value || value == lastVariableText_) return;
    lastVariableText_ = value;
    SetHtmlText(*value);
}

std::size_t EditTextInstance::Length() const {
    std::size_t length = 0;
    for (const text::FormattedRun& run : runs_) length += run.text.size();
    return length;
}

void EditTextInstance::SetSelection(std::size_t anchor, std::size_t caret) {
    const std::size_t length = Length();
    anchor_ = std::min(anchor, length);
    caret_ = std::min(caret, length);
}

std::u32string EditTextInstance::SelectedText() const {
    return text::PlainText(runs_).substr(SelectionBegin(), SelectionEnd() - SelectionBegin());
}

void EditTextInstance::ReplaceSelection(const std::u32string& inserted) {
    const std::size_t begin = std::min(SelectionBegin(), Length());
    const std::size_t end = std::min(SelectionEnd(), Length());
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
    anchor_ = caret_ = begin + inserted.size();
    Invalidate();
}

bool EditTextInstance::UserInput(const std::u32string& typed) {
    if (!editable_) return false;
    std::optional<text::CharacterRestriction> restriction;
    if (restrict_) restriction.emplace(base::DecodeUtf8(*restrict_, base::BadBytes::Replace));
    std::u32string accepted;
    for (char32_t c : NormaliseBreaks(typed)) {
        if (c == '\r' && !multiline_) continue;
        if (c != '\r' && restriction) c = restriction->Admit(c);
        if (c == 0) continue;
        accepted.push_back(c);
    }
    if (maxChars_ && *maxChars_ > 0) {
        const std::size_t kept = Length() - (SelectionEnd() - SelectionBegin());
        const std::size_t room = *maxChars_ > kept ? *maxChars_ - kept : 0;
        if (accepted.size() > room) accepted.resize(room);
    }
    if (accepted.empty() && SelectionBegin() == SelectionEnd()) return false;
    ReplaceSelection(accepted);
    UserChanged();
    return true;
}

bool EditTextInstance::UserDelete(bool forward) {
    if (!editable_) return false;
    if (SelectionBegin() == SelectionEnd()) {
        if (forward ? caret_ >= Length() : caret_ == 0) return false;
        anchor_ = forward ? caret_ + 1 : caret_ - 1;
    }
    ReplaceSelection({});
    UserChanged();
    return true;
}

void EditTextInstance::UserChanged() {
    ScriptChangedText();
    if (changeListener_) changeListener_();
}

void EditTextInstance::ScriptChangedText() {
    if (!variableSink_) return;
    std::string value = html_ ? HtmlText() : Text();
    // The variable now holds what the field shows: no refresh back.
    lastVariableText_ = value;
    variableSink_(value);
}

void EditTextInstance::CheckScroll() {
    if (!scrollListener_) return;
    const std::array<int, 4> now = {Scroll(), MaxScroll(), HScroll(), MaxHScroll()};
    const bool moved = lastScroll_ && *lastScroll_ != now;
    lastScroll_ = now;
    if (moved) scrollListener_();
}

void EditTextInstance::ScrollToCaret() {
    const text::TextLayout& layout = Layout();
    if (layout.lines.empty()) return;
    const int line = static_cast<int>(text::LineOfIndex(layout, caret_)) + 1;
    if (line < Scroll()) SetScroll(line);
    while (line > BottomScroll() && Scroll() < MaxScroll()) SetScroll(Scroll() + 1);
    if (wordWrap_) return;
    const double x = text::CaretX(layout, line - 1, caret_) - layout.bounds.xMin;
    const double visible = layout.bounds.Width() - 2 * text::kGutter;
    const double pixels = x / kTwipsPerPixel;
    if (pixels - hscroll_ > visible / kTwipsPerPixel) {
        SetHScroll(static_cast<int>(std::ceil(pixels - visible / kTwipsPerPixel)));
    } else if (pixels - text::kGutter / kTwipsPerPixel < hscroll_) {
        SetHScroll(static_cast<int>(std::floor(pixels - text::kGutter / kTwipsPerPixel)));
    }
}

void EditTextInstance::ResolveFonts(text::FormattedText& runs) const {
    for (text::FormattedRun& run : runs) {
        text::TextFormat& f = run.format;
        if (!embedFonts_) {
            f.embeddedFont = nullptr;
        } else if (f.embeddedFont == nullptr || f.embeddedFont->name != f.face) {
            f.embeddedFont = fonts_.FindEmbedded(f.face, f.bold, f.italic);
        }
    }
}

const text::TextLayout& EditTextInstance::Layout() const {
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
