#include "swf/player/fields/focus_selection.h"

#include <algorithm>

#include "swf/player/display/movie_clip.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/focus.h"

namespace swf {

DisplayTarget* FocusSelection::FocusedObject() {
    DisplayObject* focused = focus_.FocusedObject();
    return focused != nullptr ? ScriptFace(*focused) : nullptr;
}

bool FocusSelection::SetFocusedObject(DisplayTarget* object) {
    if (object == nullptr) {
        focus_.SetFocus(nullptr);
        return true;
    }
    auto* display = dynamic_cast<DisplayObject*>(object);
    if (display == nullptr || !focus_.CanTakeFocus(*display)) return false;
    focus_.ShowFocusRect();
    focus_.SetFocusObject(display);
    return true;
}

int FocusSelection::BeginIndex() {
    const EditTextInstance* field = focus_.Focused();
    return field ? static_cast<int>(field->Session().SelectionBegin()) : -1;
}

int FocusSelection::EndIndex() {
    const EditTextInstance* field = focus_.Focused();
    return field ? static_cast<int>(field->Session().SelectionEnd()) : -1;
}

int FocusSelection::CaretIndex() {
    const EditTextInstance* field = focus_.Focused();
    return field ? static_cast<int>(field->Session().Caret()) : -1;
}

void FocusSelection::SetSelection(int begin, int end) {
    EditTextInstance* field = focus_.Focused();
    if (field == nullptr) return;
    field->Session().SetSelection(static_cast<std::size_t>(std::max(0, begin)),
                                  static_cast<std::size_t>(std::max(0, end)));
}

}  // namespace swf
