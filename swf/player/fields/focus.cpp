#include "swf/player/fields/focus.h"

#include <algorithm>

#include "swf/player/fields/clipboard.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/stage.h"
#include "swf/text/caret_geometry.h"
#include "swf/text/html_text.h"
#include "swf/base/utf8.h"
#include "swf/text/word_boundaries.h"

namespace swf {

namespace {

constexpr double kTwipsPerPixel = 20;

// Not hidden, nor inside a hidden clip.
bool ShownOnStage(const DisplayObject& object) {
    if (!object.Visible()) return false;
    for (const MovieClip* clip = object.Parent(); clip != nullptr; clip = clip->Parent()) {
        if (!clip->Visible()) return false;
    }
    return true;
}

}  // namespace

DisplayObject* FocusManager::FocusedObject() const {
    return focused_ != nullptr ? static_cast<DisplayObject*>(focused_) : focusedObject_;
}

void FocusManager::SetFocus(EditTextInstance* field) { SetFocusObject(field); }

void FocusManager::SetFocusObject(DisplayObject* object) {
    DisplayObject* lost = FocusedObject();
    if (object == lost) return;
    if (focused_ != nullptr) focused_->Session().SetFocused(false);
    focused_ = nullptr;
    focusedObject_ = nullptr;
    dragging_ = false;
    if (object != nullptr && object->Kind() == DisplayKind::EditText) {
        focused_ = static_cast<EditTextInstance*>(object);
        focused_->Session().SetFocused(true);
    } else {
        focusedObject_ = object;
    }
    if (!focusListener_) return;
    FocusChange change{lost, object};
    changes_.push_back(&change);
    struct Pop {
        std::vector<FocusChange*>& changes;
        ~Pop() { changes.pop_back(); }
    } pop{changes_};
    focusListener_(change);
}

bool FocusManager::CanTakeFocus(DisplayObject& object) {
    switch (object.Kind()) {
    case DisplayKind::EditText: {
        const auto& field = static_cast<EditTextInstance&>(object);
        return field.Session().Editable() || field.Model().Selectable();
    }
    case DisplayKind::Button: return true;
    case DisplayKind::MovieClip:
        if (scripts_ == nullptr) return false;
        return scripts_->ActsAsButton(static_cast<MovieClip&>(object)) ||
               scripts_->Flag(object, "focusEnabled").value_or(false) ||
               scripts_->Flag(object, "tabEnabled").value_or(false);
    default: return false;
    }
}

void FocusManager::FieldDestroyed(EditTextInstance& field) {
    ObjectDestroyed(field);
    if (linkField_ == &field) linkField_ = nullptr;
}

void FocusManager::ObjectDestroyed(DisplayObject& object) {
    if (FocusedObject() == &object) {
        focused_ = nullptr;
        focusedObject_ = nullptr;
        dragging_ = false;
    }
    for (FocusChange* change : changes_) {
        if (change->lost == &object) change->lost = nullptr;
        if (change->gained == &object) change->gained = nullptr;
    }
}

std::optional<Rect> FocusManager::FocusRectBounds() {
    DisplayObject* object = focusedObject_;
    if (object == nullptr || !rectShown_ || !ShownOnStage(*object)) return std::nullopt;
    if (scripts_ != nullptr && !scripts_->ShowsFocusRect(*object)) return std::nullopt;
    const Rect bounds = TransformBounds(LocalBounds(*object), ObjectToStage(*object));
    if (bounds.Width() <= 0 || bounds.Height() <= 0) return std::nullopt;
    return bounds;
}

Point FocusManager::ToLayout(const EditTextInstance& field, Point local) {
    // The layout is drawn scrolled: lines up by the first shown line's top, left by hscroll.
    const text::TextLayout& layout = field.Model().Layout();
    if (layout.lines.empty()) return local;
    const std::size_t first = static_cast<std::size_t>(field.Model().Scroll() - 1);
    const double dy = layout.lines[first].top - layout.lines.front().top;
    return {local.x + field.Model().HScroll() * kTwipsPerPixel, local.y + dy};
}

FocusManager::Hit FocusManager::FieldAt(Point p) const {
    EditTextInstance* field = nullptr;
    for (auto it = stage_.Levels().rbegin(); it != stage_.Levels().rend() && field == nullptr; ++it) {
        field = FindFieldAt(it->second->Children(), it->second->GetPlacement().matrix, p);
    }
    if (field == nullptr) field = FindFieldAt(stage_.Root().Children(), Matrix{}, p);
    if (field == nullptr) return {};
    Matrix inverse;
    if (!ObjectToStage(*field).Invert(&inverse)) return {};
    return {field, ToLayout(*field, inverse.Apply(p))};
}

const text::TextFormat* FocusManager::LinkAt(const EditTextInstance& field, Point layoutPoint) {
    const std::size_t index = text::GlyphAt(field.Model().Layout(), layoutPoint);
    if (index == text::kNoIndex) return nullptr;
    std::size_t at = 0;
    for (const text::FormattedRun& run : field.Model().Runs()) {
        if (index < at + run.text.size()) return run.format.url.empty() ? nullptr : &run.format;
        at += run.text.size();
    }
    return nullptr;
}

void FocusManager::PointerDown(Point p, bool overButton, int clicks) {
    linkField_ = nullptr;
    // The mouse is in use: the focus rectangle stays off until the keyboard moves the focus.
    rectShown_ = false;
    const Hit hit = overButton ? Hit{} : FieldAt(p);
    if (hit.field == nullptr) {
        // A button or clip keeps the focus it was given by the keyboard.
        if (focused_ != nullptr) SetFocus(nullptr);
        return;
    }
    if (const text::TextFormat* link = LinkAt(*hit.field, hit.local)) {
        linkField_ = hit.field;
        linkUrl_ = link->url;
        return;
    }
    if (!hit.field->Model().Selectable()) {
        if (focused_ != nullptr) SetFocus(nullptr);
        return;
    }
    SetFocus(hit.field);
    const text::TextLayout& layout = hit.field->Model().Layout();
    const std::size_t index = text::IndexAt(layout, hit.local);
    // A double or triple click selects a whole word or line; it does not drag.
    dragging_ = clicks < 2;
    if (clicks == 2 && !hit.field->Model().Password()) {
        // The word under the pointer, not the one the nearest gap ends.
        const std::size_t glyph = text::GlyphAt(layout, hit.local);
        const text::Span word =
            text::WordAt(text::PlainText(hit.field->Model().Runs()), glyph != text::kNoIndex ? glyph : index);
        hit.field->Session().SetSelection(word.begin, word.end);
        return;
    }
    if (clicks >= 3 && !layout.lines.empty()) {
        const text::TextLine& line = layout.lines[text::LineOfIndex(layout, index)];
        hit.field->Session().SetSelection(line.begin, line.end);
        return;
    }
    hit.field->Session().SetSelection(index, index);
}

void FocusManager::PointerMove(Point p) {
    if (!dragging_ || focused_ == nullptr) return;
    Matrix inverse;
    if (!ObjectToStage(*focused_).Invert(&inverse)) return;
    const Point local = ToLayout(*focused_, inverse.Apply(p));
    EditSession& edit = focused_->Session();
    edit.SetSelection(edit.Anchor(), text::IndexAt(focused_->Model().Layout(), local));
    edit.ScrollToCaret();
}

void FocusManager::PointerUp(Point p) {
    PointerMove(p);
    dragging_ = false;
    EditTextInstance* pressed = linkField_;
    linkField_ = nullptr;
    if (pressed == nullptr) return;
    const Hit hit = FieldAt(p);
    if (hit.field != pressed) return;
    const text::TextFormat* link = LinkAt(*pressed, hit.local);
    if (link != nullptr && link->url == linkUrl_ && linkHandler_) linkHandler_(*pressed, link->url, link->target);
}

bool FocusManager::PointerOverLink(Point p) const {
    const Hit hit = FieldAt(p);
    return hit.field != nullptr && LinkAt(*hit.field, hit.local) != nullptr;
}

bool FocusManager::PointerOverText(Point p) const {
    const Hit hit = FieldAt(p);
    return hit.field != nullptr && (hit.field->Session().Editable() || hit.field->Model().Selectable());
}

void FocusManager::MoveCaret(std::size_t caret, bool extend) {
    EditSession& edit = focused_->Session();
    edit.SetSelection(extend ? edit.Anchor() : caret, caret);
    edit.ScrollToCaret();
}

std::size_t FocusManager::WordMoveTarget(bool forward) const {
    const TextFieldModel& model = focused_->Model();
    const std::size_t caret = focused_->Session().Caret();
    // A password is one word: its characters must not show where words end.
    if (model.Password()) return forward ? model.Length() : 0;
    const std::u32string text = text::PlainText(model.Runs());
    return forward ? text::NextWordStart(text, caret) : text::PreviousWordStart(text, caret);
}

void FocusManager::Copy(bool cut) {
    const TextFieldModel& model = focused_->Model();
    EditSession& edit = focused_->Session();
    // Password text never leaves the field.
    if (clipboard_ == nullptr || model.Password()) return;
    if (edit.SelectionBegin() == edit.SelectionEnd()) return;
    std::u32string selected = edit.SelectedText();
    // Paragraph ends go out as the system's line ends.
    std::u32string out;
    for (const char32_t c : selected) {
        if (c == '\r')
            out += U"\r\n";
        else
            out.push_back(c);
    }
    if (model.Html()) {
        const text::FormattedText runs = text::SliceRuns(model.Runs(), edit.SelectionBegin(), edit.SelectionEnd());
        clipboard_->SetTextAndHtml(base::EncodeUtf8(out), text::FormatHtmlText(runs));
    } else {
        clipboard_->SetText(base::EncodeUtf8(out));
    }
    if (cut) edit.UserDelete(false);
}

void FocusManager::Paste() {
    EditSession& edit = focused_->Session();
    if (clipboard_ == nullptr || !edit.Editable()) return;
    if (const std::optional<std::string> pasted = clipboard_->GetText()) {
        edit.UserInput(base::DecodeUtf8(*pasted, base::BadBytes::Replace));
        edit.ScrollToCaret();
    }
}

std::optional<bool> FocusManager::Flag(DisplayObject& object, const char* name) {
    return scripts_ != nullptr ? scripts_->Flag(object, name) : std::nullopt;
}

void FocusManager::CollectTabStops(const DisplayList& list, std::vector<TabStop>& out) {
    for (const auto& [depth, child] : list) {
        DisplayObject& object = *child;
        if (!object.Visible()) continue;
        const std::optional<bool> tabEnabled = Flag(object, "tabEnabled");
        const bool enabled = scripts_ == nullptr || scripts_->Enabled(object);
        switch (object.Kind()) {
        case DisplayKind::EditText: {
            auto& field = static_cast<EditTextInstance&>(object);
            if (tabEnabled == false) break;
            std::optional<double> index;
            if (field.TabIndex()) index = *field.TabIndex();
            if (index || field.Session().Editable()) out.push_back({&object, index});
            break;
        }
        case DisplayKind::Button:
            if (tabEnabled == false || !enabled) break;
            out.push_back({&object, scripts_ != nullptr ? scripts_->Number(object, "tabIndex") : std::nullopt});
            break;
        case DisplayKind::MovieClip: {
            auto& clip = static_cast<MovieClip&>(object);
            const bool stop = enabled && (tabEnabled == true ||
                                          (tabEnabled != false && scripts_ != nullptr && scripts_->ActsAsButton(clip)));
            if (stop)
                out.push_back({&object, scripts_ != nullptr ? scripts_->Number(object, "tabIndex") : std::nullopt});
            if (Flag(object, "tabChildren") != false) CollectTabStops(clip.Children(), out);
            break;
        }
        default: break;
        }
    }
}

std::vector<DisplayObject*> FocusManager::TabOrder() {
    std::vector<TabStop> stops;
    CollectTabStops(stage_.Root().Children(), stops);
    for (const auto& [level, clip] : stage_.Levels()) CollectTabStops(clip->Children(), stops);
    const bool indexed = std::any_of(stops.begin(), stops.end(), [](const TabStop& s) { return s.index.has_value(); });
    if (indexed) {
        std::erase_if(stops, [](const TabStop& s) { return !s.index.has_value(); });
        std::stable_sort(stops.begin(), stops.end(),
                         [](const TabStop& a, const TabStop& b) { return *a.index < *b.index; });
    } else {
        // Top to bottom, then left to right, by the top left corner of each object's bounds on the stage.
        std::vector<std::pair<Point, TabStop>> placed;
        for (const TabStop& s : stops) {
            const Rect b = TransformBounds(LocalBounds(*s.object), ObjectToStage(*s.object));
            placed.push_back({Point{static_cast<double>(b.xMin), static_cast<double>(b.yMin)}, s});
        }
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
        });
        for (std::size_t i = 0; i < placed.size(); ++i) stops[i] = placed[i].second;
    }
    std::vector<DisplayObject*> order;
    for (const TabStop& s : stops) order.push_back(s.object);
    return order;
}

