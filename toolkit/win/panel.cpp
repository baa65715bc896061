#include "toolkit/win/panel.h"

#include "toolkit/win/property_values.h"

namespace toolkit {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { bounds_ = {0, 0, 185, 41}; }

bool TPanel::SetProperty(const FormProperty& property, TReader& reader) {
    const std::string& name = property.Name;
    if (name == "FullRepaint") {
        SetFullRepaint(BooleanValue(property));
    } else if (name == "BevelOuter" || name == "BevelInner") {
        // Bevels are not drawn: only the flat look is offered.
        EnumValue<int>(property, {{"bvNone", 0}});
    } else if (name == "Caption") {
        // Captions are not drawn either: only the empty one is offered.
        if (!StringValue(property).empty()) InvalidPropertyValue(property, "panels show no caption");
    } else {
        return TWinControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace toolkit
