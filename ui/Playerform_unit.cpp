#include "ui/Playerform_unit.h"

TPlayerForm* PlayerForm = nullptr;

TPlayerForm::TPlayerForm(toolkit::TComponent* owner) : TForm(owner, "TPlayerForm") {
    SetCaption("PlayerForm");
    SetBounds(234, 233, 956, 622);
}
