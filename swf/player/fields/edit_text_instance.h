#pragma once
// A dynamic or input text field on a display list: its text (plain or HTML),
// formatting, scroll position and the layout they give. Scripts reach a field
// through this interface; a field bound to a variable takes that variable's
// text whenever the player refreshes it.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "swf/actions/action_target.h"
#include "swf/actions/text_field_target.h"
#include "swf/model/edit_text.h"
#include "swf/player/display/display_object.h"
#include "swf/player/fields/text_fonts.h"
#include "swf/text/text_format.h"
#include "swf/text/text_layout.h"

namespace swf {

class EditTextInstance;

// Knows the live fields, so the player can refresh their variables each frame.
class FieldRegistry {
public:
    virtual ~FieldRegistry() = default;
    virtual void FieldCreated(EditTextInstance& field) = 0;
    virtual void FieldDestroyed(EditTextInstance& field) = 0;
};

class EditTextInstance final : public DisplayObject, public DisplayTarget, public TextFieldTarget {
public:
    // Returns the bound variable's current text, or nothing when it is unset.
    using VariableSource = std::function<std::optional<std::string>()>;
    // Stores the field's text into the bound variable.
    using VariableSink = std::function<void(const std::string&)>;

    EditTextInstance(const Placement& placement, const EditTextDefinition& definition, TextFonts& fonts,
                     FieldRegistry* registry);
    // A field made by script (createTextField): it owns its definition.
    EditTextInstance(const Placement& placement, std::shared_ptr<const EditTextDefinition> definition, TextFonts& fonts,
                     FieldRegistry* registry);
    ~EditTextInstance() override;

    DisplayKind Kind() const override { return DisplayKind::EditText; }
    const EditTextDefinition& Definition() const { return definition_; }

    // Text as UTF-8; paragraphs end with '\r'.
    std::string Text() const;
    // Replaces the text, all of it in the format for new text.
    void SetText(const std::string& text);
    // The text as HTML (generated from the runs when set as plain text).
    std::string HtmlText() const;
    // An HTML field parses the markup; a plain one shows it as it is.
    void SetHtmlText(const std::string& html);
    bool Html() const { return html_; }
    void SetHtml(bool html) { html_ = html; }
    const text::FormattedText& Runs() const { return runs_; }

    // The format the field starts with and gives text set without markup.
    const text::TextFormat& NewTextFormat() const { return newTextFormat_; }
    void SetNewTextFormat(const text::TextFormat& format);
    // Changes the format of characters [begin, end) (clamped to the text).
    void ChangeFormat(std::size_t begin, std::size_t end, const std::function<void(text::TextFormat&)>& change);

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on) { Change(wordWrap_, on); }
    bool Multiline() const { return multiline_; }
    void SetMultiline(bool on) { multiline_ = on; }
    // Whether the field draws with embedded glyphs (else device fonts).
    bool EmbedFonts() const { return embedFonts_; }
    void SetEmbedFonts(bool on) { Change(embedFonts_, on); }
    bool Password() const { return password_; }
    void SetPassword(bool on) { Change(password_, on); }
    bool Selectable() const { return selectable_; }
    void SetSelectable(bool on) { selectable_ = on; }
    bool Border() const { return border_; }
    void SetBorder(bool on) { border_ = on; }
    Rgba BorderColor() const { return borderColor_; }
    void SetBorderColor(Rgba color) { borderColor_ = color; }
    bool Background() const { return background_; }
    void SetBackground(bool on) { background_ = on; }
    Rgba BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(Rgba color) { backgroundColor_ = color; }
    text::AutoSize GetAutoSize() const { return autoSize_; }
    void SetAutoSize(text::AutoSize mode) { Change(autoSize_, mode); }
    std::optional<std::uint16_t> MaxChars() const { return maxChars_; }
    void SetMaxChars(std::optional<std::uint16_t> count) { maxChars_ = count; }

    // The box in the field's space (grown or shrunk when auto-sized).
    Rect Bounds() const { return Layout().bounds; }
    // Sets the box as scripts do with _width/_height (twips).
    void SetBoxSize(double width, double height);

    // Lines counted from 1; pixels for the sideways scroll and text extent.
    int Scroll() const;
    void SetScroll(int line);
    int MaxScroll() const;
    int BottomScroll() const;
    int HScroll() const { return hscroll_; }
    void SetHScroll(int pixels);
    int MaxHScroll() const;
    double TextWidth() const;
    double TextHeight() const;

    const std::string& VariableName() const { return variableName_; }
    void SetVariableName(const std::string& name) { variableName_ = name; }
    // The script side gives a bound field its source; RefreshFromVariable
    // (the player calls it each frame) shows the variable's text when it changed.
    void SetVariableSource(VariableSource source) { variableSource_ = std::move(source); }
    void RefreshFromVariable();
    // The player gives a bound field its sink; text the user edits goes there.
    void SetVariableSink(VariableSink sink) { variableSink_ = std::move(sink); }

