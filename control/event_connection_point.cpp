#include "control/event_connection_point.h"

#include <olectl.h>

#include <utility>

#include "flash/ShockwaveFlashObjects_TLB.h"

namespace control {

using ShockwaveFlashObjects_TLB::DIID_IShockwaveFlashEvents;

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_IShockwaveFlashEvents;
    return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    // The event interface itself, or plain IDispatch from sinks that answer only that.
    const auto unknown = win32::ComPtr<IUnknown>::Share(sink);
    auto dispatch = unknown.As<IDispatch>(DIID_IShockwaveFlashEvents);
    if (!dispatch) dispatch = unknown.As<IDispatch>(IID_IDispatch);
    if (!dispatch) return CONNECT_E_CANNOTCONNECT;
    try {
        sinks_.emplace_back(nextCookie_, std::move(dispatch));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first != cookie) continue;
        // Let go only once the list no longer holds it: the release may call back.
        const auto sink = std::move(it->second);
        sinks_.erase(it);
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventConnectionPoint::Fire(DISPID dispid, DISPPARAMS& parameters) {
    // A snapshot with its own references: sinks may change the list meanwhile.
    std::vector<std::pair<DWORD, win32::ComPtr<IDispatch>>> snapshot;
    try {
        snapshot = sinks_;
    } catch (...) {
        return;
    }
    for (auto& [cookie, sink] : snapshot) {
        // A sink unadvised by an earlier one meanwhile hears nothing more.
        bool advised = false;
        for (const auto& current : sinks_) advised = advised || current.first == cookie;
        if (advised) {
            VARIANT result;
            VariantInit(&result);
            sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, nullptr,
                         nullptr);
            VariantClear(&result);
        }
        sink.Reset();
    }
}

void EventConnectionPoint::UnadviseAll() {
    // Released once the list is empty: a sink's release may call back.
    auto sinks = std::move(sinks_);
    sinks_.clear();
}

}  // namespace control
