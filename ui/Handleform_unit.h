#pragma once
// The resize grip window: a tiny translucent, always-on-top form with one
// picture, built from its description.

#include "toolkit/win/form.h"
#include "toolkit/win/image.h"

class THandleForm final : public toolkit::TForm {
public:
    // Builds the form from its description and completes its construction
    // (the description makes it visible, so it is shown at once).
    explicit THandleForm(toolkit::TComponent* owner);
    ~THandleForm() override;

    toolkit::TImage* Image1 = nullptr;

    void Image1MouseDown(toolkit::TComponent* Sender, toolkit::TMouseButton Button, toolkit::TShiftState Shift, int X,
                         int Y);
    void Image1MouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);

    static const toolkit::TPublishedTable& Published();
};
