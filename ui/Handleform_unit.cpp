#include "ui/Handleform_unit.h"

using toolkit::TComponent;
using toolkit::TMouseButton;
using toolkit::TShiftState;

const toolkit::TPublishedTable& THandleForm::Published() {
    static const toolkit::TPublishedTable table = toolkit::TPublisher<THandleForm>()
                                                      .Field("Image1", &THandleForm::Image1)
                                                      .Method("Image1MouseDown", &THandleForm::Image1MouseDown)
                                                      .Method("Image1MouseMove", &THandleForm::Image1MouseMove)
                                                      .Table();
    return table;
}

THandleForm::THandleForm(TComponent* owner) : TForm(owner, "THandleForm") {
    ReadDescription(Published());
    AfterConstruction();
}

THandleForm::~THandleForm() = default;

void THandleForm::Image1MouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
void THandleForm::Image1MouseMove(TComponent*, TShiftState, int, int) {}
