#include "control/connection_point_list.h"

#include <new>

namespace control {

ConnectionPointList::ConnectionPointList(IConnectionPoint* point, ULONG position)
    : point_(win32::ComPtr<IConnectionPoint>::Share(point)), position_(position) {}

HRESULT ConnectionPointList::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumConnectionPoints) return E_NOINTERFACE;
    *out = static_cast<IEnumConnectionPoints*>(this);
    AddRef();
    return S_OK;
}

ULONG ConnectionPointList::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ConnectionPointList::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT ConnectionPointList::Next(ULONG count, IConnectionPoint** points, ULONG* fetched) {
    if (!points || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
        point_.CopyTo(&points[0]);
        position_ = 1;
        given = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT ConnectionPointList::Skip(ULONG count) {
    if (count == 0) return S_OK;
    const bool enough = position_ == 0 && count == 1;
    position_ = 1;
    return enough ? S_OK : S_FALSE;
}

HRESULT ConnectionPointList::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT ConnectionPointList::Clone(IEnumConnectionPoints** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) ConnectionPointList(point_.Get(), position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
}

}  // namespace control
