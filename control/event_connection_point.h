#pragma once
// The control's one connection point, for its event interface: keeps the
// advised sinks and calls each of them through IDispatch::Invoke.

#include <windows.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "win32/com_ptr.h"

namespace control {

class EventConnectionPoint final : public IConnectionPoint {
public:
    // `owner` is the control: it gives the identity and the reference count.
    EventConnectionPoint(IUnknown& owner, IConnectionPointContainer& container)
        : owner_(owner), container_(container) {}
    ~EventConnectionPoint() { UnadviseAll(); }
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    // IUnknown, delegated to the control.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Invokes `dispid` on every sink advised when the call starts. A sink
    // may advise, unadvise or release the control meanwhile; the caller
    // holds a reference to the control across the call.
    void Fire(DISPID dispid, DISPPARAMS& parameters);

    std::size_t SinkCount() const { return sinks_.size(); }
    void UnadviseAll();

private:
    IUnknown& owner_;
    IConnectionPointContainer& container_;
    std::vector<std::pair<DWORD, win32::ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace control
