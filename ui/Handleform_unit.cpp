#include "ui/Handleform_unit.h"

#include "ui/Playerform_unit.h"

using toolkit::TComponent;
using toolkit::TMouseButton;
using toolkit::TShiftState;

namespace {
// SC_SIZE + WMSZ_BOTTOMRIGHT.
constexpr unsigned kSizeFromLowerRight = 0xF008;
}  // namespace

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

void THandleForm::Image1MouseDown(TComponent*, TMouseButton, TShiftState, int, int) {
    // The toolkit captured the mouse for the picture; the sizing loop needs it free.
    ReleaseCapture();
    if (PlayerForm) PlayerForm->Perform(WM_SYSCOMMAND, kSizeFromLowerRight, 0);
}

void THandleForm::Image1MouseMove(TComponent*, TShiftState, int, int) { SetCursor(toolkit::crSizeNWSE); }
