#pragma once
// The caret's blinking, as system edit boxes do it: shown for one interval,
// hidden for the next, and shown again at once whenever it moves, the text
// changes or another field takes the focus. Times are milliseconds of any
// steady clock the host keeps.

#include <cstddef>

namespace swf {

class CaretBlink {
public:
    // What the caret is at: anything that differs after a move or an edit.
    struct Where {
        const void* field = nullptr;  // null: no field shows a caret
        std::size_t caret = 0;
        std::size_t anchor = 0;
        std::size_t length = 0;
        bool operator==(const Where&) const = default;
    };

    // The time between showing and hiding; 0 or less: the caret never blinks.
    void SetInterval(double ms);
    // Brings the blink to `nowMs`; true when that showed or hid the caret.
    bool Update(double nowMs, const Where& where);
    bool Shown() const { return shown_; }
    // From the last Update to the next change; negative when none will come.
    double UntilChange() const;

private:
    bool Blinking() const { return interval_ > 0 && where_.field != nullptr; }

    double interval_ = 0;
    Where where_;
    double phaseStart_ = 0;  // when the caret was last shown afresh
    double now_ = 0;
    bool shown_ = true;
};

}  // namespace swf