void FocusManager::MoveFocus(bool backward) {
    const std::vector<DisplayObject*> order = TabOrder();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), FocusedObject());
    std::size_t next = 0;
    if (at == order.end()) {
        next = backward ? order.size() - 1 : 0;
    } else {
        const std::size_t i = static_cast<std::size_t>(at - order.begin());
        next = backward ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
    }
    rectShown_ = true;
    SetFocusObject(order[next]);
    // A field reached by Tab has all its text selected (unless its handlers moved the focus on).
    if (focused_ != nullptr && focused_ == order[next]) {
        focused_->Session().SetSelection(0, focused_->Model().Length());
        focused_->Session().ScrollToCaret();
    }
}

bool FocusManager::KeyDown(int keyCode, KeyModifiers mods) {
    if (keyCode == keys::kTab) {
        MoveFocus(mods.shift);
        return FocusedObject() != nullptr;
    }
    if (focusedObject_ != nullptr) {
        if (keyCode != keys::kEnter && keyCode != keys::kSpace) return false;
        // A button or clip a script disabled after it got the focus keeps it, but does not act.
        const bool enabled = scripts_ == nullptr || scripts_->Enabled(*focusedObject_);
        if (enabled && pressHandler_) pressHandler_(*focusedObject_);
        return true;
    }
    if (focused_ == nullptr) return false;
    if (mods.control && ControlKeyDown(keyCode, mods.shift)) return true;
    return EditKeyDown(keyCode, mods.shift);
}

