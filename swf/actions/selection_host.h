#pragma once
// The keyboard focus and the text selection as the Selection object sees
// them. The player implements it over its focus model; without one,
// Selection reports no focus.

namespace swf {

class DisplayTarget;

class SelectionHost {
public:
    virtual ~SelectionHost() = default;
    // The focused object (a text field), or null.
    virtual DisplayTarget* FocusedObject() = 0;
    // Focuses a text field, or takes the focus away (null); false when the
    // object cannot take the focus.
    virtual bool SetFocusedObject(DisplayTarget* object) = 0;
    // Character indices in the focused field; -1 without a focus.
    virtual int BeginIndex() = 0;
    virtual int EndIndex() = 0;
    virtual int CaretIndex() = 0;
    // Selects [begin, end) of the focused field (clamped); nothing without a focus.
    virtual void SetSelection(int begin, int end) = 0;
};

}  // namespace swf
