#pragma once
// The user's side of a text field: the selection and caret, whether the field
// has the keyboard focus and shows its caret, the rules for what the user may
// type (input field or not, restrict, maxChars), and the edits themselves
// (typing, deleting, replacing the selection) with the scrolling that keeps
// the caret in view. It works on the field's model and knows nothing of the
// display list or of scripts; whoever owns it hears of each edit by the user.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "swf/model/edit_text.h"
#include "swf/player/fields/text_field_model.h"

namespace swf {

class EditSession {
public:
    // Editable and maxChars start as the definition says; the session keeps the
    // selection inside the model's text whenever that is replaced.
    EditSession(TextFieldModel& model, const EditTextDefinition& definition);
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    bool Editable() const { return editable_; }  // an input field, not a dynamic one
    void SetEditable(bool on) { editable_ = on; }
    // The characters the user may type (see CharacterRestriction); none: any.
    const std::optional<std::string>& Restrict() const { return restrict_; }
    void SetRestrict(std::optional<std::string> pattern) { restrict_ = std::move(pattern); }
    std::optional<std::uint16_t> MaxChars() const { return maxChars_; }
    void SetMaxChars(std::optional<std::uint16_t> count) { maxChars_ = count; }

    // Indices count characters of the model's text; the selection runs from
    // the anchor (where it started) to the caret (where it ends), either way round.
    std::size_t Anchor() const { return anchor_; }
    std::size_t Caret() const { return caret_; }
    std::size_t SelectionBegin() const { return std::min(anchor_, caret_); }
    std::size_t SelectionEnd() const { return std::max(anchor_, caret_); }
    // Both clamped to the text.
    void SetSelection(std::size_t anchor, std::size_t caret);
    std::u32string SelectedText() const;
    // Puts `text` in place of the selection, in the format of the selection's
    // first character (or the one before the caret), and leaves the caret after it.
    void ReplaceSelection(const std::u32string& text);
    // The user typed or pasted `typed`: characters the field refuses (restrict,
    // line breaks in a single-line field, room beyond maxChars) are dropped and
    // the rest replaces the selection. False when nothing changed.
    bool UserInput(const std::u32string& typed);
    // The user deleted the selection, or else the character before (or after)
    // the caret. False when there was nothing to delete.
    bool UserDelete(bool forward);
    // Called after every edit by the user (the field passes the text on to its
    // variable and its change listener).
    void SetEditListener(std::function<void()> listener) { edited_ = std::move(listener); }
    // Scrolls so that the caret's line (and, in a field that does not wrap, its x) shows.
    void ScrollToCaret();

    // Whether the field has the keyboard focus (it then shows its caret and selection).
    bool Focused() const { return focused_; }
    void SetFocused(bool on) {
        focused_ = on;
        caretShown_ = true;
    }
    // False while a blinking caret is in its hidden half.
    bool CaretShown() const { return caretShown_; }
    void SetCaretShown(bool on) { caretShown_ = on; }
    // The caret is recorded for partial redraw as a drawing of its own, so
    // that its blinking redraws its rectangle only; this is its identity.
    const void* CaretIdentity() const { return &caretShown_; }

private:
    // What of `typed` the field takes: its line ends, restriction and room.
    std::u32string Admitted(const std::u32string& typed) const;

    TextFieldModel& model_;
    bool editable_;
    std::optional<std::string> restrict_;
    std::optional<std::uint16_t> maxChars_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    bool focused_ = false;
    bool caretShown_ = true;
    std::function<void()> edited_;
};

}  // namespace swf
