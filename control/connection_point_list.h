#pragma once
// The enumerator IConnectionPointContainer::EnumConnectionPoints hands out
// for a control with a single connection point.

#include <windows.h>
#include <ocidl.h>

#include "win32/com_ptr.h"

namespace control {

class ConnectionPointList final : public IEnumConnectionPoints {
public:
    // `position` 0 still has the point to give, 1 is past it.
    explicit ConnectionPointList(IConnectionPoint* point, ULONG position = 0);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IEnumConnectionPoints
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override;

private:
    ~ConnectionPointList() = default;
    LONG references_ = 1;
    win32::ComPtr<IConnectionPoint> point_;
    ULONG position_;
};

}  // namespace control
