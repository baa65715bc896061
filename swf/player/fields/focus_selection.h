#pragma once
// The Selection object's view of the player's focus model: which field,
// button or clip has the keyboard focus and what is selected in a field.

#include "swf/actions/selection_host.h"

namespace swf {

class FocusManager;

class FocusSelection final : public SelectionHost {
public:
    explicit FocusSelection(FocusManager& focus) : focus_(focus) {}

    DisplayTarget* FocusedObject() override;
    // Input and selectable text fields, buttons, and clips that act as buttons
    // or have focusEnabled set take the focus; other objects do not.
    bool SetFocusedObject(DisplayTarget* object) override;
    int BeginIndex() override;
    int EndIndex() override;
    int CaretIndex() override;
    void SetSelection(int begin, int end) override;

private:
    FocusManager& focus_;
};

}  // namespace swf
