#pragma once
// The class object that creates the player control.

#include <windows.h>
#include <unknwn.h>

namespace control {

class ClassFactory final : public IClassFactory {
public:
    // IUnknown: the one class object lives as long as the DLL.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

ClassFactory& TheClassFactory();

}  // namespace control
