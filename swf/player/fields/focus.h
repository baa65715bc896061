#pragma once
// The keyboard focus among a stage's text fields, buttons and clips acting as
// buttons: Tab and Shift+Tab move it, Enter and Space press a focused button
// or clip, and the focused field gets what the user does to it: clicking and
// dragging to place the caret and select, keys that move the caret or edit,
// typed characters, the clipboard, and clicks on links. Coordinates are stage
// twips; key codes are the movie's Key codes (the same numbers as the window
// system's virtual keys).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "swf/model/geometry.h"
#include "swf/player/fields/edit_text_instance.h"

namespace swf {

class Clipboard;
class MovieClip;
class Stage;

namespace keys {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kSpace = 32;
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

// What the focus reads of the movie's scripts: the tab members (tabIndex,
// tabEnabled, tabChildren, focusEnabled, enabled) of display objects' script
// objects, which clips act as buttons, and whether an object shows the
// focus rectangle (_focusrect). Without one, objects have none of these.
class FocusScripts {
public:
    virtual ~FocusScripts() = default;
    // A Boolean member of the object or its prototypes; none when unset or not Boolean.
    virtual std::optional<bool> Flag(DisplayObject& object, const char* name) = 0;
    // A number member likewise.
    virtual std::optional<double> Number(DisplayObject& object, const char* name) = 0;
    virtual bool Enabled(DisplayObject& object) = 0;
    virtual bool ActsAsButton(MovieClip& clip) = 0;
    virtual bool ShowsFocusRect(DisplayObject& object) = 0;
};

class FocusManager {
public:
    // The focus moved from `lost` to `gained` (either may be null). Each is
    // set to null as soon as its object goes, also while the listener runs
    // the movie's handlers: read them afresh after each.
    struct FocusChange {
        DisplayObject* lost = nullptr;
        DisplayObject* gained = nullptr;
    };
    using FocusListener = std::function<void(const FocusChange& change)>;
    // A click on a link: the field and the link's URL and target.
    using LinkHandler = std::function<void(EditTextInstance& field, const std::string& url, const std::string& target)>;
    // Enter or Space on a focused button or clip: press and release it.
    using PressHandler = std::function<void(DisplayObject& object)>;

    explicit FocusManager(Stage& stage) : stage_(stage) {}

    // The field with the focus, if a field has it.
    EditTextInstance* Focused() const { return focused_; }
    // Whatever has the focus: a field, a button or a clip.
    DisplayObject* FocusedObject() const;
    // nullptr takes the focus away.
    void SetFocus(EditTextInstance* field);
    // A field, button or clip (see CanTakeFocus); nullptr takes the focus away.
    void SetFocusObject(DisplayObject* object);
    // Fields that are input or selectable, buttons, and clips that act as
    // buttons or have focusEnabled or tabEnabled set true.
    bool CanTakeFocus(DisplayObject& object);
    // The stage tells of every field, button and clip that goes.
    void FieldDestroyed(EditTextInstance& field);
    void ObjectDestroyed(DisplayObject& object);

    // Not owned; may be nullptr.
    void SetScripts(FocusScripts* scripts) { scripts_ = scripts; }
    void SetClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }
    void SetFocusListener(FocusListener listener) { focusListener_ = std::move(listener); }
    void SetLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }
    void SetPressHandler(PressHandler handler) { pressHandler_ = std::move(handler); }

    // Where the yellow focus rectangle goes (stage twips): around the focused
    // button or clip, unless its _focusrect (or the movie's) is false, or the
    // mouse was pressed since the focus last moved. Fields show their caret instead.
    std::optional<Rect> FocusRectBounds();
    // A script gave the focus: the rectangle shows again.
    void ShowFocusRect() { rectShown_ = true; }

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

    // True when the key was for the focused field or object (or moved the focus).
    bool KeyDown(int keyCode, KeyModifiers modifiers);
    // A typed character; control characters are ignored (keys handle them).
    bool CharacterTyped(char32_t c);

    // What Tab visits, in order. When any object has a tab index, those with
    // one by ascending index; else, by their place on the stage (top to
    // bottom, then left to right), input fields, enabled buttons and clips
    // that act as buttons or have tabEnabled true. Hidden objects and those
    // with tabEnabled false are left out, and so is all inside a hidden clip
    // or one with tabChildren false.
    std::vector<DisplayObject*> TabOrder();

private:
    struct TabStop {
        DisplayObject* object = nullptr;
        std::optional<double> index;
    };
    void CollectTabStops(const DisplayList& list, std::vector<TabStop>& out);
    std::optional<bool> Flag(DisplayObject& object, const char* name);
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
    FocusScripts* scripts_ = nullptr;
    EditTextInstance* focused_ = nullptr;
    // A button or clip with the focus (never while a field has it).
    DisplayObject* focusedObject_ = nullptr;
    // Off after a mouse press, on when the keyboard or a script moves the focus.
    bool rectShown_ = false;
    // The changes whose listeners are running (nested ones last).
    std::vector<FocusChange*> changes_;
    Clipboard* clipboard_ = nullptr;
    LinkHandler linkHandler_;
    FocusListener focusListener_;
    PressHandler pressHandler_;
    bool dragging_ = false;
    // The link pressed on: it is followed when the press ends over it.
    EditTextInstance* linkField_ = nullptr;
    std::string linkUrl_;
};

}  // namespace swf