bool FocusManager::ControlKeyDown(int keyCode, bool shift) {
    EditSession& edit = focused_->Session();
    const std::size_t length = focused_->Model().Length();
    switch (keyCode) {
    case keys::kA: edit.SetSelection(0, length); return true;
    case keys::kC: Copy(false); return true;
    case keys::kX: Copy(edit.Editable()); return true;
    case keys::kV: Paste(); return true;
    case keys::kHome: MoveCaret(0, shift); return true;
    case keys::kEnd: MoveCaret(length, shift); return true;
    case keys::kLeft:
    case keys::kRight: MoveCaret(WordMoveTarget(keyCode == keys::kRight), shift); return true;
    case keys::kBackspace:
    case keys::kDelete:
        // A selection goes as it is; else the word up to the caret, or from it.
        if (edit.SelectionBegin() == edit.SelectionEnd() && edit.Editable())
            edit.SetSelection(WordMoveTarget(keyCode == keys::kDelete), edit.Caret());
        edit.UserDelete(keyCode == keys::kDelete);
        edit.ScrollToCaret();
        return true;
    default: return false;
    }
}

bool FocusManager::EditKeyDown(int keyCode, bool shift) {
    EditSession& edit = focused_->Session();
    const TextFieldModel& model = focused_->Model();
    const std::size_t caret = edit.Caret();
    const text::TextLayout& layout = model.Layout();
    const std::size_t line = text::LineOfIndex(layout, caret);
    const bool collapsed = edit.SelectionBegin() == edit.SelectionEnd();
    switch (keyCode) {
    case keys::kLeft:
        // Without shift, a selection collapses to its start.
        if (!shift && !collapsed)
            MoveCaret(edit.SelectionBegin(), false);
        else
            MoveCaret(caret > 0 ? caret - 1 : 0, shift);
        return true;
    case keys::kRight:
        if (!shift && !collapsed)
            MoveCaret(edit.SelectionEnd(), false);
        else
            MoveCaret(std::min(caret + 1, model.Length()), shift);
        return true;
    case keys::kUp:
    case keys::kDown: {
        if (layout.lines.empty()) return true;
        const bool up = keyCode == keys::kUp;
        if (up ? line == 0 : line + 1 >= layout.lines.size()) {
            MoveCaret(up ? 0 : model.Length(), shift);
            return true;
        }
        const double x = text::CaretX(layout, line, caret);
        MoveCaret(text::IndexOnLine(layout, up ? line - 1 : line + 1, x), shift);
        return true;
    }
    case keys::kHome: MoveCaret(layout.lines.empty() ? 0 : layout.lines[line].begin, shift); return true;
    case keys::kEnd: MoveCaret(layout.lines.empty() ? 0 : layout.lines[line].end, shift); return true;
    case keys::kBackspace:
    case keys::kDelete:
        edit.UserDelete(keyCode == keys::kDelete);
        edit.ScrollToCaret();
        return true;
    case keys::kEnter:
        if (model.Multiline() && edit.UserInput(U"\r")) edit.ScrollToCaret();
        return true;
    default: return false;
    }
}

bool FocusManager::CharacterTyped(char32_t c) {
    if (focused_ == nullptr || c < 0x20 || c == 0x7F) return false;
    if (focused_->Session().UserInput(std::u32string(1, c))) focused_->Session().ScrollToCaret();
    return true;
}

}  // namespace swf
