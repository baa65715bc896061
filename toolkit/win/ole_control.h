#pragma once
// Hosts one ActiveX control, created by class id, as a child of its parent's
// window: hands it its saved state, in-place activates it, keeps its
// rectangle in step with the control's bounds, puts properties by dispatch id
// and receives its events through a sink connected to its event interface.
// Everything is released again on destruction.

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/com_ptr.h"
#include "toolkit/win/win_control.h"

namespace toolkit {

class OleClientSite;
class OleEventSink;

class TOleControl : public TWinControl {
public:
    TOleControl(TComponent* owner, const CLSID& classId, const IID& eventsIid);
    ~TOleControl() override;

    // The control's own window once it is active in place.
    HWND Handle() const override { return window_; }

    // The saved state handed to the control when it is created (empty: the
    // control starts from its defaults).
    const std::vector<std::uint8_t>& ControlData() const { return controlData_; }
    void SetControlData(std::vector<std::uint8_t> bytes) { controlData_ = std::move(bytes); }

    // Creates and activates the control; runs once the description is read.
    // Throws Exception with the system's description of the failure.
    void CreateControl();
    bool Created() const { return static_cast<bool>(object_); }
    IUnknown* OleObject() const { return object_.Get(); }

    // Puts a property through the control's IDispatch; throws Exception on failure.
    void PutProperty(DISPID dispid, const VARIANT& value);
    void PutWideStringProperty(DISPID dispid, const std::wstring& value);

    void SetParent(TWinControl* parent) override;
    Bounds BoundsRect() const override { return bounds_; }
    void SetBounds(int left, int top, int width, int height) override;
    bool Visible() const override { return TControl::Visible(); }
    void SetVisible(bool visible) override;
    bool Enabled() const override { return TControl::Enabled(); }
    void SetEnabled(bool enabled) override;
    void SetFocus() override;

    bool SetProperty(const FormProperty& property, TReader& reader) override;
    void Loaded() override;

protected:
    // One event of the control; arguments are in params.rgvarg in reverse order.
    virtual void InvokeEvent(DISPID dispid, DISPPARAMS& params);
    // Argument `index` (0 = first) of an event, converted.
    static std::wstring WideStringArgument(const DISPPARAMS& params, unsigned index);
    static int IntegerArgument(const DISPPARAMS& params, unsigned index);

private:
    friend class OleClientSite;
    friend class OleInPlaceFrame;
    friend class OleEventSink;

    RECT PositionRect() const;
    RECT ClipRect() const;
    HWND SiteWindow() const;
    HWND FrameWindow() const;
    void DispatchEvent(DISPID dispid, DISPPARAMS* params);
    // Disconnects, deactivates and closes the control and lets it go.
    void DestroyControl();

    CLSID classId_;
    IID eventsIid_;
    std::vector<std::uint8_t> controlData_;
    win32::ComPtr<IOleObject> object_;
    win32::ComPtr<IOleInPlaceObject> inPlaceObject_;
    win32::ComPtr<IDispatch> dispatch_;
    win32::ComPtr<IConnectionPoint> connectionPoint_;
    DWORD adviseCookie_ = 0;
    win32::ComPtr<OleClientSite> site_;
    win32::ComPtr<OleEventSink> sink_;
    HWND window_ = nullptr;
};

}  // namespace toolkit