    // Editing. Indices count characters of Text(); the selection runs from the
    // anchor (where it started) to the caret (where it ends), either way round.
    bool Editable() const { return editable_; }  // an input field, not a dynamic one
    void SetEditable(bool on) { editable_ = on; }
    // The characters the user may type (see CharacterRestriction); none: any.
    const std::optional<std::string>& Restrict() const { return restrict_; }
    void SetRestrict(std::optional<std::string> pattern) { restrict_ = std::move(pattern); }
    // Tab order position set by scripts; fields without one follow the display list.
    std::optional<int> TabIndex() const { return tabIndex_; }
    void SetTabIndex(std::optional<int> index) { tabIndex_ = index; }
    std::size_t Length() const;
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
    // line breaks in a single-line field, room beyond maxChars) are dropped,
    // the rest replaces the selection and the bound variable gets the text.
    // False when nothing changed.
    bool UserInput(const std::u32string& typed);
    // The user deleted the selection, or else the character before (or after)
    // the caret. False when there was nothing to delete.
    bool UserDelete(bool forward);
    // Script set the text: the bound variable takes it at once.
    void ScriptChangedText();
    // Called after every edit by the user (the script side raises onChanged here).
    void SetChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }
    // Called from CheckScroll when scroll, maxscroll, hscroll or maxhscroll
    // moved since the last check (the script side raises onScroller here).
    void SetScrollListener(std::function<void()> listener) { scrollListener_ = std::move(listener); }
    // The player checks each frame; the first check only takes note.
    void CheckScroll();
    // Whether the field has the keyboard focus (it then shows its caret and selection).
    bool Focused() const { return focused_; }
    void SetFocused(bool on) {
        focused_ = on;
        caretShown_ = true;
    }
    // False while a blinking caret is in its hidden half.
    bool CaretShown() const { return caretShown_; }
    // The caret is recorded for partial redraw as a drawing of its own, so
    // that its blinking redraws its rectangle only; this is its identity.
    const void* CaretIdentity() const { return &caretShown_; }
    void SetCaretShown(bool on) { caretShown_ = on; }
    // Scrolls so that the caret's line (and, in a field that does not wrap, its x) shows.
    void ScrollToCaret();

    // DisplayTarget and TextFieldTarget (text_field_scripting.cpp does the work).
    double GetDisplayNumber(DisplayProperty property) override;
    void SetDisplayNumber(DisplayProperty property, double value) override;
    std::string InstanceName() const override { return GetPlacement().name; }
    void SetInstanceName(const std::string& name) override;
    ActionTarget* ParentTimeline() override;
    std::string Url() const override;
    TextFieldTarget* AsTextField() override { return this; }
    TextFieldValue GetTextMember(TextFieldMember member) override;
    void SetTextMember(TextFieldMember member, const TextFieldValue& value) override;
    ScriptTextFormat GetTextFormat(std::size_t begin, std::size_t end) override;
    void SetTextFormat(std::size_t begin, std::size_t end, const ScriptTextFormat& format) override;
    ScriptTextFormat GetNewTextFormat() override;
    void SetNewTextFormat(const ScriptTextFormat& format) override;
    void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) override;
    void ReplaceSel(const std::string& text) override;
    void RemoveTextField() override;
    int ScriptDepth() const override;

    // The layout of what is shown (password fields: asterisks), made when
    // needed, and the runs its glyphs refer to. Bands of one frame drawn on
    // two threads may ask at once; nothing changes the field meanwhile.
    const text::TextLayout& Layout() const;
    const text::FormattedText& LayoutRuns() const {
        Layout();
        return layoutRuns_;
    }
    const TextFonts& Fonts() const { return fonts_; }
    // Names the current layout: it changes whenever the layout is made again
    // (text, formats, box, fonts), and no two layouts of any fields share one,
    // so what was drawn from a layout can be known by it.
    std::uint64_t LayoutStamp() const {
        Layout();
        return layoutStamp_;
    }

private:
    template <typename T>
    void Change(T& field, T value) {
        if (field != value) {
            field = value;
            Invalidate();
        }
    }
    void Invalidate() { layoutValid_ = false; }
    // The user changed the text: the variable and the listener hear of it.
    void UserChanged();
    // Gives every run the embedded font its face names, when the field draws outlines.
    void ResolveFonts(text::FormattedText& runs) const;

    std::shared_ptr<const EditTextDefinition> ownedDefinition_;
    const EditTextDefinition& definition_;
    TextFonts& fonts_;
    FieldRegistry* registry_;
    text::FormattedText runs_;
    text::TextFormat newTextFormat_;
    Rect box_;
    bool html_;
    bool embedFonts_;
    bool wordWrap_, multiline_, password_, selectable_, border_, background_;
    Rgba borderColor_{0, 0, 0, 255};
    Rgba backgroundColor_{255, 255, 255, 255};
    text::AutoSize autoSize_ = text::AutoSize::None;
    std::optional<std::uint16_t> maxChars_;
    int scroll_ = 1;
    int hscroll_ = 0;
    std::string variableName_;
    VariableSource variableSource_;
    std::optional<std::string> lastVariableText_;
    VariableSink variableSink_;
    bool editable_;
    std::optional<std::string> restrict_;
    std::optional<int> tabIndex_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    bool focused_ = false;
    bool caretShown_ = true;
    std::function<void()> changeListener_;
    std::function<void()> scrollListener_;
    std::optional<std::array<int, 4>> lastScroll_;

    mutable std::mutex layoutMutex_;
    mutable text::FormattedText layoutRuns_;
    mutable text::TextLayout layout_;
    mutable bool layoutValid_ = false;
    mutable std::uint64_t layoutGeneration_ = 0;
    mutable std::uint64_t layoutStamp_ = 0;
};

}  // namespace swf
