#include "swf/player/fields/text_field_script_adapter.h"

#include <algorithm>
#include <cmath>

#include "swf/base/utf8.h"
#include "swf/model/units.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/script_text_format.h"
#include "swf/text/ascii_case.h"

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

// true is "left" and false "none"; names other than left, center and right are "none".
text::AutoSize AutoSizeFrom(const TextFieldValue& v) {
    if (const bool* on = std::get_if<bool>(&v)) return *on ? text::AutoSize::Left : text::AutoSize::None;
    const std::string mode = text::AsciiLower(OptionalText(v).value_or(""));
    if (mode == "left") return text::AutoSize::Left;
    if (mode == "center") return text::AutoSize::Center;
    if (mode == "right") return text::AutoSize::Right;
    return text::AutoSize::None;
}

// Pixels as the field's integer properties take them.
int WholePixels(double n) { return static_cast<int>(std::clamp(n, -1e9, 1e9)); }

}  // namespace

double TextFieldScriptAdapter::GetDisplayNumber(DisplayProperty property) const {
    return swf::GetDisplayNumber(field_, property, Point{});
}

void TextFieldScriptAdapter::SetDisplayNumber(DisplayProperty property, double value) {
    // A field's width and height are its box, not a scale.
    if ((property == DisplayProperty::Width || property == DisplayProperty::Height) && std::isfinite(value)) {
        TextFieldModel& model = field_.Model();
        const double shown = swf::GetDisplayNumber(field_, property, Point{});
        const Rect box = model.Bounds();
        const bool width = property == DisplayProperty::Width;
        const double local = width ? box.Width() : box.Height();
        const double wanted = shown > 0 ? local * std::max(0.0, value) / shown : std::max(0.0, value) * kTwipsPerPixel;
        model.SetAutoSize(text::AutoSize::None);
        model.SetBoxSize(width ? wanted : box.Width(), width ? box.Height() : wanted);
        return;
    }
    swf::SetDisplayNumber(field_, property, value);
}

void TextFieldScriptAdapter::SetInstanceName(const std::string& name) {
    Placement placement = field_.GetPlacement();
    placement.name = name;
    field_.SetPlacement(placement);
    field_.Script().detached = true;
}

ActionTarget* TextFieldScriptAdapter::ParentTimeline() const { return field_.Parent(); }

std::string TextFieldScriptAdapter::Url() const {
    return field_.Parent() != nullptr ? field_.Parent()->Url() : std::string();
}

TextFieldValue TextFieldScriptAdapter::GetTextMember(TextFieldMember member) {
    const TextFieldModel& model = field_.Model();
    const EditSession& session = field_.Session();
    switch (member) {
    case TextFieldMember::Text: return model.Text();
    case TextFieldMember::HtmlText: return model.Html() ? model.HtmlText() : model.Text();
    case TextFieldMember::Html: return model.Html();
    case TextFieldMember::TextColor:
        return ColorNumber(model.Runs().empty() ? model.NewTextFormat().color : model.Runs().front().format.color);
    case TextFieldMember::AutoSize: return std::string(AutoSizeName(model.GetAutoSize()));
    case TextFieldMember::WordWrap: return model.WordWrap();
    case TextFieldMember::Multiline: return model.Multiline();
    case TextFieldMember::Selectable: return model.Selectable();
    case TextFieldMember::Border: return model.Border();
    case TextFieldMember::BorderColor: return ColorNumber(model.BorderColor());
    case TextFieldMember::Background: return model.Background();
    case TextFieldMember::BackgroundColor: return ColorNumber(model.BackgroundColor());
    case TextFieldMember::EmbedFonts: return model.EmbedFonts();
    case TextFieldMember::Password: return model.Password();
    case TextFieldMember::MaxChars:
        if (!session.MaxChars() || *session.MaxChars() == 0) return {};
        return static_cast<double>(*session.MaxChars());
    case TextFieldMember::Restrict:
        if (!session.Restrict()) return {};
        return *session.Restrict();
    case TextFieldMember::Type: return std::string(session.Editable() ? "input" : "dynamic");
    case TextFieldMember::Variable:
        if (field_.VariableName().empty()) return {};
        return field_.VariableName();
    case TextFieldMember::Length: return static_cast<double>(model.Length());
    case TextFieldMember::TextWidth: return std::round(model.TextWidth());
    case TextFieldMember::TextHeight: return std::round(model.TextHeight());
    case TextFieldMember::Scroll: return static_cast<double>(model.Scroll());
    case TextFieldMember::MaxScroll: return static_cast<double>(model.MaxScroll());
    case TextFieldMember::HScroll: return static_cast<double>(model.HScroll());
    case TextFieldMember::MaxHScroll: return static_cast<double>(model.MaxHScroll());
    case TextFieldMember::BottomScroll: return static_cast<double>(model.BottomScroll());
    case TextFieldMember::TabIndex:
        if (!field_.TabIndex()) return {};
        return static_cast<double>(*field_.TabIndex());
    }
    return {};
}

