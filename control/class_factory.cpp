#include "control/class_factory.h"

#include <new>

#include "control/flash_control.h"
#include "control/module.h"
#include "win32/com_error.h"
#include "win32/com_ptr.h"

namespace control {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return win32::HresultOf([&]() -> HRESULT {
        // The creation reference goes after the query, which then holds the only one.
        const auto control = win32::ComPtr<FlashControl>::Attach(new FlashControl());
        return control->QueryInterface(iid, out);
    });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

ClassFactory& TheClassFactory() {
    static ClassFactory factory;
    return factory;
}

}  // namespace control
