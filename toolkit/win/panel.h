#pragma once
// A plain child window that holds other controls: no caption and no bevels
// are drawn, only its colour and the pictures and labels on it.

#include "toolkit/win/win_control.h"

namespace toolkit {

class TPanel : public TWinControl {
public:
    static constexpr char kClassName[] = "TPanel";
    explicit TPanel(TComponent* owner);

    // False: only the newly exposed parts are repainted when the panel grows.
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool fullRepaint) { fullRepaint_ = fullRepaint; }

    bool SetProperty(const FormProperty& property, TReader& reader) override;

protected:
    const char* WindowClassName() const override { return kClassName; }
};

}  // namespace toolkit
