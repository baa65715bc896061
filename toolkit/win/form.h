#pragma once
// A top-level window owned by the application window. Its creation handler
// runs once the whole construction has finished; an exception from it is
// reported and the form lives on.

#include <functional>

#include "toolkit/win/win_control.h"

namespace toolkit {

using TNotifyEvent = std::function<void(TComponent* sender)>;

class TForm : public TWinControl {
public:
    TForm(TComponent* owner, const char* className);

    TNotifyEvent OnCreate;

    void Show();
    void Hide();
    // Closing the main form ends the application; other forms are hidden.
    void Close();

    void AfterConstruction();

protected:
    void WndProc(TMessage& message) override;
};

}  // namespace toolkit
