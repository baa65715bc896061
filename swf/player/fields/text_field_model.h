#pragma once
// What a dynamic or input text field holds and shows, apart from any display
// list, editing or script: its formatted text, the format new text takes, the
// options (wrapping, password, border, background, auto-size), the box, the
// scroll position, and the line layout all of these give. The layout is made
// when first asked for and kept until one of its inputs changes; it is the
// one part that drawing threads read, so it sits behind a mutex.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "swf/model/edit_text.h"
#include "swf/player/fields/text_fonts.h"
#include "swf/text/text_format.h"
#include "swf/text/text_layout.h"

namespace swf {

// Line ends as fields keep them: one '\r' for "\r\n", "\n" or "\r".
std::u32string NormaliseBreaks(const std::u32string& text);

class TextFieldModel {
public:
    // Starts as the definition describes the field: options, box, format and initial text.
    TextFieldModel(const EditTextDefinition& definition, TextFonts& fonts);
    TextFieldModel(const TextFieldModel&) = delete;
    TextFieldModel& operator=(const TextFieldModel&) = delete;

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
    // Characters in the text; indices into the text count these.
    std::size_t Length() const;
    // Called after SetText and SetHtmlText replaced the whole text, so that
    // whoever keeps indices into it (the edit session) can keep them inside.
    void SetTextReplacedListener(std::function<void()> listener) { textReplaced_ = std::move(listener); }

    // The format the field starts with and gives text set without markup.
    const text::TextFormat& NewTextFormat() const { return newTextFormat_; }
    void SetNewTextFormat(const text::TextFormat& format);
    // Changes the format of characters [begin, end) (clamped to the text).
    void ChangeFormat(std::size_t begin, std::size_t end, const std::function<void(text::TextFormat&)>& change);
    // Puts `text` in place of characters [begin, end) (clamped to the text), in
    // the format of the first character replaced, else of the one before `begin`.
    void Replace(std::size_t begin, std::size_t end, const std::u32string& text);

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
    // The format the field starts with, from the definition's font, colour and paragraph layout.
    void SetUpNewTextFormat(const EditTextDefinition& definition);
    // Gives every run the embedded font its face names, when the field draws outlines.
    void ResolveFonts(text::FormattedText& runs) const;

    TextFonts& fonts_;
    text::FormattedText runs_;
    text::TextFormat newTextFormat_;
    std::function<void()> textReplaced_;
    Rect box_;
    bool html_;
    bool embedFonts_;
    bool wordWrap_, multiline_, password_, selectable_, border_, background_;
    Rgba borderColor_{0, 0, 0, 255};
    Rgba backgroundColor_{255, 255, 255, 255};
    text::AutoSize autoSize_ = text::AutoSize::None;
    int scroll_ = 1;
    int hscroll_ = 0;

    mutable std::mutex layoutMutex_;
    mutable text::FormattedText layoutRuns_;
    mutable text::TextLayout layout_;
    mutable bool layoutValid_ = false;
    mutable std::uint64_t layoutGeneration_ = 0;
    mutable std::uint64_t layoutStamp_ = 0;
};

}  // namespace swf
