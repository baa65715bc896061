#include "flash/ShockwaveFlashObjects_OCX.h"

#include <cwchar>

#include "flash/ShockwaveFlashObjects_TLB.h"
#include "toolkit/win/form_reader.h"

namespace ShockwaveFlashObjects_OCX {

namespace tlb = ShockwaveFlashObjects_TLB;

TShockwaveFlash::TShockwaveFlash(toolkit::TComponent* owner)
    : TOleControl(owner, tlb::CLSID_ShockwaveFlash, tlb::DIID_IShockwaveFlashEvents) {
    bounds_ = {0, 0, 192, 192};
}

void TShockwaveFlash::SetMovie(const std::wstring& path) {
    PutWideStringProperty(tlb::DISPID_Movie, std::wstring(path.c_str(), std::wcslen(path.c_str())));
}

void TShockwaveFlash::InvokeEvent(DISPID dispid, DISPPARAMS& params) {
    switch (dispid) {
    case tlb::DISPID_OnReadyStateChange:
        if (OnReadyStateChange) OnReadyStateChange(this, IntegerArgument(params, 0));
        break;
    case tlb::DISPID_OnProgress:
        if (OnProgress) OnProgress(this, IntegerArgument(params, 0));
        break;
    case tlb::DISPID_FSCommand:
        if (OnFSCommand) OnFSCommand(this, WideStringArgument(params, 0), WideStringArgument(params, 1));
        break;
    case tlb::DISPID_FlashCall:
        if (OnFlashCall) OnFlashCall(this, WideStringArgument(params, 0));
        break;
    default: break;
    }
}

bool TShockwaveFlash::SetProperty(const toolkit::FormProperty& property, toolkit::TReader& reader) {
    const std::string& name = property.Name;
    if (name == "OnReadyStateChange") {
        OnReadyStateChange = reader.Handler<TFlashReadyStateChange>(property);
    } else if (name == "OnProgress") {
        OnProgress = reader.Handler<TFlashProgress>(property);
    } else if (name == "OnFSCommand") {
        OnFSCommand = reader.Handler<TFlashFSCommand>(property);
    } else if (name == "OnFlashCall") {
        OnFlashCall = reader.Handler<TFlashFlashCall>(property);
    } else {
        return TOleControl::SetProperty(property, reader);
    }
    return true;
}

}  // namespace ShockwaveFlashObjects_OCX
