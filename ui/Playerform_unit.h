#pragma once
// The player window.

#include "toolkit/win/form.h"

class TPlayerForm : public toolkit::TForm {
public:
    explicit TPlayerForm(toolkit::TComponent* owner);
};

// The one player window of the program.
extern TPlayerForm* PlayerForm;
