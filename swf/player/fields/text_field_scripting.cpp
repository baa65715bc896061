// Text fields as scripts see them: display properties, the TextField members
// and methods, and TextFormat values turned into the field's own formats.

#include <algorithm>
#include <cmath>

#include "swf/actions/action_target.h"
#include "swf/model/units.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/fields/script_text_format.h"
#include "swf/text/ascii_case.h"
#include "swf/base/utf8.h"

namespace swf {

namespace {

const char* AutoSizeName(text::AutoSize a) {
    switch (a) {
    case text::AutoSize::Left: return "left";
    case text::AutoSize::Center: return "center";
    case text::AutoSize::Right: return "right";
    case text::AutoSize::None: break;
    }
    return "none";
}

std::optional<std::string> OptionalText(const TextFieldValue& v) {
    if (const std::string* s = std::get_if<std::string>(&v)) return *s;
    return std::nullopt;
}

double NumberOr(const TextFieldValue& v, double fallback) {
    const double* n = std::get_if<double>(&v);
    return n ? *n : fallback;
}

bool FlagOr(const TextFieldValue& v, bool fallback) {
    const bool* b = std::get_if<bool>(&v);
    return b ? *b : fallback;
}

// Pixels as the field's integer properties take them.
int WholePixels(double n) { return static_cast<int>(std::clamp(n, -1e9, 1e9)); }

}  // namespace

double EditTextInstance::GetDisplayNumber(DisplayProperty property) {
    return swf::GetDisplayNumber(*this, property, Point{});
}

void EditTextInstance::SetDisplayNumber(DisplayProperty property, double value) {
    // A field's width and height are its box, not a scale.
    if ((property == DisplayProperty::Width || property == DisplayProperty::Height) && std::isfinite(value)) {
        const double shown = swf::GetDisplayNumber(*this, property, Point{});
        const Rect box = Bounds();
        const bool width = property == DisplayProperty::Width;
        const double local = width ? box.Width() : box.Height();
        const double wanted = shown > 0 ? local * std::max(0.0, value) / shown : std::max(0.0, value) * kTwipsPerPixel;
        SetAutoSize(text::AutoSize::None);
        SetBoxSize(width ? wanted : box.Width(), width ? box.Height() : wanted);
        return;
    }
    swf::SetDisplayNumber(*this, property, value);
}

void EditTextInstance::SetInstanceName(const std::string& name) {
    Placement placement = GetPlacement();
    placement.name = name;
    SetPlacement(placement);
    Script().detached = true;
}

ActionTarget* EditTextInstance::ParentTimeline() { return Parent(); }

std::string EditTextInstance::Url() const { return Parent() != nullptr ? Parent()->Url() : std::string(); }

TextFieldValue EditTextInstance::GetTextMember(TextFieldMember member) {
    switch (member) {
    case TextFieldMember::Text: return Text();
    case TextFieldMember::HtmlText: return html_ ? HtmlText() : Text();
    case TextFieldMember::Html: return html_;
    case TextFieldMember::TextColor:
        return ColorNumber(runs_.empty() ? newTextFormat_.color : runs_.front().format.color);
    case TextFieldMember::AutoSize: return std::string(AutoSizeName(autoSize_));
    case TextFieldMember::WordWrap: return wordWrap_;
    case TextFieldMember::Multiline: return multiline_;
    case TextFieldMember::Selectable: return selectable_;
    case TextFieldMember::Border: return border_;
    case TextFieldMember::BorderColor: return ColorNumber(borderColor_);
    case TextFieldMember::Background: return background_;
    case TextFieldMember::BackgroundColor: return ColorNumber(backgroundColor_);
    case TextFieldMember::EmbedFonts: return embedFonts_;
    case TextFieldMember::Password: return password_;
    case TextFieldMember::MaxChars:
        if (!maxChars_ || *maxChars_ == 0) return {};
        return static_cast<double>(*maxChars_);
    case TextFieldMember::Restrict:
        if (!restrict_) return {};
        return *restrict_;
    case TextFieldMember::Type: return std::string(editable_ ? "input" : "dynamic");
    case TextFieldMember::Variable:
        if (variableName_.empty()) return {};
        return variableName_;
    case TextFieldMember::Length: return static_cast<double>(Length());
    case TextFieldMember::TextWidth: return std::round(TextWidth());
    case TextFieldMember::TextHeight: return std::round(TextHeight());
    case TextFieldMember::Scroll: return static_cast<double>(Scroll());
    case TextFieldMember::MaxScroll: return static_cast<double>(MaxScroll());
    case TextFieldMember::HScroll: return static_cast<double>(HScroll());
    case TextFieldMember::MaxHScroll: return static_cast<double>(MaxHScroll());
    case TextFieldMember::BottomScroll: return static_cast<double>(BottomScroll());
    case TextFieldMember::TabIndex:
        if (!tabIndex_) return {};
        return static_cast<double>(*tabIndex_);
    }
    return {};
}

void EditTextInstance::SetTextMember(TextFieldMember member, const TextFieldValue& value) {
    switch (member) {
    case TextFieldMember::Text:
        SetText(OptionalText(value).value_or(""));
        ScriptChangedText();
        return;
    case TextFieldMember::HtmlText:
        SetHtmlText(OptionalText(value).value_or(""));
        ScriptChangedText();
        return;
    case TextFieldMember::Html: SetHtml(FlagOr(value, html_)); return;
    case TextFieldMember::TextColor: {
        const Rgba color = ColorFrom(NumberOr(value, 0));
        newTextFormat_.color = color;
        ChangeFormat(0, Length(), [&](text::TextFormat& f) { f.color = color; });
        return;
    }
    case TextFieldMember::AutoSize: {
        if (const bool* on = std::get_if<bool>(&value)) {
            SetAutoSize(*on ? text::AutoSize::Left : text::AutoSize::None);
            return;
        }
        const std::string mode = text::AsciiLower(OptionalText(value).value_or(""));
        if (mode == "left")
            SetAutoSize(text::AutoSize::Left);
        else if (mode == "center")
            SetAutoSize(text::AutoSize::Center);
        else if (mode == "right")
            SetAutoSize(text::AutoSize::Right);
        else
            SetAutoSize(text::AutoSize::None);
        return;
    }
    case TextFieldMember::WordWrap: SetWordWrap(FlagOr(value, wordWrap_)); return;
    case TextFieldMember::Multiline: SetMultiline(FlagOr(value, multiline_)); return;
    case TextFieldMember::Selectable: SetSelectable(FlagOr(value, selectable_)); return;
    case TextFieldMember::Border: SetBorder(FlagOr(value, border_)); return;
    case TextFieldMember::BorderColor: SetBorderColor(ColorFrom(NumberOr(value, 0))); return;
    case TextFieldMember::Background: SetBackground(FlagOr(value, background_)); return;
    case TextFieldMember::BackgroundColor: SetBackgroundColor(ColorFrom(NumberOr(value, 0))); return;
    case TextFieldMember::EmbedFonts: SetEmbedFonts(FlagOr(value, embedFonts_)); return;
    case TextFieldMember::Password: SetPassword(FlagOr(value, password_)); return;
    case TextFieldMember::MaxChars: {
        const double n = NumberOr(value, 0);
        if (n >= 1)
            SetMaxChars(static_cast<std::uint16_t>(std::min(n, 65535.0)));
        else
            SetMaxChars(std::nullopt);
        return;
    }
    case TextFieldMember::Restrict: {
        std::optional<std::string> pattern = OptionalText(value);
        // An empty restriction admits nothing in players; null admits everything.
        SetRestrict(std::move(pattern));
        return;
    }
    case TextFieldMember::Type: {
        const std::string type = text::AsciiLower(OptionalText(value).value_or(""));
        if (type == "input")
            SetEditable(true);
        else if (type == "dynamic")
            SetEditable(false);
        return;
    }
    case TextFieldMember::Variable:
        SetVariableName(OptionalText(value).value_or(""));
        // The newly named variable shows on the next refresh, whatever the last one held.
        lastVariableText_.reset();
        return;
    case TextFieldMember::Scroll: SetScroll(WholePixels(NumberOr(value, 1))); return;
    case TextFieldMember::HScroll: SetHScroll(WholePixels(NumberOr(value, 0))); return;
    case TextFieldMember::TabIndex: {
        if (const double* n = std::get_if<double>(&value))
            SetTabIndex(WholePixels(*n));
        else
            SetTabIndex(std::nullopt);
        return;
    }
    case TextFieldMember::Length:
    case TextFieldMember::TextWidth:
    case TextFieldMember::TextHeight:
    case TextFieldMember::MaxScroll:
    case TextFieldMember::MaxHScroll:
    case TextFieldMember::BottomScroll: return;  // read-only
    }
}

ScriptTextFormat EditTextInstance::GetTextFormat(std::size_t begin, std::size_t end) {
    const std::size_t length = Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    // An empty range (or an empty field) reports the character before, as new text would get it.
    if (begin == end) {
        std::size_t at = 0;
        for (const text::FormattedRun& run : runs_) {
            const std::size_t runEnd = at + run.text.size();
            if (begin < runEnd || (begin > 0 && begin == runEnd)) return ScriptFormatOf(run.format);
            at = runEnd;
        }
        return ScriptFormatOf(newTextFormat_);
    }
    std::optional<ScriptTextFormat> merged;
    std::size_t at = 0;
    for (const text::FormattedRun& run : runs_) {
        const std::size_t runEnd = at + run.text.size();
        if (runEnd > begin && at < end) {
            const ScriptTextFormat f = ScriptFormatOf(run.format);
            if (merged)
                KeepCommonMembers(*merged, f);
            else
                merged = f;
        }
        at = runEnd;
    }
    return merged.value_or(ScriptFormatOf(newTextFormat_));
}

void EditTextInstance::SetTextFormat(std::size_t begin, std::size_t end, const ScriptTextFormat& format) {
    const std::size_t length = Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    if (begin == end) return;
    ChangeFormat(begin, end, [&](text::TextFormat& f) { ApplyCharacterFormat(format, f); });
    if (!HasParagraphFormat(format)) return;
    // Paragraph attributes belong to whole paragraphs: widen the range to them.
    const std::u32string all = text::PlainText(runs_);
    std::size_t from = begin;
    while (from > 0 && all[from - 1] != '\r') --from;
    std::size_t to = end;
    while (to < all.size() && all[to - 1] != '\r') ++to;
    ChangeFormat(from, to, [&](text::TextFormat& f) { ApplyParagraphFormat(format, f); });
}

ScriptTextFormat EditTextInstance::GetNewTextFormat() { return ScriptFormatOf(newTextFormat_); }

void EditTextInstance::SetNewTextFormat(const ScriptTextFormat& format) {
    text::TextFormat f = newTextFormat_;
    ApplyCharacterFormat(format, f);
    ApplyParagraphFormat(format, f);
    SetNewTextFormat(f);
}

void EditTextInstance::ReplaceText(std::size_t begin, std::size_t end, const std::string& value) {
    const std::size_t length = Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    const std::size_t anchor = anchor_, caret = caret_;
    SetSelection(begin, end);
    ReplaceSelection(base::DecodeUtf8(value, base::BadBytes::Replace));
    SetSelection(anchor, caret);
    ScriptChangedText();
}

void EditTextInstance::ReplaceSel(const std::string& value) {
    ReplaceSelection(base::DecodeUtf8(value, base::BadBytes::Replace));
    ScriptChangedText();
}

void EditTextInstance::RemoveTextField() {
    if (MovieClip* parent = Parent()) parent->RemoveScriptChild(*this);
}

int EditTextInstance::ScriptDepth() const {
    if (const MovieClip* parent = Parent()) {
        for (const auto& [depth, child] : parent->Children())
            if (child.get() == this) return static_cast<int>(depth) - kScriptDepthOffset;
    }
    return -kScriptDepthOffset;
}

}  // namespace swf
