#pragma once
// Holds COM interface pointers, so that no path, the failing ones included,
// leaks a reference.

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace win32 {

// Holds one reference to a COM interface.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already holds.
    static ComPtr Attach(T* raw) {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* raw) {
        if (raw) raw->AddRef();
        return Attach(raw);
    }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* p = std::exchange(ptr_, nullptr)) p->Release();
    }
    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Out() {
        Reset();
        return &ptr_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    // For a caller's out-parameter: hands it a reference of its own (or null).
    template <class U>
    void CopyTo(U** out) const {
        *out = ptr_;
        if (ptr_) ptr_->AddRef();
    }

    // QueryInterface for another interface; empty when the object lacks it.
    // Only a successful query is taken: a failed one owns nothing, whatever
    // it left in the slot.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        void* raw = nullptr;
        if (ptr_ && SUCCEEDED(ptr_->QueryInterface(iid, &raw))) return ComPtr<U>::Attach(static_cast<U*>(raw));
        return {};
    }

private:
    T* ptr_ = nullptr;
};

}  // namespace win32
