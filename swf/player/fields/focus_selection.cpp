#include "swf/player/fields/focus_selection.h"

#include <algorithm>

#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/focus.h"

namespace swf {

DisplayTarget* FocusSelection::FocusedObject() { return focus_.Focused(); }

bool FocusSelection::SetFocusedObject(DisplayTarget* object) {
    if (object == nullptr) {
        focus_.SetFocus(nullptr);
        return true;
    }
    auto* field = dynamic_cast<EditTextInstance*>(object);
    if (field == nullptr || !(field->Session().Editable() || field->Model().Selectable())) return false;
    focus_.SetFocus(field);
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