void TextFieldScriptAdapter::SetTextMember(TextFieldMember member, const TextFieldValue& value) {
    TextFieldModel& model = field_.Model();
    if (member == TextFieldMember::Text || member == TextFieldMember::HtmlText) {
        if (member == TextFieldMember::Text)
            model.SetText(OptionalText(value).value_or(""));
        else
            model.SetHtmlText(OptionalText(value).value_or(""));
        field_.ScriptChangedText();
        return;
    }
    if (!SetOptionMember(member, value)) SetOtherMember(member, value);
}

bool TextFieldScriptAdapter::SetOptionMember(TextFieldMember member, const TextFieldValue& value) {
    TextFieldModel& model = field_.Model();
    switch (member) {
    case TextFieldMember::Html: model.SetHtml(FlagOr(value, model.Html())); return true;
    case TextFieldMember::TextColor: {
        const Rgba color = ColorFrom(NumberOr(value, 0));
        text::TextFormat format = model.NewTextFormat();
        format.color = color;
        model.SetNewTextFormat(format);
        model.ChangeFormat(0, model.Length(), [&](text::TextFormat& f) { f.color = color; });
        return true;
    }
    case TextFieldMember::AutoSize: model.SetAutoSize(AutoSizeFrom(value)); return true;
    case TextFieldMember::WordWrap: model.SetWordWrap(FlagOr(value, model.WordWrap())); return true;
    case TextFieldMember::Multiline: model.SetMultiline(FlagOr(value, model.Multiline())); return true;
    case TextFieldMember::Selectable: model.SetSelectable(FlagOr(value, model.Selectable())); return true;
    case TextFieldMember::Border: model.SetBorder(FlagOr(value, model.Border())); return true;
    case TextFieldMember::BorderColor: model.SetBorderColor(ColorFrom(NumberOr(value, 0))); return true;
    case TextFieldMember::Background: model.SetBackground(FlagOr(value, model.Background())); return true;
    case TextFieldMember::BackgroundColor: model.SetBackgroundColor(ColorFrom(NumberOr(value, 0))); return true;
    case TextFieldMember::EmbedFonts: model.SetEmbedFonts(FlagOr(value, model.EmbedFonts())); return true;
    case TextFieldMember::Password: model.SetPassword(FlagOr(value, model.Password())); return true;
    default: return false;
    }
}

void TextFieldScriptAdapter::SetOtherMember(TextFieldMember member, const TextFieldValue& value) {
    EditSession& session = field_.Session();
    switch (member) {
    case TextFieldMember::MaxChars: {
        const double n = NumberOr(value, 0);
        if (n >= 1)
            session.SetMaxChars(static_cast<std::uint16_t>(std::min(n, 65535.0)));
        else
            session.SetMaxChars(std::nullopt);
        return;
    }
    // An empty restriction admits nothing in players; null admits everything.
    case TextFieldMember::Restrict: session.SetRestrict(OptionalText(value)); return;
    case TextFieldMember::Type: {
        const std::string type = text::AsciiLower(OptionalText(value).value_or(""));
        if (type == "input")
            session.SetEditable(true);
        else if (type == "dynamic")
            session.SetEditable(false);
        return;
    }
    case TextFieldMember::Variable: field_.SetVariableName(OptionalText(value).value_or("")); return;
    case TextFieldMember::Scroll: field_.Model().SetScroll(WholePixels(NumberOr(value, 1))); return;
    case TextFieldMember::HScroll: field_.Model().SetHScroll(WholePixels(NumberOr(value, 0))); return;
    case TextFieldMember::TabIndex: {
        if (const double* n = std::get_if<double>(&value))
            field_.SetTabIndex(WholePixels(*n));
        else
            field_.SetTabIndex(std::nullopt);
        return;
    }
    default: return;  // the read-only members: length, textWidth, textHeight, maxscroll, maxhscroll, bottomScroll
    }
}

