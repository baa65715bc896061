#include "control/event_connection_point.h"

#include <olectl.h>

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
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DIID_IShockwaveFlashEvents, reinterpret_cast<void**>(&dispatch))) || !dispatch) {
        dispatch = nullptr;
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch)
            return CONNECT_E_CANNOTCONNECT;
    }
    try {
        sinks_.emplace_back(nextCookie_, dispatch);
    } catch (...) {
        dispatch->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first != cookie) continue;
        IDispatch* sink = it->second;
        sinks_.erase(it);
        sink->Release();
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
    std::vector<std::pair<DWORD, IDispatch*>> snapshot;
    try {
        snapshot = sinks_;
    } catch (...) {
        return;
    }
    for (auto& entry : snapshot) entry.second->AddRef();
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
        sink->Release();
    }
}

void EventConnectionPoint::UnadviseAll() {
    auto sinks = std::move(sinks_);
    sinks_.clear();
    for (auto& entry : sinks) entry.second->Release();
}

}  // namespace control
