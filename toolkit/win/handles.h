#pragma once
// Small owners for system resources, so that no path, the failing ones
// included, leaks a COM pointer or a GDI object.

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace toolkit {

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

    // QueryInterface for another interface; empty when the object lacks it.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> result;
        if (ptr_) ptr_->QueryInterface(iid, result.OutVoid());
        return result;
    }

private:
    T* ptr_ = nullptr;
};

// Owns a GDI object (bitmap, font, brush) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    void Reset(H handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    H handle_ = nullptr;
};

// Owns an icon handle.
class IconHandle {
public:
    IconHandle() = default;
    explicit IconHandle(HICON icon) : icon_(icon) {}
    IconHandle(IconHandle&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.icon_, nullptr));
        return *this;
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle() { Reset(); }

    void Reset(HICON icon = nullptr) {
        if (icon_) DestroyIcon(icon_);
        icon_ = icon;
    }
    HICON Get() const { return icon_; }
    explicit operator bool() const { return icon_ != nullptr; }

private:
    HICON icon_ = nullptr;
};

// A memory device context with one bitmap selected, restored on destruction.
class MemoryDC {
public:
    MemoryDC(HDC compatibleWith, HBITMAP bitmap)
        : dc_(CreateCompatibleDC(compatibleWith)), old_(SelectObject(dc_, bitmap)) {}
    ~MemoryDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves a device context's state and restores it on destruction.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDC() { RestoreDC(dc_, id_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};

}  // namespace toolkit
