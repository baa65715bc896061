#include "swf/player/fields/edit_session.h"

#include <cmath>

#include "swf/base/utf8.h"
#include "swf/model/units.h"
#include "swf/text/caret_geometry.h"
#include "swf/text/character_restriction.h"

namespace swf {

EditSession::EditSession(TextFieldModel& model, const EditTextDefinition& definition)
    : model_(model), editable_(!definition.readOnly), maxChars_(definition.maxLength) {
    model_.SetTextReplacedListener([this] { SetSelection(anchor_, caret_); });
}

void EditSession::SetSelection(std::size_t anchor, std::size_t caret) {
    const std::size_t length = model_.Length();
    anchor_ = std::min(anchor, length);
    caret_ = std::min(caret, length);
}

std::u32string EditSession::SelectedText() const {
    return text::PlainText(model_.Runs()).substr(SelectionBegin(), SelectionEnd() - SelectionBegin());
}

void EditSession::ReplaceSelection(const std::u32string& inserted) {
    const std::size_t begin = std::min(SelectionBegin(), model_.Length());
    model_.Replace(begin, SelectionEnd(), inserted);
    anchor_ = caret_ = begin + inserted.size();
}

std::u32string EditSession::Admitted(const std::u32string& typed) const {
    std::optional<text::CharacterRestriction> restriction;
    if (restrict_) restriction.emplace(base::DecodeUtf8(*restrict_, base::BadBytes::Replace));
    std::u32string accepted;
    for (char32_t c : NormaliseBreaks(typed)) {
        if (c == '\r' && !model_.Multiline()) continue;
        if (c != '\r' && restriction) c = restriction->Admit(c);
        if (c == 0) continue;
        accepted.push_back(c);
    }
    if (maxChars_ && *maxChars_ > 0) {
        const std::size_t kept = model_.Length() - (SelectionEnd() - SelectionBegin());
        const std::size_t room = *maxChars_ > kept ? *maxChars_ - kept : 0;
        if (accepted.size() > room) accepted.resize(room);
    }
    return accepted;
}

bool EditSession::UserInput(const std::u32string& typed) {
    if (!editable_) return false;
    const std::u32string accepted = Admitted(typed);
    if (accepted.empty() && SelectionBegin() == SelectionEnd()) return false;
    ReplaceSelection(accepted);
    if (edited_) edited_();
    return true;
}

bool EditSession::UserDelete(bool forward) {
    if (!editable_) return false;
    if (SelectionBegin() == SelectionEnd()) {
        if (forward ? caret_ >= model_.Length() : caret_ == 0) return false;
        anchor_ = forward ? caret_ + 1 : caret_ - 1;
    }
    ReplaceSelection({});
    if (edited_) edited_();
    return true;
}

void EditSession::ScrollToCaret() {
    const text::TextLayout& layout = model_.Layout();
    if (layout.lines.empty()) return;
    const int line = static_cast<int>(text::LineOfIndex(layout, caret_)) + 1;
    if (line < model_.Scroll()) model_.SetScroll(line);
    while (line > model_.BottomScroll() && model_.Scroll() < model_.MaxScroll()) model_.SetScroll(model_.Scroll() + 1);
    if (model_.WordWrap()) return;
    const double x = text::CaretX(layout, line - 1, caret_) - layout.bounds.xMin;
    const double visible = layout.bounds.Width() - 2 * text::kGutter;
    const double pixels = x / kTwipsPerPixel;
    const int hscroll = model_.HScroll();
    if (pixels - hscroll > visible / kTwipsPerPixel) {
        model_.SetHScroll(static_cast<int>(std::ceil(pixels - visible / kTwipsPerPixel)));
    } else if (pixels - text::kGutter / kTwipsPerPixel < hscroll) {
        model_.SetHScroll(static_cast<int>(std::floor(pixels - text::kGutter / kTwipsPerPixel)));
    }
}

}  // namespace swf