ScriptTextFormat TextFieldScriptAdapter::GetTextFormat(std::size_t begin, std::size_t end) {
    const TextFieldModel& model = field_.Model();
    const std::size_t length = model.Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    // An empty range (or an empty field) reports the character before, as new text would get it.
    if (begin == end) {
        std::size_t at = 0;
        for (const text::FormattedRun& run : model.Runs()) {
            const std::size_t runEnd = at + run.text.size();
            if (begin < runEnd || (begin > 0 && begin == runEnd)) return ScriptFormatOf(run.format);
            at = runEnd;
        }
        return ScriptFormatOf(model.NewTextFormat());
    }
    std::optional<ScriptTextFormat> merged;
    std::size_t at = 0;
    for (const text::FormattedRun& run : model.Runs()) {
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
    return merged.value_or(ScriptFormatOf(model.NewTextFormat()));
}

void TextFieldScriptAdapter::SetTextFormat(std::size_t begin, std::size_t end, const ScriptTextFormat& format) {
    TextFieldModel& model = field_.Model();
    const std::size_t length = model.Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    if (begin == end) return;
    model.ChangeFormat(begin, end, [&](text::TextFormat& f) { ApplyCharacterFormat(format, f); });
    if (!HasParagraphFormat(format)) return;
    // Paragraph attributes belong to whole paragraphs: widen the range to them.
    const std::u32string all = text::PlainText(model.Runs());
    std::size_t from = begin;
    while (from > 0 && all[from - 1] != '\r') --from;
    std::size_t to = end;
    while (to < all.size() && all[to - 1] != '\r') ++to;
    model.ChangeFormat(from, to, [&](text::TextFormat& f) { ApplyParagraphFormat(format, f); });
}

ScriptTextFormat TextFieldScriptAdapter::GetNewTextFormat() { return ScriptFormatOf(field_.Model().NewTextFormat()); }

void TextFieldScriptAdapter::SetNewTextFormat(const ScriptTextFormat& format) {
    text::TextFormat f = field_.Model().NewTextFormat();
    ApplyCharacterFormat(format, f);
    ApplyParagraphFormat(format, f);
    field_.Model().SetNewTextFormat(f);
}

void TextFieldScriptAdapter::ReplaceText(std::size_t begin, std::size_t end, const std::string& value) {
    EditSession& session = field_.Session();
    const std::size_t length = field_.Model().Length();
    begin = std::min(begin, length);
    end = std::clamp(end, begin, length);
    const std::size_t anchor = session.Anchor(), caret = session.Caret();
    session.SetSelection(begin, end);
    session.ReplaceSelection(base::DecodeUtf8(value, base::BadBytes::Replace));
    session.SetSelection(anchor, caret);
    field_.ScriptChangedText();
}

void TextFieldScriptAdapter::ReplaceSel(const std::string& value) {
    field_.Session().ReplaceSelection(base::DecodeUtf8(value, base::BadBytes::Replace));
    field_.ScriptChangedText();
}

void TextFieldScriptAdapter::RemoveTextField() {
    if (MovieClip* parent = field_.Parent()) parent->RemoveScriptChild(field_);
}

int TextFieldScriptAdapter::ScriptDepth() const {
    if (const MovieClip* parent = field_.Parent()) {
        for (const auto& [depth, child] : parent->Children())
            if (child.get() == &field_) return static_cast<int>(depth) - kScriptDepthOffset;
    }
    return -kScriptDepthOffset;
}

}  // namespace swf
