#pragma once
// COM entry points return HRESULTs; no C++ exception may cross them.

#include <windows.h>

#include <new>

namespace win32 {

// Runs `body` (which returns an HRESULT) and turns an escaping exception into
// E_OUTOFMEMORY for a failed allocation and E_FAIL for anything else.
template <class Body>
HRESULT HresultOf(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace win32
