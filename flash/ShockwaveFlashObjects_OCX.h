#pragma once
// The Shockwave Flash control as a component of a form: created by class id
// when its form is built, with its saved state (ControlData) from the
// description, the movie path put through `Movie`, and its events raised as
// OnReadyStateChange, OnProgress, OnFSCommand and OnFlashCall.

#include <functional>
#include <string>

#include "toolkit/win/ole_control.h"

namespace ShockwaveFlashObjects_OCX {

using TFlashReadyStateChange = std::function<void(toolkit::TComponent* Sender, int newState)>;
using TFlashProgress = std::function<void(toolkit::TComponent* Sender, int percentDone)>;
using TFlashFSCommand =
    std::function<void(toolkit::TComponent* Sender, const std::wstring& command, const std::wstring& args)>;
using TFlashFlashCall = std::function<void(toolkit::TComponent* Sender, const std::wstring& request)>;

class TShockwaveFlash : public toolkit::TOleControl {
public:
    static constexpr char kClassName[] = "TShockwaveFlash";
    explicit TShockwaveFlash(toolkit::TComponent* owner);

    // Puts the Movie property (dispatch id 102): the text up to its first
    // zero character, as a wide string. Throws Exception on failure.
    void SetMovie(const std::wstring& path);

    TFlashReadyStateChange OnReadyStateChange;
    TFlashProgress OnProgress;
    TFlashFSCommand OnFSCommand;
    TFlashFlashCall OnFlashCall;

    bool SetProperty(const toolkit::FormProperty& property, toolkit::TReader& reader) override;

protected:
    void InvokeEvent(DISPID dispid, DISPPARAMS& params) override;
};

}  // namespace ShockwaveFlashObjects_OCX
