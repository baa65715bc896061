#pragma once
// The keyboard focus among a stage's text fields, and what the user does to
// the focused one: clicking and dragging to place the caret and select,
// keys that move the caret or edit, typed characters, the clipboard, and
// clicks on links. Coordinates are stage twips; key codes are the movie's Key
// codes (the same numbers as the window system's virtual keys).

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "swf/model/geometry.h"
#include "swf/player/fields/edit_text_instance.h"

namespace swf {

class Clipboard;
class Stage;

namespace keys {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;
inline constexpr int kA = 65;
inline constexpr int kC = 67;
inline constexpr int kV = 86;
inline constexpr int kX = 88;
}  // namespace keys

struct KeyModifiers {
    bool shift = false;
    bool control = false;
};

class FocusManager {
public:
    // A click on a link: the field and the link's URL and target.
    // The focus moved: the field that lost it and the one that has it (either may be null).
    using FocusListener = std::function<void(EditTextInstance* lost, EditTextInstance* gained)>;
    using LinkHandler = std::function<void(EditTextInstance& field, const std::string& url, const std::string& target)>;

    explicit FocusManager(Stage& stage) : stage_(stage) {}

    EditTextInstance* Focused() const { return focused_; }
    // nullptr takes the focus away.
    void SetFocus(EditTextInstance* field);
    // The stage tells of every field that goes.
    void FieldDestroyed(EditTextInstance& field);

    void SetClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }
    void SetFocusListener(FocusListener listener) { focusListener_ = std::move(listener); }
    void SetLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }

    // A press over a selectable field focuses it and places the caret (drags
    // select); a press anywhere else takes the focus away. `overButton`: a
    // button lies on top and takes the press. `clicks` counts quick presses
    // in one place: the second selects the word there, the third the line.
    void PointerDown(Point p, bool overButton, int clicks = 1);
    void PointerMove(Point p);
    void PointerUp(Point p);
    // The link under the pointer, if any (for a hand cursor).
    bool PointerOverLink(Point p) const;
    // An input or selectable field under the pointer (for an I-beam cursor).
    bool PointerOverText(Point p) const;

    // True when the key was for the focused field (or moved the focus).
    bool KeyDown(int keyCode, KeyModifiers modifiers);
    // A typed character; control characters are ignored (keys handle them).
    bool CharacterTyped(char32_t c);

    // The fields Tab visits, in order: those with a tab index by index, when
    // any has one; else editable fields in display-list order.
    std::vector<EditTextInstance*> TabOrder() const;

private:
    struct Hit {
        EditTextInstance* field = nullptr;
        Point local;  // in the layout's own (unscrolled) space
    };
    Hit FieldAt(Point p) const;
    static Point ToLayout(const EditTextInstance& field, Point local);
    // The link (run URL) under a point of a field, or empty.
    static const text::TextFormat* LinkAt(const EditTextInstance& field, Point layoutPoint);
    // Keys held with Control (select all, clipboard, word moves), then the
    // others (caret moves, deleting, Enter); false when the key is not theirs.
    bool ControlKeyDown(int keyCode, bool shift);
    bool EditKeyDown(int keyCode, bool shift);
    void MoveCaret(std::size_t caret, bool extend);
    // Ctrl+arrow and Ctrl+Backspace/Delete: where the word before or after the caret starts.
    std::size_t WordMoveTarget(bool forward) const;
    void Copy(bool cut);
    void Paste();
    void MoveFocus(bool backward);

    Stage& stage_;
    EditTextInstance* focused_ = nullptr;
    Clipboard* clipboard_ = nullptr;
    LinkHandler linkHandler_;
    FocusListener focusListener_;
    bool dragging_ = false;
    // The link pressed on: it is followed when the press ends over it.
    EditTextInstance* linkField_ = nullptr;
    std::string linkUrl_;
};

}  // namespace swf
